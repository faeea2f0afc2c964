#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kx520 {

// The thread on which a device's exchanges run when a page, the palette, a
// script or a timer starts them, so that the UI thread never waits on the
// bus. Jobs run one after another in the order given; each one's completion
// is handed to `post`, which queues it on the UI thread and drops it when the
// page is gone.
class ExchangeQueue {
public:
    using Job = std::function<void()>;
    using Post = std::function<void(Job)>;

    explicit ExchangeQueue(Post post);
    // Drops the jobs not yet started and waits for a running one: its owner
    // wakes the job's reads first.
    ~ExchangeQueue();
    ExchangeQueue(const ExchangeQueue&) = delete;
    ExchangeQueue& operator=(const ExchangeQueue&) = delete;

    // `work` on the worker after the jobs before it, then `done` on the UI thread.
    void Submit(Job work, Job done);
    // Whether a job has not finished (its completion not yet run).
    bool Busy() const { return m_unfinished.load() > 0; }

private:
    struct Entry {
        Job work;
        Job done;
    };
    void Run(std::stop_token stop);

    Post m_post;
    std::atomic<int> m_unfinished{0};
    std::mutex m_lock;
    std::condition_variable_any m_wake;
    std::deque<Entry> m_jobs;
    std::jthread m_thread;  // last: it ends before the members it uses
};

}  // namespace kx520
