#include "profiles/KeyAction.h"

#include <gtest/gtest.h>

namespace kx520::profiles {
namespace {

TEST(KeyAction, PacksAsTypeParamOneParamTwoAndKeepsTheLowBitsOnRead) {
    const KeyAction macro{7, 0x70, 0x03, 0x01};
    EXPECT_EQ(macro.Packed(), 0x700301);
    EXPECT_EQ(KeyAction::Unpack(7, macro.Packed()), macro);
    // A hand-edited value beyond 24 bits keeps its low bytes, as readers do.
    EXPECT_EQ(KeyAction::Unpack(2, 0x1'2A0B0C0Dll), (KeyAction{2, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(KeyAction::Unpack(0, -1), (KeyAction{0, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace kx520::profiles
