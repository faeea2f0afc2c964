#pragma once

#include <string>

namespace kx520 {

// The desktop family $XDG_CURRENT_DESKTOP names (a ':'-separated list, any
// letter case): what decides which of its own settings tools and keys the
// application uses.
enum class DesktopFamily { kOther, kGnome, kCinnamon, kMate, kKde, kXfce };

DesktopFamily FamilyOf(const std::string& currentDesktop);

}  // namespace kx520
