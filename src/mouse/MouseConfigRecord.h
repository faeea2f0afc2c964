#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "profiles/CMouseProfiledata.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The mouse's configuration record of one profile: light setting, current
// stage and five sensitivity stages (X and Y as slider steps), and the
// caller's values. The host writes its first 66 bytes; a read gives 71
// (the last five are the firmware's own).
class MouseConfigRecord {
public:
    static constexpr size_t kWriteSize = 66;
    static constexpr size_t kReadSize = 71;
    static constexpr size_t kStride = 128;  // record n at 128 x n
    static constexpr size_t kActiveStageByte = 12;
    static constexpr size_t kStagesByte = 14;
    static constexpr size_t kStageSize = 9;
    static constexpr int kStages = 5;

    // What a record is built from.
    struct Fields {
        uint8_t value = 0;     // byte 0
        uint8_t modeCode = 0;  // the light mode's code
        profiles::LightSetting light;
        uint8_t profileValue = 0;  // byte 11
        int activeStage = 0;
        std::vector<profiles::DpiStage> stages;  // missing ones are zeros
        uint8_t third = 0;     // byte 59
        uint16_t fourth = 0;   // bytes 60-61
        uint16_t fifth = 0;    // bytes 62-63
        uint16_t listWord = 0;  // bytes 64-65 (high byte first)
    };
    static std::array<uint8_t, kWriteSize> Build(const Fields& fields);

    // What the host takes from a record it read.
    struct Read {
        uint8_t profile = 0;  // byte 0 of a read record
        uint8_t modeCode = 0;
        uint8_t brightness = 0;
        uint8_t speed = 0;  // 4 - byte 3, 0-4
        uint8_t direction = 0;
        uint8_t multiColor = 0;
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
        int activeStage = 0;  // kept to 0-4
        std::array<profiles::DpiStage, kStages> stages{};
    };
    // Nothing for fewer than 66 bytes.
    static std::optional<Read> Parse(std::span<const uint8_t> record);
};

}  // namespace kx520
