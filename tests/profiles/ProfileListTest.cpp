#include "profiles/ProfileList.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ProfileTestFiles.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TightFolder.h"

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

TEST_F(Profiles, ANewOrCopiedProfileOnAFullDiskLeavesTheListNamingOnlyFilesThatAreThere) {
    ProfileList list = Open();
    test::TightFolder disk(folder, 64 * 1024);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "a tmpfs of its own needs root";
    }
    disk.Fill();
    const std::string listBefore = ReadAll(folder + "ProfileList.ini");
    EXPECT_FALSE(list.NewProfile());
    EXPECT_FALSE(list.CopyProfile());
    EXPECT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(ReadAll(folder + "ProfileList.ini"), listBefore);
    size_t files = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        files += item.path().extension() == ".Json";
    }
    EXPECT_EQ(files, 1u);
    disk.Unfill();
    EXPECT_TRUE(list.NewProfile());
    ProfileList again = Open();
    ASSERT_EQ(again.Entries().size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(again.ProfilePath(again.Entries()[1].id)));
}

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

TEST_F(Profiles, ABrokenOrHostileListIsReadSafelyAndDropsNothing) {
    WriteList(R"({"profilelist": [{"profilename": "evil", "profileUUID": "../../etc/passwd"},
                                  {"profilename": 5, "profileUUID": "ok_id"},
                                  {"profilename": "dot", "profileUUID": ".hidden"}],
                  "profileselect": 9})");
    ProfileList list = Open();
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].id, "ok_id");
    EXPECT_EQ(list.Entries()[0].name, "5");  // shown as its text
    EXPECT_EQ(list.Selected(), 0);  // a selection outside the list selects the first
    // Written back, what could not be used is still there as it was.
    ASSERT_TRUE(list.Select(0));
    const Json::Value stored = ReadJsonFile(folder + "ProfileList.ini")["profilelist"];
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0]["profilename"], 5);
    EXPECT_EQ(stored[1]["profileUUID"], "../../etc/passwd");
    EXPECT_EQ(stored[2]["profileUUID"], ".hidden");
    EXPECT_FALSE(std::filesystem::exists(folder + "ProfileList.ini.bak"));
}

TEST_F(Profiles, ADamagedListIsKeptAndRebuiltFromTheProfilesOnDisk) {
    ProfileList list = Open();
    ASSERT_TRUE(list.NewProfile());
    ASSERT_TRUE(list.CopyProfile());
    ASSERT_EQ(list.RenameProfile("Raid night"), ProfileList::kRenamed);
    const std::vector<ProfileEntry> before = list.Entries();
    const std::string listText = ReadAll(folder + "ProfileList.ini");
    const std::string cut = listText.substr(0, listText.size() / 2);  // cut off mid-write
    WriteText(folder + "ProfileList.ini", cut);
    const auto filesBefore = test::FolderListing(folder, {"ProfileList.ini"});

    ProfileList reopened = Open();
    ASSERT_EQ(reopened.Entries().size(), 3u);
    for (size_t i = 0; i < before.size(); ++i) {  // identifiers are creation times
        EXPECT_EQ(reopened.Entries()[i].id, before[i].id);
        EXPECT_EQ(reopened.Entries()[i].name, before[i].name);
    }
    EXPECT_EQ(ReadAll(folder + "ProfileList.ini.bak"), cut);
    // Nothing else in the folder changed: no "profile1" was made.
    EXPECT_EQ(test::FolderListing(folder, {"ProfileList.ini", "ProfileList.ini.bak"}), filesBefore);

    // Damaged the same way again: one backup of those bytes is enough.
    WriteText(folder + "ProfileList.ini", cut);
    Open();
    EXPECT_FALSE(std::filesystem::exists(folder + "ProfileList.ini.bak.1"));
    // Only an empty folder starts from scratch.
    WriteText(folder + "ProfileList.ini", "[1, 2, 3]");
    for (const auto& entry : before) {
        std::filesystem::remove(reopened.ProfilePath(entry.id));
    }
    EXPECT_EQ(Names(Open()), std::vector<std::string>{"profile1"});
    EXPECT_EQ(ReadAll(folder + "ProfileList.ini.bak.1"), "[1, 2, 3]");
}

