// The mouse's own light modes over its 15 LEDs in seven groups.
#include <gtest/gtest.h>

#include <vector>

#include "lighting/LightTables.h"
#include "mouse/MouseLightEngine.h"

namespace kx520 {
namespace {

profiles::LightSetting Setting(bool multi, int direction = 1) {
    profiles::LightSetting light;
    light.brightness = 4;
    light.multiColor = multi ? 1 : 0;
    light.direction = static_cast<uint8_t>(direction);
    light.red = 10;
    light.green = 20;
    light.blue = 30;
    return light;
}

bool Same(const LedEntry& a, const LedEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.level == b.level;
}

TEST(MouseLight, TheWaveLightsEachGroupAsOneAndMovesOnEachStep) {
    MouseLightEngine engine;
    engine.Reset();
    std::vector<LedEntry> frame(MouseLightEngine::kLeds);
    engine.GroupWave(Setting(true), frame);
    for (const auto& group : MouseLightEngine::kLedGroups) {
        for (const uint8_t led : group) {
            if (led != MouseLightEngine::kNone) {
                EXPECT_TRUE(Same(frame[led], frame[group[0]])) << int(led);
            }
        }
    }
    // Groups 7 places apart on the rainbow.
    const Rgb second = kRainbowTable[(engine.EffectPosition() + 1u + 7u) % 192];
    EXPECT_EQ(frame[1].red, second.red);
    EXPECT_EQ(frame[1].green, second.green);
    const LedEntry before = frame[0];
    engine.GroupWave(Setting(true), frame);
    EXPECT_FALSE(Same(frame[0], before));
}

TEST(MouseLight, TheRunningLightCarriesItsHeadAndTheRestFade) {
    MouseLightEngine engine;
    engine.Reset();
    std::vector<LedEntry> frame(MouseLightEngine::kLeds);
    engine.RunningLight(Setting(false), frame);
    int lit = 0;
    for (const auto& group : MouseLightEngine::kLedGroups) {
        lit += frame[group[0]].level > 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 1);  // one lit place on the ring
    EXPECT_EQ(frame[0].red, 10);
    EXPECT_EQ(frame[13].level, frame[0].level);  // the group's second LED with it
    for (int i = 0; i < 40; ++i) {
        engine.RunningLight(Setting(false), frame);
    }
    // The head went round: the LEDs it left have faded below it.
    int brightest = 0;
    for (const LedEntry& led : frame) {
        brightest = std::max<int>(brightest, led.level);
    }
    EXPECT_GT(brightest, 0);
}

TEST(MouseLight, TheFadeReactionFlaresAndFadesToDark) {
    MouseLightEngine engine;
    engine.Reset();
    std::vector<LedEntry> frame(MouseLightEngine::kLeds);
    engine.FadeFrame(Setting(false), frame);
    EXPECT_EQ(frame[0].level, 0);  // nothing before a reaction
    engine.StartFade(7);
    engine.FadeFrame(Setting(false), frame);
    EXPECT_EQ(engine.FadeStates()[3], 2);  // at the top it falls
    EXPECT_EQ(frame[3].level, 255 * 255 / 256);
    for (int i = 0; i < 20; ++i) {
        engine.FadeFrame(Setting(false), frame);
    }
    EXPECT_EQ(frame[3].level, 0);
    EXPECT_EQ(engine.FadeLevels()[3], 0);  // never below 0
    // With many colours each LED takes its own rainbow place.
    engine.StartFade(7);
    engine.FadeFrame(Setting(true), frame);
    bool differ = false;
    for (size_t i = 1; i < frame.size(); ++i) {
        differ = differ || frame[i].red != frame[0].red || frame[i].green != frame[0].green;
    }
    EXPECT_TRUE(differ);
}

TEST(MouseLight, EverySpeedHasItsIntervalAndOthersAreKeptInRange) {
    EXPECT_EQ(MouseLightEngine::Interval(0), 28);
    EXPECT_EQ(MouseLightEngine::Interval(4), 7);
    EXPECT_EQ(MouseLightEngine::Interval(9), 7);
    EXPECT_EQ(MouseLightEngine::Interval(-1), 28);
}

}  // namespace
}  // namespace kx520
