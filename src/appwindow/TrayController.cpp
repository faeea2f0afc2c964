#include "appwindow/TrayController.h"

#include <QCursor>
#include <QSystemTrayIcon>

#include "appwindow/AppWindow.h"
#include "discovery/DeviceSelector.h"
#include "messages/MessageTable.h"
#include "messages/RegisteredMessages.h"
#include "platform/DebugTrace.h"
#include "builder/CMenuWnd.h"

namespace kx520 {

namespace {
constexpr const char* kMenuLayout = "XML/menu.xml";
}  // namespace

TrayController::TrayController(AppWindow& window) : m_window(window) {}

TrayController::~TrayController() {
    CloseMenu();
    delete m_icon;
}

void TrayController::AddMessages(MessageTable& messages, MessageTable& timers) {
    messages.Add({msg::kTrayIcon, false, false, false,
                  [this](uintptr_t, intptr_t lParam) { OnTrayMessage(lParam); }});
    // The command record belongs to the menu; the window only reads it.
    messages.Add({msg::kMenuClick, false, false, true, [this](uintptr_t wParam, intptr_t) {
                      const auto* command = reinterpret_cast<const ui::MenuCommand*>(wParam);
                      if (command != nullptr) {
                          OnMenuClick(command->name);
                      }
                  }});
    timers.Add({kTrayMenuTimer, false, false, false, [this](uintptr_t, intptr_t) { ShowMenu(); }});
}

void TrayController::AddMenuItem(const char* item, MenuAction action) {
    m_menuRows.push_back({item, std::move(action)});
}

void TrayController::CreateIcon() {
    if (m_icon != nullptr || !QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    m_icon = new QSystemTrayIcon(m_window.windowIcon());
    m_icon->setToolTip(QLatin1String(kProductName));
    QObject::connect(m_icon, &QSystemTrayIcon::activated, &m_window,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         const intptr_t mouse =
                             reason == QSystemTrayIcon::Context ? kRightUp : kLeftUp;
                         m_window.SendMessage(msg::kTrayIcon, 107, mouse);
                     });
    m_icon->show();
}

bool TrayController::IconShown() const {
    return m_icon != nullptr && m_icon->isVisible();
}

void TrayController::HideIcon() {
    if (m_icon != nullptr) {
        m_icon->hide();
    }
}

void TrayController::OnTrayMessage(intptr_t mouseMessage) {
    if (mouseMessage == kRightUp) {
        m_window.SetTimer(kTrayMenuTimer, 10);
        return;
    }
    if (mouseMessage != kLeftUp) {
        return;
    }
    if (m_window.Selector().ShownCount() == 0) {
        m_window.ShowNoDeviceHint(true);
    } else if (m_window.UpdaterFlag()) {
        m_window.ShowNoDeviceHint(false);
    }
    m_window.CloseChildWindows();
    if (m_window.isVisible() && !m_window.isMinimized()) {
        m_window.hide();
        return;
    }
    m_window.FitToMonitor();
    m_window.RestoreAndRaise();
}

bool TrayController::OnMenuClick(const QString& item) {
    for (const MenuRow& row : m_menuRows) {
        if (item == QLatin1String(row.item)) {
            row.action();
            return true;
        }
    }
    return false;
}

void TrayController::ShowMenu() {
    CloseMenu();
    QString error;
    m_menu = ui::CMenuWnd::Show(&m_window, QLatin1String(kMenuLayout), QCursor::pos(),
                                ui::CMenuWnd::kAlignLeft | ui::CMenuWnd::kAlignBottom, &error);
    if (!m_menu) {
        DebugTrace(("tray menu not built: " + error).toStdString());
    }
}

void TrayController::CloseMenu() {
    if (m_menu) {
        m_menu->close();
    }
}

}  // namespace kx520
