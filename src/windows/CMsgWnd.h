#pragma once

#include <QString>

#include "builder/WindowImplBase.h"

namespace kx520 {

// The small modal box with which the application confirms an action or
// reports an error by a text id. Reached through ShowMessageBox.
class CMsgWnd : public ui::WindowImplBase {
    Q_OBJECT

public:
    explicit CMsgWnd(QWidget* owner = nullptr);

    QString GetWindowClassName() const override { return QStringLiteral("MsgWnd"); }
    // The layout behind the resource "XML_MSG".
    QString GetSkinFile() const override { return QStringLiteral("XML/XML_MSG.xml"); }
    void InitWindow() override;
    void Notify(const ui::Notification& notification) override;

    // 48, 72, ... 192; anything else is traced and taken as 96. Applies to
    // this box only.
    void SetWindowDpi(int dpi) { WindowImplBase::SetWindowDpi(dpi, "MSG_WND DPI SET ERROR"); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ui::CControlUI* m_closeButton = nullptr;
};

// Shows a message box and returns 1 when the user confirms ("confirm_btn"),
// 0 for "cancel_btn", "closebtn", Escape or the system close. `text` is a
// text id when `resourceText` is 1, plain characters when 0. `buttons` 0
// shows only the confirm button, 1 both, anything else what the layout has.
// An empty title or text leaves the layout's own.
int ShowMessageBox(QWidget* owner, const QString& titleId, const QString& text, int dpi,
                   int resourceText, int buttons);

}  // namespace kx520
