#include "controls/CColorPaletteUI.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "ui/AttributeValue.h"

namespace kx520::ui {

CColorPaletteUI::CColorPaletteUI(QWidget* parent) : CControlUI(parent) {
    setCursor(Qt::CrossCursor);
}

void CColorPaletteUI::SetSelectColor(const QColor& colour) {
    m_colour = colour;
    update();
}

bool CColorPaletteUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("selectcolor"), Qt::CaseInsensitive) == 0) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        SetSelectColor(*colour);
        return true;
    }
    if (name.compare(QLatin1String("barheight"), Qt::CaseInsensitive) == 0) {
        const auto height = ParseInt(value);
        if (!height || *height < 0) {
            return false;
        }
        m_barHeight = *height;
        return true;
    }
    return CControlUI::SetAttribute(name, value);
}

QRect CColorPaletteUI::SquareRect() const {
    const int bar = qRound(m_barHeight * Scale());
    const QRect all = ContentRect();
    return all.adjusted(0, 0, 0, -(bar + qRound(4 * Scale())));
}

QRect CColorPaletteUI::BarRect() const {
    const int bar = qRound(m_barHeight * Scale());
    const QRect all = ContentRect();
    return QRect(all.left(), all.bottom() + 1 - bar, all.width(), bar);
}

void CColorPaletteUI::PickAt(const QPoint& point) {
    const QRect square = SquareRect();
    const QRect bar = BarRect();
    if (m_onBar) {
        const float x = std::clamp(
            static_cast<float>(point.x() - bar.left()) / static_cast<float>(std::max(1, bar.width() - 1)),
            0.0f, 1.0f);
        m_colour = QColor::fromHsvF(std::max(0.0f, m_colour.hsvHueF()), m_colour.hsvSaturationF(), x);
    } else {
        const float hue = std::clamp(static_cast<float>(point.x() - square.left()) /
                                         static_cast<float>(std::max(1, square.width() - 1)),
                                     0.0f, 0.9999f);
        const float saturation =
            1.0f - std::clamp(static_cast<float>(point.y() - square.top()) /
                                  static_cast<float>(std::max(1, square.height() - 1)),
                              0.0f, 1.0f);
        const float value = m_colour.valueF() > 0 ? m_colour.valueF() : 1.0f;
        m_colour = QColor::fromHsvF(hue, saturation, value);
    }
    update();
    SendNotify(QString::fromLatin1(notify::kColorChanged));
}

void CColorPaletteUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        CControlUI::mousePressEvent(event);
        return;
    }
    m_onBar = BarRect().contains(event->position().toPoint());
    PickAt(event->position().toPoint());
}

void CColorPaletteUI::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && isEnabled()) {
        PickAt(event->position().toPoint());
    }
}

void CColorPaletteUI::PaintStatusImage(QPainter& painter) {
    const QRect square = SquareRect();
    QLinearGradient hues(square.topLeft(), square.topRight());
    for (int i = 0; i <= 6; ++i) {
        hues.setColorAt(i / 6.0, QColor::fromHsvF(std::min(i / 6.0f, 0.9999f), 1.0f, 1.0f));
    }
    painter.fillRect(square, hues);
    QLinearGradient whiteness(square.topLeft(), square.bottomLeft());
    whiteness.setColorAt(0, QColor(255, 255, 255, 0));
    whiteness.setColorAt(1, QColor(255, 255, 255, 255));
    painter.fillRect(square, whiteness);
    const QRect bar = BarRect();
    QLinearGradient brightness(bar.topLeft(), bar.topRight());
    brightness.setColorAt(0, Qt::black);
    brightness.setColorAt(1, QColor::fromHsvF(std::max(0.0f, m_colour.hsvHueF()), m_colour.hsvSaturationF(), 1.0));
    painter.fillRect(bar, brightness);
    const double hue = std::max(0.0f, m_colour.hsvHueF());
    const QPoint mark(square.left() + qRound(hue * (square.width() - 1)),
                      square.top() + qRound((1.0 - m_colour.hsvSaturationF()) * (square.height() - 1)));
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(mark, 5, 5);
    const int x = bar.left() + qRound(m_colour.valueF() * (bar.width() - 1));
    painter.drawLine(x, bar.top(), x, bar.bottom());
}

}  // namespace kx520::ui
