#include "profiles/ProfileList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ProfileTestFiles.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

using test::ReadJsonFile;
using test::ReadAll;
using test::WriteText;

class Profiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder = temp.Path() + "/mouse/";
        templatePath = temp.Path() + "/mouse.Json";
        WriteText(templatePath, test::TemplateText());
    }
    ProfileList Open(int kind = ProfileList::kMouse) {
        ProfileList list(folder, templatePath, kind);
        EXPECT_TRUE(list.Init());
        return list;
    }
    void WriteList(const std::string& text) {
        std::filesystem::create_directories(folder);
        WriteText(folder + "ProfileList.ini", text);
    }
    std::vector<std::string> Names(const ProfileList& list) {
        std::vector<std::string> names;
        for (const auto& entry : list.Entries()) {
            names.push_back(entry.name);
        }
        return names;
    }

    test::TempDir temp;
    std::string folder;
    std::string templatePath;
};

TEST_F(Profiles, AFirstRunCreatesProfileOneFromTheTemplate) {
    ProfileList list = Open();
    ASSERT_EQ(Names(list), std::vector<std::string>{"profile1"});
    EXPECT_EQ(list.Selected(), 0);
    const Json::Value stored = ReadJsonFile(folder + "ProfileList.ini");
    EXPECT_EQ(stored["profilelist"][0]["profilename"], "profile1");
    EXPECT_EQ(stored["profilelist"][0]["profileislink"], 0);
    EXPECT_EQ(stored["profilelist"][0]["profilelinkmame"], "");
    EXPECT_EQ(stored["profileselect"], 0);
    const Json::Value profile = ReadJsonFile(list.ProfilePath(list.CurrentId()));
    EXPECT_EQ(profile["profilename"], "profile1");
    EXPECT_EQ(profile["profileUUID"], list.CurrentId());
    EXPECT_EQ(profile["Device"], ReadJsonFile(templatePath)["Device"]);
}

TEST_F(Profiles, ABrokenOrHostileListIsReadSafely) {
    WriteList(R"({"profilelist": [{"profilename": "evil", "profileUUID": "../../etc/passwd"},
                                  {"profilename": 5, "profileUUID": "ok_id"},
                                  {"profilename": "dot", "profileUUID": ".hidden"}],
                  "profileselect": 9})");
    ProfileList list = Open();
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].id, "ok_id");
    EXPECT_EQ(list.Selected(), 0);  // a selection outside the list selects the first

    WriteList("[1, 2, 3]");
    ProfileList fresh = Open();
    EXPECT_EQ(Names(fresh), std::vector<std::string>{"profile1"});
}

TEST_F(Profiles, NewProfilesTakeTheFirstFreeNumberUpToFifty) {
    WriteList(R"({"profilelist": [{"profilename": "PROFILE1", "profileUUID": "a"},
                                  {"profilename": "profile3", "profileUUID": "b"}],
                  "profileselect": 1})");
    ProfileList list = Open();
    ASSERT_TRUE(list.NewProfile());
    EXPECT_EQ(list.Entries().back().name, "profile2");
    EXPECT_EQ(list.Selected(), 1);  // the shown profile stays
    EXPECT_EQ(list.StoredSelection(), 2);
    EXPECT_EQ(ReadJsonFile(folder + "ProfileList.ini")["profileselect"], 2);
    EXPECT_TRUE(std::filesystem::exists(list.ProfilePath(list.Entries().back().id)));

    while (list.Entries().size() < ProfileList::kMaxNewProfiles) {
        ASSERT_TRUE(list.NewProfile());
    }
    EXPECT_FALSE(list.NewProfile());
    EXPECT_EQ(list.Entries().size(), 50u);
    EXPECT_TRUE(list.CopyProfile());  // copies have no limit
    EXPECT_EQ(list.Entries().size(), 51u);
}

TEST_F(Profiles, CopiesAreNamedAfterTheSourceAndCarryItsContent) {
    ProfileList list = Open();
    WriteText(list.ProfilePath(list.CurrentId()),
              R"({"profilename": "profile1", "profileUUID": "x", "Device": [{"Mark": 7}]})");
    ASSERT_TRUE(list.CopyProfile());
    ASSERT_TRUE(list.CopyProfile());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"profile1", "profile1 copy",
                                                     "profile1 copy copy"}));
    const ProfileEntry& copy = list.Entries()[1];
    const Json::Value content = ReadJsonFile(list.ProfilePath(copy.id));
    EXPECT_EQ(content["Device"][0]["Mark"], 7);
    EXPECT_EQ(content["profileUUID"], copy.id);
    EXPECT_NE(copy.id, list.Entries()[2].id);
}

TEST_F(Profiles, RenamingFollowsTheCaseRules) {
    ProfileList list = Open();
    ASSERT_TRUE(list.NewProfile());
    EXPECT_EQ(list.RenameProfile("PROFILE1"), ProfileList::kRenamed);  // its own name
    EXPECT_EQ(list.RenameProfile("Profile2"), ProfileList::kRenameInUse);
    EXPECT_EQ(list.RenameProfile("   \t"), ProfileList::kRenameBlank);
    EXPECT_EQ(list.RenameProfile(" FPS  "), ProfileList::kRenamed);
    EXPECT_EQ(list.Entries()[0].name, " FPS  ");  // kept exactly as typed
    EXPECT_EQ(ReadJsonFile(list.ProfilePath(list.CurrentId()))["profilename"], " FPS  ");
    EXPECT_EQ(ReadJsonFile(folder + "ProfileList.ini")["profilelist"][0]["profilename"], " FPS  ");
}

