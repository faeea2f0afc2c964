#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kx520 {

// The desktop's own keyboard or mouse settings, as a command that opens
// them: GNOME's control centre (and the desktops on it), Cinnamon's and
// MATE's settings, KDE Plasma's system settings or Xfce's settings tools.
struct DesktopSettingsCommand {
    enum class Device { kKeyboard = 0, kMouse = 1 };

    std::string desktop;  // its name as the user knows it; "" for none
    std::vector<std::string> command;  // empty where there is none to run

    // For the desktop $XDG_CURRENT_DESKTOP names; `found(program)` says
    // whether a program is on the path.
    static DesktopSettingsCommand For(const std::string& currentDesktop, Device device,
                                      const std::function<bool(const std::string&)>& found);
};

}  // namespace kx520
