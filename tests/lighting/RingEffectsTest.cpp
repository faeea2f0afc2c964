#include "lighting/RingEffects.h"

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
        RingEffects effects(kHeadsetWave);
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
    RingEffects effects(kHeadsetWave);
    std::vector<LedEntry> frame(13);
    effects.Wave(Setting(true, 1, 9), frame);  // brightness past 4 is 4
    const Rgb first = kRainbowTable[2];
    const Rgb second = kRainbowTable[18];
    EXPECT_EQ(frame[0], (LedEntry{first.red, first.green, first.blue, 255}));
    EXPECT_EQ(frame[1], (LedEntry{second.red, second.green, second.blue, 255}));
    EXPECT_EQ(frame[12], frame[0]);  // twelve LEDs on: 192 colours, once round
    effects = RingEffects(kHeadsetWave);
    effects.Wave(Setting(true, 0), frame);  // backward from 0: position 191
    EXPECT_EQ(frame[0].red, kRainbowTable[0].red);
    EXPECT_EQ(frame[0].green, kRainbowTable[0].green);
}

TEST(HeadsetWave, OneColourRunsAsAWaveOfBrightnessTenCurveStepsApart) {
    RingEffects effects(kHeadsetWave);
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
    RingEffects effects(kHeadsetWave);
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
    RingEffects effects(kHeadsetWave);
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
    RingEffects effects(kHeadsetWave);
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

namespace kx520 {
namespace {

// The pad's wave: LEDs seven colours (or curve steps) apart, a step at a time.
TEST(PadWave, LedsLieSevenStepsApartOnTheRainbowAndOnTheCurve) {
    struct Case {
        bool multiColor;
        int direction;
    };
    const auto& curve = KeyboardLightTables::Curve96();
    for (const Case& c : {Case{true, 1}, Case{true, 0}, Case{false, 1}, Case{false, 0}}) {
        RingEffects effects(kPadWave);
        std::vector<LedEntry> frame(15);
        for (int step = 0; step < 5; ++step) {
            effects.Wave(Setting(c.multiColor, c.direction), frame);
        }
        const unsigned pos = effects.EffectPos();
        EXPECT_EQ(pos, c.direction != 0 ? 5u : (c.multiColor ? 187u : 91u)) << c.multiColor;
        for (size_t i = 0; i < frame.size(); ++i) {
            if (c.multiColor) {
                const Rgb colour = kRainbowTable[(pos + 1 + 7 * i) % 192];
                EXPECT_EQ(frame[i], (LedEntry{colour.red, colour.green, colour.blue, 255})) << i;
            } else {
                EXPECT_EQ(frame[i].level, 255 * curve[(pos + 1 + 7 * i) % 96] / 256) << i;
            }
        }
    }
    // Forward, the colour LED 3 shows now LED 0 shows 21 steps later.
    RingEffects effects(kPadWave);
    std::vector<LedEntry> frame(15);
    effects.Wave(Setting(true, 1), frame);
    const LedEntry third = frame[3];
    for (int step = 0; step < 21; ++step) {
        effects.Wave(Setting(true, 1), frame);
    }
    EXPECT_EQ(frame[0], third);
}

TEST(PadRing, ThePairedRunningLightNeverLightsLedZero) {
    for (const bool multiColor : {false, true}) {
        for (const int direction : {0, 1}) {
            RingEffects effects(kPadWave);
            effects.Reset();
            std::vector<LedEntry> frame(15, LedEntry{255, 255, 255, 255});  // an earlier effect's light
            bool anyLit = false;
            for (int step = 0; step < 60; ++step) {
                effects.RingSpectrum(Setting(multiColor, direction), frame);
                EXPECT_EQ(frame[0].level, 0) << multiColor << direction << " step " << step;
                for (size_t led = 1; led < frame.size(); ++led) {
                    anyLit = anyLit || frame[led].level > 0;
                }
            }
            EXPECT_TRUE(anyLit) << multiColor << direction;
        }
    }
}

// Every LED of the pad's fifteen takes its turn, the last ones included.
TEST(PadRing, TheRunningLightReachesEveryLed) {
    RingEffects effects(kPadWave);
    effects.Reset();
    std::vector<LedEntry> frame(15);
    std::vector<bool> lit(15, false);
    for (int step = 0; step < 2 * 23 + 2; ++step) {
        effects.RingRun(Setting(false, 1), frame);
        for (size_t led = 0; led < frame.size(); ++led) {
            lit[led] = lit[led] || frame[led].level > 0;
        }
    }
    for (size_t led = 0; led < lit.size(); ++led) {
        EXPECT_TRUE(lit[led]) << led;
    }
}

}  // namespace
}  // namespace kx520
