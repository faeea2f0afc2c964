#pragma once

#include "ui/CControlUI.h"

namespace kx520::ui {

// Picks a colour: hue across and saturation down in the square, brightness
// in the bar below it. A pick sends "colorchanged".
class CColorPaletteUI : public CControlUI {
    Q_OBJECT

public:
    explicit CColorPaletteUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("ColorPalette"); }

    QColor GetSelectColor() const { return m_colour; }
    void SetSelectColor(const QColor& colour);

    bool SetAttribute(const QString& name, const QString& value) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void PaintStatusImage(QPainter& painter) override;
    void PaintText(QPainter&) override {}

private:
    QRect SquareRect() const;
    QRect BarRect() const;
    void PickAt(const QPoint& point);

    QColor m_colour{Qt::red};
    int m_barHeight = 12;
    bool m_onBar = false;
};

}  // namespace kx520::ui
