#include "profiles/CKeyboardProfiledata.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileSectionTest.h"
#include "ProfileTestFiles.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

using test::ReadJsonFile;
using test::WriteText;

using KeyboardProfile = test::ProfileSectionTest<CKeyboardProfiledata>;

TEST_F(KeyboardProfile, SystemStagesReadAsZerosWhenMissingAndRoundTrip) {
    Load(R"({"LightInfo": {}})");
    EXPECT_EQ(data.GetSystemStages(), KeyboardSystemSettings{});
    const KeyboardSystemSettings settings{12, 3, 1, 2, 1, 1};
    data.SetSystemStages(settings);
    const Json::Value saved = Saved();
    EXPECT_EQ(saved["SystemStages"]["Repeat"], 12);
    EXPECT_EQ(saved["SystemStages"]["RepeatDelay"], 3);
    EXPECT_EQ(saved["SystemStages"]["WinFlag"], 1);
    EXPECT_TRUE(saved["LightInfo"].isObject());  // the shared sections stay
    CKeyboardProfiledata again;
    again.LoadSection(path);
    EXPECT_EQ(again.GetSystemStages(), settings);
}

TEST_F(KeyboardProfile, StagesOfTheWrongTypeReadAsZeroAndValuesAreKeptAsGiven) {
    Load(R"({"SystemStages": {"Repeat": "fast", "RepeatDelay": 9, "PollingRate": [1]}})");
    const KeyboardSystemSettings read = data.GetSystemStages();
    EXPECT_EQ(read.repeat, 0);
    EXPECT_EQ(read.repeatDelay, 9);  // the pages clamp; the file keeps it
    EXPECT_EQ(read.pollingRate, 0);
}

TEST_F(KeyboardProfile, ColoursOfANewLayoutAreZerosAndReachTheDiskWithTheNextSave) {
    Load("{}");
    const auto colours = data.GetCustomLightColors(0, 3);
    EXPECT_EQ(colours, std::vector<LightColor>(3));
    const Json::Value saved = Saved();
    const Json::Value& layout = saved["CustomLightMode"]["LightColorInfo"][0];
    ASSERT_EQ(layout.size(), 3u);
    EXPECT_EQ(layout[2]["Alpha"], 0);
    EXPECT_EQ(data.GetCustomLightGroup(), 0);
}

TEST_F(KeyboardProfile, AShortLayoutIsCompletedAndALongOneKeepsItsExtraEntries) {
    Load(R"({"CustomLightMode": {"CustomLightModeGroupIndex": 1, "LightColorInfo": [
        [{"Red": 1, "Green": 2, "Blue": 3, "Alpha": 4}, "junk"],
        [{"Red": 300}, {"Red": 9}, {"Red": 8}, {"Red": 7}]]}})");
    EXPECT_EQ(data.GetCustomLightGroup(), 1);
    EXPECT_EQ(data.GetCustomLightColors(0, 3),
              (std::vector<LightColor>{{1, 2, 3, 4}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
    const auto second = data.GetCustomLightColors(1, 2);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].red, 300 & 0xFF);  // truncated to 8 bits
    const Json::Value saved = Saved();
    EXPECT_EQ(saved["CustomLightMode"]["LightColorInfo"][0].size(), 3u);
    EXPECT_EQ(saved["CustomLightMode"]["LightColorInfo"][0][1]["Red"], 0);
    EXPECT_EQ(saved["CustomLightMode"]["LightColorInfo"][1].size(), 4u);
}

TEST_F(KeyboardProfile, ALayoutIndexFromAFileNeverGrowsTheFileWithoutBound) {
    Load(R"({"CustomLightMode": {"LightColorInfo": [[]]}})");
    EXPECT_EQ(data.GetCustomLightColors(1000000, 2), std::vector<LightColor>(2));
    EXPECT_EQ(data.GetCustomLightColors(-1, 2), std::vector<LightColor>(2));
    EXPECT_EQ(data.GetCustomLightColors(5, 2), std::vector<LightColor>(2));  // beyond the next
    data.SetCustomLightColors({{1, 1, 1, 1}}, 400);
    EXPECT_EQ(Saved()["CustomLightMode"]["LightColorInfo"].size(), 1u);
    EXPECT_EQ(data.GetCustomLightColors(0, 100000).size(), CKeyboardProfiledata::kMaxColours);
}

TEST_F(KeyboardProfile, SetColoursWritesItsEntriesAndLeavesTheRest) {
    Load(R"({"CustomLightMode": {"LightColorInfo": [[{"Red": 1}, {"Red": 2}, {"Red": 3}]]}})");
    data.SetCustomLightColors({{9, 8, 7, 6}}, 0);
    data.SetCustomLightColors({{5, 5, 5, 5}}, 1);  // the next layout may be made
    data.SetCustomLightGroup(1);
    const Json::Value saved = Saved();
    const Json::Value& layouts = saved["CustomLightMode"]["LightColorInfo"];
    EXPECT_EQ(layouts[0][0]["Blue"], 7);
    EXPECT_EQ(layouts[0][2]["Red"], 3);
    EXPECT_EQ(layouts[1][0]["Alpha"], 5);
    EXPECT_EQ(saved["CustomLightMode"]["CustomLightModeGroupIndex"], 1);
}

}  // namespace
}  // namespace kx520::profiles
