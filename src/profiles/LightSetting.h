#pragma once

#include <cstdint>

namespace kx520::profiles {

// One light setting as a profile keeps it ("LightInfo", and each entry of
// "LightList"), and as the device shows it.
struct LightSetting {
    uint8_t mode = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0;
    uint8_t direction = 0;   // direction or variant of the effect
    uint8_t multiColor = 0;  // 0 single colour, 1 multi-colour
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t present = 0;  // "LightList" entries: 0 when the entry is null
    uint8_t zzccLedMode = 0;
    uint8_t customGroup = 0;
    uint8_t oldLedMode = 0;

    friend bool operator==(const LightSetting&, const LightSetting&) = default;
};

}  // namespace kx520::profiles
