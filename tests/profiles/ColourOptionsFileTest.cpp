// The palette's own file: made from its template, read and written only
// where the palette has options, the rest of the file kept.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>

#include "profiles/ColourOptionsFile.h"
#include "profiles/JsonFile.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

using Options = ColourOptionsFile;

class ColourOptions : public ::testing::Test {
protected:
    void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    std::string User() const { return temp.Path() + "/color_option_info.config"; }
    std::string Template() const { return temp.Path() + "/template.config"; }
    test::TempDir temp;
    std::array<bool, Options::kOptions> all = [] {
        std::array<bool, Options::kOptions> present{};
        present.fill(true);
        return present;
    }();
};

TEST_F(ColourOptions, TheUserCopyComesFromTheTemplateAndADamagedOneIsKept) {
    Write(Template(), R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 7}})");
    Options file(User(), Template());
    file.Open();
    EXPECT_EQ(file.Load().preset, 7);
    Write(User(), "{ not json");
    file.Open();
    EXPECT_EQ(file.Load().preset, 7);
    EXPECT_EQ(JsonFile::ReadTextFile(User() + ".bak"), "{ not json");
    // A good copy is the user's own from then on.
    Write(User(), R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 2}})");
    file.Open();
    EXPECT_EQ(file.Load().preset, 2);
}

TEST_F(ColourOptions, SlotsAreCollectedOnlyWithTheirMarkAndAStoredSelectionIsNoSelection) {
    Write(User(), R"({"coloroptioninfo": {
        "palletDialogcollectcoloroption": [
            {"color": "FF00FF00", "UserData": "1"},
            {"color": "FF0000FF", "UserData": ""},
            {"UserData": "1"},
            {"color": "zz", "UserData": "1"}]}})");
    const Options::Contents contents = Options(User(), Template()).Load();
    ASSERT_TRUE(contents.slotList[0]);
    EXPECT_TRUE(contents.slotList[0]->Collected());
    EXPECT_EQ(contents.slotList[0]->colour, 0xFF00FF00u);
    ASSERT_TRUE(contents.slotList[1]);
    EXPECT_FALSE(contents.slotList[1]->Collected());
    EXPECT_EQ(contents.slotList[1]->colour, 0xFFFFFFFFu);  // an empty slot is white
    EXPECT_FALSE(contents.slotList[2]);                    // no colour: not read
    EXPECT_EQ(contents.slotList[3]->colour, 0xFFFFFFFFu);  // an unreadable colour
    EXPECT_FALSE(contents.slotSelectionStored);
    EXPECT_FALSE(contents.preset);
}

TEST_F(ColourOptions, SavingWritesItsOwnKeysAndKeepsTheRest) {
    Write(User(), R"({"other": 5, "coloroptioninfo": {"mine": "kept",
        "palletDialogcollectcoloroption": [{"color": "FF123456", "UserData": "1", "extra": 1}]}})");
    const Options file(User(), Template());
    std::array<Options::Slot, Options::kOptions> slots{};
    slots[1] = {0xFFFF0000, "1"};
    std::array<bool, Options::kOptions> present{};
    present[1] = true;  // the palette has only slot 1
    ASSERT_TRUE(file.SaveSlots(slots, present, 1));
    std::array<uint32_t, Options::kOptions> colours{};
    colours[0] = 0xFF0A0B0C;
    ASSERT_TRUE(file.SavePresets(colours, all, 3));
    const Json::Value root = JsonFile::ReadJson(User());
    EXPECT_EQ(root["other"].asInt(), 5);
    EXPECT_EQ(root["coloroptioninfo"]["mine"].asString(), "kept");
    const Json::Value& stored = root["coloroptioninfo"]["palletDialogcollectcoloroption"];
    EXPECT_EQ(stored[0]["color"].asString(), "FF123456");
    EXPECT_EQ(stored[0]["extra"].asInt(), 1);
    EXPECT_EQ(stored[1]["color"].asString(), "FFFF0000");
    EXPECT_EQ(stored[1]["UserData"].asString(), "1");
    EXPECT_EQ(root["coloroptioninfo"]["palletDialogcoloroption"][0]["color"].asString(), "FF0A0B0C");
    EXPECT_EQ(root["coloroptioninfo"]["palletDialogcoloroption"].size(), Options::kOptions);
    const Options::Contents contents = file.Load();
    EXPECT_EQ(contents.preset, 3);
    EXPECT_TRUE(contents.slotSelectionStored);
}

TEST_F(ColourOptions, AFileDamagedWhileThePaletteIsOpenIsKeptAndTheTemplatesKeysStandIn) {
    Write(Template(), R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 7}, "theirs": 1})");
    Options file(User(), Template());
    file.Open();
    Write(User(), "damaged meanwhile");
    std::array<Options::Slot, Options::kOptions> slots{};
    slots[0] = {0xFF112233, "1"};
    std::string error;
    ASSERT_TRUE(file.SaveSlots(slots, all, 0, &error)) << error;
    EXPECT_EQ(JsonFile::ReadTextFile(User() + ".bak"), "damaged meanwhile");
    const Json::Value saved = JsonFile::ReadJson(User());
    EXPECT_EQ(saved["theirs"].asInt(), 1);
    EXPECT_EQ(file.Load().preset, 7);
    EXPECT_EQ(file.Load().slotList[0]->colour, 0xFF112233u);
}

TEST_F(ColourOptions, ASaveThatCannotBeWrittenSaysWhyAndLeavesTheFile) {
    Write(temp.Path() + "/blocked", "");
    Options file(temp.Path() + "/blocked/color_option_info.config", Template());
    std::array<uint32_t, Options::kOptions> colours{};
    std::string error;
    EXPECT_FALSE(file.SavePresets(colours, all, 1, &error));
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
}

TEST(ColourText, EightUpperCaseDigitsAlphaFirst) {
    EXPECT_EQ(Options::HexColour(0xFFFF0000), "FFFF0000");
    EXPECT_EQ(Options::HexColour(0x0000abcd), "0000ABCD");
    EXPECT_EQ(Options::ParseColour("ff00ff00"), 0xFF00FF00u);
    EXPECT_FALSE(Options::ParseColour(""));
    EXPECT_FALSE(Options::ParseColour("1FFFFFFFF"));
    EXPECT_FALSE(Options::ParseColour("-1"));
    EXPECT_FALSE(Options::ParseColour("12 34"));
}

}  // namespace
}  // namespace kx520::profiles
