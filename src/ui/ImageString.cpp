#include "ui/ImageString.h"

#include <QHash>
#include <cstring>
#include <vector>

#include <QPainter>
#include <QRegularExpression>

#include "ui/CResourceManager.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

QImage TintedAnew(const QImage& image, const ImageTint& tint, const QImage* under) {
    QImage result;
    ComposeTinted(result, image, tint, under);
    return result;
}

struct TintKey {
    qint64 image;
    qint64 under;
    QRgb colour;
    int level;
    bool operator==(const TintKey&) const = default;
};
size_t qHash(const TintKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.image, key.under, key.colour, key.level);
}

// The same few rendered images take the same colours on many keys of one
// frame (an effect's band runs across a row, a static light shows one
// colour): tinted once for them all. UI thread only.
QImage Tinted(const QImage& image, const ImageTint& tint, const QImage* under) {
    static QHash<TintKey, QImage> tinted;
    constexpr qsizetype kMostTints = 1024;
    const TintKey key{image.cacheKey(), under != nullptr ? under->cacheKey() : 0, tint.colour.rgb(), tint.level};
    if (const auto found = tinted.constFind(key); found != tinted.constEnd()) {
        return *found;
    }
    if (tinted.size() >= kMostTints) {
        tinted.clear();
    }
    return *tinted.insert(key, TintedAnew(image, tint, under));
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
    // A control hands in the same shared string each time: found by its
    // buffer first, which the entry keeps alive (so the address cannot be
    // reused by other text), then by its content. UI thread only; a skin
    // has far fewer strings than the bound.
    struct Held {
        QString text;
        ImageString spec;
    };
    static QHash<const QChar*, Held> byBuffer;
    static QHash<QString, ImageString> parsed;
    constexpr qsizetype kMostStrings = 4096;
    if (const auto held = byBuffer.constFind(text.constData()); held != byBuffer.constEnd() &&
                                                                   held->text.size() == text.size()) {
        return held->spec;
    }
    if (parsed.size() >= kMostStrings || byBuffer.size() >= kMostStrings) {
        parsed.clear();
        byBuffer.clear();
    }
    auto found = parsed.constFind(text);
    if (found == parsed.constEnd()) {
        found = parsed.insert(text, Parse(text));
    }
    if (!text.isEmpty()) {
        byBuffer.insert(text.constData(), {text, *found});
    }
    return *found;
}

namespace {

// The image of `spec` drawn at `size` (its nine patches, or the whole image
// scaled), ready to be drawn unscaled and tinted. A device picture draws
// the same few images at the same few sizes on every frame; drawing them
// scaled each time costs more than the frame. UI thread only.
QImage Rendered(const ImageString& spec, const QImage& loaded, const QSize& size, double scale, double ratio) {
    struct Key {
        QSize size;
        double scale;
        double ratio;
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
    const Key key{size, spec.corner.isNull() ? 0.0 : scale, ratio, spec.source, spec.corner, spec.file};
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
    image.setDevicePixelRatio(ratio);  // set here, not on each draw's copy
    if (rendered.size() >= kMostImages) {
        rendered.clear();
    }
    rendered.push_back({key, image});
    return image;
}

}  // namespace

namespace {

// Where `spec` lands inside `rect`; empty when it has no room.
QRect TargetOf(const ImageString& spec, const QRect& rect, double scale) {
    if (spec.dest.isEmpty()) {
        return rect;
    }
    return QRect(rect.left() + qRound(spec.dest.left() * scale), rect.top() + qRound(spec.dest.top() * scale),
                 qRound(spec.dest.width() * scale), qRound(spec.dest.height() * scale));
}

// `spec` rendered for `target` at the painter's pixels; null if its file
// cannot be loaded.
QImage RenderedFor(const QPainter& painter, const ImageString& spec, const QRect& target, double scale) {
    const QImage* loaded = spec.IsEmpty() ? nullptr : CResourceManager::Instance().Image(spec.file);
    if (loaded == nullptr || loaded->isNull() || target.isEmpty()) {
        return {};
    }
    const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(qMax(1, qRound(target.width() * ratio)), qMax(1, qRound(target.height() * ratio)));
    return Rendered(spec, *loaded, pixels, scale * ratio, ratio);
}

void DrawFaded(QPainter& painter, const QPoint& at, const QImage& image, int fade) {
    if (fade == 255) {
        painter.drawImage(at, image);
        return;
    }
    const qreal opacity = painter.opacity();
    painter.setOpacity(opacity * fade / 255.0);
    painter.drawImage(at, image);
    painter.setOpacity(opacity);
}

}  // namespace

void DrawImageString(QPainter& painter, const QRect& rect, const QString& imageString,
                     double scale, const ImageTint& tint) {
    const RenderedImage shown = RenderImageString(painter, rect, imageString, scale);
    if (!tint.enabled) {
        if (!shown.image.isNull()) {
            DrawFaded(painter, shown.target.topLeft(), shown.image, shown.fade);
        }
        return;
    }
    // The image beneath is composed into the tinted one when both fill the
    // same place unfaded: one image drawn instead of two.
    const RenderedImage under = RenderImageString(painter, rect, tint.under, scale);
    const bool compose = !under.image.isNull() && !shown.image.isNull() && under.target == shown.target &&
                         shown.fade == 255 && under.fade == 255 && under.image.size() == shown.image.size();
    if (!under.image.isNull() && !compose) {
        DrawFaded(painter, under.target.topLeft(), under.image, under.fade);
    }
    if (shown.image.isNull()) {
        return;
    }
    DrawFaded(painter, shown.target.topLeft(), Tinted(shown.image, tint, compose ? &under.image : nullptr),
              shown.fade);
}

RenderedImage RenderImageString(const QPainter& painter, const QRect& rect, const QString& imageString,
                                double scale) {
    const ImageString spec = ImageString::Cached(imageString);
    RenderedImage rendered;
    rendered.target = TargetOf(spec, rect, scale);
    rendered.image = RenderedFor(painter, spec, rendered.target, scale);
    rendered.fade = spec.fade;
    return rendered;
}

namespace {

// Each 8-bit channel of `pixel` times `alpha` / 255, two channels a multiply
// (a premultiplied pixel scaled by an alpha, rounded as the raster engine does).
inline uint ByteMul(uint pixel, uint alpha) {
    uint low = (pixel & 0xff00ffU) * alpha;
    low = ((low + ((low >> 8) & 0xff00ffU) + 0x800080U) >> 8) & 0xff00ffU;
    uint high = ((pixel >> 8) & 0xff00ffU) * alpha;
    high = (high + ((high >> 8) & 0xff00ffU) + 0x800080U) & 0xff00ff00U;
    return high | low;
}

// `top` over `bottom`, both premultiplied.
inline uint Over(uint top, uint bottom) {
    return top + ByteMul(bottom, 255 - qAlpha(top));
}

// One pixel of a lit cap: `colour` at the light's alpha, over the cap
// beneath if any, under the legend's `letter` alpha of `legend` if any.
inline uint ComposePixel(uint light, const uint* beneath, const uchar* letter, uint colour, uint legend) {
    uint pixel = ByteMul(colour, qAlpha(light));
    if (beneath != nullptr) {
        pixel = Over(pixel, *beneath);
    }
    if (letter != nullptr) {
        pixel = Over(ByteMul(legend, *letter), pixel);
    }
    return pixel;
}

#if defined(__SSE2__)
// ByteMul on four pixels; `alpha` holds each pixel's factor in both of its
// 16-bit halves.
inline __m128i ByteMul4(__m128i pixels, __m128i alpha) {
    const __m128i low = _mm_set1_epi32(0x00ff00ff);
    const __m128i half = _mm_set1_epi16(0x80);
    __m128i rb = _mm_mullo_epi16(_mm_and_si128(pixels, low), alpha);
    __m128i ag = _mm_mullo_epi16(_mm_srli_epi16(pixels, 8), alpha);
    rb = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(rb, _mm_srli_epi16(rb, 8)), half), 8);
    ag = _mm_andnot_si128(low, _mm_add_epi16(_mm_add_epi16(ag, _mm_srli_epi16(ag, 8)), half));
    return _mm_or_si128(ag, rb);
}

