// The hidraw backend itself, run against virtual devices served as hidraw
// nodes through FUSE under a fake sysfs tree.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <future>
#include <thread>

#include "discovery/DeviceScanThread.h"
#include "discovery/InterfaceSlotTable.h"
#include "hid/DevicePath.h"
#include "hid/HidDevice.h"
#include "hid/HidrawBackend.h"
#include "kx520ctl/ListCommand.h"
#include "kx520ctl/ProductChannel.h"
#include "protocol/CommandSet.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualProducts.h"
#include "support/FakeSysfs.h"
#include "support/FuseHidrawServer.h"
#include "support/RecordingScanReceiver.h"
#include "support/TempDir.h"

namespace kx520 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class HidrawOverFuse : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string why = test::FuseHidrawServer::Unavailable();
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        sysfs = std::make_unique<test::FakeSysfs>(temp.Sub("sys"));
        devRoot = temp.Sub("dev");
        if (!server.Mount(devRoot)) {
            GTEST_SKIP() << "FUSE is not usable here: mounting " << devRoot << " failed";
        }
        backend = std::make_unique<hid::HidrawBackend>(sysfs->Root(), devRoot);
    }

    void TearDown() override { server.Unmount(); }

    // Serves every interface of `product` as a node; returns its device.
    std::shared_ptr<sim::VirtualDevice> Attach(std::string_view product) {
        auto device = models.Plug(product);
        const sim::VirtualProductSpec& spec = device->Spec();
        const std::string usbDevice = "1-" + std::to_string(++usbPort);
        for (const sim::VirtualInterfaceSpec& interface : spec.interfaces) {
            const std::string name = "hidraw" + std::to_string(nextNode++);
            server.AddNode(name, device, interface.number);
            sysfs->AddNode(
                test::FakeSysfs::NodeOf(spec, interface.number, name, nextInstance++, usbDevice));
            nodes.push_back({std::string(product), interface.number, name});
        }
        return device;
    }

    void Detach(std::string_view product) {
        for (const auto& node : nodes) {
            if (node.product == product) {
                server.RemoveNode(node.name);
                sysfs->RemoveNode(node.name);
            }
        }
        models.Unplug(product);
    }

    std::string NodeName(std::string_view product, uint8_t interfaceNumber) const {
        for (const auto& node : nodes) {
            if (node.product == product && node.interfaceNumber == interfaceNumber) {
                return node.name;
            }
        }
        return {};
    }

    std::string PathOf(std::string_view product, uint16_t collection) {
        std::vector<std::string> paths;
        backend->Enumerate(paths);
        for (const std::string& path : paths) {
            if (hid::PathNode(path) == devRoot + "/" + NodeName(product, 1) &&
                hid::PathCollectionNumber(path) == collection) {
                return path;
            }
        }
        return {};
    }

    struct Node {
        std::string product;
        uint8_t interfaceNumber;
        std::string name;
    };

    test::TempDir temp;
    std::unique_ptr<test::FakeSysfs> sysfs;
    std::string devRoot;
    test::FuseHidrawServer server;
    std::unique_ptr<hid::HidrawBackend> backend;
    sim::VirtualHidBackend models;
    std::vector<Node> nodes;
    int nextNode = 0;
    int nextInstance = 1;
    int usbPort = 0;
};

TEST_F(HidrawOverFuse, ScanClaimsTheAcceptedCollectionsAndNeverOpensTheOthers) {
    for (std::string_view product : sim::kVirtualProductNames) {
        Attach(product);
    }
    const ctl::InterfaceListing listing = ctl::ListInterfaces(*backend);
    EXPECT_TRUE(listing.failed.empty());
    ASSERT_EQ(listing.interfaces.size(), 11u);
    for (size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(listing.interfaces[i].slot, static_cast<int>(i));
    }
    EXPECT_EQ(listing.interfaces[4].entry.usagePage, 0xFF1C);
    EXPECT_EQ(listing.interfaces[5].entry.usagePage, 0x000C);
    // Interface 0 (plain keyboard or mouse input) is never opened.
    for (std::string_view product : {"keyboard", "mouse", "mousepad"}) {
        EXPECT_EQ(server.OpenCount(NodeName(product, 0)), 0) << product;
        EXPECT_GT(server.OpenCount(NodeName(product, 1)), 0) << product;
    }
}

