#include "ui/ImageString.h"

#include <QHash>
#include <vector>

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

QImage TintedAnew(const QImage& image, const ImageTint& tint) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int level = std::clamp(tint.level, 0, 256);
    const QColor colour(tint.colour.red() * level / 256, tint.colour.green() * level / 256,
                        tint.colour.blue() * level / 256);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), colour);
    return result;
}

// The same few rendered images take the same colours on many keys of one
// frame (an effect's band runs across a row): tinted once for them all. UI
// thread only.
QImage Tinted(const QImage& image, const ImageTint& tint) {
    struct Entry {
        qint64 image;
        QRgb colour;
        int level;
        QImage tinted;
    };
    static std::vector<Entry> tinted;
    constexpr size_t kMostTints = 256;
    const QRgb colour = tint.colour.rgb();
    for (const Entry& entry : tinted) {
        if (entry.image == image.cacheKey() && entry.colour == colour && entry.level == tint.level) {
            return entry.tinted;
        }
    }
    if (tinted.size() >= kMostTints) {
        tinted.clear();
    }
    tinted.push_back({image.cacheKey(), colour, tint.level, TintedAnew(image, tint)});
    return tinted.back().tinted;
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

ImageString ImageString::Cached(const QString& text) {
    // Painting parses the same few strings of a skin many times a second.
    // UI thread only; a skin has far fewer strings than the bound.
    static QHash<QString, ImageString> parsed;
    constexpr qsizetype kMostStrings = 4096;
    const auto found = parsed.constFind(text);
    if (found != parsed.constEnd()) {
        return *found;
    }
    if (parsed.size() >= kMostStrings) {
        parsed.clear();
    }
    return *parsed.insert(text, Parse(text));
}

namespace {

// The image of `spec` drawn at `size` (its nine patches, or the whole image
// scaled), ready to be drawn unscaled and tinted. A device picture draws
// the same few images at the same few sizes on every frame; drawing them
// scaled each time costs more than the frame. UI thread only.
QImage Rendered(const ImageString& spec, const QImage& loaded, const QSize& size, double scale) {
    struct Key {
        QSize size;
        double scale;
        QRect source;
        QMargins corner;
        QString file;  // last: the numbers tell most entries apart cheaply
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        QImage image;
    };
    static std::vector<Entry> rendered;
    constexpr size_t kMostImages = 512;
    const Key key{size, spec.corner.isNull() ? 0.0 : scale, spec.source, spec.corner, spec.file};
    for (const Entry& entry : rendered) {
        if (entry.key == key) {
            return entry.image;
        }
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRect source = spec.source.isEmpty() ? loaded.rect() : spec.source.intersected(loaded.rect());
        if (spec.corner.isNull()) {
            painter.drawImage(image.rect(), loaded, source);
        } else {
            DrawNinePatch(painter, image.rect(), loaded, source, spec.corner, scale);
        }
    }
    if (rendered.size() >= kMostImages) {
        rendered.clear();
    }
    rendered.push_back({key, image});
    return image;
}

}  // namespace

void DrawImageString(QPainter& painter, const QRect& rect, const QString& imageString,
                     double scale, const ImageTint& tint) {
    const ImageString spec = ImageString::Cached(imageString);
    if (spec.IsEmpty()) {
        return;
    }
    const QImage* loaded = CResourceManager::Instance().Image(spec.file);
    if (loaded == nullptr || loaded->isNull()) {
        return;
    }
    QRect target = rect;
    if (!spec.dest.isEmpty()) {
        target = QRect(rect.left() + qRound(spec.dest.left() * scale),
                       rect.top() + qRound(spec.dest.top() * scale),
                       qRound(spec.dest.width() * scale), qRound(spec.dest.height() * scale));
    }
    if (target.isEmpty()) {
        return;
    }
    // Drawn where the painter's transform puts it, at the device's pixels.
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(qMax(1, qRound(target.width() * ratio)), qMax(1, qRound(target.height() * ratio)));
    QImage image = Rendered(spec, *loaded, pixels, scale * ratio);
    if (tint.enabled) {
        image = Tinted(image, tint);
    }
    image.setDevicePixelRatio(ratio);
    painter.save();
    painter.setOpacity(painter.opacity() * spec.fade / 255.0);
    painter.drawImage(target.topLeft(), image);
    painter.restore();
}

}  // namespace kx520::ui
