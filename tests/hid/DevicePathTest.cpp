#include "hid/DevicePath.h"

#include <gtest/gtest.h>

namespace kx520::hid {
namespace {

TEST(DevicePath, ParsesWindowsStylePathsCaseInsensitively) {
    const std::string path = R"(\\?\HID#VID_320F&PID_50C2&MI_01&COL04#7&2a1b&0&0003#{4d1e55b2})";
    EXPECT_EQ(PathVendorId(path), 0x320F);
    EXPECT_EQ(PathProductId(path), 0x50C2);
    EXPECT_EQ(PathInterfaceNumber(path), 1);
    EXPECT_EQ(PathCollectionNumber(path), 4);
}

TEST(DevicePath, MissingMarkersReadAsZero) {
    EXPECT_EQ(PathInterfaceNumber("sim:headset#vid_0c76&pid_1630#1"), 0);
    EXPECT_EQ(PathCollectionNumber("sim:headset#vid_0c76&pid_1630&mi_03#1"), 0);
    EXPECT_EQ(PathVendorId(""), 0);
}

TEST(DevicePath, NumbersAreReadAsScanfHexAndTruncatedTo16Bits) {
    EXPECT_EQ(ParsePathNumber("x&col1ffff#", "&col"), 0xFFFF);
    EXPECT_EQ(ParsePathNumber("x&col123456#", "&col"), 0x3456);
    EXPECT_EQ(ParsePathNumber("x&col0x1f#", "&col"), 0x1F);
    EXPECT_EQ(ParsePathNumber("x&colzz", "&col"), 0);
    EXPECT_EQ(ParsePathNumber("x&col", "&col"), 0);
}

TEST(DevicePath, FormatRoundTripsAndOmitsColForSingleCollections) {
    DevicePathParts parts{"/dev/hidraw3", 0x320F, 0x50C2, 1, 4, "0003:320F:50C2.000A"};
    const std::string path = FormatDevicePath(parts);
    EXPECT_EQ(path, "/dev/hidraw3#vid_320f&pid_50c2&mi_01&col04#0003:320F:50C2.000A");
    EXPECT_EQ(PathNode(path), "/dev/hidraw3");
    EXPECT_EQ(PathInstance(path), "0003:320F:50C2.000A");
    EXPECT_EQ(PathCollectionNumber(path), 4);

    std::vector<std::string> paths;
    AppendCollectionPaths({"sim:headset", 0x0C76, 0x1630, 3, 0, "6"}, 1, paths);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], "sim:headset#vid_0c76&pid_1630&mi_03#6");
    EXPECT_EQ(PathNode("no-hash-here"), "");
    EXPECT_EQ(PathInstance("node#only-one"), "");
}

}  // namespace
}  // namespace kx520::hid
