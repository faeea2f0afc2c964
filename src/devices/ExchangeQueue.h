#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kx520 {

// The thread on which the exchanges a page, the palette or a script starts
// with a device run, so that the UI thread never waits on the bus. One job
// at a time: while one runs (until its completion has run on the UI thread)
// another is refused. The completion is handed to `post`, which queues it on
// the UI thread and drops it when the page is gone.
class ExchangeQueue {
public:
    using Job = std::function<void()>;
    using Post = std::function<void(Job)>;

    explicit ExchangeQueue(Post post);
    // Waits for a running job: its owner wakes the job's reads first.
    ~ExchangeQueue();
    ExchangeQueue(const ExchangeQueue&) = delete;
    ExchangeQueue& operator=(const ExchangeQueue&) = delete;

    // `work` on the worker, then `done` on the UI thread; false (nothing
    // runs) while another job has not finished.
    bool Submit(Job work, Job done);
    bool Busy() const { return m_busy.load(); }

private:
    void Run(std::stop_token stop);

    Post m_post;
    std::atomic<bool> m_busy{false};
    std::mutex m_lock;
    std::condition_variable_any m_wake;
    Job m_work;
    Job m_done;
    std::jthread m_thread;  // last: it ends before the members it uses
};

}  // namespace kx520
