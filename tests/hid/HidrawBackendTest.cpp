#include "hid/HidrawBackend.h"

#include <gtest/gtest.h>

#include <fstream>

#include "hid/DevicePath.h"
#include "hid/HidDevice.h"
#include "kx520ctl/ListCommand.h"
#include "sim/VirtualProducts.h"
#include "support/FakeSysfs.h"
#include "support/TempDir.h"

namespace kx520::hid {
namespace {

using test::FakeSysfs;

// A fake machine: sysfs tree plus plain files standing in for the nodes.
class FakeMachine : public ::testing::Test {
protected:
    FakeMachine() : sysfs(temp.Sub("sys")), devRoot(temp.Sub("dev")), backend(sysfs.Root(), devRoot) {}

    void AddProduct(std::string_view product, uint8_t interfaceNumber, const std::string& node,
                    int instance, const std::string& usbDevice = "1-2") {
        sysfs.AddNode(FakeSysfs::NodeOf(*sim::FindVirtualProduct(product), interfaceNumber, node,
                                        instance, usbDevice));
        std::ofstream(devRoot + "/" + node).put('\0');
    }

    test::TempDir temp;
    FakeSysfs sysfs;
    std::string devRoot;
    HidrawBackend backend;
};

TEST_F(FakeMachine, MissingHidrawClassIsAnEmptyMachine) {
    HidrawBackend empty(temp.Sub("nothing"), devRoot);
    std::vector<std::string> paths;
    EXPECT_TRUE(empty.Enumerate(paths));
    EXPECT_TRUE(paths.empty());
}

TEST_F(FakeMachine, ListsOnePathPerTopLevelCollection) {
    AddProduct("keyboard", 0, "hidraw0", 1);
    AddProduct("keyboard", 1, "hidraw1", 2);
    AddProduct("headset", 3, "hidraw10", 3, "1-3");
    std::vector<std::string> paths;
    ASSERT_TRUE(backend.Enumerate(paths));
    ASSERT_EQ(paths.size(), 1u + 5u + 1u);
    EXPECT_EQ(paths[0], devRoot + "/hidraw0#vid_320f&pid_50c2&mi_00#0003:320F:50C2.0001");
    EXPECT_EQ(paths[4], devRoot + "/hidraw1#vid_320f&pid_50c2&mi_01&col04#0003:320F:50C2.0002");
    // hidraw10 after hidraw1, and the headset's single collection has no "&col".
    EXPECT_EQ(paths[6], devRoot + "/hidraw10#vid_0c76&pid_1630&mi_03#0003:0C76:1630.0003");
}

TEST_F(FakeMachine, NodeInfoComesFromTheHidUsbInterfaceAndUsbDevice) {
    AddProduct("mouse-receiver", 1, "hidraw4", 7);
    const auto info = backend.ReadNode("hidraw4");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->attributes.vendorId, 0x320F);
    EXPECT_EQ(info->attributes.productId, 0x221D);
    EXPECT_EQ(info->attributes.versionNumber, sim::FindVirtualProduct("mouse-receiver")->version);
    EXPECT_EQ(info->interfaceNumber, 1);
    EXPECT_EQ(info->instance, "0003:320F:221D.0007");
    EXPECT_FALSE(backend.ReadNode("../hidraw4"));
}

TEST_F(FakeMachine, OpenGivesTheCollectionsCapabilities) {
    AddProduct("mousepad", 1, "hidraw2", 1);
    HidDevice device(backend);
    const std::string path = devRoot + "/hidraw2#vid_320f&pid_1004&mi_01&col03#0003:320F:1004.0001";
    ASSERT_TRUE(device.Open(path, true, false, true, false));
    EXPECT_EQ(device.Caps().usagePage, 0x000C);
    EXPECT_EQ(device.Caps().usage, 0x01);
    EXPECT_EQ(device.VendorId(), 0x320F);
    // A path naming another device on the same node number is refused.
    device.Close();
    std::string stale = path;
    stale.replace(stale.rfind('#') + 1, std::string::npos, "0003:320F:1004.0099");
    EXPECT_FALSE(device.Open(stale, true, false, true, false));
    EXPECT_EQ(device.LastError(), HidError::NotFound);
}

// A node without HIDIOCSOUTPUT (here a plain file: ENOTTY) still takes the
// output report, through write(); a closed device takes none.
TEST_F(FakeMachine, AnOutputReportFallsBackToAWriteWhereTheNodeHasNoIoctl) {
    AddProduct("mousepad", 1, "hidraw2", 1);
    HidDevice device(backend);
    const std::string path = devRoot + "/hidraw2#vid_320f&pid_1004&mi_01&col03#0003:320F:1004.0001";
    ASSERT_TRUE(device.Open(path, false, true, true, false));
    const uint8_t report[17] = {0xFF, 0x22, 0xAA, 0, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_TRUE(device.SetOutputReport(report, sizeof report, 100));
    device.Close();
    EXPECT_FALSE(device.SetOutputReport(report, sizeof report, 100));
    std::ifstream node(devRoot + "/hidraw2", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(node)), {});
    ASSERT_EQ(written.size(), sizeof report);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(report), sizeof report), written);
}

