#include "devicebase/FrameSender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "protocol/CommandSet.h"
#include "support/VirtualChannel.h"

namespace kx520 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = 5s) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

std::vector<uint8_t> Frame(size_t leds, uint8_t value) {
    return std::vector<uint8_t>(3 * leds, value);
}

TEST(LedFrame, EncodesScaledColoursForAtMost170Leds) {
    std::vector<LedEntry> frame(171, LedEntry{255, 128, 2, 128});
    frame[1] = LedEntry{10, 20, 30, 0};
    const auto bytes = EncodeLedFrame(frame);
    ASSERT_EQ(bytes.size(), 510u);
    EXPECT_EQ(bytes[0], 127);
    EXPECT_EQ(bytes[1], 64);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[3], 0);  // level 0: dark
    EXPECT_EQ(bytes[5], 0);
}

TEST(FrameSenderStream, AFrameReachesTheDevice) {
    test::VirtualChannel keyboard("keyboard");
    FrameSender sender(keyboard.Channel());
    sender.Start();
    sender.Submit(Frame(126, 0x5A));
    ASSERT_TRUE(WaitUntil([&] { return sender.SentFrames() == 1; }));
    const auto light = keyboard.Firmware()->Firmware().LightFrame();
    EXPECT_EQ(light[0], 0x5A);
    EXPECT_EQ(light[377], 0x5A);
    EXPECT_EQ(light[378], 0);
    sender.Stop();
}

TEST(FrameSenderStream, TheLatestFrameWinsAndStaleOnesAreDropped) {
    test::VirtualChannel keyboard("keyboard", {{sim::SimFault::UsbTiming, sim::FaultSpec::kEvery}});
    FrameSender sender(keyboard.Channel());
    sender.Start();
    for (uint8_t value = 1; value <= 20; ++value) {
        sender.Submit(Frame(126, value));  // far faster than 14 ms a frame
    }
    ASSERT_TRUE(WaitUntil([&] {
        return sender.SentFrames() + sender.DroppedFrames() == 20 &&
               keyboard.Firmware()->Firmware().LightFrame()[0] == 20;
    }));
    EXPECT_GT(sender.DroppedFrames(), 0u);
    EXPECT_LT(sender.SentFrames(), 20u);
    // Whole frames, in order: never a packet of an older frame after a newer one.
    uint8_t last = 0;
    for (const auto& request : keyboard.Requests()) {
        if (request.Command() == protocol::kCmdStreamLight) {
            EXPECT_GE(request.report[8], last);
            last = request.report[8];
        }
    }
}

TEST(FrameSenderStream, AfterAFailureNothingIsSentFor200Ms) {
    test::VirtualChannel keyboard("keyboard", {{sim::SimFault::StatusFF, 1}});
    FrameSender sender(keyboard.Channel());
    sender.Start();
    sender.Submit(Frame(10, 1));
    ASSERT_TRUE(WaitUntil([&] { return sender.FailedFrames() == 1; }));
    const auto failed = Clock::now();
    sender.Submit(Frame(10, 2));
    ASSERT_TRUE(WaitUntil([&] { return sender.SentFrames() == 1; }));
    EXPECT_GE(Clock::now() - failed, 150ms);  // a lower bound: never early
    EXPECT_EQ(keyboard.Firmware()->Firmware().LightFrame()[0], 2);
}

// A frame waiting out the rest after a failure while the link changes
// (the cable left for the receiver) was made for the old link: dropped.
TEST(FrameSenderStream, AFrameMadeForALinkThatChangedWhileItWaitedIsDropped) {
    test::VirtualChannel keyboard("keyboard", {{sim::SimFault::StatusFF, 1}});
    FrameSender sender(keyboard.Channel());
    sender.Start();
    sender.Submit(Frame(10, 1));
    ASSERT_TRUE(WaitUntil([&] { return sender.FailedFrames() == 1; }));
    sender.Submit(Frame(10, 2));
    keyboard.Channel().SetMode(1);
    ASSERT_TRUE(WaitUntil([&] { return sender.DroppedFrames() == 1; }));
    EXPECT_EQ(sender.SentFrames(), 0u);
    EXPECT_NE(keyboard.Firmware()->Firmware().LightFrame()[0], 2);
    sender.Submit(Frame(10, 3));  // made for the link as it is now
    ASSERT_TRUE(WaitUntil([&] { return sender.SentFrames() == 1; }));
    EXPECT_EQ(keyboard.Firmware()->Firmware().LightFrame()[0], 3);
}

TEST(FrameSenderStream, StopEndsPromptlyWithNothingPending) {
    test::VirtualChannel mouse("mouse");
    FrameSender sender(mouse.Channel());
    sender.Start();
    const auto start = Clock::now();
    sender.Stop();
    EXPECT_LT(Clock::now() - start, 1s);
    sender.Submit(Frame(15, 3));  // not running: kept, not sent
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(sender.SentFrames(), 0u);
}

}  // namespace
}  // namespace kx520
