#include "mouse/MouseSensitivity.h"

#include <gtest/gtest.h>

#include <vector>

namespace kx520 {
namespace {

std::vector<uint8_t> Info(uint16_t sensor, uint8_t step, uint8_t highest, uint16_t lowest) {
    std::vector<uint8_t> info(34, 0);
    info[9] = static_cast<uint8_t>(sensor);
    info[10] = static_cast<uint8_t>(sensor >> 8);
    info[11] = step;
    info[12] = highest;
    info[14] = static_cast<uint8_t>(lowest);
    info[15] = static_cast<uint8_t>(lowest >> 8);
    return info;
}

TEST(MouseSensitivity, StepsAndValuesFollowTheInformationBlock) {
    const auto scale = MouseSensitivity::FromInfo(Info(0x3395, 50, 255, 100));
    EXPECT_EQ(scale.ValueOfStep(10), 600);
    EXPECT_EQ(scale.StepOfValue(600), 10);
    EXPECT_EQ(scale.StepOfValue(649), 10);  // integer division
    EXPECT_EQ(scale.StepOfValue(20), 0);    // below the lowest: the lowest
    EXPECT_EQ(scale.StepOfValue(99999), 255);  // no step beyond the sliders
    EXPECT_EQ(scale.HighestValue(), 255 * 50);
    EXPECT_EQ(MouseSensitivity::FromInfo(std::vector<uint8_t>(8, 0xFF)).step, 0);  // too short to say
}

TEST(MouseSensitivity, TheWideSensorCountsTwoHundredAStepAbove48AndAZeroStepConvertsNothing) {
    const auto wide = MouseSensitivity::FromInfo(Info(0x3325, 100, 120, 100));
    EXPECT_EQ(wide.ValueOfStep(48), 4900);
    EXPECT_EQ(wide.ValueOfStep(49), 5100);
    EXPECT_EQ(wide.StepOfValue(5100), 48);  // the two ways are not inverse above 48
    EXPECT_EQ(wide.StepOfValue(5300), 49);
    EXPECT_EQ(wide.StepOfValue(4900), 48);
    const auto broken = MouseSensitivity::FromInfo(Info(0x3395, 0, 255, 100));
    EXPECT_FALSE(broken.StepOfValue(1600).has_value());
    EXPECT_EQ(MouseSensitivity::ClampStage(7), 4);
    EXPECT_EQ(MouseSensitivity::ClampStage(-1), 0);
    EXPECT_EQ(MouseSensitivity::PollingOption(7), 0);
    EXPECT_EQ(MouseSensitivity::PollingOption(3), 3);
}

}  // namespace
}  // namespace kx520
