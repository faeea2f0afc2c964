#pragma once

#include "ui/CControlUI.h"

class QLineEdit;

namespace kx520::ui {

// A one-line text field. "numberonly" accepts digits only; "minvalue" and
// "maxvalue" bound a number-only value when the field loses focus;
// "maxchar" bounds the length; "tiptext" is shown while it is empty. Sends "setfocus", "killfocus",
// "textchanged" (as the user types) and "return".
class CEditUI : public CControlUI {
    Q_OBJECT

public:
    explicit CEditUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Edit"); }

    void SetNumberOnly(bool numberOnly);
    bool IsNumberOnly() const { return m_numberOnly; }
    void SetMinMax(int minimum, int maximum);
    int GetMinValue() const { return m_minimum; }
    int GetMaxValue() const { return m_maximum; }
    void SetMaxChar(int length);
    int GetMaxChar() const;
    void SetReadOnly(bool readOnly);
    QLineEdit* LineEdit() const { return m_edit; }

    bool SetAttribute(const QString& name, const QString& value) override;
    void ApplyScale() override;

protected:
    void BeforeKillFocus() override;
    void resizeEvent(QResizeEvent* event) override;
    void PaintText(QPainter&) override {}
    void TextChanged() override;

private:
    void ClampToRange();

    QLineEdit* m_edit;
    bool m_numberOnly = false;
    int m_minimum = 0;
    int m_maximum = 0;  // no bound when minimum == maximum == 0
};

}  // namespace kx520::ui
