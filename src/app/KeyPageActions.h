#pragma once

namespace kx520 {

class CMainWnd;
class CZentrelKeyboardDevice;
class NotificationRouter;

// The rows of the key assignment page and of the keys on the device
// picture, for the current device when it is a keyboard.
class KeyPageActions {
public:
    explicit KeyPageActions(CMainWnd& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    // The current device when it is a keyboard with its key page.
    CZentrelKeyboardDevice* Keyboard() const;

    CMainWnd& m_window;
};

}  // namespace kx520