TEST_F(Profiles, DeletingNeverRemovesTheLastAndSelectsANeighbour) {
    ProfileList list = Open();
    EXPECT_FALSE(list.DeleteProfile());
    ASSERT_TRUE(list.NewProfile());
    ASSERT_TRUE(list.NewProfile());
    const std::string firstFile = list.ProfilePath(list.CurrentId());
    ASSERT_TRUE(list.DeleteProfile());  // the first
    EXPECT_FALSE(std::filesystem::exists(firstFile));
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"profile2", "profile3"}));
    ASSERT_TRUE(list.Select(1));
    ASSERT_TRUE(list.DeleteProfile());
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_EQ(ReadJsonFile(folder + "ProfileList.ini")["profileselect"], 0);
}

TEST_F(Profiles, ImportsAreRenamedAndGetFreshIdentifiers) {
    ProfileList list = Open();
    const std::string source = temp.Path() + "/A.json";
    WriteText(source, R"({"profilename": "Theirs", "profileUUID": "../../../escape",
                          "Device": [{"Mark": 1}]})");
    for (int i = 0; i < 3; ++i) {
        std::string error;
        ASSERT_TRUE(list.ImportProfile(source, &error)) << error;
    }
    EXPECT_EQ(Names(list), (std::vector<std::string>{"profile1", "A", "A(1)", "A(1)(2)"}));
    for (const auto& entry : list.Entries()) {
        EXPECT_TRUE(ProfileList::IsPlainId(entry.id));
        EXPECT_TRUE(std::filesystem::exists(list.ProfilePath(entry.id)));
    }
    EXPECT_FALSE(std::filesystem::exists(temp.Path() + "/escape.Json"));

    // Exported and imported again: the same sections, a new identifier and file.
    ASSERT_TRUE(list.Select(1));
    const std::string exported = temp.Path() + "/backup.json";
    ASSERT_TRUE(list.ExportProfile(exported));
    ASSERT_TRUE(list.ImportProfile(exported));
    const ProfileEntry& again = list.Entries().back();
    EXPECT_EQ(again.name, "backup");
    EXPECT_NE(again.id, list.Entries()[1].id);
    const Json::Value content = ReadJsonFile(list.ProfilePath(again.id));
    EXPECT_EQ(content["Device"], ReadJsonFile(exported)["Device"]);
    EXPECT_EQ(content["profileUUID"], again.id);
}

TEST_F(Profiles, ImportRefusesWhatIsNotAProfile) {
    ProfileList list = Open();
    const std::string source = temp.Path() + "/bad.json";
    std::string error;
    for (const char* text : {"not json", "[]", R"({"profilename": "x"})",
                             R"({"profilename": 1, "profileUUID": "y"})",
                             R"({"profilename": "x", "profileUUID": ["y"]})"}) {
        WriteText(source, text);
        EXPECT_FALSE(list.ImportProfile(source, &error)) << text;
        EXPECT_FALSE(error.empty());
    }
    WriteText(source, R"({"profilename": "x", "profileUUID": "y", "Deep": )" +
                          std::string(500, '[') + std::string(500, ']') + "}");
    EXPECT_FALSE(list.ImportProfile(source, &error));
    WriteText(source, R"({"profilename": "x", "profileUUID": "y", "Pad": ")" +
                          std::string((16u << 20) + 1, 'a') + "\"}");
    EXPECT_FALSE(list.ImportProfile(source, &error));
    EXPECT_FALSE(list.ImportProfile(temp.Path() + "/missing.json", &error));
    EXPECT_EQ(list.Entries().size(), 1u);
}

TEST_F(Profiles, ResetNeedsItsTemplateAndKeepsAHeadsetsEqualisers) {
    ProfileList list = Open(ProfileList::kHeadset);
    const std::string path = list.ProfilePath(list.CurrentId());
    WriteText(path, R"({"profilename": "profile1", "profileUUID": "z", "Device": [{
        "Mark": 9, "CustomEQNameInfo": ["Bass boost"], "CustomEQHzValueInfo": [[3, 2, 1]]}]})");
    ASSERT_TRUE(list.ResetProfile());
    const Json::Value reset = ReadJsonFile(path);
    EXPECT_FALSE(reset["Device"][0].isMember("Mark"));
    EXPECT_EQ(reset["Device"][0]["CustomEQNameInfo"][0], "Bass boost");
    EXPECT_EQ(reset["Device"][0]["CustomEQHzValueInfo"][0][2], 1);
    EXPECT_EQ(reset["profileUUID"], list.CurrentId());
    EXPECT_EQ(reset["Device"][0]["KeyList"], ReadJsonFile(templatePath)["Device"][0]["KeyList"]);

    std::filesystem::remove(templatePath);
    const std::string before = ReadAll(path);
    EXPECT_FALSE(list.ResetProfile());
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(Profiles, AMouseResetDropsEqualisersAndAnUnreadableProfileIsNotExported) {
    ProfileList list = Open(ProfileList::kMouse);
    const std::string path = list.ProfilePath(list.CurrentId());
    WriteText(path, R"({"Device": [{"CustomEQNameInfo": ["mine"]}]})");
    ASSERT_TRUE(list.ResetProfile());
    EXPECT_EQ(ReadJsonFile(path)["Device"][0]["CustomEQNameInfo"][0], "template");
    WriteText(path, "broken");
    std::string error;
    EXPECT_FALSE(list.ExportProfile(temp.Path() + "/out.json", &error));
    EXPECT_FALSE(std::filesystem::exists(temp.Path() + "/out.json"));
}

}  // namespace
}  // namespace kx520::profiles