TEST_F(Profiles, OnlyTheWritersOwnTemporariesAreEverRemoved) {
    Open();
    const std::vector<std::string> mine{"ProfileList.ini.backup", "x.Json.old123", "a.Json.XXXXXX",
                                        ".x.Json.kx520-tmp-toolong", "ProfileList.ini.abcdef"};
    for (const std::string& name : mine) {
        WriteText(folder + name, "the user's");
    }
    WriteText(folder + ".ProfileList.ini.kx520-tmp-a1B2c3", "{");  // a cut-off write
    WriteText(folder + ".k.Json.kx520-tmp-Zz0099", "{");
    for (int start = 0; start < 3; ++start) {
        Open();
    }
    for (const std::string& name : mine) {
        EXPECT_EQ(ReadAll(folder + name), "the user's") << name;
    }
    EXPECT_FALSE(std::filesystem::exists(folder + ".ProfileList.ini.kx520-tmp-a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists(folder + ".k.Json.kx520-tmp-Zz0099"));
}

TEST_F(Profiles, AListThatIsNoRegularFileDoesNotHangTheStart) {
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::mkfifo((folder + "ProfileList.ini").c_str(), 0600), 0);
    ProfileList list(folder, templatePath, ProfileList::kMouse);
    EXPECT_FALSE(list.Read());
    EXPECT_TRUE(list.Init());  // replaced by a list of its own; the FIFO is kept as .bak
    EXPECT_EQ(Names(list), std::vector<std::string>{"profile1"});
    EXPECT_TRUE(std::filesystem::is_fifo(folder + "ProfileList.ini.bak"));
}

TEST_F(Profiles, NamesAndIdentifiersThatAreNotUtf8AreKeptAsTheyAreOnDisk) {
    std::filesystem::create_directories(folder);
    const std::string id = "id\xff\xfe";
    const std::string name = "caf\xe9 \xe4\xb8\xad";  // Latin-1 e-acute, then a real CJK character
    WriteText(folder + id + ".Json", R"({"Device": []})");
    WriteList("{\"profilelist\": [{\"profilename\": \"" + name + "\", \"profileUUID\": \"" + id +
              "\"}], \"profileselect\": 0}");
    ProfileList list = Open();
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].id, id);
    ASSERT_TRUE(list.Select(0));  // a write of the whole list
    ProfileList again = Open();
    ASSERT_EQ(again.Entries().size(), 1u);
    EXPECT_EQ(again.Entries()[0].id, id);
    EXPECT_EQ(again.Entries()[0].name, name);
    EXPECT_TRUE(std::filesystem::exists(again.ProfilePath(again.CurrentId())));
    // Other text keeps the writer's own escapes.
    EXPECT_NE(ReadAll(folder + "ProfileList.ini").find("\\u4e2d"), std::string::npos);
}

TEST_F(Profiles, NamesGivenHereAreBoundedAndNewIdentifiersArePlainAscii) {
    ProfileList list = Open();
    std::string longName;
    for (int i = 0; i < 100; ++i) {
        longName += "\xe4\xb8\xad";  // 100 characters of 3 bytes
    }
    ASSERT_EQ(list.RenameProfile(longName), ProfileList::kRenamed);
    EXPECT_EQ(list.Entries()[0].name, longName.substr(0, 3 * ProfileList::kMaxNameCharacters));
    ASSERT_TRUE(list.NewProfile());
    // Compared as it will be stored: a longer name cut to an existing one is in use.
    ASSERT_TRUE(list.Select(1));
    EXPECT_EQ(list.RenameProfile(longName + "x"), ProfileList::kRenameInUse);
    for (const auto& entry : list.Entries()) {
        for (const char c : entry.id) {
            EXPECT_TRUE((c >= '0' && c <= '9') || c == '_') << entry.id;
        }
    }
}

TEST_F(Profiles, FailedWritesAreReportedAndChangeNothing) {
    ProfileList list = Open();
    ASSERT_TRUE(list.NewProfile());
    const auto before = Names(list);
    const std::string saved = ReadAll(folder + "ProfileList.ini");
    // A folder in the list's place: nothing, not even root, can replace it.
    std::filesystem::remove(folder + "ProfileList.ini");
    std::filesystem::create_directories(folder + "ProfileList.ini/in-the-way");
    EXPECT_EQ(list.RenameProfile("other"), ProfileList::kRenameFailed);
    EXPECT_EQ(Names(list), before);
    EXPECT_FALSE(list.DeleteProfile());
    EXPECT_EQ(Names(list), before);
    std::filesystem::remove_all(folder + "ProfileList.ini");
    WriteText(folder + "ProfileList.ini", saved);
    EXPECT_EQ(Names(Open()), before);
    for (const auto& entry : list.Entries()) {
        EXPECT_TRUE(std::filesystem::exists(list.ProfilePath(entry.id)));
    }
}

TEST_F(Profiles, DeletingOneOfTwoEntriesNamingOneFileKeepsTheFile) {
    std::filesystem::create_directories(folder);
    WriteText(folder + "shared.Json", R"({"Device": []})");
    WriteList(R"({"profilelist": [{"profilename": "a", "profileUUID": "shared"},
                                  {"profilename": "b", "profileUUID": "shared"}],
                  "profileselect": 0})");
    ProfileList list = Open();
    ASSERT_EQ(list.Entries().size(), 2u);
    ASSERT_TRUE(list.DeleteProfile());
    EXPECT_TRUE(std::filesystem::exists(folder + "shared.Json"));
    EXPECT_EQ(Names(list), std::vector<std::string>{"b"});
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
