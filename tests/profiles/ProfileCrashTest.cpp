// A writer killed in the middle of its saves, again and again: every file
// it was writing must still parse, holding the old content or the new.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "ProfileTestFiles.h"
#include "profiles/CBasicProfiledata.h"
#include "profiles/ProfileList.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

// Saves for ever: a growing key list into the profile, a new selection
// into the list.
[[noreturn]] void WriteForever(const std::string& folder, const std::string& templatePath) {
    ProfileList list(folder, templatePath, ProfileList::kKeyboard);
    list.Init();
    while (list.Entries().size() < 5) {
        list.NewProfile();
    }
    CBasicProfiledata data;
    data.SetFallbackPath(templatePath);
    data.SetProfilePath(list.ProfilePath(list.CurrentId()));
    data.LoadSection(data.GetProfilePath());
    for (uint32_t round = 0;; ++round) {
        std::vector<KeyAssignmentEntry> keys(200 + round % 300);
        for (size_t i = 0; i < keys.size(); ++i) {
            keys[i].assignment = KeyAction{static_cast<uint16_t>(i), 0x20, 0, static_cast<uint8_t>(round)};
        }
        data.SetKeyList(keys);
        data.Save();
        list.Select(static_cast<int>(round % list.Entries().size()));
    }
}

TEST(ProfileCrash, KillingAWriterNeverLeavesAFileThatDoesNotParse) {
    test::TempDir temp;
    const std::string folder = temp.Path() + "/keyboard/";
    const std::string templatePath = temp.Path() + "/keyboard.Json";
    test::WriteText(templatePath, test::TemplateText());
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> pause(1, 25);
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            WriteForever(folder, templatePath);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        for (const auto& item : std::filesystem::directory_iterator(folder)) {
            const std::string name = item.path().filename().string();
            if (name.ends_with(".Json") || name == "ProfileList.ini") {
                EXPECT_FALSE(test::ReadJsonFile(item.path().string()).isNull())
                    << name << " after kill " << kill;
            }
        }
    }
    // What a crash left behind is cleared when the list is opened again.
    ProfileList list(folder, templatePath, ProfileList::kKeyboard);
    ASSERT_TRUE(list.Init());
    EXPECT_EQ(list.Entries().size(), 5u);
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        EXPECT_TRUE(name.ends_with(".Json") || name == "ProfileList.ini") << name;
    }
}

}  // namespace
}  // namespace kx520::profiles
