#include "devices/CustomEffectPlayer.h"

#include <gtest/gtest.h>

#include <vector>

#include "devices/LightTables.h"

namespace kx520 {
namespace {

profiles::LightEffectFrame Frame(uint8_t mode, int32_t timeMs, uint8_t speed = 4) {
    profiles::LightEffectFrame frame;
    frame.setting.mode = mode;
    frame.setting.speed = speed;
    frame.setting.brightness = 4;
    frame.setting.red = 10;
    frame.time = timeMs;
    return frame;
}

TEST(CustomEffectPlayer, NoFramesTurnEveryLedOff) {
    CustomEffectPlayer player;
    std::vector<LedEntry> leds(8, LedEntry{9, 9, 9, 9});
    player.Pass(0, true, leds);
    EXPECT_EQ(leds, std::vector<LedEntry>(8));
}

TEST(CustomEffectPlayer, EachFrameShowsForItsTimeThenTheNextRoundAgain) {
    CustomEffectPlayer player;
    player.SetFrames({Frame(5, 100), Frame(4, 250), Frame(0, -5)});
    std::vector<LedEntry> leds(4);
    player.Pass(1000, false, leds);
    player.Pass(1099, false, leds);
    EXPECT_EQ(player.FrameIndex(), 0u);
    player.Pass(1100, false, leds);
    EXPECT_EQ(player.FrameIndex(), 1u);
    player.Pass(1349, false, leds);
    EXPECT_EQ(player.FrameIndex(), 1u);
    player.Pass(1350, false, leds);
    EXPECT_EQ(player.FrameIndex(), 2u);
    player.Pass(1350, false, leds);  // a negative time is no time
    EXPECT_EQ(player.FrameIndex(), 0u);
    // New frames start from the first.
    player.SetFrames({Frame(5, 100), Frame(5, 100)});
    EXPECT_EQ(player.FrameIndex(), 0u);
}

TEST(CustomEffectPlayer, AColourCycleFrameMovesOneRainbowStepPerInterval) {
    CustomEffectPlayer player;
    player.SetFrames({Frame(5, 100000, 4)});  // interval 1 at speed 4
    std::vector<LedEntry> leds(3);
    player.Pass(0, true, leds);
    player.Pass(16, true, leds);
    const Rgb colour = kRainbowTable[2];
    EXPECT_EQ(leds[2], (LedEntry{colour.red, colour.green, colour.blue, 255}));
    // At speed 0 the cycle waits 5 ticks.
    player.SetFrames({Frame(5, 100000, 0)});
    for (int i = 0; i < 4; ++i) {
        player.Pass(static_cast<uint32_t>(100 + i), true, leds);
    }
    EXPECT_EQ(leds[2].red, colour.red);
    player.Pass(200, true, leds);
    EXPECT_EQ(leds[2], (LedEntry{kRainbowTable[3].red, kRainbowTable[3].green, kRainbowTable[3].blue, 255}));
}

TEST(CustomEffectPlayer, ABreathingFrameRunsOnTheBaseIntervals) {
    CustomEffectPlayer player;
    player.SetFrames({Frame(0, 100000, 4)});  // 7 ticks at speed 4
    std::vector<LedEntry> leds(3);
    for (uint32_t i = 0; i < 6; ++i) {
        player.Pass(i, true, leds);
    }
    EXPECT_EQ(leds[0], LedEntry{});
    player.Pass(7, true, leds);
    EXPECT_EQ(leds[0].red, 10);
}

}  // namespace
}  // namespace kx520
