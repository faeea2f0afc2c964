#pragma once

namespace kx520 {

class AppWindow;
class NotificationRouter;

// The rows of the system tabs that are not the mouse's stages: the report
// rate of the current mouse or keyboard, and the keyboard's key repeat,
// its reset and its three flags.
class SystemPageActions {
public:
    explicit SystemPageActions(AppWindow& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    AppWindow& m_window;
};

}  // namespace kx520