// Each pixel's factor from an alpha in the low byte of its 32 bits.
inline __m128i Spread(__m128i alphas) {
    return _mm_or_si128(alphas, _mm_slli_epi32(alphas, 16));
}

inline __m128i AlphaOf(__m128i pixels) {
    return _mm_srli_epi32(pixels, 24);
}

inline __m128i Over4(__m128i top, __m128i bottom) {
    const __m128i inverse = _mm_sub_epi32(_mm_set1_epi32(255), AlphaOf(top));
    return _mm_add_epi32(top, ByteMul4(bottom, Spread(inverse)));
}
#endif

void ComposeRow(const uint* from, const uint* beneath, const uchar* letters, uint* to, int width, uint colour,
                uint legend) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i colours = _mm_set1_epi32(static_cast<int>(colour));
    const __m128i legends = _mm_set1_epi32(static_cast<int>(legend));
    for (; x + 4 <= width; x += 4) {
        const __m128i light = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        __m128i pixels = ByteMul4(colours, Spread(AlphaOf(light)));
        if (beneath != nullptr) {
            pixels = Over4(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(beneath + x)));
        }
        if (letters != nullptr) {
            int four = 0;
            std::memcpy(&four, letters + x, sizeof four);
            if (four != 0) {
                const __m128i zero = _mm_setzero_si128();
                const __m128i alphas = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero);
                pixels = Over4(ByteMul4(legends, Spread(alphas)), pixels);
            }
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), pixels);
    }
#endif
    for (; x < width; ++x) {
        to[x] = ComposePixel(from[x], beneath != nullptr ? beneath + x : nullptr,
                             letters != nullptr ? letters + x : nullptr, colour, legend);
    }
}

}  // namespace

// By hand, without a painter: an effect composes a hundred caps a frame.
// Premultiplied throughout: the tinted light is its alpha times the colour,
// laid over the cap beneath, then the legend over both.
void ComposeTinted(QImage& out, const QImage& light, const ImageTint& tint, const QImage* under, const QImage* mask,
                   const QColor& maskColour) {
    const QImage source = light.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (out.size() != source.size() || out.format() != QImage::Format_ARGB32_Premultiplied || !out.isDetached()) {
        out = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
    }
    out.setDevicePixelRatio(source.devicePixelRatio());
    const int level = std::clamp(tint.level, 0, 256);
    const uint colour = qRgba(tint.colour.red() * level / 256, tint.colour.green() * level / 256,
                              tint.colour.blue() * level / 256, 255);
    const uint legend = qPremultiply(maskColour.rgba());
    const bool below = under != nullptr && under->size() == source.size() &&
                       under->format() == QImage::Format_ARGB32_Premultiplied;
    const bool above = mask != nullptr && mask->size() == source.size() && mask->format() == QImage::Format_Alpha8;
    const int width = source.width();
    const int height = source.height();
    for (int y = 0; y < height; ++y) {
        ComposeRow(reinterpret_cast<const QRgb*>(source.constScanLine(y)),
                   below ? reinterpret_cast<const QRgb*>(under->constScanLine(y)) : nullptr,
                   above ? mask->constScanLine(y) : nullptr, reinterpret_cast<QRgb*>(out.scanLine(y)), width, colour,
                   legend);
    }
}

}  // namespace kx520::ui
