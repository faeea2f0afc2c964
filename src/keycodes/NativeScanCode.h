#pragma once

#include <cstdint>
#include <optional>

namespace kx520 {

// A key as the key tables name it: its PC set-1 scan code and extended flag.
struct Set1Key {
    uint8_t scan = 0;
    bool extended = false;

    friend bool operator==(const Set1Key&, const Set1Key&) = default;
};

// Linux reports keys by evdev code (X11 and Wayland add 8 to it as the
// native scan code of a key event). The set-1 key of an evdev code, or
// nothing for a key the tables do not have.
std::optional<Set1Key> Set1FromEvdev(uint32_t evdev);
// The evdev code of a key event's native scan code on X11 and Wayland.
inline uint32_t EvdevFromNative(uint32_t native) { return native >= 8 ? native - 8 : 0; }
// Caps Lock, Num Lock and Scroll Lock: keys a capture lets through.
bool IsLockKey(uint32_t evdev);

}  // namespace kx520
