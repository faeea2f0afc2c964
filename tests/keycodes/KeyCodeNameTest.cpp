#include "keycodes/KeyCodeName.h"

#include <gtest/gtest.h>

namespace kx520 {
namespace {

TEST(KeyCodeNames, PlainKeysModifiersCombinationsMacrosAndTheRest) {
    EXPECT_EQ(KeyCodeName({0x20, 0, 0x04}), "A");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0x27}), "0");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0x1E}), "1");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0x45}), "F12");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0x62}), "Keypad 0");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0x61}), "Keypad 9");
    EXPECT_EQ(KeyCodeName({0x20, 0x02, 0}), "Left Shift");
    EXPECT_EQ(KeyCodeName({0x20, 0x80, 0}), "Right Super");
    EXPECT_EQ(KeyCodeName({0x20, 0x03, 0x29}), "Ctrl+Shift+Esc");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0}), "None");
    EXPECT_EQ(KeyCodeName({0x71, 4, 0}), "Macro 4");
    EXPECT_EQ(KeyCodeName({0xa0, 0x1b, 0x00}), "a0 1b 00");
    EXPECT_EQ(KeyCodeName({0x20, 0, 0xF0}), "20 00 f0");  // a usage without a name
}

}  // namespace
}  // namespace kx520
