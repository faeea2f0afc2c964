#pragma once

namespace kx520 {

class AppWindow;
class CZentrelHS6533Device;
class NotificationRouter;

// The rows of the headset's audio and voice changer pages, for the current
// device when it is the headset.
class HeadsetPageActions {
public:
    explicit HeadsetPageActions(AppWindow& window) : m_window(window) {}

    void AddRoutes(NotificationRouter& routes);

private:
    CZentrelHS6533Device* Headset() const;

    AppWindow& m_window;
};

}  // namespace kx520
