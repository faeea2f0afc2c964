#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kx520 {

// How the desktop is told the keyboard's repeat: the commands that change
// its own keyboard settings (GNOME and the desktops on its settings, KDE
// Plasma), or none where it offers no setting the application can change.
struct KeyRepeatPlan {
    static constexpr int kRateSteps = 32;  // the page's slider: 0 slowest, 31 fastest

    std::string desktop;  // its name as the user knows it; "" for none
    std::vector<std::vector<std::string>> commands;
    bool fromNextSignIn = false;  // the desktop reads them when the session starts

    // Repeats a second at rate step `step` (kept to 0-31): 2.5 to 30.
    static double PerSecond(int step);
    // Milliseconds between repeats at that step.
    static int IntervalMs(int step);
    // For the desktop $XDG_CURRENT_DESKTOP names (its ':'-separated list),
    // a delay of `delayMs` and rate step `step`; `found(program)` says
    // whether a program is on the path.
    static KeyRepeatPlan For(const std::string& currentDesktop, int delayMs, int step,
                             const std::function<bool(const std::string&)>& found);
};

}  // namespace kx520
