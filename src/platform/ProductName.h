#pragma once

namespace kx520 {

// The product name: the bus name's owner, the window title, the tray
// tool-tip, the settings and data folder names.
inline constexpr const char* kProductName = "KX520 PRO Keyboard";

}  // namespace kx520
