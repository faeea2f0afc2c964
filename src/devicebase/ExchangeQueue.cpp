#include "devicebase/ExchangeQueue.h"

#include <utility>

namespace kx520 {

ExchangeQueue::ExchangeQueue(Post post)
    : m_post(std::move(post)), m_thread([this](std::stop_token stop) { Run(stop); }) {}

ExchangeQueue::~ExchangeQueue() {
    m_thread.request_stop();
    m_wake.notify_all();
}

void ExchangeQueue::Submit(Job work, Job done) {
    ++m_unfinished;
    {
        std::lock_guard lock(m_lock);
        m_jobs.push_back({std::move(work), std::move(done)});
    }
    m_wake.notify_all();
}

void ExchangeQueue::Run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        Entry entry;
        {
            std::unique_lock lock(m_lock);
            if (!m_wake.wait(lock, stop, [this] { return !m_jobs.empty(); })) {
                return;
            }
            entry = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        if (entry.work) {
            entry.work();
        }
        // Unfinished until the result is on the page.
        m_post([this, done = std::move(entry.done)] {
            --m_unfinished;
            if (done) {
                done();
            }
        });
    }
}

}  // namespace kx520
