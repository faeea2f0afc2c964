#include "devicebase/ExchangeQueue.h"

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

TEST(ExchangeQueue, JobsRunInOrderOffTheCallersThreadAndItStaysBusyUntilTheirEndsRan) {
    Posted posted;
    ExchangeQueue queue([&posted](ExchangeQueue::Job job) { posted.Post(std::move(job)); });
    std::promise<void> release;
    std::vector<int> order;  // touched by the worker, then read after its ends ran
    std::thread::id worker;
    std::vector<int> ended;
    queue.Submit(
        [&, gate = release.get_future().share()] {
            worker = std::this_thread::get_id();
            gate.wait();  // a device that keeps the write waiting
            order.push_back(1);
        },
        [&ended] { ended.push_back(1); });
    queue.Submit([&order] { order.push_back(2); }, [&ended] { ended.push_back(2); });
    EXPECT_TRUE(queue.Busy());
    release.set_value();
    ASSERT_TRUE(posted.WaitAndRun());
    EXPECT_TRUE(queue.Busy());  // the second one's end has not run yet
    ASSERT_TRUE(posted.WaitAndRun());
    EXPECT_FALSE(queue.Busy());
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(ended, (std::vector<int>{1, 2}));
    EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(ExchangeQueue, GoingAwayWaitsForTheRunningJobAndStartsNoOther) {
    Posted posted;
    std::promise<void> release;
    bool secondRan = false;
    std::thread releaser;
    {
        ExchangeQueue queue([&posted](ExchangeQueue::Job job) { posted.Post(std::move(job)); });
        std::promise<void> started;
        queue.Submit(
            [&started, gate = release.get_future().share()] {
                started.set_value();
                gate.wait();
            },
            {});
        queue.Submit([&secondRan] { secondRan = true; }, {});
        started.get_future().wait();
        releaser = std::thread([&release] {
            std::this_thread::sleep_for(20ms);
            release.set_value();  // the page woke the read as it went
        });
    }
    releaser.join();
    EXPECT_FALSE(secondRan);
}

}  // namespace
}  // namespace kx520