TEST_F(FakeMachine, ProbeSeesRemovalAndANodeNumberReusedByAnotherDevice) {
    AddProduct("keyboard", 1, "hidraw1", 1);
    std::vector<std::string> paths;
    ASSERT_TRUE(backend.Enumerate(paths));
    const std::string path = paths[3];
    EXPECT_TRUE(backend.Probe(path));
    sysfs.RemoveNode("hidraw1");
    EXPECT_FALSE(backend.Probe(path));
    AddProduct("mouse", 1, "hidraw1", 2);  // same node, another device
    EXPECT_FALSE(backend.Probe(path));
    EXPECT_FALSE(backend.Probe("/elsewhere/hidraw1#vid_320f&pid_50c2&mi_01&col04#x"));
}

TEST_F(FakeMachine, ListFindsTheRightCollectionsWithTheirUsagePages) {
    AddProduct("keyboard", 0, "hidraw0", 1);
    AddProduct("keyboard", 1, "hidraw1", 1);
    AddProduct("mouse", 0, "hidraw2", 2, "1-3");
    AddProduct("mouse", 1, "hidraw3", 2, "1-3");
    AddProduct("headset", 3, "hidraw4", 3, "1-4");
    const ctl::InterfaceListing listing = ctl::ListInterfaces(backend);
    EXPECT_TRUE(listing.failed.empty());
    ASSERT_EQ(listing.interfaces.size(), 5u);
    const int expectedSlots[] = {0, 1, 4, 5, 10};
    const uint16_t expectedPages[] = {0xFF1C, 0x000C, 0xFF1C, 0x000C, 0x000C};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(listing.interfaces[i].slot, expectedSlots[i]);
        EXPECT_EQ(listing.interfaces[i].entry.usagePage, expectedPages[i]);
        EXPECT_EQ(PathNode(listing.interfaces[i].entry.path).substr(0, devRoot.size()), devRoot);
    }
}

TEST_F(FakeMachine, ANodeNumberTakenByAnotherDeviceIsListedAfresh) {
    AddProduct("headset", 3, "hidraw0", 1);
    std::vector<std::string> before;
    ASSERT_TRUE(backend.Enumerate(before));
    ASSERT_EQ(before.size(), 1u);
    sysfs.RemoveNode("hidraw0");
    std::vector<std::string> gone;
    ASSERT_TRUE(backend.Enumerate(gone));
    EXPECT_TRUE(gone.empty());
    AddProduct("mousepad", 1, "hidraw0", 2);
    std::vector<std::string> after;
    ASSERT_TRUE(backend.Enumerate(after));
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[3], devRoot + "/hidraw0#vid_320f&pid_1004&mi_01&col04#0003:320F:1004.0002");
}

// Unplug and plug between two passes: the same name, a new entry.
TEST_F(FakeMachine, ANodeSwappedBetweenTwoPassesIsListedAfresh) {
    AddProduct("headset", 3, "hidraw0", 1);
    std::vector<std::string> before;
    ASSERT_TRUE(backend.Enumerate(before));
    sysfs.RemoveNode("hidraw0");
    AddProduct("mousepad", 1, "hidraw0", 2);
    std::vector<std::string> after;
    ASSERT_TRUE(backend.Enumerate(after));
    ASSERT_EQ(after.size(), 4u);
    EXPECT_NE(after[0].find("pid_1004"), std::string::npos);
}

TEST_F(FakeMachine, UnusableDescriptorHidesOnlyThatNode) {
    AddProduct("headset", 3, "hidraw0", 1);
    test::FakeHidNode broken;
    broken.name = "hidraw1";
    broken.instance = "0003:320F:50C2.0002";
    broken.vendorId = 0x320F;
    broken.productId = 0x50C2;
    broken.interfaceNumber = 1;
    broken.descriptor = {0x05, 0x01, 0xA1};  // truncated
    broken.usbDevice = "1-5";
    sysfs.AddNode(broken);
    std::vector<std::string> paths;
    EXPECT_TRUE(backend.Enumerate(paths));
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_NE(paths[0].find("pid_1630"), std::string::npos);
}

}  // namespace
}  // namespace kx520::hid