TEST_F(HidrawOverFuse, RequestAndReplyTravelThroughTheNode) {
    auto keyboard = Attach("keyboard");
    // Firmware stand-in: answers each request with its command id, and sends
    // a notification first that the command reader must not see.
    keyboard->SetOutputHandler([](sim::VirtualDevice& device, uint8_t interfaceNumber,
                                  std::span<const uint8_t> request) {
        const uint8_t notification[] = {0x03, 0x01, 0x04};
        device.SendInput(interfaceNumber, notification);
        std::vector<uint8_t> reply(64, 0);
        reply[0] = 0x04;
        reply[3] = request.size() > 3 ? request[3] : 0;
        device.SendInput(interfaceNumber, reply);
        return true;
    });
    hid::HidDevice link(*backend);
    ASSERT_TRUE(link.Open(PathOf("keyboard", 4), true, true, true, false));
    EXPECT_EQ(link.Caps().outputReportByteLength, 64);
    std::vector<uint8_t> request(64, 0);
    request[0] = 0x04;
    request[3] = 0x81;
    size_t count = 0;
    ASSERT_TRUE(link.Write(request.data(), request.size(), &count, 1000));
    EXPECT_EQ(count, 64u);
    uint8_t reply[64] = {};
    ASSERT_TRUE(link.Read(reply, sizeof reply, &count, 1000));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(reply[0], 0x04);
    EXPECT_EQ(reply[3], 0x81);
}

TEST_F(HidrawOverFuse, TimedOutReadLeavesNothingPending) {
    auto mouse = Attach("mouse");
    hid::HidDevice link(*backend);
    ASSERT_TRUE(link.Open(PathOf("mouse", 4), true, true, true, false));
    uint8_t buffer[64];
    size_t count = 1;
    const auto start = Clock::now();
    EXPECT_FALSE(link.Read(buffer, sizeof buffer, &count, 1000));
    EXPECT_EQ(count, 0u);
    EXPECT_GE(Clock::now() - start, 900ms);
    std::vector<uint8_t> late(64, 0);
    late[0] = 0x04;
    late[3] = 0x42;
    mouse->SendInput(1, late);
    ASSERT_TRUE(link.Read(buffer, sizeof buffer, &count, 1000));
    EXPECT_EQ(buffer[3], 0x42);
}

TEST_F(HidrawOverFuse, CloseOnAnotherThreadWakesAnInfiniteRead) {
    Attach("mousepad");
    hid::HidDevice link(*backend);
    ASSERT_TRUE(link.Open(PathOf("mousepad", 3), true, true, true, false));
    auto reader = std::async(std::launch::async, [&link] {
        uint8_t buffer[8];
        return link.Read(buffer, sizeof buffer, nullptr, hid::kInfiniteTimeout);
    });
    ASSERT_EQ(reader.wait_for(150ms), std::future_status::timeout);
    link.Close();
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(reader.get());
}

