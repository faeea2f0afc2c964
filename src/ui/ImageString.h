#pragma once

#include <QColor>
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
// filled with `colour` at `level` / 256 of its brightness (key lights). An
// image that cannot be loaded draws nothing; that is not an error.
struct ImageTint {
    bool enabled = false;
    QColor colour;
    int level = 256;
};
void DrawImageString(QPainter& painter, const QRect& rect, const QString& imageString,
                     double scale, const ImageTint& tint = {});

}  // namespace kx520::ui
