#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QSystemTrayIcon;

namespace kx520 {

class AppWindow;
class MessageTable;

namespace ui {
class WindowImplBase;
}

// The tray icon and the window's menus. A left click on the icon shows or
// hides the window; a right click opens the tray menu. Menu commands run
// the row of their item name; the owners of the items (the window, and
// later the macro recorder and the macro page) add the rows.
class TrayController {
public:
    static constexpr int kTrayMenuTimer = 1032;
    // Mouse messages of the tray icon (lParam of the tray message).
    static constexpr intptr_t kLeftUp = 0x0202;
    static constexpr intptr_t kRightUp = 0x0205;

    using MenuAction = std::function<void()>;

    explicit TrayController(AppWindow& window);
    ~TrayController();
    TrayController(const TrayController&) = delete;
    TrayController& operator=(const TrayController&) = delete;

    // The tray message, the menu command and the menu timer.
    void AddMessages(MessageTable& messages, MessageTable& timers);
    // A menu item's action; the first row for a name is the one that runs.
    // `item` must outlive the controller (a literal).
    void AddMenuItem(const char* item, MenuAction action);
    // The icon, when the desktop has a tray.
    void CreateIcon();
    bool IconShown() const;
    void HideIcon();

    void OnTrayMessage(intptr_t mouseMessage);
    // Runs the item's row; false for an item no row names.
    bool OnMenuClick(const QString& item);
    void ShowMenu();
    void CloseMenu();

private:
    struct MenuRow {
        const char* item;
        MenuAction action;
    };

    AppWindow& m_window;
    QSystemTrayIcon* m_icon = nullptr;
    QPointer<ui::WindowImplBase> m_menu;
    std::vector<MenuRow> m_menuRows;
};

}  // namespace kx520
