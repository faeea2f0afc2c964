#include "platform/KeyRepeatPlan.h"

#include <gtest/gtest.h>

#include <set>

namespace kx520 {
namespace {

TEST(KeyRepeatPlan, RateStepsRunFromTwoAndAHalfToThirtyASecondAndKeepToTheSlider) {
    struct Case {
        int step;
        double perSecond;
        int intervalMs;
    };
    for (const Case& c : {Case{0, 2.5, 400}, Case{31, 30.0, 33}, Case{-4, 2.5, 400}, Case{99, 30.0, 33},
                          Case{15, 2.5 + 27.5 * 15 / 31, 63}}) {
        EXPECT_DOUBLE_EQ(KeyRepeatPlan::PerSecond(c.step), c.perSecond) << c.step;
        EXPECT_EQ(KeyRepeatPlan::IntervalMs(c.step), c.intervalMs) << c.step;
    }
}

// Which desktop gets which commands, by $XDG_CURRENT_DESKTOP and the
// programs on the path.
TEST(KeyRepeatPlan, EachDesktopGetsItsOwnSettingsAndTheOthersNone) {
    struct Case {
        const char* desktop;
        std::set<std::string> onPath;
        const char* name;
        std::vector<std::string> last;  // the command that sets the rate
        bool nextSignIn;
    };
    const std::set<std::string> all = {"gsettings", "kwriteconfig5", "kwriteconfig6"};
    const Case cases[] = {
        {"ubuntu:GNOME", all, "GNOME", {"gsettings", "set", "org.gnome.desktop.peripherals.keyboard", "repeat-interval", "63"}, false},
        {"Budgie:GNOME", all, "GNOME", {"gsettings", "set", "org.gnome.desktop.peripherals.keyboard", "repeat-interval", "63"}, false},
        {"X-Cinnamon", all, "Cinnamon", {"gsettings", "set", "org.cinnamon.desktop.peripherals.keyboard", "repeat-interval", "63"}, false},
        {"MATE", all, "MATE", {"gsettings", "set", "org.mate.peripherals-keyboard", "rate", "16"}, false},
        {"KDE", all, "KDE Plasma",
         {"kwriteconfig6", "--notify", "--file", "kcminputrc", "--group", "Keyboard", "--key", "RepeatRate", "15.8"}, true},
        {"KDE", {"kwriteconfig5"}, "KDE Plasma",
         {"kwriteconfig5", "--notify", "--file", "kcminputrc", "--group", "Keyboard", "--key", "RepeatRate", "15.8"}, true},
        {"GNOME", {}, "", {}, false},       // no gsettings to tell it
        {"KDE", {"gsettings"}, "", {}, false},
        {"XFCE", all, "", {}, false},        // its settings are its own daemon's
        {"", all, "", {}, false},
        {"sway", all, "", {}, false},
    };
    for (const Case& c : cases) {
        const KeyRepeatPlan plan = KeyRepeatPlan::For(c.desktop, 750, 15, [&c](const std::string& program) {
            return c.onPath.count(program) != 0;
        });
        EXPECT_EQ(plan.desktop, c.name) << c.desktop;
        EXPECT_EQ(plan.fromNextSignIn, c.nextSignIn) << c.desktop;
        if (c.last.empty()) {
            EXPECT_TRUE(plan.commands.empty()) << c.desktop;
            continue;
        }
        ASSERT_EQ(plan.commands.size(), 3u) << c.desktop;
        EXPECT_EQ(plan.commands.back(), c.last) << c.desktop;
        EXPECT_EQ(plan.commands[1].back(), "750") << c.desktop;  // the delay in ms
    }
}

}  // namespace
}  // namespace kx520
