#include "mouse/MouseConfigRecord.h"

#include <algorithm>

#include "mouse/MouseSensitivity.h"

namespace kx520 {

namespace {

constexpr uint8_t kMaxLevel = 4;

uint8_t Level(uint8_t value) {
    return std::min(value, kMaxLevel);
}

}  // namespace

std::array<uint8_t, MouseConfigRecord::kWriteSize> MouseConfigRecord::Build(const Fields& fields) {
    std::array<uint8_t, kWriteSize> record{};
    record[0] = fields.value;
    record[1] = fields.modeCode;
    record[2] = Level(fields.light.brightness);
    record[3] = static_cast<uint8_t>(kMaxLevel - Level(fields.light.speed));
    record[4] = fields.light.direction;
    record[5] = fields.light.multiColor;
    record[6] = fields.light.red;
    record[7] = fields.light.green;
    record[8] = fields.light.blue;
    record[11] = fields.profileValue;
    record[kActiveStageByte] = static_cast<uint8_t>(MouseSensitivity::ClampStage(fields.activeStage));
    for (size_t s = 0; s < static_cast<size_t>(kStages) && s < fields.stages.size(); ++s) {
        const profiles::DpiStage& stage = fields.stages[s];
        uint8_t* at = record.data() + kStagesByte + kStageSize * s;
        at[0] = stage.enabled;
        at[1] = stage.xy;
        at[2] = static_cast<uint8_t>(stage.dpiX);
        at[3] = static_cast<uint8_t>(stage.dpiX >> 8);
        at[4] = static_cast<uint8_t>(stage.dpiY);
        at[5] = static_cast<uint8_t>(stage.dpiY >> 8);
        at[6] = stage.red;
        at[7] = stage.green;
        at[8] = stage.blue;
    }
    record[59] = fields.third;
    record[60] = static_cast<uint8_t>(fields.fourth);
    record[61] = static_cast<uint8_t>(fields.fourth >> 8);
    record[62] = static_cast<uint8_t>(fields.fifth);
    record[63] = static_cast<uint8_t>(fields.fifth >> 8);
    record[64] = static_cast<uint8_t>(fields.listWord >> 8);
    record[65] = static_cast<uint8_t>(fields.listWord);
    return record;
}

std::optional<MouseConfigRecord::Read> MouseConfigRecord::Parse(std::span<const uint8_t> record) {
    if (record.size() < kWriteSize) {
        return std::nullopt;
    }
    Read read;
    read.profile = record[0];
    read.modeCode = record[1];
    read.brightness = Level(record[2]);
    read.speed = static_cast<uint8_t>(kMaxLevel - Level(record[3]));
    read.direction = record[4];
    read.multiColor = record[5];
    read.red = record[6];
    read.green = record[7];
    read.blue = record[8];
    // A stage the device names outside its five is the last one.
    read.activeStage = MouseSensitivity::ClampStage(record[kActiveStageByte]);
    for (size_t s = 0; s < static_cast<size_t>(kStages); ++s) {
        const uint8_t* at = record.data() + kStagesByte + kStageSize * s;
        read.stages[s] = profiles::DpiStage{at[0],
                                            at[1],
                                            static_cast<uint16_t>(at[2] | (at[3] << 8)),
                                            static_cast<uint16_t>(at[4] | (at[5] << 8)),
                                            at[6],
                                            at[7],
                                            at[8]};
    }
    return read;
}

}  // namespace kx520
