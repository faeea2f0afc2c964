#include "hid/UeventMonitor.h"

#include <gtest/gtest.h>

#include <string>

namespace kx520::hid {
namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Messages as the kernel and udev send them: NUL-separated fields, udev's
// behind a binary header. Only a whole "SUBSYSTEM=hidraw" field counts.
TEST(UeventMonitor, OnlyAWholeHidrawSubsystemFieldIsAnEvent) {
    using namespace std::string_literals;
    const struct {
        std::string message;
        bool hidraw;
    } cases[] = {
        {"add@/devices/pci0000:00/usb1/1-2/1-2:1.0/0003:320F:5055.0001/hidraw/hidraw3\0ACTION=add\0"
         "SUBSYSTEM=hidraw\0DEVNAME=hidraw3\0"s, true},
        {"libudev\0\xfe\xed\xca\xfe\x28\0\0\0ACTION=remove\0SUBSYSTEM=hidraw\0"s, true},
        {"ACTION=add\0SUBSYSTEM=hidraw"s, true},  // the last field, unterminated
        {"SUBSYSTEM=hidraw\0"s, true},
        {"add@/devices/x\0ACTION=add\0SUBSYSTEM=input\0"s, false},
        {"ACTION=add\0SUBSYSTEM=hidraw2\0"s, false},
        {"ACTION=add\0XSUBSYSTEM=hidraw\0"s, false},
        {"ACTION=add\0DEVPATH=/x/SUBSYSTEM=hidraw/y\0"s, false},
        {""s, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UeventMonitor::IsHidrawEvent(Bytes(c.message)), c.hidraw) << c.message;
    }
}

// Netlink may be closed to us (a container); the monitor then does nothing,
// and ending it must not hang either way.
TEST(UeventMonitor, StartsAndEndsWhetherOrNotNetlinkIsThere) {
    int calls = 0;
    { UeventMonitor monitor([&calls] { ++calls; }); }
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace kx520::hid
