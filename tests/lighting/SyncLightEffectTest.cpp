#include "lighting/SyncLightEffect.h"

#include <gtest/gtest.h>

#include <set>

namespace kx520 {
namespace {

SyncLightState State(int type, int speed = 2, bool multiColor = false) {
    SyncLightState state;
    state.type = type;
    state.brightness = 4;
    state.speed = speed;
    state.direction = 1;
    state.multiColor = multiColor;
    state.colour = Rgb{10, 20, 30};
    return state;
}

TEST(SyncLightEffect, StepsComeEveryIntervalOfTheTypeAndSpeed) {
    SyncLightEffect effect;
    EXPECT_EQ(effect.StepTicks(), 0);  // nothing shared yet: never steps
    for (int type = 0; type <= 4; ++type) {
        for (int speed = 0; speed <= 4; ++speed) {
            effect.SetState(State(type, speed));
            EXPECT_EQ(effect.StepTicks(), (std::array<int, 5>{28, 23, 18, 13, 7}[static_cast<size_t>(speed)]))
                << type << " " << speed;
        }
    }
    effect.SetState(State(5));
    EXPECT_EQ(effect.StepTicks(), 0);
    EXPECT_EQ(effect.Step(0), LedEntry{});
}

TEST(SyncLightEffect, StaticAndOffAndColourCycle) {
    SyncLightEffect effect;
    effect.SetState(State(SyncLightState::kStatic));
    EXPECT_EQ(effect.Step(0), (LedEntry{10, 20, 30, 255}));
    effect.SetState(State(SyncLightState::kOff));
    EXPECT_EQ(effect.Step(0), LedEntry{});
    effect.SetState(State(SyncLightState::kColourCycle));
    std::set<std::tuple<int, int, int>> colours;
    for (int step = 0; step < 192; ++step) {
        const LedEntry entry = effect.Step(0);
        EXPECT_EQ(entry.level, 255);
        colours.insert({entry.red, entry.green, entry.blue});
    }
    EXPECT_GT(colours.size(), 100u);  // the whole wheel, not one colour
}

TEST(SyncLightEffect, FlashTogglesEveryIntervalTimesTwoHundredMs) {
    for (const auto& [speed, period] : std::vector<std::pair<int, uint32_t>>{{4, 1400}, {0, 5600}}) {
        SyncLightEffect effect;
        effect.SetState(State(SyncLightState::kFlash, speed));
        EXPECT_EQ(effect.Step(period), (LedEntry{10, 20, 30, 255})) << speed;  // first toggle: on
        EXPECT_EQ(effect.Step(2 * period - 1), (LedEntry{10, 20, 30, 255})) << speed;
        EXPECT_EQ(effect.Step(2 * period), LedEntry{}) << speed;  // off, colour 0 level 0
        EXPECT_EQ(effect.Step(3 * period), (LedEntry{10, 20, 30, 255})) << speed;
    }
}

TEST(SyncLightEffect, MultiColourBreathingMovesSixteenColoursOncePerBreath) {
    SyncLightEffect effect;
    effect.SetState(State(SyncLightState::kBreathing, 2, true));
    std::vector<int> changesAt;
    uint8_t colour = effect.ColourIndex();
    for (int step = 1; step <= 3 * SyncLightEffect::kBreathLength; ++step) {
        effect.Step(0);
        if (effect.ColourIndex() != colour) {
            EXPECT_EQ(effect.ColourIndex(), static_cast<uint8_t>((colour + 16) % 192));
            colour = effect.ColourIndex();
            changesAt.push_back(step);
        }
    }
    EXPECT_EQ(changesAt, (std::vector<int>{128, 256, 384}));
    // Without it the fixed colour breathes, dark at the curve's ends.
    SyncLightEffect fixed;
    fixed.SetState(State(SyncLightState::kBreathing));
    std::set<int> levels;
    for (int step = 0; step < 128; ++step) {
        const LedEntry entry = fixed.Step(0);
        EXPECT_EQ((std::tuple{entry.red, entry.green, entry.blue}), (std::tuple<uint8_t, uint8_t, uint8_t>{10, 20, 30}));
        levels.insert(entry.level);
    }
    EXPECT_GT(levels.size(), 20u);
}

}  // namespace
}  // namespace kx520
