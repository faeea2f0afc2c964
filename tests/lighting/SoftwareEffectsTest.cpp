#include "lighting/SoftwareEffects.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lighting/EffectClock.h"

namespace kx520 {
namespace {

// Rows of numbers from a data file of the tests, "#" lines skipped.
std::vector<std::vector<int>> ReadRows(const std::string& name) {
    std::ifstream input(std::string(KX520_TESTS_DIR "/lighting/data/") + name);
    std::vector<std::vector<int>> rows;
    std::string line;
    while (std::getline(input, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        std::vector<int> row;
        for (int value = 0; fields >> value;) {
            row.push_back(value);
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(LightTables, RainbowAndBreathTablesMatchTheirWrittenOutFormEntryByEntry) {
    const auto rainbow = ReadRows("rainbow-table.txt");
    ASSERT_EQ(rainbow.size(), kRainbowTable.size());
    for (size_t i = 0; i < rainbow.size(); ++i) {
        ASSERT_EQ(rainbow[i].size(), 4u);
        EXPECT_EQ(rainbow[i][0], static_cast<int>(i));
        EXPECT_EQ(kRainbowTable[i], (Rgb{static_cast<uint8_t>(rainbow[i][1]),
                                         static_cast<uint8_t>(rainbow[i][2]),
                                         static_cast<uint8_t>(rainbow[i][3])}))
            << "entry " << i;
    }
    const auto breath = ReadRows("breath-curve.txt");
    ASSERT_EQ(breath.size(), kBreathCurve.size());
    for (size_t i = 0; i < breath.size(); ++i) {
        ASSERT_EQ(breath[i].size(), 2u);
        EXPECT_EQ(kBreathCurve[i], breath[i][1]) << "level " << i;
    }
}

TEST(LightTables, IntervalsAndLevelIndicesAreClamped) {
    EXPECT_EQ(IntervalFor(5, 0), 28);
    EXPECT_EQ(IntervalFor(5, 4), 7);
    EXPECT_EQ(IntervalFor(200, 9), 7);  // out-of-range indices are clamped
    EXPECT_EQ(ClampLevelIndex(-3), 0u);
    EXPECT_EQ(ClampLevelIndex(7), 4u);
}

TEST(LedEntry, ShownColourIsComponentTimesLevelOver256) {
    const LedEntry entry{255, 128, 7, 200};
    EXPECT_EQ(entry.ShownRed(), 199);
    EXPECT_EQ(entry.ShownGreen(), 100);
    EXPECT_EQ(entry.ShownBlue(), 5);
    EXPECT_EQ((LedEntry{255, 255, 255, 255}).ShownRed(), 254);
}

TEST(StepPosition, WrapsBothWaysAsUnsignedBytes) {
    EXPECT_EQ(StepPosition(1, 128, 126, 1), 127);
    EXPECT_EQ(StepPosition(1, 128, 127, 1), 0);
    EXPECT_EQ(StepPosition(0, 128, 0, 1), 127);
    EXPECT_EQ(StepPosition(0, 128, 5, 1), 4);
    EXPECT_EQ(StepPosition(0, 192, 0, 16), 176);
    EXPECT_EQ(StepPosition(1, 192, 180, 16), 0);
}

class Effects : public ::testing::Test {
protected:
    std::vector<LedEntry> frame = std::vector<LedEntry>(15);
    SoftwareEffects effects;
    EffectSetting setting;

    bool AllEqual() const {
        for (const LedEntry& entry : frame) {
            if (!(entry == frame[0])) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(Effects, BreathingBackwardRunsDownAndAdvancesTheColourAtZero) {
    setting.direction = 0;
    setting.multiColor = true;
    effects.Breathe(setting, frame);
    EXPECT_EQ(effects.EffectPos(), 127);
    EXPECT_EQ(effects.ColourIndex(), 0);
    effects.Breathe(setting, frame);
    EXPECT_EQ(effects.EffectPos(), 126);
    for (int i = 0; i < 126; ++i) {
        effects.Breathe(setting, frame);
    }
    EXPECT_EQ(effects.EffectPos(), 0);
    EXPECT_EQ(effects.ColourIndex(), 16);
    EXPECT_EQ(frame[0].red, kRainbowTable[16].red);
    EXPECT_EQ(frame[0].level, 0);  // the curve's first level
    EXPECT_TRUE(AllEqual());
    // The colour index runs 0, 16, ..., 192 and starts again.
    for (int cycle = 0; cycle < 12 * 128; ++cycle) {
        effects.Breathe(setting, frame);
    }
    EXPECT_EQ(effects.ColourIndex(), 0);
}

TEST_F(Effects, BreathingLevelFollowsTheCurveAndBrightness) {
    setting.direction = 1;
    setting.brightness = 2;
    setting.colour = {10, 20, 30};
    for (int i = 0; i < 63; ++i) {
        effects.Breathe(setting, frame);
    }
    EXPECT_EQ(effects.EffectPos(), 63);
    EXPECT_EQ(frame[3].level, (255 * 126) >> 8);
    EXPECT_EQ(frame[3].green, 20);
}

TEST_F(Effects, FourColourVariantsWrapAfterThree) {
    setting.direction = 1;
    std::vector<uint8_t> colours;
    for (int step = 0; step < 128 * 5; ++step) {
        effects.BreatheFour(setting, frame);
        if (effects.EffectPos() == 0) {
            colours.push_back(effects.ColourIndex());
        }
    }
    EXPECT_EQ(colours, (std::vector<uint8_t>{1, 2, 3, 0, 1}));
    // A counter left high by another effect is wrapped before it indexes.
    SoftwareEffects shared;
    for (int i = 0; i < 10; ++i) {
        shared.Spectrum(setting, frame);
    }
    shared.BlinkFour(setting, 100000, frame);
    EXPECT_LT(shared.EffectPos(), 4);
}

TEST_F(Effects, StaticSpectrumAndOff) {
    setting.colour = {1, 2, 3};
    setting.brightness = 9;  // from a damaged file: taken as 4
    effects.Static(setting, frame);
    EXPECT_EQ(frame[14], (LedEntry{1, 2, 3, 255}));
    setting.direction = 0;
    effects.Spectrum(setting, frame);
    EXPECT_EQ(effects.EffectPos(), 191);
    EXPECT_EQ(frame[0].red, kRainbowTable[191].red);
    SoftwareEffects::Off(frame);
    EXPECT_EQ(frame[7], LedEntry{});
}

TEST_F(Effects, BlinkTogglesAfterTheIntervalTimes200Ms) {
    setting.speed = 4;  // 7 x 200 ms
    setting.multiColor = true;
    const uint32_t start = 50000;
    effects.Blink(setting, start, frame);  // first toggle: on, colour advanced
    EXPECT_TRUE(effects.BlinkOn());
    EXPECT_EQ(effects.EffectPos(), 16);
    EXPECT_EQ(frame[0].red, kRainbowTable[16].red);
    effects.Blink(setting, start + 1399, frame);
    EXPECT_TRUE(effects.BlinkOn());
    effects.Blink(setting, start + 1400, frame);
    EXPECT_FALSE(effects.BlinkOn());
    EXPECT_EQ(frame[0], LedEntry{});
    for (int i = 0; i < 20; ++i) {
        effects.Blink(setting, start + 1400 * (2 + i), frame);
        EXPECT_LT(effects.EffectPos(), 192);
    }
}

TEST(EffectClock, AdvancesInSixtyFourthsOfASecond) {
    EXPECT_EQ(EffectClock::Quantise(0), 0u);
    EXPECT_EQ(EffectClock::Quantise(15), 0u);
    EXPECT_EQ(EffectClock::Quantise(16), 15u);
    EXPECT_EQ(EffectClock::Quantise(1000), 1000u);
    EXPECT_EQ(EffectClock::Quantise(1015), 1000u);
    EXPECT_EQ(EffectClock::Quantise(1016), 1015u);
    const uint32_t a = EffectClock::NowMs();
    const uint32_t b = EffectClock::NowMs();
    EXPECT_GE(b, a);
}

TEST(EffectClock, TheWaitForTheNextStepEndsExactlyOnIt) {
    for (uint64_t ms = 0; ms < 2000; ++ms) {
        const uint32_t wait = EffectClock::UntilNextStep(ms);
        ASSERT_GE(wait, 1u) << ms;
        ASSERT_LE(wait, 16u) << ms;
        EXPECT_EQ(EffectClock::Quantise(ms + wait - 1), EffectClock::Quantise(ms)) << ms;
        EXPECT_GT(EffectClock::Quantise(ms + wait), EffectClock::Quantise(ms)) << ms;
    }
}

}  // namespace
}  // namespace kx520
