#include "protocol/CommandChannel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "support/VirtualChannel.h"

namespace kx520::protocol {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sim::FaultSpec;
using sim::SimFault;
using test::VirtualChannel;

Packet Request(uint8_t command, uint16_t offset = 0, uint8_t length = 0) {
    return BuildReadRequest(command, offset, length);
}

int Send(CommandChannel& channel, const Packet& request, Packet& reply) {
    return channel.Exchange(request.data(), request.size(), reply.data(), reply.size(), nullptr);
}

// Answers every request on the command interface with the replies it is
// given, command ids as listed, instead of the firmware.
void ReplyWith(VirtualChannel& product, std::vector<uint8_t> commandIds) {
    product.Firmware()->Device()->SetOutputHandler(
        [commandIds](sim::VirtualDevice& device, uint8_t interfaceNumber,
                     std::span<const uint8_t>) {
            for (uint8_t id : commandIds) {
                Packet reply{};
                reply[0] = kReportId;
                reply[kCommandByte] = id;
                device.SendInput(interfaceNumber, reply);
            }
            return true;
        });
}

TEST(CommandChannelState, DefaultsModesAndBlockLimit) {
    sim::VirtualHidBackend backend;
    CommandChannel channel(backend);
    EXPECT_EQ(channel.ChunkSize(), 24);
    EXPECT_FALSE(channel.ReceiverMode());
    EXPECT_EQ(channel.BlockLimit(), 512);
    EXPECT_FALSE(channel.IsOpen());
    EXPECT_FALSE(channel.SetBlockLimit(513));
    EXPECT_EQ(channel.BlockLimit(), 512);
    EXPECT_TRUE(channel.SetBlockLimit(378));
    EXPECT_EQ(channel.BlockLimit(), 378);
    channel.SetMode(2);
    EXPECT_TRUE(channel.ReceiverMode());
    EXPECT_EQ(channel.ChunkSize(), 24);
    channel.SetMode(1);
    EXPECT_FALSE(channel.ReceiverMode());
    EXPECT_EQ(channel.ChunkSize(), 56);
    channel.SetMode(2);
    channel.SetMode(7);
    EXPECT_FALSE(channel.ReceiverMode());
    EXPECT_EQ(channel.ChunkSize(), 56);
}

TEST(CommandChannelExchange, ClosedChannelDoesNoIo) {
    VirtualChannel keyboard("keyboard");
    ASSERT_TRUE(keyboard.Connected());
    keyboard.Channel().SetOpen(false);
    Packet reply{};
    size_t count = 7;
    const Packet request = Request(kCmdBegin);
    EXPECT_EQ(keyboard.Channel().Exchange(request.data(), request.size(), reply.data(),
                                          reply.size(), &count),
              kResultNoReply);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(keyboard.Trace().empty());
    EXPECT_FALSE(keyboard.Channel().Busy());
}

TEST(CommandChannelExchange, ShortRequestGoesOutAsAFullCheckedFrame) {
    VirtualChannel mouse("mouse");
    const uint8_t request[5] = {0x04, 0, 0, kCmdBegin, 0};
    Packet reply{};
    size_t count = 0;
    EXPECT_EQ(mouse.Channel().Exchange(request, sizeof request, reply.data(), reply.size(), &count),
              kResultSuccess);
    EXPECT_EQ(count, 64u);
    const auto requests = mouse.Requests();
    ASSERT_EQ(requests.size(), 1u);
    ASSERT_EQ(requests[0].report.size(), 64u);
    EXPECT_EQ(requests[0].report[1], kCmdBegin);  // checksum of a lone command id
    EXPECT_EQ(mouse.Firmware()->Firmware().BadChecksums(), 0u);
}

TEST(CommandChannelExchange, ReceiverAnswerBeforeALaterMatchIsMinus101) {
    VirtualChannel mouse("mouse-receiver");
    ReplyWith(mouse, {kReceiverAnswer, kCmdBegin});
    Packet reply{};
    EXPECT_EQ(Send(mouse.Channel(), Request(kCmdBegin), reply), kResultReceiverAnswered);
}

TEST(CommandChannelExchange, OnTheCableTheReceiverIdIsJustAStrayReply) {
    VirtualChannel mouse("mouse");
    ReplyWith(mouse, {kReceiverAnswer, kCmdBegin});
    Packet reply{};
    EXPECT_EQ(Send(mouse.Channel(), Request(kCmdBegin), reply), kResultSuccess);
}

TEST(CommandChannelExchange, OneStrayReplyIsSkippedTwoAreAFailure) {
    VirtualChannel keyboard("keyboard");
    ReplyWith(keyboard, {0x33, kCmdBegin});
    Packet reply{};
    EXPECT_EQ(Send(keyboard.Channel(), Request(kCmdBegin), reply), kResultSuccess);
    // Neither of the two reads answers the request: a failure, not success.
    ReplyWith(keyboard, {0x33, 0x34, kCmdBegin});
    EXPECT_EQ(Send(keyboard.Channel(), Request(kCmdBegin), reply), kResultNoReply);
    // Exactly two reads were made, and the third reply, left waiting, is
    // dropped before the next request: were it read, it would match.
    ReplyWith(keyboard, {0x35});
    EXPECT_EQ(Send(keyboard.Channel(), Request(kCmdBegin), reply), kResultNoReply);
}

TEST(CommandChannelExchange, NoReplyWaitsTwoReadTimeOutsThenRecovers) {
    VirtualChannel mouse("mouse", {{SimFault::NoReply, 1}});
    Packet reply{};
    const auto start = Clock::now();
    EXPECT_EQ(Send(mouse.Channel(), Request(kCmdBegin), reply), kResultNoReply);
    EXPECT_GE(Clock::now() - start, 1900ms);
    EXPECT_EQ(Send(mouse.Channel(), Request(kCmdBegin), reply), kResultSuccess);
}

TEST(CommandChannelExchange, LateReplyNeverAnswersTheNextRequest) {
    VirtualChannel keyboard("keyboard", {{SimFault::LateReply, 1}});
    std::array<uint8_t, 26> record{};
    EXPECT_EQ(CMD_READ_CONFIG(keyboard.Channel(), record, 0), kResultNoReply);
    // Let the late reply (offset 0, same command id) arrive first.
    std::this_thread::sleep_for(sim::FirmwareDriver::kLateMargin + 150ms);
    EXPECT_EQ(CMD_READ_CONFIG(keyboard.Channel(), record, 25), kResultSuccess);
    const auto config = keyboard.Firmware()->Firmware().Config();
    EXPECT_EQ(record[0], 1);  // a record reads back its profile number first
    EXPECT_TRUE(std::equal(record.begin() + 1, record.end(), config.begin() + 26));
    EXPECT_NE(config[26], config[1]);  // the two records differ, so the test can tell
}

TEST(CommandChannelExchange, WriteToAGoneDeviceIsMinus1) {
    VirtualChannel headset("headset");
    headset.Backend().Unplug("headset");
    Packet reply{};
    EXPECT_EQ(Send(headset.Channel(), Request(kCmdReadStatus, 0, 6), reply), kResultWriteFailed);
    EXPECT_FALSE(headset.Channel().Busy());
}

TEST(CommandChannelExchange, ClosingTheLinkWakesAWaitingExchange) {
    VirtualChannel mouse("mouse", {{SimFault::NoReply, FaultSpec::kEvery}});
    auto exchange = std::async(std::launch::async, [&mouse] {
        Packet reply{};
        return Send(mouse.Channel(), Request(kCmdBegin), reply);
    });
    while (!mouse.Channel().Busy()) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    mouse.Channel().SetOpen(false);
    mouse.Channel().CloseLink(CommandChannel::Link::First);
    ASSERT_EQ(exchange.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(exchange.get(), kResultNoReply);
    EXPECT_LT(Clock::now() - start, 900ms);  // well before the 1 s read time-out
}

}  // namespace
}  // namespace kx520::protocol