TEST_F(HidrawOverFuse, UnpluggingFailsReadsAndTheProbe) {
    Attach("headset");
    std::vector<std::string> paths;
    ASSERT_TRUE(backend->Enumerate(paths));
    ASSERT_EQ(paths.size(), 1u);
    hid::HidDevice link(*backend);
    ASSERT_TRUE(link.Open(paths[0], true, true, true, false));
    EXPECT_TRUE(backend->Probe(paths[0]));
    auto reader = std::async(std::launch::async, [&link] {
        uint8_t buffer[64];
        return link.Read(buffer, sizeof buffer, nullptr, hid::kInfiniteTimeout);
    });
    Detach("headset");
    ASSERT_EQ(reader.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(reader.get());
    EXPECT_FALSE(backend->Probe(paths[0]));
}

// The program itself on a machine whose keyboard node is closed to the user.
TEST_F(HidrawOverFuse, Kx520ctlNamesTheUdevRuleWhenANodeIsClosed) {
    Attach("keyboard");
    Attach("headset");
    server.DenyOpen(NodeName("keyboard", 1), true);
    const std::string err = temp.Path() + "/err";
    const std::string out = temp.Path() + "/out";
    const std::string command = "KX520_SYSFS_ROOT='" + sysfs->Root() + "' KX520_DEV_ROOT='" +
                                devRoot + "' '" KX520CTL_PATH "' list >'" + out + "' 2>'" + err +
                                "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream errors(err);
    const std::string message((std::istreambuf_iterator<char>(errors)), {});
    EXPECT_NE(message.find("permission denied"), std::string::npos) << message;
    EXPECT_NE(message.find("kx520ctl udev-rules"), std::string::npos) << message;
    EXPECT_NE(message.find("70-kx520.rules"), std::string::npos) << message;
    std::ifstream listing(out);
    const std::string text((std::istreambuf_iterator<char>(listing)), {});
    EXPECT_NE(text.find("headset"), std::string::npos) << text;  // the rest is still listed
}

TEST_F(HidrawOverFuse, PermissionDeniedIsReportedForTheUdevRuleHint) {
    Attach("keyboard");
    server.DenyOpen(NodeName("keyboard", 1), true);
    const ctl::InterfaceListing listing = ctl::ListInterfaces(*backend);
    EXPECT_TRUE(listing.interfaces.empty());
    ASSERT_EQ(listing.failed.size(), 2u);
    EXPECT_TRUE(listing.PermissionDenied());
}

// The command protocol and the firmware, through real hidraw descriptors.
TEST_F(HidrawOverFuse, CommandsReachTheFirmwareThroughTheNode) {
    Attach("mouse-receiver");
    protocol::CommandChannel channel(*backend);
    ASSERT_EQ(ctl::ConnectProduct(channel, *backend, "mouse-receiver", nullptr),
              ctl::ConnectResult::Connected);
    EXPECT_TRUE(protocol::CMD_RECEIVER_PROBE(channel));
    std::array<uint8_t, protocol::kDeviceInfoSize> info{};
    ASSERT_EQ(protocol::CMD_READ_INFO(channel, info), protocol::kResultSuccess);
    EXPECT_EQ(info[5], 11);
    std::vector<uint8_t> record(66, 0x3C);
    EXPECT_EQ(protocol::CMD_WRITE_CONFIG(channel, record, 256), protocol::kResultSuccess);
    std::vector<uint8_t> back(66);
    EXPECT_EQ(protocol::CMD_READ_CONFIG(channel, back, 256), protocol::kResultSuccess);
    EXPECT_EQ(back, record);
    models.Firmware("mouse-receiver")->Firmware().SetLinkAwake(false);
    EXPECT_FALSE(protocol::CMD_RECEIVER_PROBE(channel));
}

TEST_F(HidrawOverFuse, ScanThreadSeesPlugAndUnplugOfRealNodes) {
    InterfaceSlotTable slots;
    test::RecordingScanReceiver receiver(&slots);
    DeviceScanThread scan(*backend, slots, receiver);
    scan.Start();
    Attach("mouse-receiver");
    ASSERT_TRUE(receiver.WaitFor(receiver.arrived, 2));
    Detach("mouse-receiver");
    ASSERT_TRUE(receiver.WaitFor(receiver.removed, 2));
    scan.Stop();
    // An unplug can land in the middle of a pass: the order is free, the set is not.
    auto sorted = [](std::vector<int> slots) {
        std::sort(slots.begin(), slots.end());
        return slots;
    };
    EXPECT_EQ(sorted(receiver.arrived), (std::vector<int>{6, 7}));
    EXPECT_EQ(sorted(receiver.removed), (std::vector<int>{6, 7}));
}

}  // namespace
}  // namespace kx520
