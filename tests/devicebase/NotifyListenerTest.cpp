#include "devicebase/NotifyListener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "support/VirtualPaths.h"
#include "sim/VirtualHidBackend.h"

namespace kx520 {
namespace {

using namespace std::chrono_literals;

class Listener : public ::testing::Test {
protected:
    void SetUp() override {
        backend.Plug("mouse-receiver");
        notifyPath = test::CollectionPath(backend, "mouse-receiver", 3);
        ASSERT_FALSE(notifyPath.empty());
    }

    void Record(uint16_t code) {
        std::lock_guard lock(mutex);
        codes.push_back(code);
        changed.notify_all();
    }
    bool WaitForCodes(size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 5s, [&] { return codes.size() >= count; });
    }

    sim::VirtualHidBackend backend;
    std::string notifyPath;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uint16_t> codes;
};

TEST_F(Listener, ADeviceNotificationReachesTheHandlerOnce) {
    NotifyListener listener(backend, [this](uint16_t code) { Record(code); });
    ASSERT_TRUE(listener.Attach(notifyPath));
    EXPECT_TRUE(listener.IsAttached());
    ASSERT_TRUE(backend.Firmware("mouse-receiver")->SendNotification(NotifyListener::kSettingsChanged));
    ASSERT_TRUE(WaitForCodes(1));
    std::this_thread::sleep_for(30ms);  // the release that follows carries no code
    std::lock_guard lock(mutex);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x401});
}

TEST_F(Listener, DetachEndsTheEndlessReadPromptly) {
    NotifyListener listener(backend, [this](uint16_t code) { Record(code); });
    ASSERT_TRUE(listener.Attach(notifyPath));
    std::this_thread::sleep_for(50ms);  // the thread is in its read now
    const auto start = std::chrono::steady_clock::now();
    listener.Detach();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(listener.IsAttached());
    // Attached again, it listens again.
    ASSERT_TRUE(listener.Attach(notifyPath));
    backend.Firmware("mouse-receiver")->SendNotification(0x402);
    EXPECT_TRUE(WaitForCodes(1));
}

TEST_F(Listener, AGoneDeviceNeitherCrashesNorBlocksTheDetach) {
    NotifyListener listener(backend, [this](uint16_t code) { Record(code); });
    ASSERT_TRUE(listener.Attach(notifyPath));
    backend.Unplug("mouse-receiver");
    std::this_thread::sleep_for(20ms);
    listener.Detach();
    EXPECT_FALSE(listener.Attach(notifyPath));  // the path is gone
    EXPECT_FALSE(listener.IsAttached());
}

}  // namespace
}  // namespace kx520
