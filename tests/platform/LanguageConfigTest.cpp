#include "platform/LanguageConfig.h"

#include <gtest/gtest.h>

#include <fstream>

#include "messages/RegisteredMessages.h"
#include "support/TempDir.h"

namespace kx520 {
namespace {

TEST(LanguageConfig, TheStoredIdChoosesTheIndexAndEverythingElseIsZero) {
    test::TempDir temp;
    const std::string path = temp.Path() + "/Language.config";
    std::ofstream(path) << R"({"Language": [
        {"Language_ID": 1033, "Language_name": "English", "Language_file": "lang/en.xml"},
        {"Language_ID": "2052", "Language_name": 7},
        {"Language_ID": 1028, "Language_file": "lang/zh_TW.xml"}]})";
    const auto config = LanguageConfig::Load(path);
    ASSERT_TRUE(config);
    ASSERT_EQ(config->Entries().size(), 3u);
    EXPECT_EQ(config->IndexOf(1028), 2);
    EXPECT_EQ(config->IndexOf(1033), 0);
    EXPECT_EQ(config->IndexOf(2052), 0);  // a string id matches nothing
    EXPECT_EQ(config->IndexOf(std::nullopt), 0);
    EXPECT_EQ(config->At(1).name, "");  // a number where a name belongs
    EXPECT_EQ(config->At(2).file, "lang/zh_TW.xml");
    EXPECT_EQ(config->At(3).id, 0);
    EXPECT_EQ(config->At(-1).id, 0);

    std::ofstream(path, std::ios::trunc) << "not json";
    EXPECT_FALSE(LanguageConfig::Load(path));
    std::ofstream(path, std::ios::trunc) << R"({"Language": {"Language_ID": 1}})";
    const auto odd = LanguageConfig::Load(path);
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->Entries().empty());
}

TEST(RegisteredMessages, NamesResolveByCodeNameOrRegistrationString) {
    const RegisteredMessage* byName = FindRegisteredMessage("LightCommandMessage");
    const RegisteredMessage* byGuid =
        FindRegisteredMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF17}");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName, byGuid);
    EXPECT_TRUE(byName->fromOutside);
    ASSERT_NE(FindRegisteredMessage("AudioRecordCommandMessage"), nullptr);
    EXPECT_STREQ(FindRegisteredMessage("AudioRecordCommandMessage")->registration,
                 "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}");
    EXPECT_FALSE(FindRegisteredMessage("WM_HOOK_KEY_SINGLEKEY_MSG")->fromOutside);
    EXPECT_TRUE(FindRegisteredMessage("Game_Death")->fromOutside);
    EXPECT_EQ(FindRegisteredMessage("lightcommandmessage"), nullptr);
    EXPECT_EQ(RegisteredMessages().size(), 29u);
}

}  // namespace
}  // namespace kx520
