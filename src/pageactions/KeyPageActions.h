#pragma once

namespace kx520 {

class AppWindow;
class CZentrelUSBDevice;
class NotificationRouter;

// The rows of the key assignment page and of the keys on the device
// picture, for the current device when it has a key page (the keyboard,
// the mouse).
class KeyPageActions {
public:
    explicit KeyPageActions(AppWindow& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    // The current device when it has a key page.
    CZentrelUSBDevice* Device() const;

    AppWindow& m_window;
};

}  // namespace kx520
