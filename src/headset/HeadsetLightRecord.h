#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "profiles/LightSetting.h"

namespace kx520 {

// The headset's light record as it is written, 21 bytes at 64 x the
// profile, laid out as the pad's: byte 0 `first`, 1 the mode's code (0 for
// a mode above the eight the headset runs), 2 brightness, 3 four less the
// speed (both steps kept to 0-4), 4 direction, 5 multi-colour, 6-8 red,
// green, blue; the rest 0.
inline constexpr size_t kHeadsetRecordSize = 21;
inline constexpr size_t kHeadsetRecordStride = 64;
inline constexpr uint8_t kHeadsetHighestMode = 8;

using HeadsetLightRecordBytes = std::array<uint8_t, kHeadsetRecordSize>;

HeadsetLightRecordBytes HeadsetLightRecord(const profiles::LightSetting& light, uint8_t modeCode, uint8_t first = 0);

}  // namespace kx520
