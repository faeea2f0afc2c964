#include "profiles/MacroReferences.h"

#include <gtest/gtest.h>

#include "ProfileTestFiles.h"
#include "profiles/CBasicProfiledata.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

KeyAssignmentEntry Key(uint16_t index, uint8_t type, uint8_t param1, uint8_t param2 = 0) {
    const KeyAction fallback{index, 0x20, 0, static_cast<uint8_t>(4 + index)};
    return {{index, type, param1, param2}, fallback};
}

TEST(MacroReferences, RemovingAMacroResetsItsKeysAndMovesLaterOnesDownInBothKinds) {
    std::vector<KeyAssignmentEntry> keys = {
        Key(0, 0x70, 0, 2),  // before the removed one: stays
        Key(1, 0x70, 1, 3),  // the removed one: its default
        Key(2, 0x71, 1, 5),  // the removed one, repeating: its default too
        Key(3, 0x70, 2, 1),  // after: one place down, its mode kept
        Key(4, 0x71, 3, 7),
        Key(5, 0x20, 1, 1),  // not a macro, whatever its numbers
    };
    EXPECT_TRUE(MacroReferences::Uses(keys, 1));
    EXPECT_FALSE(MacroReferences::Uses(keys, 4));
    ASSERT_TRUE(MacroReferences::Renumber(keys, 1));
    EXPECT_EQ(keys[0].assignment, (KeyAction{0, 0x70, 0, 2}));
    EXPECT_EQ(keys[1].assignment, keys[1].defaultAssignment);
    EXPECT_EQ(keys[2].assignment, keys[2].defaultAssignment);
    EXPECT_EQ(keys[3].assignment, (KeyAction{3, 0x70, 1, 1}));
    EXPECT_EQ(keys[4].assignment, (KeyAction{4, 0x71, 2, 7}));
    EXPECT_EQ(keys[5].assignment, (KeyAction{5, 0x20, 1, 1}));
    // Nothing at or after the last macro: nothing changes.
    EXPECT_FALSE(MacroReferences::Renumber(keys, 9));
}

TEST(MacroReferences, AProfileFileIsRewrittenOnlyWhenOneOfItsKeysChanged) {
    test::TempDir temp;
    const std::string path = temp.Path() + "/p.Json";
    test::WriteText(path, test::TemplateText());
    {
        CBasicProfiledata profile;
        profile.SetProfilePath(path);
        profile.LoadSection(path);
        auto keys = profile.GetKeyList();
        ASSERT_GE(keys.size(), 3u);
        keys[0].assignment = {0, 0x70, 2, 0};
        keys[1].assignment = {1, 0x70, 3, 1};
        profile.SetKeyList(keys);
        ASSERT_TRUE(profile.Save());
    }
    const std::string before = test::ReadJsonFile(path).toStyledString();
    ASSERT_TRUE(MacroReferences::RenumberFile(path, 0, 5));  // no key after macro 5
    EXPECT_EQ(test::ReadJsonFile(path).toStyledString(), before);

    ASSERT_TRUE(MacroReferences::RenumberFile(path, 0, 2));
    CBasicProfiledata again;
    again.LoadSection(path);
    const auto keys = again.GetKeyList();
    EXPECT_EQ(keys[0].assignment, keys[0].defaultAssignment);
    EXPECT_EQ(keys[1].assignment, (KeyAction{1, 0x70, 2, 1}));
    // A file that is not a profile is left as it is.
    test::WriteText(temp.Path() + "/broken.Json", "not json");
    EXPECT_TRUE(MacroReferences::RenumberFile(temp.Path() + "/broken.Json", 0, 0));
    EXPECT_TRUE(test::ReadJsonFile(temp.Path() + "/broken.Json").isNull());
}

}  // namespace
}  // namespace kx520::profiles
