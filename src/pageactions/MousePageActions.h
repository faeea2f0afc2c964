#pragma once

namespace kx520 {

class AppWindow;
class CZentrelMouseDevice;
class NotificationRouter;

// The rows of the mouse page's sensitivity stages, for the current device
// when it is a mouse.
class MousePageActions {
public:
    explicit MousePageActions(AppWindow& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    CZentrelMouseDevice* Mouse() const;

    AppWindow& m_window;
};

}  // namespace kx520
