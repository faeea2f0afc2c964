#include "devicebase/DefaultNameLists.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/SafeJson.h"
#include "profiles/ProfileTestFiles.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520 {
namespace {

using test::WriteText;

class Defaults : public ::testing::Test {
protected:
    void SetUp() override {
        data = temp.Path() + "/data/";
        shipped = temp.Path() + "/DefaultData/";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(shipped);
    }

    test::TempDir temp;
    std::string data;
    std::string shipped;
    DefaultNameLists lists;
};

TEST_F(Defaults, EffectsAreasCustomEffectsAndMacrosOfTheKind) {
    WriteText(shipped + "default_light.json", R"({
        "DefaultLightName": [[{"LightName": "k0", "visible": true, "value": 7}],
                             [{"LightName": "m0", "visible": false, "value": 3},
                              {"LightName": "m1", "visible": true, "value": 1}]],
        "AreaLightName": [[], [{"LightName": "logo"}]]})");
    WriteText(data + "pelmo_light.config", R"({"LightInfo": [[], [{"LightName": "mine", "Guid": "g"}]]})");
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "1"}]})");
    lists.Load(1, data, shipped, "macro.config");
    EXPECT_EQ(lists.EffectNames(), (std::vector<std::string>{"m0", "m1"}));
    EXPECT_EQ(lists.EffectVisible(), (std::vector<bool>{false, true}));
    EXPECT_EQ(lists.EffectValues(), (std::vector<uint32_t>{3, 1}));
    EXPECT_EQ(lists.AreaNames(), std::vector<std::string>{"logo"});
    EXPECT_EQ(lists.CustomEffectNames(), std::vector<std::string>{"mine"});
    EXPECT_EQ(lists.MacroNames(), std::vector<std::string>{"a"});
    EXPECT_EQ(lists.PositionOf(1), 1);
    EXPECT_EQ(lists.PositionOf(9), -1);
    uint32_t code = 0;
    EXPECT_TRUE(lists.CodeOf(0, code));
    EXPECT_EQ(code, 3u);
    EXPECT_FALSE(lists.CodeOf(2, code));
}

TEST_F(Defaults, AMissingKindKeepsItsListsButMacroNamesAreAlwaysReadAfresh) {
    WriteText(shipped + "default_light.json",
              R"({"DefaultLightName": [[{"LightName": "k0", "value": 1}]]})");
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "1"}]})");
    lists.Load(0, data, shipped, "macro.config");
    ASSERT_EQ(lists.EffectNames().size(), 1u);
    // The pad has no entry: what it showed stays; its shared macro list is absent.
    lists.Load(2, data, shipped, "pelmo_macro.config");
    EXPECT_EQ(lists.EffectNames(), std::vector<std::string>{"k0"});
    EXPECT_TRUE(lists.MacroNames().empty());
    WriteText(shipped + "default_light.json", "not json");
    lists.Load(0, data, shipped, "macro.config");
    EXPECT_EQ(lists.EffectNames(), std::vector<std::string>{"k0"});
    EXPECT_EQ(lists.MacroNames(), std::vector<std::string>{"a"});
}

// What ships: every kind has its effects, the keyboard's code at each place
// is its engine mode, and the texts exist in both languages.
TEST(ShippedDefaults, EveryKindHasItsEffectsAndTheirTexts) {
    const std::string data = KX520_DATA_DIR;
    DefaultNameLists shipped;
    const std::vector<size_t> sizes{31, 10, 9, 9};
    for (int kind = 0; kind < 4; ++kind) {
        shipped.Load(kind, "/nonexistent/", data + "/DefaultData/", "macro.config");
        ASSERT_EQ(shipped.EffectNames().size(), sizes[static_cast<size_t>(kind)]) << kind;
        for (size_t i = 0; i < shipped.EffectValues().size(); ++i) {
            EXPECT_EQ(shipped.EffectValues()[i], i) << kind;
        }
        for (const std::string& name : shipped.EffectNames()) {
            for (const char* language : {"/skin/lang/en.xml", "/skin/lang/zh_CN.xml"}) {
                const std::string text = test::ReadAll(data + language);
                EXPECT_NE(text.find("id=\"" + name + "\""), std::string::npos) << name << language;
            }
        }
    }
    shipped.Load(0, "/nonexistent/", data + "/DefaultData/", "macro.config");
    EXPECT_FALSE(shipped.EffectVisible()[0]);
    EXPECT_FALSE(shipped.EffectVisible()[20]);
    EXPECT_TRUE(shipped.EffectVisible()[29]);
}

}  // namespace
}  // namespace kx520
