#include "profiles/CBasicProfiledata.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ProfileTestFiles.h"
#include "profiles/JsonFile.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

using test::ReadJsonFile;
using test::ReadAll;
using test::WriteText;

class ProfileData : public ::testing::Test {
protected:
    void SetUp() override {
        folder = temp.Path() + "/mouse";
        std::filesystem::create_directories(folder);
        templatePath = temp.Path() + "/mouse.Json";
        WriteText(templatePath, test::TemplateText());
        data.SetFallbackPath(templatePath);
        path = folder + "/2024_01_01_00_00_00_000.Json";
        data.SetProfilePath(path);
    }

    test::TempDir temp;
    std::string folder;
    std::string templatePath;
    std::string path;
    CBasicProfiledata data;
};

TEST_F(ProfileData, AMissingProfileIsCreatedFromTheTemplateSectionOnly) {
    const Json::Value& section = data.LoadSection(path);
    ASSERT_TRUE(section.isObject());
    const Json::Value written = ReadJsonFile(path);
    EXPECT_EQ(written.getMemberNames(), std::vector<std::string>{"Device"});
    EXPECT_EQ(written["Device"][0], ReadJsonFile(templatePath)["Device"][0]);
    EXPECT_EQ(data.GetLightInfo().mode, 3);
}

TEST_F(ProfileData, AProfileCutOffInTheMiddleIsRepairedUnderItsListedNameAndKeptAsBak) {
    WriteText(folder + "/ProfileList.ini",
              R"({"profilelist": [{"profilename": "Mine", "profileUUID": "2024_01_01_00_00_00_000"}]})");
    const std::string cut = R"({"profilename": "Mine", "profileUUID": "2024_01_01_00_00_00_000", "Dev)";
    WriteText(path, cut);
    ASSERT_TRUE(data.LoadSection(path).isObject());
    const Json::Value written = ReadJsonFile(path);
    EXPECT_EQ(written["profilename"], "Mine");
    EXPECT_EQ(written["profileUUID"], "2024_01_01_00_00_00_000");
    EXPECT_EQ(written["Device"][0], ReadJsonFile(templatePath)["Device"][0]);
    EXPECT_EQ(ReadAll(path + ".bak"), cut);
}

TEST_F(ProfileData, ARepairedProfileKeepsItsNameAndIdentifierAndADamagedOneIsBackedUp) {
    WriteText(path, R"({"profilename": "Mine", "profileUUID": "x", "Device": [], "Extra": 5})");
    data.LoadSection(path);
    Json::Value written = ReadJsonFile(path);
    EXPECT_EQ(written["profilename"], "Mine");
    EXPECT_EQ(written["profileUUID"], "x");
    EXPECT_EQ(written["Extra"], 5);
    EXPECT_TRUE(written["Device"][0].isObject());
    // Whatever is repaired is kept first.
    EXPECT_EQ(ReadAll(path + ".bak"),
              R"({"profilename": "Mine", "profileUUID": "x", "Device": [], "Extra": 5})");

    // An older backup is never replaced; the same damage twice is kept once.
    WriteText(path, "{\"profilename\": \"Mine\", \"Dev");  // cut off mid-write
    data.LoadSection(path);
    EXPECT_EQ(ReadAll(path + ".bak.1"), "{\"profilename\": \"Mine\", \"Dev");
    EXPECT_TRUE(ReadJsonFile(path)["Device"][0].isObject());
    WriteText(path, "{\"profilename\": \"Mine\", \"Dev");
    data.LoadSection(path);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak.2"));

    // Parses, but is not a profile: kept all the same.
    for (const std::string damaged : {"[1, 2]", R"({"Device": "x"})", R"({"Device": [7]})"}) {
        std::filesystem::remove(path + ".bak");
        std::filesystem::remove(path + ".bak.1");
        WriteText(path, damaged);
        data.LoadSection(path);
        EXPECT_EQ(ReadAll(path + ".bak"), damaged);
        EXPECT_TRUE(ReadJsonFile(path)["Device"][0].isObject()) << damaged;
    }
}

