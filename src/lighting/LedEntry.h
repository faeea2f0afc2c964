#pragma once

#include <cstdint>

namespace kx520 {

// One LED of a frame: a colour and a level. The device shows each component
// scaled by level / 256.
struct LedEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t level = 0;

    friend bool operator==(const LedEntry&, const LedEntry&) = default;

    static constexpr uint8_t Scale(uint8_t component, uint8_t level) {
        return static_cast<uint8_t>((component * level) >> 8);
    }
    uint8_t ShownRed() const { return Scale(red, level); }
    uint8_t ShownGreen() const { return Scale(green, level); }
    uint8_t ShownBlue() const { return Scale(blue, level); }
};

}  // namespace kx520
