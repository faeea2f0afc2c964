#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kx520 {

// The mouse's sensitivity scale, from its information block: slider
// steps of `step` from `lowest`, and for the 0x3325 sensor steps of 200
// above step 48.
struct MouseSensitivity {
    static constexpr uint16_t kWideSensor = 0x3325;
    static constexpr int kWideFromStep = 48;
    static constexpr int kWideStepValue = 200;
    static constexpr int kWideFromValue = 5000;
    static constexpr int kStages = 5;
    static constexpr int kPollingOptions = 5;

    uint16_t sensor = 0;  // info bytes 9-10
    uint8_t step = 0;     // info byte 11
    uint8_t highest = 0;  // info byte 12: the sliders' last step
    uint16_t lowest = 0;  // info bytes 14-15

    // Nothing known (all zeros) from a block shorter than 16 bytes.
    static MouseSensitivity FromInfo(std::span<const uint8_t> info);

    // The value a slider step shows.
    int ValueOfStep(int step) const;
    // The step of a typed value (below the lowest counts as the lowest),
    // within 0..highest; nothing when the block gives no step to divide by.
    std::optional<int> StepOfValue(int value) const;
    // The sensitivity edits' highest value.
    int HighestValue() const { return static_cast<int>(highest) * step; }

    // A stage index from a device or a file, kept to 0-4.
    static int ClampStage(int stage);
    // A polling rate value outside 0-4 shows as the first option.
    static int PollingOption(int value) { return value >= 0 && value < kPollingOptions ? value : 0; }
};

}  // namespace kx520
