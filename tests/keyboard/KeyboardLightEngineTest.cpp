#include "keyboard/KeyboardLightEngine.h"

#include <gtest/gtest.h>

#include <vector>

#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"

namespace kx520 {
namespace {

using Tables = KeyboardLightTables;

profiles::LightSetting Setting(bool multi, uint8_t brightness = 4) {
    profiles::LightSetting setting;
    setting.brightness = brightness;
    setting.speed = 2;
    setting.direction = 1;  // forward
    setting.multiColor = multi ? 1 : 0;
    setting.red = 255;
    setting.green = 0;
    setting.blue = 0;
    return setting;
}

std::vector<LedEntry> Frames(int mode, const profiles::LightSetting& setting, int steps = 1) {
    KeyboardLightEngine engine;
    engine.ResetEffect();
    engine.StartMode(mode);
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    for (int i = 0; i < steps; ++i) {
        engine.Step(mode, setting, frame);
    }
    return frame;
}

LedEntry Rainbow(unsigned index, uint8_t level) {
    const Rgb colour = kRainbowTable[index];
    return {colour.red, colour.green, colour.blue, level};
}

TEST(KeyboardLightTablesShape, TheTablesAreWhereTheKeysAre) {
    EXPECT_EQ(Tables::KeyMatrix()[2][0], 0);    // Esc: column 2, top row
    EXPECT_EQ(Tables::KeyMatrix()[22][5], 131);
    EXPECT_EQ(Tables::SerpentineOrder()[0], 15);
    EXPECT_EQ(Tables::SerpentineOrder()[107], 170);  // the tail skips
    EXPECT_EQ(Tables::ScanOrder()[20], 41);
    EXPECT_EQ(Tables::ScanOrder()[125], 170);
    EXPECT_EQ(Tables::Curve96()[47], 255);
    EXPECT_EQ(Tables::Curve96()[48], 255);
    EXPECT_EQ(Tables::Curve96()[95], 22);
    EXPECT_EQ(Tables::TwinkleCurve()[24], 255);
    EXPECT_EQ(Tables::TwinkleCurve()[191], 0);
    EXPECT_EQ(Tables::RingGrid()[0][0], 51);
    EXPECT_EQ(Tables::RingGrid()[0][1], 170);
    EXPECT_EQ(Tables::SparkleList()[103], 45);
    EXPECT_EQ(Tables::TwinklePhase()[6 * 22 + 5], 32);
    EXPECT_EQ(Tables::PatternTable()[24][7], 39);
    EXPECT_EQ(Tables::ScriptRows()[19][1], 94);
    EXPECT_EQ(Tables::ScriptRows()[19][2], 255);
    EXPECT_EQ(Tables::Interval(1, 0), 5);
    EXPECT_EQ(Tables::Interval(15, 4), 0);  // modes 15 and 17 run every pass at speed 4
    EXPECT_EQ(Tables::Interval(17, 9), 0);
}

TEST(KeyboardLightEngineModes, StaticInOneColourAndByRings) {
    const auto one = Frames(6, Setting(false, 2));
    for (const LedEntry& led : one) {
        EXPECT_EQ(led, (LedEntry{255, 0, 0, 126}));
    }
    const auto rings = Frames(6, Setting(true));
    EXPECT_EQ(rings[51], Rainbow(138, 255));      // the centre
    EXPECT_EQ(rings[30], Rainbow(138 - 12, 255));  // ring 1
    EXPECT_EQ(rings[41], Rainbow(138 - 132, 255));  // ring 11
}

TEST(KeyboardLightEngineModes, ColumnWaveSteps7RainbowStepsPerColumn) {
    const auto frame = Frames(1, Setting(true));
    // First step: position 0 -> 1, the first column starts at 2.
    for (size_t c = 0; c < Tables::kColumns; ++c) {
        const unsigned index = (2 + 7 * c) % 192;
        for (const uint8_t led : Tables::KeyMatrix()[c]) {
            if (led != Tables::kNoKey) {
                EXPECT_EQ(frame[led], Rainbow(index, 255)) << "column " << c;
            }
        }
    }
    // One colour: the red through the 96-step curve, 7 steps a column.
    const auto red = Frames(1, Setting(false));
    EXPECT_EQ(red[0], (LedEntry{255, 0, 0, static_cast<uint8_t>(255 * Tables::Curve96()[2 + 14] / 256)}));
}

TEST(KeyboardLightEngineModes, SnakeBreathingRainbowKeysAndHostColour) {
    const auto snake = Frames(3, Setting(true));
    EXPECT_EQ(snake[15], Rainbow(1, 255));  // the first key of the order
    EXPECT_EQ(snake[14], Rainbow(6, 255));
    const auto breathing = Frames(5, Setting(true), 3);
    EXPECT_EQ(breathing[0], Rainbow(7 * 2, static_cast<uint8_t>(kBreathCurve[3] * 255 / 256)));
    // Seeded 33, 66, 99, 132, 165, then 6 (165 is between 160 and 222: +97).
    const auto keys = Frames(11, Setting(true));
    EXPECT_EQ(keys[0], Rainbow(34, 255));
    EXPECT_EQ(keys[4], Rainbow(166, 255));
    EXPECT_EQ(keys[5], Rainbow(7, 255));
    KeyboardLightEngine engine;
    engine.SetHostColour(1, 2, 3);
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    engine.Step(KeyboardLightEngine::kHostColourMode, Setting(false, 3), frame);
    EXPECT_EQ(frame[169], (LedEntry{1, 2, 3, 190}));
    EXPECT_FALSE(KeyboardLightEngine::HasStep(20));  // the custom effect's: the frame stays
    frame[0] = LedEntry{9, 9, 9, 9};
    engine.Step(20, Setting(true), frame);
    EXPECT_EQ(frame[0], (LedEntry{9, 9, 9, 9}));
}

TEST(KeyboardLightEngineModes, ColumnWaveStepTwoAndPatternSweep) {
    const auto two = Frames(2, Setting(true));
    for (size_t c = 0; c < Tables::kColumns; ++c) {
        const uint8_t led = Tables::KeyMatrix()[c][1];  // row 1 has a key in every column but 0
        if (led != Tables::kNoKey) {
            EXPECT_EQ(two[led], Rainbow((1 + 2 * c) % 192, 255)) << c;
        }
    }
    // Frame 1 of the pattern (keys 0, 26, 27, 50, 51) lit, then 5 less.
    const auto sweep = Frames(24, Setting(false));
    for (const uint8_t led : {0, 26, 27, 50, 51}) {
        EXPECT_EQ(sweep[led], (LedEntry{255, 0, 0, static_cast<uint8_t>(255 * 250 / 256)})) << int(led);
    }
    EXPECT_EQ(sweep[25].level, 0);  // frame 0's keys are not lit by frame 1
}

TEST(KeyboardLightEngineModes, ScanSpendsPositionsWithoutKeysLightingNothing) {
    KeyboardLightEngine engine;
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    const auto setting = Setting(false);
    engine.Step(21, setting, frame);
    // Key 0 lit at 254, then one fade step of 40.
    EXPECT_EQ(frame[0], (LedEntry{255, 0, 0, static_cast<uint8_t>(255 * 214 / 256)}));
    for (int step = 1; step < 126; ++step) {
        engine.Step(21, setting, frame);
    }
    ASSERT_EQ(engine.EffectPosition(), 126);
    for (int step = 126; step < 170; ++step) {
        engine.Step(21, setting, frame);
        // The keys the scan shows (those of the serpentine order) only fade.
        for (const uint8_t led : Tables::SerpentineOrder()) {
            if (led != Tables::kNoKey) {
                EXPECT_LT(engine.Levels()[led], 214) << "position " << step << " lit key " << int(led);
            }
        }
    }
}

TEST(KeyboardLightEngineModes, SparklesAndTwinklesStayInsideTheirTables) {
    KeyboardLightEngine engine;
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    engine.Step(10, Setting(true), frame);
    int fresh = 0;
    for (size_t led = 0; led < KeyboardLightEngine::kLeds; ++led) {
        fresh += engine.Levels()[led] == 215;  // 255 after one fade step
    }
    EXPECT_GE(fresh, 1);
    EXPECT_LE(fresh, 6);  // six picks, a pick without a key lights nothing

    // Key 111 starts its twinkle at 192 (entry 6 of column 12 reads
    // column 13's first phase): it starts again rather than read past the curve.
    KeyboardLightEngine twinkle;
    twinkle.ResetEffect();
    twinkle.StartMode(15);
    ASSERT_EQ(twinkle.Levels()[111], 192);
    ASSERT_EQ(twinkle.Levels()[10], 162);
    twinkle.Step(15, Setting(false), frame);
    EXPECT_EQ(twinkle.Levels()[111], 0);
    EXPECT_EQ(twinkle.Levels()[10], 164);
    EXPECT_EQ(frame[10].level, static_cast<uint8_t>(255 * Tables::TwinkleCurve()[164] / 256));
    // The slow twinkle counts in its own counters, seeded by column.
    KeyboardLightEngine slow;
    slow.StartMode(22);
    slow.Step(22, Setting(false), frame);
    // Column 1, entry 2 (key 21): 192 - 8, then -35 three times, +1 for the step.
    EXPECT_EQ(frame[21].level, static_cast<uint8_t>(255 * Tables::TwinkleCurve()[184 - 105 + 1] / 256));
}

TEST(KeyboardLightEngineModes, RipplesSpreadAsADiamondOrAlongTheRow) {
    // Key 51 sits in column 10, row 2.
    KeyboardLightEngine ripple;
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    ripple.SeedRipple(51, 1);
    ripple.Step(8, Setting(false), frame);
    EXPECT_EQ(ripple.Levels()[51], 215);  // lit, then one fade step
    ripple.Step(8, Setting(false), frame);
    // One key out in each direction: (9, 2) 50, (11, 2) 52, (10, 1) 30, (10, 3) 72.
    for (const uint8_t led : {50, 52, 30, 72}) {
        EXPECT_EQ(ripple.Levels()[led], 215) << int(led);
    }
    EXPECT_LT(ripple.Levels()[51], 215);  // the seed does not stay
    EXPECT_EQ(ripple.Levels()[29], 0);    // (9, 1): the diagonal comes one step later

    KeyboardLightEngine line;
    line.SeedRipple(51, 1);
    line.SeedRipple(999, 1);  // not a key: nothing
    line.SeedRipple(52, 0);   // a release: nothing
    line.Step(9, Setting(false), frame);
    line.Step(9, Setting(false), frame);
    EXPECT_EQ(line.Levels()[50], 215);  // left
    EXPECT_EQ(line.Levels()[52], 215);  // right
    EXPECT_EQ(line.Levels()[30], 0);    // not up

    // The centre ripple's seed lies below the bottom row: nothing is lit
    // until it has moved up into the keys.
    KeyboardLightEngine centre;
    centre.ResetEffect();
    centre.StartMode(13);
    centre.Step(13, Setting(false), frame);
    for (size_t led = 0; led < KeyboardLightEngine::kLeds; ++led) {
        EXPECT_EQ(centre.Levels()[led], 0) << led;
    }
}

TEST(KeyboardLightEngineModes, TheScriptedAnimationRunsItsRowsThenItsPairsThenARipple) {
    KeyboardLightEngine engine;
    engine.ResetEffect();
    std::vector<LedEntry> frame(KeyboardLightEngine::kLeds);
    engine.Step(14, Setting(false), frame);
    // Row 0 of the script: keys 0 and 118, lit and faded once.
    EXPECT_EQ(engine.Levels()[0], 215);
    EXPECT_EQ(engine.Levels()[118], 215);
    EXPECT_EQ(engine.EffectPosition(), 1);
    for (int step = 1; step < 20; ++step) {
        engine.Step(14, Setting(false), frame);
    }
    EXPECT_EQ(engine.EffectPosition(), 0);  // past row 19: the pairs begin
    engine.Step(14, Setting(false), frame);
    EXPECT_EQ(engine.Levels()[30], 215);  // pair 0: keys 30 and 94
    EXPECT_EQ(engine.Levels()[94], 215);
    // The pairs, the wait for key 72 to go dark, the ripple from key 52, and
    // back to the rows: it keeps cycling without leaving its tables.
    bool rippled = false;
    for (int step = 0; step < 600; ++step) {
        engine.Step(14, Setting(false), frame);
        rippled = rippled || engine.Levels()[125] != 0;
    }
    EXPECT_TRUE(rippled);  // the ripple reached key 125 at the far side
}

}  // namespace
}  // namespace kx520
