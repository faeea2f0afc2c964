#include "lighting/EffectControlTable.h"

#include <gtest/gtest.h>

#include <string>

#include "lighting/SyncModeTable.h"

namespace kx520 {
namespace {

// "7-colour, colour layout, palette, fx, brightness, speed" as six letters.
std::string Row(const EffectControls& c) {
    std::string row;
    for (const bool on : {c.sevenColour, c.colourLayout, c.palette, c.fx, c.brightness, c.speed}) {
        row += on ? '1' : '0';
    }
    return row;
}

TEST(EffectControlTable, KeyboardRowsAsTheTableGivesThem) {
    EXPECT_EQ(Row(EffectControlTable::For(1, 1, false)), "111111");
    EXPECT_EQ(Row(EffectControlTable::For(1, 4, false)), "000011");
    EXPECT_EQ(Row(EffectControlTable::For(1, 6, false)), "111010");
    EXPECT_EQ(Row(EffectControlTable::For(1, 12, false)), "000111");
    EXPECT_EQ(Row(EffectControlTable::For(1, 18, false)), "000101");
    EXPECT_EQ(Row(EffectControlTable::For(1, 19, false)), "011010");
    EXPECT_EQ(Row(EffectControlTable::For(1, 26, false)), "111011");
    EXPECT_EQ(Row(EffectControlTable::For(1, 29, false)), "111110");
    EXPECT_EQ(Row(EffectControlTable::For(1, 30, false)), "000010");
    for (const int effect : {0, 20, 31, 200}) {
        EXPECT_EQ(Row(EffectControlTable::For(1, effect, true)), "000000") << effect;
        EXPECT_FALSE(EffectControlTable::For(1, effect, true).same) << effect;
    }
    EXPECT_TRUE(EffectControlTable::For(1, 28, true).same);
    EXPECT_FALSE(EffectControlTable::For(1, 28, false).same);
    EXPECT_FALSE(EffectControlTable::For(1, 11, true).lightColour);
    const EffectControls inwards = EffectControlTable::For(1, 18, false);
    EXPECT_STREQ(inwards.leftText, "light_set_outside_to_inside_text");
}

TEST(EffectControlTable, MouseAndPadRowsAndKindFiveLeavesTheDirectionAlone) {
    EXPECT_EQ(Row(EffectControlTable::For(2, 3, true)), "011010");
    EXPECT_TRUE(EffectControlTable::For(2, 3, true).same);
    EXPECT_FALSE(EffectControlTable::For(2, 0, true).same);
    EXPECT_EQ(Row(EffectControlTable::For(2, 7, true)), "000011");
    // The pad's 8 is the mouse's 9 (off, same shown); its 5 to 7 are off.
    EXPECT_EQ(Row(EffectControlTable::For(3, 8, true)), "000000");
    EXPECT_TRUE(EffectControlTable::For(3, 8, true).same);
    EXPECT_EQ(Row(EffectControlTable::For(7, 5, true)), "000000");
    EXPECT_FALSE(EffectControlTable::For(7, 5, true).same);
    EXPECT_FALSE(EffectControlTable::For(5, 0, true).touchesFxAndSame);
    EXPECT_EQ(Row(EffectControlTable::For(5, 1, true)).substr(0, 3), "011");
}

TEST(SyncModeTable, OneEffectMeansEachKindsOwnMode) {
    EXPECT_EQ(SyncModeTable::SyncTypeOf(2, 9), 4);  // the mouse's off
    EXPECT_EQ(SyncModeTable::ModeOf(1, 4), 28);
    EXPECT_EQ(SyncModeTable::ModeOf(3, 4), 8);
    EXPECT_EQ(SyncModeTable::ModeOf(7, 4), 8);
    EXPECT_EQ(SyncModeTable::SyncTypeOf(1, 23), 2);
    EXPECT_FALSE(SyncModeTable::SyncTypeOf(2, 5));   // outside {1, 2, 3, 4, 9}
    EXPECT_FALSE(SyncModeTable::SyncTypeOf(9, 2));   // no lighting
    EXPECT_FALSE(SyncModeTable::ModeOf(1, 5));
}

}  // namespace
}  // namespace kx520
