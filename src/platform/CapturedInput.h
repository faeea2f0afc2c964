#pragma once

#include <cstdint>

namespace kx520 {

// One press or release that input capture heard: a key by its evdev code,
// or a mouse button by its evdev button code (BTN_LEFT ... BTN_EXTRA).
struct CapturedInput {
    enum class Kind : uint8_t { kKey, kButton };

    Kind kind = Kind::kKey;
    bool press = false;
    uint16_t code = 0;
    // Where the pointer was (screen coordinates), when the source knows.
    bool hasPoint = false;
    int x = 0;
    int y = 0;

    friend bool operator==(const CapturedInput&, const CapturedInput&) = default;
};

// evdev button codes recording knows.
inline constexpr uint16_t kButtonLeft = 0x110;
inline constexpr uint16_t kButtonRight = 0x111;
inline constexpr uint16_t kButtonMiddle = 0x112;
inline constexpr uint16_t kButtonSide = 0x113;   // back
inline constexpr uint16_t kButtonExtra = 0x114;  // forward

}  // namespace kx520
