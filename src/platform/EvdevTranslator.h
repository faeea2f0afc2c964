#pragma once

#include <cstdint>
#include <optional>

#include "platform/CapturedInput.h"

namespace kx520 {

// What an input device's events mean to recording, without the device:
// key and button presses and releases; auto-repeats count as presses (the
// recorder drops repeated presses itself), everything else is nothing.
class EvdevTranslator {
public:
    static constexpr uint16_t kTypeKey = 0x01;  // EV_KEY
    static constexpr int32_t kRelease = 0;
    static constexpr int32_t kPress = 1;
    static constexpr int32_t kRepeat = 2;

    static std::optional<CapturedInput> Translate(uint16_t type, uint16_t code, int32_t value);
    // Keyboard keys (below the button range) and the five mouse buttons.
    static bool IsKeyboardKey(uint16_t code) { return code > 0 && code < 0x100; }
    static bool IsMouseButton(uint16_t code) { return code >= kButtonLeft && code <= kButtonExtra; }
};

}  // namespace kx520
