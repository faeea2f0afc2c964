#include "hid/HidDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "hid/DevicePath.h"
#include "hid/HidDescriptorBuilder.h"
#include "sim/VirtualHidBackend.h"
#include "support/VirtualPaths.h"

namespace kx520::hid {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string PathOf(sim::VirtualHidBackend& backend, std::string_view product,
                   uint16_t interfaceNumber, uint16_t collection) {
    return test::CollectionPath(backend, product, collection, interfaceNumber);
}

class HidDeviceOnVirtualKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        keyboard = backend.Plug("keyboard");
        commandPath = PathOf(backend, "keyboard", 1, 4);
        notifyPath = PathOf(backend, "keyboard", 1, 3);
        ASSERT_FALSE(commandPath.empty());
    }

    sim::VirtualHidBackend backend;
    std::shared_ptr<sim::VirtualDevice> keyboard;
    std::string commandPath;
    std::string notifyPath;
};

// The headset's one collection carries its keys (report 1) before its
// notifications: the code is read from the report that came.
TEST(HidDeviceOnVirtualHeadset, TheNotificationCodeComesFromItsOwnReportNotTheKeysBeforeIt) {
    sim::VirtualHidBackend backend;
    backend.Plug("headset");
    std::vector<std::string> paths;
    ASSERT_TRUE(backend.Enumerate(paths));
    ASSERT_EQ(paths.size(), 1u);
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(paths[0], true, true, true, false));
    const uint8_t notice[] = {0x03, 0x01, 0x04};
    EXPECT_EQ(device.ParseNotificationCode(notice, sizeof notice), 0x401);
    const uint8_t released[] = {0x03, 0x00, 0x00};
    EXPECT_FALSE(device.ParseNotificationCode(released, sizeof released));
}

TEST(HidDevicePathList, NextPathIsNoneBeforeEnumerateAndAfterTheLastEntry) {
    sim::VirtualHidBackend backend;
    HidDevice device(backend);
    EXPECT_EQ(device.NextPath(), nullptr);
    EXPECT_TRUE(device.Enumerate());  // an empty machine lists fine
    EXPECT_EQ(device.PathCount(), 0u);
    EXPECT_EQ(device.NextPath(), nullptr);

    backend.Plug("headset");
    ASSERT_TRUE(device.Enumerate());
    ASSERT_EQ(device.PathCount(), 1u);
    const std::string* only = device.NextPath();
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(PathCollectionNumber(*only), 0);  // single collection: no "&col"
    EXPECT_EQ(device.NextPath(), nullptr);
    device.FreePathList();
    EXPECT_EQ(device.NextPath(), nullptr);
}

TEST_F(HidDeviceOnVirtualKeyboard, OpenLoadsAttributesCapabilitiesAndPathNumbers) {
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(commandPath, true, true, true, false));
    EXPECT_EQ(device.VendorId(), 0x320F);
    EXPECT_EQ(device.ProductId(), 0x50C2);
    EXPECT_EQ(device.VersionNumber(), 0x0105);
    EXPECT_EQ(device.Caps().usagePage, 0xFF1C);
    EXPECT_EQ(device.Caps().usage, 0x92);
    EXPECT_EQ(device.InputReport().size(), 64u);
    EXPECT_EQ(device.InterfaceNumber(), 1u);
    EXPECT_EQ(device.CollectionNumber(), 4u);
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.Caps().usagePage, 0);
    EXPECT_TRUE(device.InputReport().empty());
}

TEST_F(HidDeviceOnVirtualKeyboard, OpenOfAMissingCollectionFailsAsNotFound) {
    HidDevice device(backend);
    std::string path = commandPath;
    path.replace(path.find("&col04"), 6, "&col09");
    EXPECT_FALSE(device.Open(path, true, false, true, false));
    EXPECT_EQ(device.LastError(), HidError::NotFound);
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(HidDeviceOnVirtualKeyboard, ReadTimesOutAndLeavesNothingPending) {
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(commandPath, true, true, true, false));
    uint8_t buffer[64];
    size_t count = 99;
    const auto start = Clock::now();
    EXPECT_FALSE(device.Read(buffer, sizeof buffer, &count, 1000));
    const auto waited = Clock::now() - start;
    EXPECT_EQ(count, 0u);
    EXPECT_GE(waited, 900ms);
    EXPECT_LT(waited, 5s);
    // A report sent after the time-out goes to the next read, not to the old one.
    std::vector<uint8_t> reply(64, 0);
    reply[0] = 4;
    reply[3] = 0x11;
    keyboard->SendInput(1, reply);
    ASSERT_TRUE(device.Read(buffer, sizeof buffer, &count, 1000));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(buffer[3], 0x11);
}

