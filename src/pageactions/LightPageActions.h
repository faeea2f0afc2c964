#pragma once

namespace kx520 {

class AppWindow;
class DeviceLinkManager;
class NotificationRouter;

// The rows of the lighting page, for the current device when it has one:
// each change is read from the page, kept in the device's light setting
// (or its music setting) and applied; and the same effect on every
// lighting device.
class LightPageActions {
public:
    LightPageActions(AppWindow& window, DeviceLinkManager& devices) : m_window(window), m_devices(devices) {}

    void AddRoutes(NotificationRouter& routes);
    // Every open lighting device takes the current device's effect (as its
    // own kind numbers it) with the same brightness, speed, direction and
    // colours, and is marked as synchronised. False when the current
    // effect has no counterpart on the other kinds.
    bool ApplySameMode();

private:
    AppWindow& m_window;
    DeviceLinkManager& m_devices;
};

}  // namespace kx520
