#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace kx520 {
namespace {

CommandLine MakeParser() {
    CommandLine commandLine;
    commandLine.AddOption("simulate", CommandLine::Kind::OptionalValue);
    commandLine.AddOption("json", CommandLine::Kind::Flag);
    commandLine.AddOption("output", CommandLine::Kind::Value);
    return commandLine;
}

TEST(CommandLine, ValuesAfterEqualsOrAsTheNextArgument) {
    CommandLine commandLine = MakeParser();
    ASSERT_TRUE(commandLine.Parse({"--output=a.rules", "list"}));
    EXPECT_EQ(commandLine.Value("output"), "a.rules");
    ASSERT_TRUE(commandLine.Parse({"--output", "b.rules", "list"}));
    EXPECT_EQ(commandLine.Value("output"), "b.rules");
    EXPECT_EQ(commandLine.Positionals(), std::vector<std::string>{"list"});
}

TEST(CommandLine, OptionalValueTakesOnlyWhatFollowsEquals) {
    CommandLine commandLine = MakeParser();
    ASSERT_TRUE(commandLine.Parse({"--simulate", "list", "--json"}));
    EXPECT_EQ(commandLine.Value("simulate"), "");
    EXPECT_TRUE(commandLine.Has("json"));
    EXPECT_EQ(commandLine.Positionals(), std::vector<std::string>{"list"});
    ASSERT_TRUE(commandLine.Parse({"--simulate=mouse,headset"}));
    EXPECT_EQ(commandLine.Value("simulate"), "mouse,headset");
    EXPECT_FALSE(commandLine.Has("json"));  // nothing carried over from the last parse
}

TEST(CommandLine, DashHIsHelpOnlyWhereThereIsAHelpOption) {
    CommandLine commandLine = MakeParser();
    ASSERT_TRUE(commandLine.Parse({"-h"}));
    EXPECT_EQ(commandLine.Positionals(), std::vector<std::string>{"-h"});
    commandLine.AddOption("help", CommandLine::Kind::Flag);
    ASSERT_TRUE(commandLine.Parse({"list", "-h"}));
    EXPECT_TRUE(commandLine.Has("help"));
    EXPECT_EQ(commandLine.Positionals(), std::vector<std::string>{"list"});
    ASSERT_TRUE(commandLine.Parse({"--", "-h"}));
    EXPECT_FALSE(commandLine.Has("help"));
}

TEST(CommandLine, MistakesAreReported) {
    CommandLine commandLine = MakeParser();
    EXPECT_FALSE(commandLine.Parse({"--bogus"}));
    EXPECT_NE(commandLine.Error().find("--bogus"), std::string::npos);
    EXPECT_FALSE(commandLine.Parse({"--output"}));
    EXPECT_FALSE(commandLine.Parse({"--json=yes"}));
    ASSERT_TRUE(commandLine.Parse({"--", "--json"}));
    EXPECT_FALSE(commandLine.Has("json"));
    EXPECT_EQ(commandLine.Positionals(), std::vector<std::string>{"--json"});
}

}  // namespace
}  // namespace kx520
