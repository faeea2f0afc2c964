#include "lighting/LightTables.h"

#include <algorithm>

namespace kx520 {

uint8_t IntervalFor(size_t mode, size_t speed) {
    if (mode >= kLightModeCount) {
        mode = 0;
    }
    return kIntervalRow[std::min<size_t>(speed, 4)];
}

size_t ClampLevelIndex(int value) {
    return static_cast<size_t>(std::clamp(value, 0, 4));
}

}  // namespace kx520
