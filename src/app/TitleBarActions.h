#pragma once

namespace kx520 {

class CMainWnd;
class NotificationRouter;

// The rows of the window's own controls: the title bar's buttons, the
// lighting switch, the "no device" panel's button and the root's resize.
class TitleBarActions {
public:
    explicit TitleBarActions(CMainWnd& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    CMainWnd& m_window;
};

}  // namespace kx520