TEST_F(HidDeviceOnVirtualKeyboard, ReadsSeeOnlyTheirCollectionsReports) {
    HidDevice command(backend);
    HidDevice notify(backend);
    ASSERT_TRUE(command.Open(commandPath, true, true, true, false));
    ASSERT_TRUE(notify.Open(notifyPath, true, true, true, false));
    const std::vector<uint8_t> code{0x03, 0x01, 0x04};
    std::vector<uint8_t> reply(64, 0);
    reply[0] = 4;
    keyboard->SendInput(1, code);
    keyboard->SendInput(1, reply);
    uint8_t buffer[64];
    size_t count = 0;
    ASSERT_TRUE(command.Read(buffer, sizeof buffer, &count, 1000));
    EXPECT_EQ(buffer[0], 4);
    EXPECT_FALSE(command.Read(buffer, sizeof buffer, &count, 50));
    ASSERT_TRUE(notify.Read(buffer, sizeof buffer, &count, 1000));
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(buffer[0], 3);
}

TEST_F(HidDeviceOnVirtualKeyboard, CloseOnAnotherThreadEndsAnInfiniteReadAtOnce) {
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(notifyPath, true, true, true, false));
    auto reader = std::async(std::launch::async, [&device] {
        uint8_t buffer[8];
        size_t count = 0;
        return device.Read(buffer, sizeof buffer, &count, kInfiniteTimeout);
    });
    ASSERT_EQ(reader.wait_for(100ms), std::future_status::timeout);  // really blocked
    const auto start = Clock::now();
    device.Close();
    ASSERT_EQ(reader.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(reader.get());
    EXPECT_LT(Clock::now() - start, 2s);
}

TEST_F(HidDeviceOnVirtualKeyboard, UnplugFailsReadsAndWritesAndTheProbe) {
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(commandPath, true, true, true, false));
    EXPECT_TRUE(device.Exists(commandPath));
    backend.Unplug("keyboard");
    uint8_t buffer[64] = {4};
    EXPECT_FALSE(device.Read(buffer, sizeof buffer, nullptr, 1000));
    EXPECT_FALSE(device.Write(buffer, sizeof buffer, nullptr, 1000));
    EXPECT_FALSE(device.Exists(commandPath));
    // Plugged again, the product is another device: the old path stays gone.
    backend.Plug("keyboard");
    EXPECT_FALSE(device.Exists(commandPath));
    EXPECT_FALSE(device.Reopen());
}

TEST_F(HidDeviceOnVirtualKeyboard, WritesReachTheFirmwareWithTheirReportId) {
    std::vector<uint8_t> received;
    keyboard->SetOutputHandler([&received](sim::VirtualDevice&, uint8_t interfaceNumber,
                                           std::span<const uint8_t> report) {
        EXPECT_EQ(interfaceNumber, 1);
        received.assign(report.begin(), report.end());
        return true;
    });
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(commandPath, true, true, true, false));
    std::vector<uint8_t> request(64, 0);
    request[0] = 4;
    request[3] = 0x81;
    size_t count = 0;
    ASSERT_TRUE(device.Write(request.data(), request.size(), &count, 1000));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(received, request);
}

TEST_F(HidDeviceOnVirtualKeyboard, DiscardInputDropsWaitingReports) {
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(commandPath, true, true, true, false));
    std::vector<uint8_t> late(64, 0);
    late[0] = 4;
    keyboard->SendInput(1, late);
    device.DiscardInput();
    uint8_t buffer[64];
    EXPECT_FALSE(device.Read(buffer, sizeof buffer, nullptr, 50));
}

TEST_F(HidDeviceOnVirtualKeyboard, ParseInputReportGivesTheNotificationCode) {
    HidDevice device(backend);
    ASSERT_TRUE(device.Open(notifyPath, true, true, true, false));
    ASSERT_EQ(device.InputData().size(), 1u);
    const uint8_t report[] = {0x03, 0x01, 0x04};
    ASSERT_TRUE(device.ParseInputReport(report, sizeof report));
    const HidDataEntry& entry = device.InputData()[0];
    EXPECT_TRUE(entry.isButton);
    EXPECT_TRUE(entry.isSet);
    EXPECT_EQ(entry.status, kHidpStatusSuccess);
    ASSERT_EQ(entry.usageList.size(), 1u);
    EXPECT_EQ(entry.usageList[0], 0x401);
    EXPECT_FALSE(device.ParseInputReport(report, 0));
    EXPECT_EQ(device.ParseNotificationCode(report, sizeof report), 0x401);
    // An empty array (nothing pressed) carries no code.
    const uint8_t released[] = {0x03, 0x00, 0x00};
    EXPECT_FALSE(device.ParseNotificationCode(released, sizeof released));
    // Neither does a report of another id, nor one on a closed link.
    const uint8_t other[] = {0x04, 0x01, 0x04};
    EXPECT_FALSE(device.ParseNotificationCode(other, sizeof other));
    EXPECT_FALSE(device.InputData()[0].isSet);
    device.Close();
    EXPECT_FALSE(device.ParseNotificationCode(report, sizeof report));
}

