#include "headset/HeadsetLightRecord.h"

#include <algorithm>

namespace kx520 {

namespace {

uint8_t Step(uint8_t value) {
    return std::min<uint8_t>(value, 4);
}

}  // namespace

HeadsetLightRecordBytes HeadsetLightRecord(const profiles::LightSetting& light, uint8_t modeCode, uint8_t first) {
    HeadsetLightRecordBytes record{};
    record[0] = first;
    record[1] = light.mode > kHeadsetHighestMode ? 0 : modeCode;
    record[2] = Step(light.brightness);
    record[3] = static_cast<uint8_t>(4 - Step(light.speed));
    record[4] = light.direction;
    record[5] = light.multiColor;
    record[6] = light.red;
    record[7] = light.green;
    record[8] = light.blue;
    return record;
}

}  // namespace kx520
