#include "pages/LitCapImage.h"

#include <QPaintDevice>
#include <QPainter>
#include <QStaticText>


namespace kx520 {

const QImage& LitCapImage::Mask(const QSize& pixels, double ratio, const Legend& legend) {
    if (legend.text == nullptr || legend.text->text().isEmpty()) {
        m_mask = QImage();
        return m_mask;
    }
    if (m_mask.size() == pixels && m_mask.devicePixelRatio() == ratio) {
        return m_mask;
    }
    m_mask = QImage(pixels, QImage::Format_Alpha8);
    m_mask.fill(0);
    m_mask.setDevicePixelRatio(ratio);
    QPainter painter(&m_mask);
    painter.setFont(legend.font);
    painter.setPen(Qt::white);
    painter.drawStaticText(legend.at, *legend.text);
    return m_mask;
}

bool LitCapImage::RenderPictures(const QPainter& painter, const QRect& rect, double scale, const Look& look) {
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    Pictures& p = m_pictures;
    if (!p.cap.isSharedWith(look.capImage) || !p.light.isSharedWith(look.lightImage) || p.size != rect.size() ||
        p.scale != scale || p.ratio != ratio) {
        p = {look.capImage, look.lightImage, rect.size(), scale, ratio,
             ui::RenderImageString(painter, QRect(QPoint(), rect.size()), look.capImage, scale),
             ui::RenderImageString(painter, QRect(QPoint(), rect.size()), look.lightImage, scale)};
    }
    const QRect whole(QPoint(), rect.size());
    return !p.capImage.image.isNull() && !p.lightImage.image.isNull() && p.capImage.target == whole &&
           p.lightImage.target == whole && p.capImage.fade == 255 && p.lightImage.fade == 255 &&
           p.capImage.image.size() == p.lightImage.image.size();
}

bool LitCapImage::Paint(QPainter& painter, const QRect& rect, double scale, const Look& look,
                        const Legend& legend) {
    if (!RenderPictures(painter, rect, scale, look)) {
        return false;
    }
    const ui::RenderedImage& cap = m_pictures.capImage;
    const ui::RenderedImage& light = m_pictures.lightImage;
    const QImage& mask = Mask(light.image.size(), light.image.devicePixelRatio(), legend);
    const Drawn drawn{cap.image.cacheKey(), light.image.cacheKey(), mask.isNull() ? 0 : mask.cacheKey(),
                      look.colour.rgb(),    look.level,              look.legendColour.rgba()};
    if (!(drawn == m_drawn) || m_image.isNull()) {
        ui::ImageTint tint;
        tint.enabled = true;
        tint.colour = look.colour;
        tint.level = look.level;
        ui::ComposeTinted(m_image, light.image, tint, &cap.image, mask.isNull() ? nullptr : &mask, look.legendColour);
        m_drawn = drawn;
    }
    painter.drawImage(rect.topLeft(), m_image);
    return true;
}

}  // namespace kx520
