#include "profiles/CHs6533Profiledata.h"

#include <gtest/gtest.h>

#include "ProfileSectionTest.h"

namespace kx520::profiles {
namespace {

using HeadsetProfile = test::ProfileSectionTest<CHs6533Profiledata>;
using Bands = CHs6533Profiledata::Bands;

std::vector<int32_t> Zeros() { return std::vector<int32_t>(10, 0); }
std::vector<int32_t> AsVector(const Bands& bands) { return {bands.begin(), bands.end()}; }

TEST_F(HeadsetProfile, WithoutItsSettingsEverythingIsOffAndMutedAndTheyAreWrittenUnderTheFilesKeys) {
    Load(R"({"LightInfo": {}})");
    EXPECT_EQ(data.GetSystemSetStages(), HeadsetSystemSettings{});
    const HeadsetSystemSettings set{1, 3, 13, 2, 1, 40, 0, 75};
    data.SetSystemSetStages(set);
    const Json::Value stages = Saved()["SystemSetStages"];
    EXPECT_EQ(stages["MagicEnable"].asInt(), 1);
    EXPECT_EQ(stages["MagicType"].asInt(), 3);
    EXPECT_EQ(stages["EqType"].asInt(), 13);
    EXPECT_EQ(stages["CustomEqSeletIndex"].asInt(), 2);
    EXPECT_EQ(stages["MicInSelect"].asInt(), 1);
    EXPECT_EQ(stages["MicInValue"].asInt(), 40);
    EXPECT_EQ(stages["MicMoniterSelect"].asInt(), 0);
    EXPECT_EQ(stages["MicMoniterValue"].asInt(), 75);
    CHs6533Profiledata again;
    again.LoadSection(path);
    EXPECT_EQ(again.GetSystemSetStages(), set);
    // A hand-edited file: wrong types read as 0, never abort.
    Load(R"({"SystemSetStages": {"EqType": "seven", "MicInValue": [1], "MagicType": 2}})");
    EXPECT_EQ(data.GetSystemSetStages(), (HeadsetSystemSettings{0, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(HeadsetPresets, EachEqTypeHasItsSlotAndTheOthersUseSlotOne) {
    const std::pair<int, int> slots[] = {{-5, 1}, {0, 1}, {1, 1}, {7, 7}, {12, 12}, {13, -1}, {14, 1}, {1000, 1}};
    for (const auto& [eqType, slot] : slots) {
        EXPECT_EQ(CHs6533Profiledata::PresetSlot(eqType), slot) << eqType;
    }
    EXPECT_EQ(AsVector(CHs6533Profiledata::FixedPreset(5)), Zeros());
    EXPECT_EQ(CHs6533Profiledata::FixedPreset(6)[2], -13);
    EXPECT_EQ(CHs6533Profiledata::FixedPreset(11)[0], 18);
    EXPECT_EQ(AsVector(CHs6533Profiledata::FixedPreset(12)), (std::vector<int32_t>{2, 1, -2, -4, -8, 4, 12, 16, 18, 15}));
}

TEST_F(HeadsetProfile, PresetBandsAreCompletedWhereMissingAndTheUserTypeHasNone) {
    Load(R"({"LightInfo": {}})");
    EXPECT_EQ(data.GetEQBands(0), Zeros());  // no "EQHzValueInfo": ten zeros, written on the way
    Json::Value slot = Saved()["EQHzValueInfo"][1];
    ASSERT_EQ(slot.size(), 10u);
    EXPECT_EQ(slot[9]["value"].asInt(), 0);
    EXPECT_TRUE(data.GetEQBands(13).empty());

    Load(R"({"EQHzValueInfo": [null, [{"value": 4}, null, {"value": "x"}, 7]]})");
    EXPECT_EQ(data.GetEQBands(0), (std::vector<int32_t>{4, 0, 0, 0, 0, 0, 0, 0, 0, 0}));  // slot 1
    slot = Saved()["EQHzValueInfo"][1];
    ASSERT_EQ(slot.size(), 10u);
    EXPECT_EQ(slot[1]["value"].asInt(), 0);  // completed
    EXPECT_EQ(slot[3]["value"].asInt(), 0);  // a number where an object belongs

    const Bands three = CHs6533Profiledata::FixedPreset(3);
    data.SetEQBands(3, three);
    EXPECT_EQ(data.GetEQBands(3), AsVector(three));
    const Json::Value before = data.Section();
    data.SetEQBands(13, three);
    EXPECT_EQ(data.Section(), before);
}

TEST_F(HeadsetProfile, UserPresetsStayInStepAreAtMostTwentyAndNamedOnceWhateverTheCase) {
    Load(R"({"CustomEQNameInfo": [], "CustomEQHzValueInfo": []})");
    Bands bands{};
    const std::pair<std::string, CHs6533Profiledata::PresetSaved> saves[] = {
        {"BASS", CHs6533Profiledata::PresetSaved::kSaved},
        {"Bass", CHs6533Profiledata::PresetSaved::kNameTaken},
        {"", CHs6533Profiledata::PresetSaved::kNoName},
        {"Voice", CHs6533Profiledata::PresetSaved::kSaved},
    };
    for (const auto& [name, result] : saves) {
        bands[0] = static_cast<int32_t>(name.size());
        EXPECT_EQ(data.AddCustomPreset(name, bands), result) << name;
    }
    EXPECT_EQ(data.GetCustomEQNames(), (std::vector<std::string>{"BASS", "Voice"}));
    EXPECT_EQ(data.GetCustomEQBands(1)[0], 5);
    for (int i = 2; i < 20; ++i) {
        bands[0] = i;
        EXPECT_EQ(data.AddCustomPreset("curve " + std::to_string(i), bands), CHs6533Profiledata::PresetSaved::kSaved);
    }
    EXPECT_EQ(data.AddCustomPreset("twenty-first", bands), CHs6533Profiledata::PresetSaved::kListFull);
    ASSERT_TRUE(data.DeleteCustomPreset(0));
    EXPECT_EQ(data.GetCustomEQNames().front(), "Voice");
    EXPECT_EQ(data.GetCustomEQBands(0)[0], 5);  // the bands moved down with their name
    EXPECT_EQ(data.GetCustomEQBands(18)[0], 19);
    EXPECT_TRUE(data.GetCustomEQBands(19).empty());  // past the names
    EXPECT_FALSE(data.SetCustomEQBands(19, bands));
    EXPECT_FALSE(data.DeleteCustomPreset(19));
    const Json::Value saved = Saved();
    EXPECT_EQ(saved["CustomEQNameInfo"].size(), 19u);
    EXPECT_EQ(saved["CustomEQHzValueInfo"].size(), 19u);
}

TEST_F(HeadsetProfile, AHostileFileGivesAtMostTwentyNamesAndNoBandsPastThem) {
    std::string names;
    for (int i = 0; i < 25; ++i) {
        names += std::string(i ? "," : "") + R"({"Name": "n)" + std::to_string(i) + R"("})";
    }
    Load(R"({"CustomEQNameInfo": [)" + names + R"(], "CustomEQHzValueInfo": "broken"})");
    EXPECT_EQ(data.GetCustomEQNames().size(), 20u);
    EXPECT_EQ(data.GetCustomEQBands(3), Zeros());  // completed in a fresh array
    EXPECT_TRUE(data.GetCustomEQBands(20).empty());
    EXPECT_TRUE(data.GetCustomEQBands(-1).empty());
}

}  // namespace
}  // namespace kx520::profiles
