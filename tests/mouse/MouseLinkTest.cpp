#include "mouse/MouseLink.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "protocol/CommandSet.h"
#include "support/VirtualChannel.h"

namespace kx520 {
namespace {

using namespace protocol;

std::vector<uint8_t> Commands(const std::vector<test::TraceLine>& lines) {
    std::vector<uint8_t> commands;
    for (const auto& line : lines) {
        commands.push_back(line.Command());
    }
    return commands;
}

TEST(MouseLink, AWriteIsBracketedAndThroughTheReceiverEveryStepIsProbedFirst) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        test::VirtualChannel mouse(product);
        const std::vector<uint8_t> record(MouseConfigRecord::kWriteSize, 3);
        const int written = MouseLink::Write(mouse.Channel(), [&] { return CMD_WRITE_CONFIG(mouse.Channel(), record, 256); });
        EXPECT_EQ(written, kResultSuccess) << product;
        const bool receiver = std::string(product) == "mouse-receiver";
        // The record's packets (how many depends on the link) count as one step.
        std::vector<uint8_t> steps = Commands(mouse.Requests());
        steps.erase(std::unique(steps.begin(), steps.end(),
                                [](uint8_t a, uint8_t b) { return a == kCmdWriteConfig && b == kCmdWriteConfig; }),
                    steps.end());
        const std::vector<uint8_t> cable = {kCmdBegin, kCmdWriteConfig, kCmdEnd};
        const std::vector<uint8_t> probed = {kCmdReceiverProbe, kCmdBegin, kCmdReceiverProbe, kCmdWriteConfig,
                                             kCmdReceiverProbe, kCmdEnd};
        EXPECT_EQ(steps, receiver ? probed : cable) << product;
        EXPECT_EQ(mouse.Firmware()->Firmware().Config()[256 + 65], 3) << product;
    }
}

TEST(MouseLink, ASleepingMouseBehindItsReceiverIsSentNothingAfterTheFirstFalseProbe) {
    test::VirtualChannel mouse("mouse-receiver");
    mouse.Firmware()->Firmware().SetLinkAwake(false);
    bool ran = false;
    EXPECT_EQ(MouseLink::Write(mouse.Channel(), [&] { ran = true; return kResultSuccess; }), 0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(Commands(mouse.Requests()), (std::vector<uint8_t>{kCmdReceiverProbe}));
    EXPECT_FALSE(MouseLink::ReadRecord(mouse.Channel()));
    EXPECT_EQ(Commands(mouse.Requests()), (std::vector<uint8_t>{kCmdReceiverProbe, kCmdReceiverProbe}));
}

TEST(MouseLink, TheCurrentProfilesRecordIsReadWithItsNumberAndAnImpossibleProfileIsRefused) {
    test::VirtualChannel mouse("mouse");
    mouse.Firmware()->Firmware().SwitchStage(2, 4);
    const auto record = MouseLink::ReadRecord(mouse.Channel());
    ASSERT_TRUE(record);
    EXPECT_EQ(record->profile, 2);
    EXPECT_EQ(record->bytes[0], 2);
    EXPECT_EQ(record->bytes[MouseConfigRecord::kActiveStageByte], 4);
    const auto parsed = MouseConfigRecord::Parse(record->bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->stages[1].dpiX, 30);  // the factory's second stage
    mouse.Firmware()->Firmware().SwitchProfile(40);
    EXPECT_FALSE(MouseLink::ReadRecord(mouse.Channel()));
}

}  // namespace
}  // namespace kx520
