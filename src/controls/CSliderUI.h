#pragma once

#include "ui/CControlUI.h"

class QSlider;

namespace kx520::ui {

// A value between a minimum and a maximum. "movevaluechanged" while the
// thumb is dragged, "valuechanged" when it is released or the value is
// moved with the keyboard or by a click on the track. The skin draws it:
// "trackcolor"/"trackimage", "fillcolor"/"fillimage" (the part up to the
// value), "thumbcolor"/"thumbimage", "thumbsize" and "trackheight" in
// layout pixels; "hor" false stands it up (the fill grows upwards).
class CSliderUI : public CControlUI {
    Q_OBJECT

public:
    explicit CSliderUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Slider"); }

    int GetValue() const;
    void SetValue(int value);
    int GetMinValue() const;
    int GetMaxValue() const;
    void SetMinValue(int minimum);
    void SetMaxValue(int maximum);
    void SetChangeStep(int step);
    QSlider* Slider() const { return m_slider; }
    // The style sheet the skin's look becomes at the current scale.
    QString SkinStyleSheet() const;

    bool SetAttribute(const QString& name, const QString& value) override;
    void ApplyScale() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void PaintText(QPainter&) override {}

private:
    void ApplySheet();

    QSlider* m_slider;
    bool m_sheetStale = true;
    QColor m_trackColor{0x34, 0x38, 0x44};
    QColor m_fillColor{0x2F, 0x80, 0xED};
    QColor m_thumbColor{0xE8, 0xEA, 0xF0};
    QString m_trackImage;
    QString m_fillImage;
    QString m_thumbImage;
    int m_thumbSize = 14;
    int m_trackHeight = 4;
};

}  // namespace kx520::ui
