#include "windows/CMsgWnd.h"

#include <QKeyEvent>

#include "platform/DebugTrace.h"
#include "ui/CControlUI.h"

namespace kx520 {

CMsgWnd::CMsgWnd(QWidget* owner) : ui::WindowImplBase(owner) {
    setWindowFlag(Qt::Tool);
    setObjectName(QStringLiteral("msgwnd"));
}

void CMsgWnd::InitWindow() {
    m_closeButton = FindControl(QStringLiteral("closebtn"));
}

void CMsgWnd::Notify(const ui::Notification& notification) {
    if (notification.type != QLatin1String(ui::notify::kClick) || notification.sender == nullptr) {
        return;
    }
    const QString& name = notification.sender->GetName();
    if (notification.sender == m_closeButton) {
        Close(0);
    } else if (name.compare(QLatin1String("confirm_btn"), Qt::CaseInsensitive) == 0) {
        Close(1);
    } else if (name.compare(QLatin1String("cancel_btn"), Qt::CaseInsensitive) == 0) {
        Close(0);
    }
}

void CMsgWnd::keyPressEvent(QKeyEvent* event) {
    // Escape never confirms; Enter answers as the confirm button does.
    if (event->key() == Qt::Key_Escape) {
        Close(0);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ui::CControlUI* confirm = FindControl(QStringLiteral("confirm_btn"));
        if (confirm != nullptr && confirm->IsVisible()) {
            Close(1);
        }
        return;
    }
    ui::WindowImplBase::keyPressEvent(event);
}

int ShowMessageBox(QWidget* owner, const QString& titleId, const QString& text, int dpi,
                   int resourceText, int buttons) {
    CMsgWnd box(owner);
    QString error;
    if (!box.Create(&error)) {
        DebugTrace("message box layout: " + error.toStdString());
        return 0;
    }
    if (!titleId.isEmpty()) {
        if (ui::CControlUI* title = box.FindControl(QStringLiteral("MessageTitle"))) {
            title->SetText(titleId);
        }
    }
    if (!text.isEmpty()) {
        if (ui::CControlUI* message = box.FindControl(QStringLiteral("MessageText"))) {
            message->SetPlainText(resourceText != 1);
            message->SetText(text);
        }
    }
    box.SetWindowDpi(dpi);
    ui::CControlUI* confirm = box.FindControl(QStringLiteral("confirm_btn"));
    ui::CControlUI* cancel = box.FindControl(QStringLiteral("cancel_btn"));
    if (buttons == 0 || buttons == 1) {
        if (cancel != nullptr) {
            cancel->SetVisible(buttons == 1);
        }
        if (confirm != nullptr) {
            confirm->SetVisible(true);
        }
    }
    box.CenterWindow();
    return box.ShowModal();
}

}  // namespace kx520
