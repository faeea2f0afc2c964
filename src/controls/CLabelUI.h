#pragma once

#include "ui/CControlUI.h"

namespace kx520::ui {

// Text, aligned inside the inset ("align": left|center|right + top|vcenter|bottom).
// "endellipsis" cuts a text too long for the label with "…" at its end;
class CLabelUI : public CControlUI {
    Q_OBJECT

public:
    explicit CLabelUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Label"); }

    bool SetAttribute(const QString& name, const QString& value) override;
    // An ellipsising label is never cut off: it says so with its "…".
    bool TextFits() const override;
    bool IsEndEllipsis() const { return m_endEllipsis; }

protected:
    void PaintText(QPainter& painter) override;

private:
    bool m_endEllipsis = false;
};

}  // namespace kx520::ui
