#include "sim/SimControl.h"

#include <gtest/gtest.h>

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
    EXPECT_NE(RunSimCommand(backend, {"notify", "keyboard", "12z"}), "");
    EXPECT_EQ(RunSimCommand(backend, {"fault", "keyboard", "no-reply", "2"}), "");
    EXPECT_EQ(RunSimCommand(backend, {"fault", "keyboard", "usb-timing"}), "");
    EXPECT_NE(RunSimCommand(backend, {"fault", "keyboard", "melt"}), "");
    EXPECT_NE(RunSimCommand(backend, {"fault", "keyboard", "no-reply", "0"}), "");
    EXPECT_NE(RunSimCommand(backend, {"fault", "keyboard", "no-reply", "-3"}), "");
}

}  // namespace
}  // namespace kx520::sim
