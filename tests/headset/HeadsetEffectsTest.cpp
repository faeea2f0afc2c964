#include "headset/HeadsetEffects.h"

#include <gtest/gtest.h>

#include <vector>

#include "lighting/KeyboardLightTables.h"

namespace kx520 {
namespace {

EffectSetting Setting(bool multiColor, int direction, int brightness = 4) {
    EffectSetting setting;
    setting.multiColor = multiColor;
    setting.direction = direction;
    setting.brightness = brightness;
    setting.colour = Rgb{10, 200, 30};
    return setting;
}

TEST(HeadsetWave, EachStepMovesThePositionByItsDirectionAndWrapsAtTheTablesEnd) {
    struct Case {
        bool multiColor;
        int direction;
        uint8_t afterOne;
        int period;  // steps back to the start
    };
    for (const Case& c : {Case{true, 1, 1, 192}, Case{true, 0, 191, 192}, Case{false, 1, 3, 32}, Case{false, 0, 93, 32}}) {
        HeadsetEffects effects;
        std::vector<LedEntry> frame(13);
        effects.Wave(Setting(c.multiColor, c.direction), frame);
        EXPECT_EQ(effects.EffectPos(), c.afterOne) << c.multiColor << c.direction;
        for (int step = 1; step < c.period; ++step) {
            effects.Wave(Setting(c.multiColor, c.direction), frame);
        }
        EXPECT_EQ(effects.EffectPos(), 0) << c.multiColor << c.direction;
    }
}

TEST(HeadsetWave, TheRainbowRunsSixteenColoursApartAtTheBrightnessLevel) {
    HeadsetEffects effects;
    std::vector<LedEntry> frame(13);
    effects.Wave(Setting(true, 1, 9), frame);  // brightness past 4 is 4
    const Rgb first = kRainbowTable[2];
    const Rgb second = kRainbowTable[18];
    EXPECT_EQ(frame[0], (LedEntry{first.red, first.green, first.blue, 255}));
    EXPECT_EQ(frame[1], (LedEntry{second.red, second.green, second.blue, 255}));
    EXPECT_EQ(frame[12], frame[0]);  // twelve LEDs on: 192 colours, once round
    effects = HeadsetEffects{};
    effects.Wave(Setting(true, 0), frame);  // backward from 0: position 191
    EXPECT_EQ(frame[0].red, kRainbowTable[0].red);
    EXPECT_EQ(frame[0].green, kRainbowTable[0].green);
}

TEST(HeadsetWave, OneColourRunsAsAWaveOfBrightnessTenCurveStepsApart) {
    HeadsetEffects effects;
    std::vector<LedEntry> frame(13);
    effects.Wave(Setting(false, 1, 2), frame);  // brightness 2: level 126
    const auto& curve = KeyboardLightTables::Curve96();
    for (size_t i = 0; i < frame.size(); ++i) {
        EXPECT_EQ(frame[i].red, 10);
        EXPECT_EQ(frame[i].green, 200);
        EXPECT_EQ(frame[i].level, 126 * curve[(3 + 10 * i) % 96] / 256) << i;
    }
    const std::vector<LedEntry> before = frame;
    for (int step = 0; step < 10; ++step) {
        effects.Wave(Setting(false, 1, 2), frame);  // 30 curve steps on
    }
    EXPECT_EQ(frame[0].level, before[3].level);  // LED 3 was 30 steps ahead
}

// Seeded at its first place, the ring lights every second step and the
// lit place fades behind it; both LEDs of a place take its light.
TEST(HeadsetRing, ASeededPlaceLightsItsPairAndTravelsTheRing) {
    HeadsetEffects effects;
    effects.Reset();
    std::vector<LedEntry> frame(15);
    const EffectSetting setting = Setting(false, 0);
    for (int step = 0; step < 3; ++step) {
        effects.RingSpectrum(setting, frame);
    }
    // Step 3 lit place 0 (255) and its first fade took 40 off.
    EXPECT_EQ(frame[1], (LedEntry{10, 200, 30, 255 * 215 / 256}));
    EXPECT_EQ(frame[14], frame[1]);
    EXPECT_EQ(frame[0], LedEntry{});  // not on the ring
    EXPECT_EQ(frame[2].level, 0);
    // Backward turns the first eight places forward: the lit flag moves on
    // and the next place lights two steps later.
    for (int step = 0; step < 2; ++step) {
        effects.RingSpectrum(setting, frame);
    }
    EXPECT_GT(frame[2].level, 0);
    EXPECT_EQ(frame[13].level, frame[2].level);
}

TEST(HeadsetRing, WithoutTheSeedTheRingEffectsStayDark) {
    HeadsetEffects effects;
    std::vector<LedEntry> frame(15);
    for (int step = 0; step < 20; ++step) {
        effects.RingSpectrum(Setting(true, 1), frame);
        effects.RingRun(Setting(true, 1), frame);
    }
    for (const LedEntry& led : frame) {
        EXPECT_EQ(led.level, 0);
    }
}

TEST(HeadsetRing, TheRunLightsLedsInTurnAndKeepsColoursWhileTheLeadIsLit) {
    HeadsetEffects effects;
    effects.Reset();
    std::vector<LedEntry> frame(15);
    const EffectSetting setting = Setting(true, 1);  // forward: LED 0 leads
    for (int step = 0; step < 3; ++step) {
        effects.RingRun(setting, frame);
    }
    EXPECT_GT(frame[0].level, 0);  // lit, then rotated on
    const LedEntry lead = frame[0];
    effects.RingRun(setting, frame);  // the lead still lit: the colours stay
    EXPECT_EQ(frame[0].red, lead.red);
    EXPECT_EQ(frame[0].green, lead.green);
    EXPECT_LT(frame[0].level, lead.level);  // and fade
    for (int step = 0; step < 4; ++step) {
        effects.RingRun(setting, frame);
    }
    EXPECT_GT(frame[1].level, 0);  // the place moved to the next LED
}

}  // namespace
}  // namespace kx520