TEST_F(HidDeviceOnVirtualKeyboard, AccessFollowsTheOpenMode) {
    HidDevice readOnly(backend);
    ASSERT_TRUE(readOnly.Open(commandPath, true, false, true, false));
    const uint8_t request[64] = {4};
    EXPECT_FALSE(readOnly.Write(request, sizeof request, nullptr, 100));
    HidDevice writeOnly(backend);
    ASSERT_TRUE(writeOnly.Open(commandPath, false, true, true, false));
    uint8_t buffer[64];
    EXPECT_FALSE(writeOnly.Read(buffer, sizeof buffer, nullptr, 10));
    EXPECT_TRUE(writeOnly.Write(request, sizeof request, nullptr, 100));
}

TEST_F(HidDeviceOnVirtualKeyboard, CloseWhileAnotherThreadParsesNeverBreaksTheParse) {
    HidDevice device(backend);
    const uint8_t report[] = {0x03, 0x01, 0x04};
    for (int round = 0; round < 200; ++round) {
        ASSERT_TRUE(device.Open(notifyPath, true, true, true, false));
        std::thread parser([&device, &report] {
            for (int i = 0; i < 50; ++i) {
                const auto code = device.ParseNotificationCode(report, sizeof report);
                if (code) {
                    EXPECT_EQ(*code, 0x401);
                }
            }
        });
        device.Close();
        parser.join();
    }
}

// A value capability over usages 1 to 5 gives five value entries.
class FiveValueBackend : public HidBackend {
public:
    FiveValueBackend() {
        HidDescriptorBuilder b;
        b.UsagePage(0xFF00).Usage(0x01).Collection(HidDescriptorBuilder::kApplication)
            .ReportId(2).UsageMinimum(1).UsageMaximum(5).LogicalMinimum(0).LogicalMaximum(255)
            .ReportSize(8).ReportCount(5).Input(HidDescriptorBuilder::kVariable)
            .EndCollection();
        m_descriptor = std::make_shared<const HidReportDescriptor>(*HidReportDescriptor::Parse(b.Bytes()));
    }
    bool Enumerate(std::vector<std::string>& paths) override {
        paths.push_back("five#vid_0001&pid_0002&mi_00#1");
        return true;
    }
    bool Owns(const std::string&) const override { return true; }
    bool Probe(const std::string&) override { return true; }
    HidOpenResult Open(const std::string&, const HidOpenMode&) override;

    std::shared_ptr<const HidReportDescriptor> m_descriptor;
};

class FiveValueConnection : public HidConnection {
public:
    explicit FiveValueConnection(std::shared_ptr<const HidReportDescriptor> d) : m_d(std::move(d)) {}
    const HidAttributes& Attributes() const override { return m_attributes; }
    const HidCollection& Collection() const override { return m_d->Collections()[0]; }
    HidIoResult Read(std::span<uint8_t>, int) override { return {HidIoStatus::TimedOut, 0}; }
    HidIoResult Write(std::span<const uint8_t>, int) override { return {HidIoStatus::Failed, 0}; }
    void DiscardInput() override {}
    void Cancel() override {}

private:
    std::shared_ptr<const HidReportDescriptor> m_d;
    HidAttributes m_attributes{1, 2, 3};
};

HidOpenResult FiveValueBackend::Open(const std::string&, const HidOpenMode&) {
    return {std::make_shared<FiveValueConnection>(m_descriptor), HidError::None};
}

TEST(HidDeviceDataTable, ValueRangeOfFiveUsagesGivesFiveEntriesWithTheirValues) {
    FiveValueBackend backend;
    HidDevice device(backend);
    ASSERT_TRUE(device.Open("five#vid_0001&pid_0002&mi_00#1", true, false, true, false));
    ASSERT_EQ(device.InputData().size(), 5u);
    const uint8_t report[] = {2, 10, 20, 30, 40, 50};
    ASSERT_TRUE(device.ParseInputReport(report, sizeof report));
    for (int i = 0; i < 5; ++i) {
        const HidDataEntry& entry = device.InputData()[static_cast<size_t>(i)];
        EXPECT_FALSE(entry.isButton);
        EXPECT_EQ(entry.usage, i + 1);
        EXPECT_EQ(entry.rawValue, static_cast<uint32_t>(10 * (i + 1)));
        EXPECT_EQ(entry.scaledValue, 10 * (i + 1));
    }
    // A short report fails the value decoding and with it the whole parse.
    const uint8_t shortReport[] = {2, 10};
    EXPECT_FALSE(device.ParseInputReport(shortReport, sizeof shortReport));
}

}  // namespace
}  // namespace kx520::hid
