#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QImage>
#include <QRect>

#include "ui/ImageString.h"

class QPainter;
class QStaticText;

namespace kx520 {

// A lit key's cap drawn as one image: its state's picture, the light tinted
// over it and the legend over both, composed into a buffer of its own. A
// frame that leaves the key's colour alone draws the buffer again; one that
// changes it composes anew in place, without a painter.
class LitCapImage {
public:
    struct Look {
        QString capImage;    // the button's state picture
        QString lightImage;  // tinted with the light
        QColor colour;
        int level = 256;
        QColor legendColour;
    };
    // The legend as the cap prints it: prepared text at `at`, in `font`.
    struct Legend {
        const QStaticText* text = nullptr;
        QPointF at;
        QFont font;
    };

    // Draws the cap into `rect`; false, drawing nothing, where the pictures
    // cannot be composed (not both filling the same place unfaded).
    bool Paint(QPainter& painter, const QRect& rect, double scale, const Look& look, const Legend& legend);
    // The legend text changed (or its font, room or scale).
    void LegendChanged() { m_mask = QImage(); }

private:
    const QImage& Mask(const QSize& pixels, double ratio, const Legend& legend);
    // The two pictures rendered for this size: looked up again only when a
    // string, the size, the scale or the pixel ratio changes.
    bool RenderPictures(const QPainter& painter, const QRect& rect, double scale, const Look& look);

    struct Pictures {
        QString cap;
        QString light;
        QSize size;
        double scale = 0;
        double ratio = 0;
        ui::RenderedImage capImage;
        ui::RenderedImage lightImage;
    } m_pictures;

    QImage m_image;
    QImage m_mask;
    struct Drawn {
        qint64 cap = 0;
        qint64 light = 0;
        qint64 mask = 0;
        QRgb colour = 0;
        int level = -1;
        QRgb legend = 0;
        bool operator==(const Drawn&) const = default;
    } m_drawn;
};

}  // namespace kx520
