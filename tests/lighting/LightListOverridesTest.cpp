#include "lighting/LightListOverrides.h"

#include <gtest/gtest.h>

#include <vector>

#include "lighting/LightTables.h"

namespace kx520 {
namespace {

profiles::LightSetting Entry(uint8_t mode, uint8_t speed = 0, bool multi = false) {
    profiles::LightSetting entry;
    entry.mode = mode;
    entry.speed = speed;
    entry.brightness = 4;
    entry.multiColor = multi ? 1 : 0;
    entry.blue = 200;
    entry.present = 1;
    return entry;
}

TEST(LightListOverrides, HoldOffAndOtherModesOverTheEffect) {
    LightListOverrides overrides;
    const LedEntry effect{1, 2, 3, 4};
    std::vector<LedEntry> frame(5, effect);
    std::vector<profiles::LightSetting> list{Entry(1), Entry(4), Entry(7), profiles::LightSetting{}};
    overrides.Apply(list, 0, true, frame);
    EXPECT_EQ(frame[0], (LedEntry{0, 0, 200, 255}));
    EXPECT_EQ(frame[1], LedEntry{});
    EXPECT_EQ(frame[2], effect);  // a mode without an override
    EXPECT_EQ(frame[3], effect);  // an empty entry of the profile
    EXPECT_EQ(frame[4], effect);  // past the list
}

TEST(LightListOverrides, BreathingAdvancesByItsSpeedAndChangesColourEachBreath) {
    LightListOverrides overrides;
    std::vector<LedEntry> frame(1);
    const std::vector<profiles::LightSetting> list{Entry(0, 0, true)};
    overrides.Apply(list, 0, true, frame);  // position 4
    EXPECT_EQ(frame[0].level, kBreathCurve[4] * 255 / 256);
    overrides.Apply(list, 0, false, frame);  // no tick: the same place
    EXPECT_EQ(frame[0].level, kBreathCurve[4] * 255 / 256);
    for (int i = 0; i < 31; ++i) {
        overrides.Apply(list, 0, true, frame);
    }
    // 32 ticks of 4 reach 128: the breath starts again in the next colour.
    EXPECT_EQ(frame[0], (LedEntry{kRainbowTable[1].red, kRainbowTable[1].green, kRainbowTable[1].blue, 0}));
    overrides.Reset();
    overrides.Apply(list, 0, true, frame);
    EXPECT_EQ(frame[0].red, kRainbowTable[0].red);
}

TEST(LightListOverrides, BlinkTogglesOnItsPeriodAndCycleStepsOnItsInterval) {
    LightListOverrides overrides;
    std::vector<LedEntry> frame(2);
    const std::vector<profiles::LightSetting> list{Entry(2, 4), Entry(3, 4)};
    overrides.Apply(list, 1000, true, frame);
    EXPECT_EQ(frame[0], LedEntry{});
    overrides.Apply(list, 1000 + 1399, false, frame);
    EXPECT_EQ(frame[0], LedEntry{});
    overrides.Apply(list, 1000 + 1400, false, frame);  // 7 x 200 ms at speed 4
    EXPECT_EQ(frame[0], (LedEntry{0, 0, 200, 255}));
    // The cycle moved once in 7 ticks.
    EXPECT_EQ(frame[1].red, kRainbowTable[0].red);
    for (int i = 0; i < 6; ++i) {
        overrides.Apply(list, 3000, true, frame);
    }
    EXPECT_EQ(frame[1], (LedEntry{kRainbowTable[1].red, kRainbowTable[1].green, kRainbowTable[1].blue, 255}));
}

}  // namespace
}  // namespace kx520
