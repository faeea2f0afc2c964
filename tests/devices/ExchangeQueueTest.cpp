#include "devices/ExchangeQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace kx520 {
namespace {

using namespace std::chrono_literals;

// The UI thread's queue, stood in for by a list the test runs by hand.
struct Posted {
    void Post(ExchangeQueue::Job job) {
        std::lock_guard lock(mutex);
        jobs.push_back(std::move(job));
    }
    bool RunOne() {
        ExchangeQueue::Job job;
        {
            std::lock_guard lock(mutex);
            if (jobs.empty()) {
                return false;
            }
            job = std::move(jobs.front());
            jobs.erase(jobs.begin());
        }
        job();
        return true;
    }
    bool WaitAndRun() {
        for (int i = 0; i < 500; ++i) {
            if (RunOne()) {
                return true;
            }
            std::this_thread::sleep_for(2ms);
        }
        return false;
    }
    std::mutex mutex;
    std::vector<ExchangeQueue::Job> jobs;
};

TEST(ExchangeQueue, WorkRunsOffTheCallersThreadAndItsEndOnThePostedQueueOnly) {
    Posted posted;
    ExchangeQueue queue([&posted](ExchangeQueue::Job job) { posted.Post(std::move(job)); });
    std::promise<void> release;
    std::thread::id worker;
    bool done = false;
    ASSERT_TRUE(queue.Submit(
        [&, gate = release.get_future().share()] {
            worker = std::this_thread::get_id();
            gate.wait();  // a device that keeps the write waiting
        },
        [&done] { done = true; }));
    EXPECT_TRUE(queue.Busy());
    // A second write to the same device waits for the first one's result.
    EXPECT_FALSE(queue.Submit([] {}, [] {}));
    release.set_value();
    ASSERT_TRUE(posted.WaitAndRun());
    EXPECT_TRUE(done);
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_FALSE(queue.Busy());
    EXPECT_TRUE(queue.Submit([] {}, {}));
}

TEST(ExchangeQueue, ItStaysBusyUntilTheResultHasRunOnTheQueue) {
    Posted posted;
    ExchangeQueue queue([&posted](ExchangeQueue::Job job) { posted.Post(std::move(job)); });
    ASSERT_TRUE(queue.Submit([] {}, [] {}));
    for (int i = 0; i < 500; ++i) {
        std::lock_guard lock(posted.mutex);
        if (!posted.jobs.empty()) {
            break;
        }
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_TRUE(queue.Busy());  // the work is done, its result not yet shown
    EXPECT_FALSE(queue.Submit([] {}, [] {}));
    ASSERT_TRUE(posted.RunOne());
    EXPECT_FALSE(queue.Busy());
}

}  // namespace
}  // namespace kx520
