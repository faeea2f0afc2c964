#pragma once

#include "ui/CControlUI.h"

namespace kx520::ui {

// A bar filled in proportion to its value ("forecolor" or "foreimage").
class CProgressUI : public CControlUI {
    Q_OBJECT

public:
    explicit CProgressUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Progress"); }

    int GetValue() const { return m_value; }
    void SetValue(int value);
    int GetMinValue() const { return m_minimum; }
    int GetMaxValue() const { return m_maximum; }
    void SetMinValue(int minimum);
    void SetMaxValue(int maximum);
    // The filled share, 0 to 1.
    double Fraction() const;

    bool SetAttribute(const QString& name, const QString& value) override;

protected:
    void PaintStatusImage(QPainter& painter) override;

private:
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    bool m_horizontal = true;
    QColor m_foreColor{0x3D, 0xA9, 0xFC};
    QString m_foreImage;
};

}  // namespace kx520::ui
