#include "headset/HeadsetLedReports.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "devicebase/FrameSender.h"
#include "protocol/CommandSet.h"
#include "sim/FirmwareDriver.h"
#include "support/VirtualChannel.h"

namespace kx520 {
namespace {

using Report = HeadsetReport;

TEST(HeadsetLedReports, FullWhiteIsTheCeilingInEveryChannelByteOfEveryReport) {
    const std::vector<LedEntry> frame(13, LedEntry{255, 255, 255, 255});
    const auto reports = HeadsetLedReports(frame, 13);
    for (const Report& report : reports) {
        for (size_t i = 4; i < 11; ++i) {
            EXPECT_EQ(report[i], 247) << i;  // 255 x 255 / 256 = 254, clamped
        }
        for (size_t i = 11; i < 17; ++i) {
            EXPECT_EQ(report[i], 0);
        }
    }
}

// Each LED with its own red, green and blue: the reports byte for byte, in
// the order they go out.
TEST(HeadsetLedReports, TheTwelveReportsCarryEachChannelPerSideInTwoBlocks) {
    std::vector<LedEntry> frame;
    for (uint8_t i = 0; i < 13; ++i) {
        // At level 128 a byte is half the colour.
        frame.push_back(LedEntry{static_cast<uint8_t>(2 * (i + 1)), static_cast<uint8_t>(100 + 2 * i),
                                 static_cast<uint8_t>(200 + 2 * i), 128});
    }
    const auto reports = HeadsetLedReports(frame, 13);
    const Report red0 = {0xFF, 0x22, 0xAA, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0, 0, 0};
    const Report red1 = {0xFF, 0x22, 0xAD, 0, 8, 9, 10, 11, 12, 13, 7, 0, 0, 0, 0, 0, 0};
    const Report green0 = {0xFF, 0x22, 0xAB, 0, 50, 51, 52, 53, 54, 55, 56, 0, 0, 0, 0, 0, 0};
    const Report green1 = {0xFF, 0x22, 0xAE, 0, 57, 58, 59, 60, 61, 62, 56, 0, 0, 0, 0, 0, 0};
    const Report blue1 = {0xFF, 0x44, 0xAF, 0, 107, 108, 109, 110, 111, 112, 106, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(reports[0], red0);
    EXPECT_EQ(reports[1], red1);
    Report other = red0;
    other[1] = 0x44;
    EXPECT_EQ(reports[2], other);
    other = red1;
    other[1] = 0x44;
    EXPECT_EQ(reports[3], other);
    EXPECT_EQ(reports[4], green0);
    EXPECT_EQ(reports[5], green1);
    EXPECT_EQ(reports[11], blue1);
    const uint8_t blocks[12][2] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
                                   {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
                                   {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
    for (size_t r = 0; r < 12; ++r) {
        EXPECT_EQ(reports[r][1], blocks[r][0]) << r;
        EXPECT_EQ(reports[r][2], blocks[r][1]) << r;
    }
}

TEST(HeadsetLedReports, LedsPastTheCountOrTheFrameAreDark) {
    const std::vector<LedEntry> frame(13, LedEntry{255, 0, 0, 255});
    struct Case {
        size_t frameSize;
        size_t ledCount;
        size_t lit;
    };
    for (const Case& c : {Case{13, 10, 10}, Case{5, 13, 5}, Case{13, 40, 13}, Case{0, 13, 0}}) {
        const auto reports = HeadsetLedReports(std::span(frame).first(c.frameSize), c.ledCount);
        for (size_t led = 0; led < 13; ++led) {
            const Report& report = reports[led < 7 ? 0 : 1];
            const uint8_t byte = report[4 + (led < 7 ? led : led - 7)];
            EXPECT_EQ(byte, led < c.lit ? 247 : 0) << "led " << led << " of " << c.lit;
        }
        EXPECT_EQ(reports[1][10], reports[0][10]);  // the repeated seventh byte
    }
}

// The frame sender hands the headset's frames over as its twelve output
// reports, off the caller's thread; the virtual headset gets every colour.
TEST(HeadsetLedReports, TheFrameSenderDeliversThemToTheHeadset) {
    test::VirtualChannel headset("headset");
    ASSERT_TRUE(headset.Connected());
    FrameSender sender(headset.Channel());
    ASSERT_TRUE(sender.SetTransport(SendHeadsetReports));
    sender.Start();
    EXPECT_FALSE(sender.SetTransport(SendHeadsetReports));  // not while it runs
    std::vector<LedEntry> frame(13, LedEntry{0, 0, 0, 255});
    frame[12] = LedEntry{255, 128, 64, 255};
    sender.Submit(EncodeHeadsetFrame(frame, 13));
    for (int i = 0; i < 200 && sender.SentFrames() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(sender.SentFrames(), 1u);
    const auto driver = headset.Firmware();
    EXPECT_EQ(driver->HeadsetLeds().Taken(), 12u);
    for (size_t side = 0; side < 2; ++side) {
        const auto colours = driver->HeadsetLeds().Colours(side);
        EXPECT_EQ(colours[12], (std::array<uint8_t, 3>{247, 127, 63}));
        EXPECT_EQ(colours[0], (std::array<uint8_t, 3>{0, 0, 0}));
    }
    // Bytes that are not whole reports are not sent at all.
    EXPECT_EQ(SendHeadsetReports(headset.Channel(), std::vector<uint8_t>(20, 0xFF)), protocol::kResultUnsupported);
    EXPECT_EQ(driver->HeadsetLeds().Taken(), 12u);
}

}  // namespace
}  // namespace kx520
