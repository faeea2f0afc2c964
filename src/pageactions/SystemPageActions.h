#pragma once

namespace kx520 {

class AppWindow;
class NotificationRouter;

// The rows of the system tabs that are not the mouse's stages: the report
// rate of the current mouse or keyboard, the keyboard's key repeat, its
// reset and its three flags, and the desktop's own keyboard and mouse settings.
class SystemPageActions {
public:
    explicit SystemPageActions(AppWindow& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    AppWindow& m_window;
};

}  // namespace kx520
