#pragma once

namespace kx520 {

class CMainWnd;
class CZentrelMouseDevice;
class NotificationRouter;

// The rows of the mouse page's sensitivity stages, for the current device
// when it is a mouse.
class MousePageActions {
public:
    explicit MousePageActions(CMainWnd& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    CZentrelMouseDevice* Mouse() const;

    CMainWnd& m_window;
};

}  // namespace kx520
