#include "devices/ExchangeQueue.h"

#include <utility>

namespace kx520 {

ExchangeQueue::ExchangeQueue(Post post)
    : m_post(std::move(post)), m_thread([this](std::stop_token stop) { Run(stop); }) {}

ExchangeQueue::~ExchangeQueue() {
    m_thread.request_stop();
    m_wake.notify_all();
}

bool ExchangeQueue::Submit(Job work, Job done) {
    if (m_busy.exchange(true)) {
        return false;
    }
    {
        std::lock_guard lock(m_lock);
        m_work = std::move(work);
        m_done = std::move(done);
    }
    m_wake.notify_all();
    return true;
}

void ExchangeQueue::Run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        Job work;
        Job done;
        {
            std::unique_lock lock(m_lock);
            if (!m_wake.wait(lock, stop, [this] { return static_cast<bool>(m_work); })) {
                return;
            }
            work = std::exchange(m_work, {});
            done = std::exchange(m_done, {});
        }
        work();
        // Busy until the result is on the page: a second write waits for it.
        m_post([this, done = std::move(done)] {
            m_busy = false;
            if (done) {
                done();
            }
        });
    }
}

}  // namespace kx520
