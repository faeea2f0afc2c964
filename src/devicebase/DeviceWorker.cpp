#include "devicebase/DeviceWorker.h"

#include "platform/DebugTrace.h"

namespace kx520 {

void DeviceWorker::Start(Body body) {
    Stop();
    {
        std::lock_guard lock(m_lock);
        m_done = false;
    }
    m_thread = std::jthread([this, body = std::move(body)](std::stop_token stop) {
        body(stop);
        std::lock_guard lock(m_lock);
        m_done = true;
        m_ended.notify_all();
    });
}

bool DeviceWorker::Stop(const std::function<void()>& wake) {
    if (!m_thread.joinable()) {
        return true;
    }
    m_thread.request_stop();
    if (wake) {
        wake();
    }
    bool inTime = false;
    {
        std::unique_lock lock(m_lock);
        inTime = m_ended.wait_for(lock, m_patience, [this] { return m_done; });
    }
    DebugTrace(inTime ? kEndedTrace : kTimeoutTrace);
    m_thread.join();
    m_thread = std::jthread();
    return inTime;
}

bool DeviceWorker::WaitFor(std::stop_token stop, std::chrono::milliseconds duration) {
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    wakeUp.wait_for(lock, stop, duration, [] { return false; });
    return !stop.stop_requested();
}

}  // namespace kx520
