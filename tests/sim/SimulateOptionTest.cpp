#include "sim/SimulateOption.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/CommandLine.h"

namespace kx520::sim {
namespace {

TEST(SimulateOption, BareAndAllMeanEveryProduct) {
    const auto bare = ParseSimulateList("", nullptr);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->size(), 6u);
    EXPECT_EQ(ParseSimulateList("mouse,all", nullptr), bare);
}

TEST(SimulateOption, NamesAreCheckedAndRepeatsDropped) {
    const auto some = ParseSimulateList("headset,mouse,headset", nullptr);
    ASSERT_TRUE(some);
    EXPECT_EQ(*some, (std::vector<std::string>{"headset", "mouse"}));
    std::string error;
    EXPECT_FALSE(ParseSimulateList("mouse,trackball", &error));
    EXPECT_NE(error.find("trackball"), std::string::npos);
    EXPECT_NE(error.find("keyboard-receiver"), std::string::npos);  // lists the valid names
    EXPECT_FALSE(ParseSimulateList("mouse,", &error));
    EXPECT_FALSE(ParseSimulateList("keyboard,,mouse", &error));
    EXPECT_NE(error.find("empty name"), std::string::npos) << error;
    EXPECT_FALSE(ParseSimulateList(",", &error));
}

TEST(SimulateOption, AnEmptyValueAfterEqualsNamesNoProduct) {
    CommandLine commandLine;
    commandLine.AddOption("simulate", CommandLine::Kind::OptionalValue);
    std::string error;
    ASSERT_TRUE(commandLine.Parse({"--simulate="}));
    EXPECT_FALSE(SimulatedProducts(commandLine, &error));
    EXPECT_NE(error.find("--simulate="), std::string::npos) << error;
    ASSERT_TRUE(commandLine.Parse({"--simulate"}));  // bare: every product
    EXPECT_EQ(SimulatedProducts(commandLine, &error)->size(), 6u);
}

TEST(SimulateOption, FlagWinsOverTheEnvironment) {
    CommandLine commandLine;
    commandLine.AddOption("simulate", CommandLine::Kind::OptionalValue);
    ::setenv("KX520_SIMULATE", "headset", 1);
    ASSERT_TRUE(commandLine.Parse({}));
    EXPECT_EQ(SimulatedProducts(commandLine, nullptr), std::vector<std::string>{"headset"});
    ASSERT_TRUE(commandLine.Parse({"--simulate=mousepad"}));
    EXPECT_EQ(SimulatedProducts(commandLine, nullptr), std::vector<std::string>{"mousepad"});
    ::setenv("KX520_SIMULATE", "nonsense", 1);
    ASSERT_TRUE(commandLine.Parse({}));
    EXPECT_FALSE(SimulatedProducts(commandLine, nullptr));
    ::unsetenv("KX520_SIMULATE");
    EXPECT_EQ(SimulatedProducts(commandLine, nullptr), std::vector<std::string>{});
}

}  // namespace
}  // namespace kx520::sim
