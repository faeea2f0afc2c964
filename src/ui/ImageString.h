#pragma once

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QString>

class QPainter;

namespace kx520::ui {

// An image string of the skin: either a bare file name or
//   file='key.png' source='l,t,r,b' dest='l,t,r,b' corner='l,t,r,b' fade='200'
// "source" picks a part of the image, "dest" places it inside the control
// (else it fills the control), "corner" keeps the corners unscaled (nine-
// patch), "fade" is the opacity (0-255). Unknown keys are ignored.
struct ImageString {
    QString file;
    QRect source;  // empty: the whole image
    QRect dest;    // empty: the whole control
    QMargins corner;
    int fade = 255;

    bool IsEmpty() const { return file.isEmpty(); }
    static ImageString Parse(const QString& text);
    // The same, parsed once per distinct text (painting asks again and again).
    static ImageString Cached(const QString& text);
};

// Draws `image` into `rect`, scaled. With a tint, the image's shape is
// filled with `colour` at `level` / 256 of its brightness (key lights),
// drawn over the image string `under` if one is given (the cap beneath a
// key's light). An image that cannot be loaded draws nothing; that is not
// an error.
struct ImageTint {
    bool enabled = false;
    QColor colour;
    int level = 256;
    QString under;
};
void DrawImageString(QPainter& painter, const QRect& rect, const QString& imageString,
                     double scale, const ImageTint& tint = {});

// An image string rendered for a painter: the image at the painter's
// pixels (null when its file cannot be loaded or it has no room), where it
// lands and its opacity (0-255).
struct RenderedImage {
    QImage image;
    QRect target;
    int fade = 255;
};
RenderedImage RenderImageString(const QPainter& painter, const QRect& rect, const QString& imageString,
                                double scale);

// Writes into `out` the shape of `light` filled with the tint's colour at its
// level, over `under` when given, and under `mask`'s alpha filled with
// `maskColour` when given (a legend). Every image is of `light`'s size;
// `out` keeps its buffer when it has that size already.
void ComposeTinted(QImage& out, const QImage& light, const ImageTint& tint, const QImage* under,
                   const QImage* mask = nullptr, const QColor& maskColour = {});

}  // namespace kx520::ui
