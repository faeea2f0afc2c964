#include "sim/SimControl.h"

#include <gtest/gtest.h>

#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::sim {
namespace {

TEST(SimControl, PlugsUnplugsAndRefusesWhatItCannotDo) {
    VirtualHidBackend backend;
    EXPECT_EQ(RunSimCommand(backend, {"plug", "mouse"}), "");
    EXPECT_NE(backend.Find("mouse"), nullptr);
    EXPECT_EQ(RunSimCommand(backend, {"unplug", "mouse"}), "");
    EXPECT_EQ(backend.Find("mouse"), nullptr);
    EXPECT_NE(RunSimCommand(backend, {"unplug", "mouse"}), "");
    EXPECT_NE(RunSimCommand(backend, {"plug", "toaster"}), "");
    EXPECT_NE(RunSimCommand(backend, {"plug", "all"}), "");
    EXPECT_NE(RunSimCommand(backend, {"plug", "mouse,keyboard"}), "");
    EXPECT_NE(RunSimCommand(backend, {"plug"}), "");
    EXPECT_NE(RunSimCommand(backend, {"explode", "mouse"}), "");
    EXPECT_NE(RunSimCommand(backend, {"plug", "mouse", "extra"}), "");
}

TEST(SimControl, FaultsAndNotificationsCheckTheirArguments) {
    VirtualHidBackend backend;
    EXPECT_NE(RunSimCommand(backend, {"notify", "keyboard"}), "");  // not plugged
    backend.Plug("keyboard");
    EXPECT_EQ(RunSimCommand(backend, {"notify", "keyboard"}), "");
    EXPECT_EQ(RunSimCommand(backend, {"notify", "keyboard", "0x401"}), "");
    EXPECT_NE(RunSimCommand(backend, {"notify", "keyboard", "0x10000"}), "");
    EXPECT_NE(RunSimCommand(backend, {"notify", "keyboard", "0x2000"}), "");  // not carried
    EXPECT_NE(RunSimCommand(backend, {"notify", "keyboard", "0"}), "");
    // A profile switch on the keyboard is also the keyboard's new profile.
    EXPECT_EQ(RunSimCommand(backend, {"notify", "keyboard", "0x1003"}), "");
    EXPECT_EQ(backend.Firmware("keyboard")->Firmware().Config()[0], 3);
    EXPECT_NE(RunSimCommand(backend, {"notify", "keyboard", "12z"}), "");
    // On the mouse 0x11xx also names the stage (bits 4-7) of that profile.
    backend.Plug("mouse");
    EXPECT_EQ(RunSimCommand(backend, {"notify", "mouse", "0x1123"}), "");
    EXPECT_EQ(backend.Firmware("mouse")->Firmware().Config()[0], 3);
    EXPECT_EQ(backend.Firmware("mouse")->Firmware().Config()[3 * 128 + 12], 2);
    EXPECT_EQ(RunSimCommand(backend, {"fault", "keyboard", "no-reply", "2"}), "");
    EXPECT_EQ(RunSimCommand(backend, {"fault", "keyboard", "usb-timing"}), "");
    EXPECT_NE(RunSimCommand(backend, {"fault", "keyboard", "melt"}), "");
    EXPECT_NE(RunSimCommand(backend, {"fault", "keyboard", "no-reply", "0"}), "");
    EXPECT_NE(RunSimCommand(backend, {"fault", "keyboard", "no-reply", "-3"}), "");
}

TEST(SimControl, RuntimeFaultsBelongToThePluggedDeviceAndExpire) {
    VirtualHidBackend backend;
    EXPECT_NE(RunSimCommand(backend, {"fault", "mouse", "no-reply"}), "");  // not plugged
    backend.Plug("mouse");
    EXPECT_TRUE(backend.Firmware("mouse")->Faults().empty());  // the refused one never arrives
    ASSERT_EQ(RunSimCommand(backend, {"fault", "mouse", "no-reply", "2"}), "");
    ASSERT_EQ(backend.Firmware("mouse")->Faults().size(), 1u);
    // A replug is a new device: the fault does not come back with it.
    backend.Unplug("mouse");
    backend.Plug("mouse");
    EXPECT_TRUE(backend.Firmware("mouse")->Faults().empty());
    // Faults given before a product is plugged go to its next plug only.
    backend.Unplug("mouse");
    backend.AddFault("mouse", {SimFault::Asleep, FaultSpec::kEvery});
    backend.Plug("mouse");
    EXPECT_EQ(backend.Firmware("mouse")->Faults().size(), 1u);
    backend.Unplug("mouse");
    backend.Plug("mouse");
    EXPECT_TRUE(backend.Firmware("mouse")->Faults().empty());
}

}  // namespace
}  // namespace kx520::sim
