#include "mouse/MouseSensitivity.h"

#include <algorithm>

namespace kx520 {

MouseSensitivity MouseSensitivity::FromInfo(std::span<const uint8_t> info) {
    MouseSensitivity scale;
    if (info.size() < 16) {
        return scale;
    }
    scale.sensor = static_cast<uint16_t>(info[9] | (info[10] << 8));
    scale.step = info[11];
    scale.highest = info[12];
    scale.lowest = static_cast<uint16_t>(info[14] | (info[15] << 8));
    return scale;
}

int MouseSensitivity::ValueOfStep(int step) const {
    if (sensor == kWideSensor && step > kWideFromStep) {
        return this->step * kWideFromStep + step * kWideStepValue + lowest - kWideFromStep * kWideStepValue;
    }
    return step * this->step + lowest;
}

std::optional<int> MouseSensitivity::StepOfValue(int value) const {
    if (step == 0) {
        return std::nullopt;  // no scale: the step stays as it was
    }
    value = std::max(value, static_cast<int>(lowest));
    const int found = sensor == kWideSensor && value > kWideFromValue
                          ? (value - lowest - kWideFromValue) / kWideStepValue + kWideFromStep
                          : (value - lowest) / step;
    return std::clamp(found, 0, static_cast<int>(highest));
}

int MouseSensitivity::ClampStage(int stage) {
    return std::clamp(stage, 0, kStages - 1);
}

}  // namespace kx520
