#include "sim/HeadsetLedMemory.h"

#include <gtest/gtest.h>

#include <vector>

#include "headset/HeadsetLedReports.h"
#include "hid/HidDevice.h"
#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::sim {
namespace {

using protocol::BuildReadRequest;
using protocol::BuildRequest;
using protocol::kCmdReadConfig;
using protocol::kCmdWriteConfig;
using protocol::kDataByte;
using protocol::kStatusByte;

// The twelve reports of a frame, as the host builds them, give each side the
// frame's colours back.
TEST(HeadsetLedMemory, KeepsThirteenColoursASideFromTheTwelveReports) {
    std::vector<LedEntry> frame;
    for (uint8_t i = 0; i < 13; ++i) {
        frame.push_back(LedEntry{static_cast<uint8_t>(10 * i), static_cast<uint8_t>(200 - 10 * i), 77, 255});
    }
    HeadsetLedMemory memory;
    for (const HeadsetReport& report : HeadsetLedReports(frame, 13)) {
        EXPECT_TRUE(memory.Take(report));
    }
    EXPECT_EQ(memory.Taken(), 12u);
    for (size_t side = 0; side < 2; ++side) {
        const auto colours = memory.Colours(side);
        for (size_t i = 0; i < 13; ++i) {
            const HeadsetLedMemory::Colour expected{frame[i].ShownRed(), frame[i].ShownGreen(), frame[i].ShownBlue()};
            EXPECT_EQ(colours[i], expected) << "side " << side << " led " << i;
        }
    }
}

TEST(HeadsetLedMemory, RefusesAReportItWouldNotTakeAndKeepsWhatItHad) {
    HeadsetReport good{0xFF, 0x22, 0xAA, 0, 9, 9, 9, 9, 9, 9, 9};
    struct Case {
        size_t byte;
        uint8_t value;
    };
    HeadsetLedMemory memory;
    ASSERT_TRUE(memory.Take(good));
    for (const Case& c : {Case{0, 0x04}, Case{1, 0x33}, Case{2, 0xA9}, Case{2, 0xB0}, Case{3, 1}}) {
        HeadsetReport bad = good;
        bad[c.byte] = c.value;
        bad[4] = 1;
        EXPECT_FALSE(memory.Take(bad)) << "byte " << c.byte;
    }
    EXPECT_FALSE(memory.Take(std::span<const uint8_t>(good).first(16)));  // short
    EXPECT_FALSE(memory.Take({}));
    EXPECT_EQ(memory.Refused(), 7u);
    EXPECT_EQ(memory.Colours(0)[0][0], 9);
    EXPECT_EQ(memory.Colours(2)[0][0], 0);  // no such side
}

// Through the virtual backend as the host sends them: the LED report by
// SET_REPORT, the record written 64 apart and read 25 apart, and the
// firmware's notification on the one collection.
TEST(VirtualHeadset, TakesItsLedReportsMapsItsRecordsAndNotifies) {
    VirtualHidBackend backend;
    backend.Plug("headset");
    std::vector<std::string> paths;
    ASSERT_TRUE(backend.Enumerate(paths));
    ASSERT_EQ(paths.size(), 1u);
    hid::HidDevice device(backend);
    ASSERT_TRUE(device.Open(paths[0], true, true, true, false));
    const HeadsetReport report{0xFF, 0x44, 0xAD, 0, 1, 2, 3, 4, 5, 6, 7};
    ASSERT_TRUE(device.SetOutputReport(report.data(), report.size(), 100));
    const auto driver = backend.Firmware("headset");
    EXPECT_EQ(driver->HeadsetLeds().Colours(1)[12][0], 6);

    VirtualFirmware& firmware = driver->Firmware();
    const std::vector<uint8_t> record{0, 3, 4, 2, 0, 1, 255, 255, 255};
    EXPECT_EQ(firmware.Handle(BuildRequest(kCmdWriteConfig, 2 * 64, record))->at(kStatusByte), 0);
    const auto read = firmware.Handle(BuildReadRequest(kCmdReadConfig, 2 * 25, 26));
    EXPECT_EQ(read->at(kDataByte + 1), 3);   // the mode written at 128
    EXPECT_EQ(read->at(kDataByte + 6), 255);
    const std::vector<uint8_t> tooLong(22, 1);  // from byte 4 of a record: past its 25 bytes
    EXPECT_NE(firmware.Handle(BuildRequest(kCmdWriteConfig, 64 + 4, tooLong))->at(kStatusByte), 0);

    device.DiscardInput();
    ASSERT_TRUE(driver->SendNotification(0x401));
    std::array<uint8_t, 64> input{};
    size_t count = 0;
    ASSERT_TRUE(device.Read(input.data(), input.size(), &count, 1000));
    EXPECT_EQ(input[0], 3);
    EXPECT_EQ(input[1] | (input[2] << 8), 0x401);
}

}  // namespace
}  // namespace kx520::sim
