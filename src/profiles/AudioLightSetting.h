#pragma once

#include <cstdint>

#include "profiles/LightSetting.h"

namespace kx520::profiles {

// Music-reactive lighting as a profile keeps it ("AudioLightInfo").
struct AudioLightSetting {
    uint8_t audioMode = 0;
    uint8_t bkRed = 0;
    uint8_t bkGreen = 0;
    uint8_t bkBlue = 0;
    uint8_t fgRed = 0;
    uint8_t fgGreen = 0;
    uint8_t fgBlue = 0;
    uint8_t sevenColor = 0;  // boolean
    uint8_t colorType = 0;   // boolean

    friend bool operator==(const AudioLightSetting&, const AudioLightSetting&) = default;
};

// One step of a custom light effect (".light" files).
struct LightEffectFrame {
    LightSetting setting;
    int32_t time = 0;
    int32_t cycle = 0;

    friend bool operator==(const LightEffectFrame&, const LightEffectFrame&) = default;
};

}  // namespace kx520::profiles
