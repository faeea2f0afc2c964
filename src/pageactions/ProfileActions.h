#pragma once

#include <QString>

namespace kx520 {

class CDeviceProfileUI;
class AppWindow;
class MessageTable;
class NotificationRouter;

// What the main window does for the current device's profile list: the
// click rows that name it, the editor tabs and the switch to the profile
// chosen in its combo (400 ms after the choice, so that scrolling through
// the combo does not send every profile on the way).
class ProfileActions {
public:
    static constexpr int kProfileSwitchTimer = 1055;

    explicit ProfileActions(AppWindow& window);

    // The rows of the profile list, the combo and the editor tabs, and the
    // switch timer.
    void AddRoutes(NotificationRouter& routes, MessageTable& timers);
    // Editor tab 1-8: the device shows its panels, the list remembers it.
    void OnEditorTab(int tab);
    // Hands the profile list's selection to the current device.
    void SwitchProfile();

private:
    // The current device's profile list; nullptr without one.
    CDeviceProfileUI* Profiles() const;
    void AddProfileRoute(NotificationRouter& routes, const char* name, bool exact,
                         void (ProfileActions::*action)(CDeviceProfileUI&));
    void Add(CDeviceProfileUI& profiles);
    void Copy(CDeviceProfileUI& profiles);
    void ToggleExpanded(CDeviceProfileUI& profiles);
    void Delete(CDeviceProfileUI& profiles);
    void Export(CDeviceProfileUI& profiles);
    void Import(CDeviceProfileUI& profiles);
    void Reset(CDeviceProfileUI& profiles);
    void Rename(CDeviceProfileUI& profiles);
    void ReloadDeviceProfile();

    AppWindow& m_window;
};

}  // namespace kx520
