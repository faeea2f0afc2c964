#include "lighting/KeyLevels.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kx520 {
namespace {

TEST(KeyLevels, FadeStepsByModeNeverBelowZero) {
    KeyLevels keys;
    auto& levels = keys.Levels();
    struct Case {
        uint8_t start;
        int mode;
        uint8_t expected;
    };
    const Case cases[] = {
        {200, 0, 160}, {100, 0, 70}, {40, 0, 25}, {17, 0, 9},  {16, 0, 15}, {0, 0, 0},
        {200, 5, 160}, {40, 5, 30},  {16, 5, 15}, {0x90, 29, 0x90 - 45},   {0x10, 29, 0},
        {0x20, 29, 0}, {0x40, 29, 0x40 - 35},     {3, 29, 2},  {0, 29, 0},
    };
    for (const Case& c : cases) {
        levels[7] = c.start;
        keys.DecayKey(7, c.mode);
        EXPECT_EQ(levels[7], c.expected) << int(c.start) << " mode " << c.mode;
    }
    keys.DecayKey(KeyLevels::kKeys, 0);  // outside the keys: ignored
}

TEST(KeyLevels, RingRotatesAndLightsTheFirstNineKeys) {
    KeyLevels keys;
    std::iota(keys.Ring().begin(), keys.Ring().end(), 1);  // 1, 2, ..., 23
    keys.RotateRing(true);
    EXPECT_EQ(keys.Ring()[0], 23);
    EXPECT_EQ(keys.Ring()[1], 1);
    EXPECT_EQ(keys.Ring()[22], 22);
    keys.RotateRing(false);
    EXPECT_EQ(keys.Ring()[0], 1);
    keys.RotateRingN(3, true);  // 3, 1, 2, 4, ...
    EXPECT_EQ(keys.Ring()[0], 3);
    EXPECT_EQ(keys.Ring()[2], 2);
    EXPECT_EQ(keys.Ring()[3], 4);
    keys.RotateRingN(99, false);  // longer than the ring: the whole ring
    EXPECT_EQ(keys.Ring()[22], 3);

    keys.ClearKeyLevels();
    keys.Ring()[2] = 1;
    keys.Ring()[10] = 1;
    keys.LightRingKeys();
    EXPECT_EQ(keys.Levels()[2], 255);
    EXPECT_EQ(keys.Levels()[10], 0);  // only keys 0-8 follow the ring
    keys.ClearKeyLevels();
    EXPECT_EQ(keys.Levels()[2], 0);
    EXPECT_EQ(keys.Ring()[10], 0);
}

}  // namespace
}  // namespace kx520
