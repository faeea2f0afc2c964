#include "ui/ImageString.h"

#include <QPainter>
#include <QRegularExpression>

#include "ui/CResourceManager.h"

namespace kx520::ui {

namespace {

QRect ParseRect(const QString& text) {
    const QStringList parts = text.split(',');
    if (parts.size() != 4) {
        return {};
    }
    const int l = parts[0].trimmed().toInt();
    const int t = parts[1].trimmed().toInt();
    const int r = parts[2].trimmed().toInt();
    const int b = parts[3].trimmed().toInt();
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

QImage Tinted(const QImage& image, const ImageTint& tint) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int level = std::clamp(tint.level, 0, 256);
    const QColor colour(tint.colour.red() * level / 256, tint.colour.green() * level / 256,
                        tint.colour.blue() * level / 256);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), colour);
    return result;
}

void DrawNinePatch(QPainter& painter, const QRect& target, const QImage& image, const QRect& source,
                   const QMargins& corner, double scale) {
    const QMargins scaled(qRound(corner.left() * scale), qRound(corner.top() * scale),
                          qRound(corner.right() * scale), qRound(corner.bottom() * scale));
    const int xs[4] = {source.left(), source.left() + corner.left(),
                       source.right() + 1 - corner.right(), source.right() + 1};
    const int ys[4] = {source.top(), source.top() + corner.top(),
                       source.bottom() + 1 - corner.bottom(), source.bottom() + 1};
    const int xd[4] = {target.left(), target.left() + scaled.left(),
                       target.right() + 1 - scaled.right(), target.right() + 1};
    const int yd[4] = {target.top(), target.top() + scaled.top(),
                       target.bottom() + 1 - scaled.bottom(), target.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect from(QPoint(xs[column], ys[row]), QPoint(xs[column + 1] - 1, ys[row + 1] - 1));
            const QRect to(QPoint(xd[column], yd[row]), QPoint(xd[column + 1] - 1, yd[row + 1] - 1));
            if (from.isValid() && to.isValid()) {
                painter.drawImage(to, image, from);
            }
        }
    }
}

}  // namespace

ImageString ImageString::Parse(const QString& text) {
    ImageString image;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return image;
    }
    static const QRegularExpression pair(QStringLiteral("(\\w+)\\s*=\\s*'([^']*)'"));
    auto matches = pair.globalMatch(trimmed);
    if (!matches.hasNext()) {
        image.file = trimmed;  // a bare file name
        return image;
    }
    while (matches.hasNext()) {
        const auto match = matches.next();
        const QString key = match.captured(1).toLower();
        const QString value = match.captured(2);
        if (key == QLatin1String("file")) {
            image.file = value;
        } else if (key == QLatin1String("source")) {
            image.source = ParseRect(value);
        } else if (key == QLatin1String("dest")) {
            image.dest = ParseRect(value);
        } else if (key == QLatin1String("corner")) {
            const QStringList parts = value.split(',');
            if (parts.size() == 4) {
                image.corner = QMargins(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(),
                                        parts[3].toInt());
            }
        } else if (key == QLatin1String("fade")) {
            image.fade = std::clamp(value.toInt(), 0, 255);
        }
    }
    return image;
}

void DrawImageString(QPainter& painter, const QRect& rect, const QString& imageString,
                     double scale, const ImageTint& tint) {
    const ImageString spec = ImageString::Parse(imageString);
    if (spec.IsEmpty()) {
        return;
    }
    const QImage* loaded = CResourceManager::Instance().Image(spec.file);
    if (loaded == nullptr || loaded->isNull()) {
        return;
    }
    const QImage image = tint.enabled ? Tinted(*loaded, tint) : *loaded;
    const QRect source = spec.source.isEmpty() ? image.rect() : spec.source.intersected(image.rect());
    QRect target = rect;
    if (!spec.dest.isEmpty()) {
        target = QRect(rect.left() + qRound(spec.dest.left() * scale),
                       rect.top() + qRound(spec.dest.top() * scale),
                       qRound(spec.dest.width() * scale), qRound(spec.dest.height() * scale));
    }
    painter.save();
    painter.setOpacity(painter.opacity() * spec.fade / 255.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (spec.corner.isNull()) {
        painter.drawImage(target, image, source);
    } else {
        DrawNinePatch(painter, target, image, source, spec.corner, scale);
    }
    painter.restore();
}

}  // namespace kx520::ui
