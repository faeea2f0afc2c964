#include "platform/DesktopSettingsCommand.h"

#include "platform/DesktopFamily.h"

namespace kx520 {

namespace {

struct Tool {
    DesktopFamily family;
    const char* desktop;
    const char* program;
    const char* keyboard;  // the program's argument, or the keyboard's own program when `separate`
    const char* mouse;
    bool separate;
};

// First one found wins: Plasma 6's tool before Plasma 5's.
constexpr Tool kTools[] = {
    {DesktopFamily::kGnome, "GNOME", "gnome-control-center", "keyboard", "mouse", false},
    {DesktopFamily::kCinnamon, "Cinnamon", "cinnamon-settings", "keyboard", "mouse", false},
    {DesktopFamily::kMate, "MATE", nullptr, "mate-keyboard-properties", "mate-mouse-properties", true},
    {DesktopFamily::kKde, "KDE Plasma", "systemsettings", "kcm_keyboard", "kcm_mouse", false},
    {DesktopFamily::kKde, "KDE Plasma", "systemsettings5", "kcm_keyboard", "kcm_mouse", false},
    {DesktopFamily::kXfce, "Xfce", nullptr, "xfce4-keyboard-settings", "xfce4-mouse-settings", true},
};

}  // namespace

DesktopSettingsCommand DesktopSettingsCommand::For(const std::string& currentDesktop, Device device,
                                                   const std::function<bool(const std::string&)>& found) {
    const DesktopFamily family = FamilyOf(currentDesktop);
    DesktopSettingsCommand result;
    for (const Tool& tool : kTools) {
        if (tool.family != family) {
            continue;
        }
        result.desktop = tool.desktop;
        const char* part = device == Device::kKeyboard ? tool.keyboard : tool.mouse;
        const std::string program = tool.separate ? part : tool.program;
        if (!found(program)) {
            continue;
        }
        result.command = tool.separate ? std::vector<std::string>{program}
                                       : std::vector<std::string>{program, part};
        return result;
    }
    return result;
}

}  // namespace kx520
