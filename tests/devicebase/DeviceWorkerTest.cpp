#include "devicebase/DeviceWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace kx520 {
namespace {

using namespace std::chrono_literals;

TEST(DeviceWorker, StopWakesABodyThatWaitsAndJoinsIt) {
    DeviceWorker worker(1000ms);
    std::atomic<int> steps{0};
    std::atomic<bool> ended{false};
    worker.Start([&](std::stop_token stop) {
        while (DeviceWorker::WaitFor(stop, 10s)) {
            ++steps;
        }
        ended = true;
    });
    EXPECT_TRUE(worker.Running());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(ended);
    EXPECT_EQ(steps, 0);
    EXPECT_FALSE(worker.Running());
    EXPECT_TRUE(worker.Stop());  // stopping twice is harmless
}

TEST(DeviceWorker, ABodyThatOutlivesThePatienceIsJoinedNotAbandoned) {
    DeviceWorker worker(10ms);
    std::atomic<bool> ended{false};
    worker.Start([&](std::stop_token) {
        std::this_thread::sleep_for(100ms);  // ignores its stop on purpose
        ended = true;
    });
    EXPECT_FALSE(worker.Stop());
    EXPECT_TRUE(ended);  // joined after the time-out, never killed
}

TEST(DeviceWorker, StartingAgainStopsTheRunningBodyFirst) {
    DeviceWorker worker(1000ms);
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    auto body = [&](std::stop_token stop) {
        most = std::max(most.load(), ++running);
        while (DeviceWorker::WaitFor(stop, 1ms)) {
        }
        --running;
    };
    for (int i = 0; i < 5; ++i) {
        worker.Start(body);
    }
    worker.Stop();
    EXPECT_EQ(most, 1);
    EXPECT_EQ(running, 0);
}

TEST(DeviceWorker, WaitForRunsItsFullTimeWithoutAStop) {
    std::stop_source source;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(DeviceWorker::WaitFor(source.get_token(), 20ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
    source.request_stop();
    EXPECT_FALSE(DeviceWorker::WaitFor(source.get_token(), 10s));
}

}  // namespace
}  // namespace kx520
