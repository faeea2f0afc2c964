#pragma once

#include <optional>
#include <string>

namespace kx520::ctl {

// The evdev code of a key by its name ("a", "7", "enter", "leftshift",
// "KEY_A", or a number), and of a mouse button ("left", "right",
// "middle", "back", "forward"); nothing for an unknown name.
std::optional<unsigned> KeyCodeByName(const std::string& name);
std::optional<unsigned> ButtonCodeByName(const std::string& name);

}  // namespace kx520::ctl
