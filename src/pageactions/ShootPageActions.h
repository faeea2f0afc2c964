#pragma once

#include <string>

namespace kx520 {

class AppWindow;
class CShootControlUI;
class NotificationRouter;

// The rows of the mouse's recoil page, for the current device when it is
// a mouse: guns and bullets chosen, a bullet edited, a gun reset, imported
// or exported, and the four guns written to the mouse.
class ShootPageActions {
public:
    explicit ShootPageActions(AppWindow& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    CShootControlUI* Page() const;
    // A file the page could not change, told.
    void Tell(const std::string& error) const;

    AppWindow& m_window;
};

}  // namespace kx520
