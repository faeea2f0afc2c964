#include "ui/RoundedFill.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

namespace kx520::ui {

namespace {

struct ShapeKey {
    int width;
    int height;
    QRgb colour;
    double radius;
    double ratio;
    bool operator==(const ShapeKey&) const = default;
};

size_t qHash(const ShapeKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.width, key.height, key.colour, key.radius, key.ratio);
}

QImage Rasterised(const ShapeKey& key) {
    QImage image(qRound(key.width * key.ratio), qRound(key.height * key.ratio), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(key.ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, key.width, key.height), key.radius, key.radius);
    painter.fillPath(path, QColor::fromRgba(key.colour));
    return image;
}

const QImage& Shape(const ShapeKey& key) {
    // UI thread only; a skin fills far fewer shapes than the bound.
    static QHash<ShapeKey, QImage> shapes;
    constexpr qsizetype kMostShapes = 512;
    auto found = shapes.constFind(key);
    if (found == shapes.constEnd()) {
        if (shapes.size() >= kMostShapes) {
            shapes.clear();
        }
        found = shapes.insert(key, Rasterised(key));
    }
    return *found;
}

}  // namespace

void FillRounded(QPainter& painter, const QRect& rect, double radius, const QColor& colour) {
    if (rect.isEmpty()) {
        return;
    }
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const int corner = static_cast<int>(std::ceil(radius));
    if (colour.alpha() != 255 || corner <= 0 || 2 * corner > std::min(rect.width(), rect.height())) {
        painter.drawImage(rect.topLeft(), Shape({rect.width(), rect.height(), colour.rgba(), radius, ratio}));
        return;
    }
    // An opaque colour: the body is plain fills, cheap under any clip (a
    // panel repainted behind the keys that changed), and only the corners
    // are blended, from the shape of a square twice the corner's size.
    const QRect body = rect.adjusted(corner, 0, -corner, 0);
    painter.fillRect(body, colour);
    painter.fillRect(QRect(rect.left(), rect.top() + corner, corner, rect.height() - 2 * corner), colour);
    painter.fillRect(QRect(rect.right() + 1 - corner, rect.top() + corner, corner, rect.height() - 2 * corner),
                     colour);
    const QImage& round = Shape({2 * corner, 2 * corner, colour.rgba(), radius, ratio});
    const int edge = qRound(corner * ratio);
    const int far = round.width() - edge;
    painter.drawImage(QRectF(rect.left(), rect.top(), corner, corner), round, QRectF(0, 0, edge, edge));
    painter.drawImage(QRectF(rect.right() + 1 - corner, rect.top(), corner, corner), round,
                      QRectF(far, 0, edge, edge));
    painter.drawImage(QRectF(rect.left(), rect.bottom() + 1 - corner, corner, corner), round,
                      QRectF(0, far, edge, edge));
    painter.drawImage(QRectF(rect.right() + 1 - corner, rect.bottom() + 1 - corner, corner, corner), round,
                      QRectF(far, far, edge, edge));
}

}  // namespace kx520::ui
