#include "platform/KeyRepeatPlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/DesktopFamily.h"

namespace kx520 {

namespace {

// GSettings' keyboard schema of the GNOME family: delay and interval in ms.
KeyRepeatPlan GSettings(const char* desktop, const char* schema, int delayMs, int intervalMs) {
    KeyRepeatPlan plan;
    plan.desktop = desktop;
    plan.commands = {{"gsettings", "set", schema, "repeat", "true"},
                     {"gsettings", "set", schema, "delay", std::to_string(delayMs)},
                     {"gsettings", "set", schema, "repeat-interval", std::to_string(intervalMs)}};
    return plan;
}

std::string Decimal(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

double KeyRepeatPlan::PerSecond(int step) {
    const int kept = std::clamp(step, 0, kRateSteps - 1);
    return 2.5 + 27.5 * kept / (kRateSteps - 1);
}

int KeyRepeatPlan::IntervalMs(int step) {
    return static_cast<int>(std::lround(1000.0 / PerSecond(step)));
}

KeyRepeatPlan KeyRepeatPlan::For(const std::string& currentDesktop, int delayMs, int step,
                                 const std::function<bool(const std::string&)>& found) {
    const DesktopFamily family = FamilyOf(currentDesktop);
    const int interval = IntervalMs(step);
    if (family == DesktopFamily::kGnome && found("gsettings")) {
        return GSettings("GNOME", "org.gnome.desktop.peripherals.keyboard", delayMs, interval);
    }
    if (family == DesktopFamily::kCinnamon && found("gsettings")) {
        return GSettings("Cinnamon", "org.cinnamon.desktop.peripherals.keyboard", delayMs, interval);
    }
    if (family == DesktopFamily::kMate && found("gsettings")) {
        KeyRepeatPlan plan;
        plan.desktop = "MATE";
        const std::string perSecond = std::to_string(static_cast<int>(std::lround(PerSecond(step))));
        plan.commands = {{"gsettings", "set", "org.mate.peripherals-keyboard", "repeat", "true"},
                         {"gsettings", "set", "org.mate.peripherals-keyboard", "delay", std::to_string(delayMs)},
                         {"gsettings", "set", "org.mate.peripherals-keyboard", "rate", perSecond}};
        return plan;
    }
    if (family == DesktopFamily::kKde) {
        for (const char* tool : {"kwriteconfig6", "kwriteconfig5"}) {
            if (!found(tool)) {
                continue;
            }
            KeyRepeatPlan plan;
            plan.desktop = "KDE Plasma";
            plan.fromNextSignIn = true;
            const std::vector<std::string> key = {tool, "--notify", "--file", "kcminputrc", "--group", "Keyboard", "--key"};
            auto set = [&key](const char* name, const std::string& value) {
                std::vector<std::string> command = key;
                command.push_back(name);
                command.push_back(value);
                return command;
            };
            plan.commands = {set("KeyRepeat", "repeat"), set("RepeatDelay", std::to_string(delayMs)),
                             set("RepeatRate", Decimal(PerSecond(step)))};
            return plan;
        }
    }
    return {};
}

}  // namespace kx520
