#include "platform/DesktopSettingsCommand.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/DesktopFamily.h"

namespace kx520 {
namespace {

using Device = DesktopSettingsCommand::Device;
using Command = std::vector<std::string>;

// Each desktop, with the programs a machine has, opens its own settings.
TEST(DesktopSettingsCommand, EachDesktopOpensItsOwnKeyboardAndMouseSettings) {
    struct Case {
        const char* desktop;
        std::set<std::string> installed;
        Device device;
        const char* name;
        Command command;
    };
    const std::set<std::string> everything = {"gnome-control-center", "cinnamon-settings", "mate-keyboard-properties",
                                              "mate-mouse-properties", "systemsettings", "systemsettings5",
                                              "xfce4-keyboard-settings", "xfce4-mouse-settings"};
    const std::vector<Case> cases = {
        {"GNOME", everything, Device::kKeyboard, "GNOME", {"gnome-control-center", "keyboard"}},
        {"ubuntu:GNOME", everything, Device::kMouse, "GNOME", {"gnome-control-center", "mouse"}},
        {"X-Cinnamon", everything, Device::kMouse, "Cinnamon", {"cinnamon-settings", "mouse"}},
        {"MATE", everything, Device::kKeyboard, "MATE", {"mate-keyboard-properties"}},
        {"KDE", everything, Device::kKeyboard, "KDE Plasma", {"systemsettings", "kcm_keyboard"}},
        {"KDE", {"systemsettings5"}, Device::kMouse, "KDE Plasma", {"systemsettings5", "kcm_mouse"}},
        {"XFCE", everything, Device::kMouse, "Xfce", {"xfce4-mouse-settings"}},
        {"GNOME", {}, Device::kKeyboard, "GNOME", {}},
        {"sway", everything, Device::kKeyboard, "", {}},
        {"", everything, Device::kMouse, "", {}},
    };
    for (const Case& c : cases) {
        const auto plan = DesktopSettingsCommand::For(
            c.desktop, c.device, [&c](const std::string& program) { return c.installed.count(program) != 0; });
        EXPECT_EQ(plan.desktop, c.name) << c.desktop;
        EXPECT_EQ(plan.command, c.command) << c.desktop;
    }
}

TEST(DesktopFamily, ListsAndLetterCase) {
    EXPECT_EQ(FamilyOf("ubuntu:GNOME"), DesktopFamily::kGnome);
    EXPECT_EQ(FamilyOf("Budgie:GNOME"), DesktopFamily::kGnome);
    EXPECT_EQ(FamilyOf("kde"), DesktopFamily::kKde);
    EXPECT_EQ(FamilyOf("XFCE"), DesktopFamily::kXfce);
    EXPECT_EQ(FamilyOf("GNOMEish"), DesktopFamily::kOther);
    EXPECT_EQ(FamilyOf(":::"), DesktopFamily::kOther);
}

}  // namespace
}  // namespace kx520
