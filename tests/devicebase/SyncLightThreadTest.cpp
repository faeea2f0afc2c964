#include "devicebase/SyncLightThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "devicebase/DeviceCore.h"
#include "kx520ctl/ProductChannel.h"
#include "sim/VirtualHidBackend.h"

namespace kx520 {
namespace {

class SyncLight : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* product : {"keyboard", "headset"}) {
            backend.Plug(product);
        }
        keyboard.SetLedCount(4);
        headset.SetLedCount(3);
        ASSERT_EQ(ctl::ConnectProduct(keyboard.Channel(), backend, "keyboard", nullptr), ctl::ConnectResult::Connected);
        ASSERT_EQ(ctl::ConnectProduct(headset.Channel(), backend, "headset", nullptr), ctl::ConnectResult::Connected);
        SyncLightState off;
        off.type = SyncLightState::kStatic;
        off.colour = Rgb{1, 2, 3};
        sync.SetState(off);
    }
    static bool All(const DeviceCore& core, const LedEntry& entry) {
        for (size_t led = 0; led < core.LedCount(); ++led) {
            if (!(core.GetLed(static_cast<int>(led)) == entry)) {
                return false;
            }
        }
        return true;
    }

    sim::VirtualHidBackend backend;
    DeviceCore keyboard{backend};
    DeviceCore headset{backend};
    SyncLightThread sync;
};

TEST_F(SyncLight, AJoinedDeviceIsPaintedAndItsOwnLoopLetsGo) {
    sync.Join(keyboard, false);
    EXPECT_TRUE(keyboard.FrameHeld());
    sync.StepNow(0);
    EXPECT_TRUE(All(keyboard, LedEntry{1, 2, 3, 255}));
    EXPECT_TRUE(All(headset, LedEntry{}));  // not joined
    sync.Leave(keyboard);
    EXPECT_FALSE(keyboard.FrameHeld());
    EXPECT_EQ(sync.Size(), 0u);
}

TEST_F(SyncLight, HeadsetsFollowOnlyWhileNothingElseIsJoined) {
    sync.Join(headset, true);
    sync.StepNow(0);
    EXPECT_TRUE(All(headset, LedEntry{1, 2, 3, 255}));
    sync.Join(keyboard, false);
    SyncLightState red;
    red.type = SyncLightState::kStatic;
    red.colour = Rgb{200, 0, 0};
    sync.SetState(red);
    sync.StepNow(0);
    EXPECT_TRUE(All(keyboard, LedEntry{200, 0, 0, 255}));
    EXPECT_TRUE(All(headset, LedEntry{1, 2, 3, 255}));  // left as it was
}

TEST_F(SyncLight, TheThreadStepsOnTheClockAndStopsWhenAsked) {
    sync.Start();
    EXPECT_TRUE(sync.Running());
    sync.Join(keyboard, false);
    // Static at speed 2 steps every 18 clock steps of 15.6 ms: a few a second.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (sync.Steps() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_GE(sync.Steps(), 2u);
    EXPECT_TRUE(All(keyboard, LedEntry{1, 2, 3, 255}));
    sync.Leave(keyboard);  // while it runs: waits out a step, never after the device
    sync.Stop();
    EXPECT_FALSE(sync.Running());
    sync.Stop();  // a second stop has nothing to do
}

}  // namespace
}  // namespace kx520