TEST_F(ProfileData, ADamagedProfileThatCannotBeBackedUpIsLeftAsItIs) {
    WriteText(path + ".bak", "older 0");
    for (int n = 1; n < JsonFile::kMaxBackups; ++n) {
        WriteText(path + ".bak." + std::to_string(n), "older " + std::to_string(n));
    }
    WriteText(path, "{ damaged");
    EXPECT_TRUE(data.LoadSection(path).isObject());  // the page still gets the defaults
    EXPECT_EQ(ReadAll(path), "{ damaged");
    EXPECT_FALSE(data.SaveSection(Json::Value(Json::objectValue), path));
    EXPECT_EQ(ReadAll(path), "{ damaged");
}

TEST_F(ProfileData, AProfileThatIsNoRegularFileNeitherHangsNorExhaustsMemory) {
    // A FIFO would block a plain open for ever; /dev/zero never ends.
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(JsonFile::ReadTextFile(path), "");
    data.LoadSection(path);
    EXPECT_TRUE(ReadJsonFile(path)["Device"][0].isObject());  // repaired over the FIFO
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".bak");
    std::filesystem::create_symlink("/dev/zero", path);
    data.LoadSection(path);
    EXPECT_TRUE(std::filesystem::is_symlink(path + ".bak"));  // kept as the link it was
    EXPECT_TRUE(ReadJsonFile(path)["Device"][0].isObject());
}

TEST_F(ProfileData, WithoutATemplateADamagedProfileIsLeftAlone) {
    data.SetFallbackPath(temp.Path() + "/missing.Json");
    WriteText(path, "garbage");
    EXPECT_TRUE(data.LoadSection(path).isNull());
    EXPECT_EQ(ReadAll(path), "garbage");
    EXPECT_EQ(data.GetLightInfo(), LightSetting{});
    EXPECT_TRUE(data.GetKeyList().empty());
}

TEST_F(ProfileData, ValuesOfTheWrongTypeReadAsZeroAndFlagsAsBooleans) {
    WriteText(path, R"({"Device": [{
        "LightInfo": {"SelectItem": "3", "Light": 1099511627776, "Speed": [1], "MultiColor": true,
                      "Red": 300, "Green": -1, "Blue": {"x": 1}, "Fx": 2.0},
        "LightList": [null, {"LEDMultiColor": 7, "LEDDirection": true, "red": 9}, 5],
        "KeyList": [{"Assignment": "x"}, {"Assignment": 7340801, "DefaultAssignment": 2097193}],
        "AudioLightInfo": {"AudioMode": 2, "7ColorFlags": 5, "ColorTypeFlags": false}}]})");
    data.LoadSection(path);
    const LightSetting light = data.GetLightInfo();
    EXPECT_EQ(light.mode, 0);
    EXPECT_EQ(light.brightness, 0);
    EXPECT_EQ(light.speed, 0);
    EXPECT_EQ(light.multiColor, 1);
    EXPECT_EQ(light.red, 300 & 0xFF);  // kept to its low byte, as readers do
    EXPECT_EQ(light.green, 0xFF);
    EXPECT_EQ(light.blue, 0);
    EXPECT_EQ(light.direction, 2);

    const auto list = data.GetLightList();
    ASSERT_EQ(list.size(), 3u);  // a null entry keeps its place
    EXPECT_EQ(list[0].present, 0);
    EXPECT_EQ(list[1].present, 1);
    EXPECT_EQ(list[1].multiColor, 1);
    EXPECT_EQ(list[1].direction, 1);
    EXPECT_EQ(list[1].red, 9);
    EXPECT_EQ(list[2].present, 0);

    const auto keys = data.GetKeyList();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].assignment, (KeyAction{0, 0, 0, 0}));
    EXPECT_EQ(keys[1].assignment, (KeyAction{1, 0x70, 0x03, 0x01}));
    EXPECT_EQ(keys[1].defaultAssignment, (KeyAction{1, 0x20, 0x00, 0x29}));

    const AudioLightSetting audio = data.GetAudioLightInfo();
    EXPECT_EQ(audio.audioMode, 2);
    EXPECT_EQ(audio.sevenColor, 1);
    EXPECT_EQ(audio.colorType, 0);
}

