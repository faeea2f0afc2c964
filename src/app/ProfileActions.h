#pragma once

#include <QString>

namespace kx520 {

class CMainWnd;

// What the main window does for the current device's profile list: the
// click rows that name it, the editor tabs and the switch to the profile
// chosen in its combo.
class ProfileActions {
public:
    explicit ProfileActions(CMainWnd& window);

    // True when `name` is one of the profile list's controls.
    bool OnClick(const QString& name);
    // Editor tab 1-8: the device shows its panels, the list remembers it.
    void OnEditorTab(int tab);
    // Hands the profile list's selection to the current device.
    void SwitchProfile();

private:
    void ReloadDeviceProfile();

    CMainWnd& m_window;
};

}  // namespace kx520
