#pragma once

#include "ui/CControlUI.h"

class QSlider;

namespace kx520::ui {

// A value between a minimum and a maximum. "movevaluechanged" while the
// thumb is dragged, "valuechanged" when it is released or the value is
// moved with the keyboard or by a click on the track.
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

    bool SetAttribute(const QString& name, const QString& value) override;
    void ApplyScale() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void PaintText(QPainter&) override {}

private:
    QSlider* m_slider;
};

}  // namespace kx520::ui
