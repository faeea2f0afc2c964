#include "profiles/CMouseProfiledata.h"

#include <gtest/gtest.h>

#include "ProfileSectionTest.h"
#include "ProfileTestFiles.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

using test::ReadJsonFile;
using test::WriteText;

using MouseProfile = test::ProfileSectionTest<CMouseProfiledata>;

TEST_F(MouseProfile, StagesReadTruncatedAndMergeByPlaceIntoWhatIsKnown) {
    Load(R"({"DPIStages": {"StageActive": 2, "StageDPIs": [
        {"StageActive": 1, "StageXY": 1, "StageDPIX": 1600, "StageDPIY": 800,
         "StageColorR": 255, "StageColorG": 0, "StageColorB": 300},
        {"StageActive": 0, "StageDPIX": 67136, "StageDPIY": "x"},
        {"StageActive": 1, "StageDPIX": 400, "StageDPIY": 400}]}})");
    const auto stages = data.GetDPIStages();
    ASSERT_EQ(stages.size(), 3u);
    EXPECT_EQ(stages[0], (DpiStage{1, 1, 1600, 800, 255, 0, 300 & 0xFF}));
    EXPECT_EQ(stages[1].dpiX, 1600);  // 67136: its low 16 bits
    EXPECT_EQ(stages[1].dpiY, 0);     // not a number
    EXPECT_EQ(data.GetActiveStage(), 2);

    // A profile with one stage replaces the first and keeps the others;
    // one without "DPIStages" changes nothing.
    CMouseProfiledata& same = data;
    WriteText(path, R"({"Device": [{"DPIStages": {"StageActive": 0, "StageDPIs": [{"StageDPIX": 3200}]}}]})");
    same.LoadSection(path);
    const auto merged = same.GetDPIStages();
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0].dpiX, 3200);
    EXPECT_EQ(merged[2].dpiX, 400);
    EXPECT_EQ(same.GetActiveStage(), 0);
    WriteText(path, R"({"Device": [{"LightInfo": {}}]})");
    same.LoadSection(path);
    EXPECT_EQ(same.GetDPIStages(), merged);
    EXPECT_EQ(same.GetActiveStage(), 0);
}

TEST_F(MouseProfile, StagesAndTheActiveOneAreWrittenWithEveryKeyAndReadBack) {
    Load(R"({"DPIStages": "broken"})");
    const std::vector<DpiStage> stages = {{1, 0, 800, 800, 1, 2, 3}, {0, 1, 1600, 65535, 4, 5, 6}};
    data.SetDPIStages(stages);
    data.SetActiveStage(1);
    const Json::Value saved = Saved();
    const Json::Value& second = saved["DPIStages"]["StageDPIs"][1];
    EXPECT_EQ(second["StageDPIY"].asInt(), 65535);
    EXPECT_EQ(second["StageXY"].asInt(), 1);
    EXPECT_EQ(second["StageColorB"].asInt(), 6);
    EXPECT_EQ(second.size(), 7u);
    EXPECT_EQ(saved["DPIStages"]["StageActive"].asInt(), 1);
    CMouseProfiledata again;
    again.LoadSection(path);
    EXPECT_EQ(again.GetDPIStages(), stages);
    EXPECT_EQ(again.GetActiveStage(), 1);
}

TEST_F(MouseProfile, SystemSettingsReadZerosWhenMissingAndAreWrittenWhole) {
    Load(R"({"LightInfo": {}})");
    EXPECT_EQ(data.GetSystemStages(), MouseSystemSettings{});
    Load(R"({"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
                              "ScorllPage": 1, "WheelScorlllinse": 3}})");
    EXPECT_EQ(data.GetSystemStages(), (MouseSystemSettings{500, 10, 1, 1, 3, 0}));  // no "ReportStages"
    MouseSystemSettings changed = data.GetSystemStages();
    changed.reportRate = 2;
    data.SetSystemStages(changed);
    const Json::Value saved = Saved();
    EXPECT_EQ(saved["SystemStages"]["WheelScorlllinse"].asInt(), 3);
    EXPECT_EQ(saved["SystemStages"]["DoubleClickTime"].asInt(), 500);
    EXPECT_EQ(saved["SystemStages"].size(), 5u);
    EXPECT_EQ(saved["ReportStages"]["StageActive"].asInt(), 2);
}

TEST_F(MouseProfile, CorrectionsComeFromTheFileAndAHostileListIsBounded) {
    std::string many = R"({"CorrectInfo": [)";
    for (size_t i = 0; i < CMouseProfiledata::kMaxCorrections + 10; ++i) {
        many += std::string(i == 0 ? "" : ",") + R"({"CorrectPixThresh": 2, "CorrectMinSq": 4, "CorrectName": "p"})";
    }
    Load(many + "]}");
    const auto presets = data.GetCorrections();
    EXPECT_EQ(presets.size(), CMouseProfiledata::kMaxCorrections);
    EXPECT_EQ(presets[0], (CorrectionPreset{2, 4, 0, "p"}));
    Load(R"({"LightInfo": {}})");
    EXPECT_TRUE(data.GetCorrections().empty());
}

TEST(MouseTemplate, ShipsFiveStagesTheDesktopsPointerAndCorrectionPresets) {
    CMouseProfiledata data;
    data.LoadSection(std::string(KX520_DATA_DIR) + "/DefaultData/mouse.Json");
    const auto stages = data.GetDPIStages();
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[1].dpiX, 30);  // slider steps: 1600 on the usual sensor
    EXPECT_EQ(data.GetActiveStage(), 1);
    EXPECT_EQ(data.GetSystemStages().wheelScrollLines, 3);
    EXPECT_EQ(data.GetCorrections().size(), 3u);
}

}  // namespace
}  // namespace kx520::profiles