TEST_F(ProfileData, MultiColorIsAlwaysWrittenBackAsTheInteger) {
    data.LoadSection(path);
    LightSetting light = data.GetLightInfo();
    light.multiColor = 1;
    data.SetLightInfo(light);
    ASSERT_TRUE(data.Save());
    const Json::Value info = ReadJsonFile(path)["Device"][0]["LightInfo"];
    EXPECT_TRUE(info["MultiColor"].isIntegral());
    EXPECT_EQ(info["MultiColor"].asInt(), 1);
    EXPECT_EQ(info.size(), 11u);
}

TEST_F(ProfileData, AShortKeyListChangesOnlyItsOwnEntriesAndNeverTheDefaults) {
    data.LoadSection(path);
    data.SetKeyList({{KeyAction{0, 0x70, 0x01, 0x00}, KeyAction{0, 0x99, 0x99, 0x99}}});
    ASSERT_TRUE(data.Save());
    const Json::Value keys = ReadJsonFile(path)["Device"][0]["KeyList"];
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0]["Assignment"].asInt(), 0x700100);
    EXPECT_EQ(keys[0]["DefaultAssignment"].asInt(), 2097193);
    EXPECT_EQ(keys[1]["Assignment"].asInt(), 2097210);
}

TEST_F(ProfileData, SavingOverAnUnreadableFileRebuildsNameAndIdentifierFromTheList) {
    data.LoadSection(path);
    WriteText(folder + "/ProfileList.ini",
              R"({"profilelist": [{"profilename": "Raid night", "profileUUID": "2024_01_01_00_00_00_000"}],
                  "profileselect": 0})");
    WriteText(path, "\x01\x02 not json");
    ASSERT_TRUE(data.Save());
    const Json::Value written = ReadJsonFile(path);
    EXPECT_EQ(written["profilename"], "Raid night");
    EXPECT_EQ(written["profileUUID"], "2024_01_01_00_00_00_000");
    EXPECT_TRUE(written["Device"][0].isObject());
    EXPECT_EQ(ReadAll(path + ".bak"), "\x01\x02 not json");
}

TEST_F(ProfileData, SavingKeepsOtherTopLevelKeysAndTheScratchSectionIsSeparate) {
    WriteText(path, R"({"profilename": "A", "profileUUID": "id", "Note": [1, 2],
                        "Device": [{"LightInfo": {"SelectItem": 1}}]})");
    data.LoadSection(path);
    const std::string other = folder + "/other.Json";
    data.LoadScratchSection(other);
    data.SetScratchKeyList({{KeyAction{0, 1, 2, 3}, {}}});
    ASSERT_TRUE(data.SaveScratchSection(other));
    EXPECT_TRUE(data.GetKeyList().empty());  // the current section is untouched
    ASSERT_TRUE(data.Save());
    const Json::Value written = ReadJsonFile(path);
    EXPECT_EQ(written["Note"][1], 2);
    EXPECT_EQ(written["profilename"], "A");
    EXPECT_EQ(ReadJsonFile(other)["Device"][0]["KeyList"][0]["Assignment"].asInt(), 0x010203);
}

TEST_F(ProfileData, CustomEffectsAreReadOnlyFromInsideTheProfileFolder) {
    data.LoadSection(path);  // light mode 3
    const std::string config = folder + "/pelmo_light.config";
    auto configure = [&](const std::string& guid) {
        WriteText(config, R"({"LightInfo": [[{}, {}, {}, {"Guid": ")" + guid + R"("}]]})");
        data.LoadLightConfig(config);
        data.GetLightInfo();
        return data.LoadCustomEffect();
    };
    EXPECT_TRUE(configure("missing").empty());
    WriteText(folder + "/wave.light",
              R"({"LEDEffectList": [{"LEDREGMode": 2, "red": 10, "Time": 300, "Cyle": 4}, {}]})");
    const auto frames = configure("wave");
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].setting.mode, 2);
    EXPECT_EQ(frames[0].setting.red, 10);
    EXPECT_EQ(frames[0].time, 300);
    EXPECT_EQ(frames[0].cycle, 4);
    WriteText(temp.Path() + "/outside.light", R"({"LEDEffectList": [{}]})");
    EXPECT_TRUE(configure("../outside").empty());
    EXPECT_TRUE(configure(temp.Path() + "/outside").empty());
}

}  // namespace
}  // namespace kx520::profiles
