#include "lighting/CustomEffectPlayer.h"

#include <gtest/gtest.h>

#include <vector>

#include "lighting/LightTables.h"

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

// Three frames, each its own mode and time; the frames expected are worked
// out here from what each mode does, not by the player's code.
TEST(CustomEffectPlayer, AnEffectOfThreeFramesRunsEachFramesModeInTurn) {
    CustomEffectPlayer player;
    profiles::LightEffectFrame cycle = Frame(5, 32, 4);       // a rainbow step every tick
    profiles::LightEffectFrame spectrum = Frame(2, 112, 4);   // a step every 7 ticks
    spectrum.setting.direction = 1;
    profiles::LightEffectFrame blink = Frame(4, 1000, 4);     // toggles after 7 x 200 ms
    blink.setting.brightness = 2;
    player.SetFrames({cycle, spectrum, blink});
    std::vector<LedEntry> leds(4);
    auto rainbow = [](unsigned index, uint8_t level) {
        return LedEntry{kRainbowTable[index].red, kRainbowTable[index].green, kRainbowTable[index].blue, level};
    };
    uint32_t now = 0;
    player.Pass(now, true, leds);
    EXPECT_EQ(leds[3], rainbow(1, 255));
    player.Pass(now += 16, true, leds);
    EXPECT_EQ(leds[3], rainbow(2, 255));
    player.Pass(now += 16, true, leds);  // 32 ms: its last step, then the spectrum
    EXPECT_EQ(leds[3], rainbow(3, 255));
    EXPECT_EQ(player.FrameIndex(), 1u);
    for (int tick = 1; tick < 7; ++tick) {
        player.Pass(now += 16, true, leds);
        EXPECT_EQ(leds[0], rainbow(3, 255)) << tick;  // waiting for its interval
    }
    player.Pass(now += 16, true, leds);  // the spectrum's first step: forward from 0
    EXPECT_EQ(leds[0], rainbow(1, 255));
    EXPECT_EQ(player.FrameIndex(), 2u);  // 112 ms shown
    // The blink starts dark and lights (one colour, brightness 2) after
    // 7 x 200 ms of its own clock, its steps 7 ticks apart.
    for (int tick = 0; tick < 7 * 6; ++tick) {
        player.Pass(now += 16, true, leds);
    }
    EXPECT_EQ(player.FrameIndex(), 2u);
    EXPECT_EQ(leds[1], LedEntry{});
    while (now < 144 + 1400 + 16 * 7) {
        player.Pass(now += 16, true, leds);
    }
    EXPECT_EQ(leds[1], (LedEntry{10, 0, 0, 126}));
}

}  // namespace
}  // namespace kx520
