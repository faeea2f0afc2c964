#include "headset/HeadsetLightRecord.h"

#include <gtest/gtest.h>

namespace kx520 {
namespace {

TEST(HeadsetLightRecord, IsLaidOutAsThePadsWithTheSpeedTurnedAndHighModesOff) {
    // mode, brightness, speed, direction, multi-colour, red, green, blue
    profiles::LightSetting light{3, 4, 1, 1, 1, 255, 128, 7};
    const HeadsetLightRecordBytes expected{2, 3, 4, 3, 1, 1, 255, 128, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(HeadsetLightRecord(light, 3, 2), expected);
    struct Case {
        uint8_t mode;
        uint8_t code;
        uint8_t sent;
    };
    for (const Case& c : {Case{8, 8, 8}, Case{9, 9, 0}, Case{29, 29, 0}, Case{0, 0, 0}}) {
        light.mode = c.mode;
        EXPECT_EQ(HeadsetLightRecord(light, c.code)[1], c.sent) << int(c.mode);
    }
    light.brightness = 200;  // steps from a file are kept to 0-4
    light.speed = 9;
    const auto record = HeadsetLightRecord(light, 0);
    EXPECT_EQ(record[2], 4);
    EXPECT_EQ(record[3], 0);
}

}  // namespace
}  // namespace kx520
