#include "sim/ReportQueue.h"

#include <chrono>

namespace kx520::sim {

void ReportQueue::Push(std::vector<uint8_t> report) {
    {
        std::lock_guard lock(m_lock);
        if (m_closed || m_cancelled) {
            return;
        }
        if (m_reports.size() >= kCapacity) {
            m_reports.pop_front();
        }
        m_reports.push_back(std::move(report));
    }
    m_changed.notify_all();
    Notify();
}

hid::HidIoStatus ReportQueue::Pop(std::vector<uint8_t>& report, int timeoutMs) {
    std::unique_lock lock(m_lock);
    auto ready = [this] { return m_cancelled || m_closed || !m_reports.empty(); };
    if (timeoutMs < 0) {
        m_changed.wait(lock, ready);
    } else if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
        return hid::HidIoStatus::TimedOut;
    }
    if (m_cancelled) {
        return hid::HidIoStatus::Cancelled;
    }
    if (m_reports.empty()) {
        return hid::HidIoStatus::Failed;  // closed
    }
    report = std::move(m_reports.front());
    m_reports.pop_front();
    return hid::HidIoStatus::Ok;
}

bool ReportQueue::TryPop(std::vector<uint8_t>& report) {
    std::lock_guard lock(m_lock);
    if (m_reports.empty() || m_cancelled) {
        return false;
    }
    report = std::move(m_reports.front());
    m_reports.pop_front();
    return true;
}

bool ReportQueue::Empty() const {
    std::lock_guard lock(m_lock);
    return m_reports.empty();
}

void ReportQueue::Clear() {
    std::lock_guard lock(m_lock);
    m_reports.clear();
}

void ReportQueue::Close() {
    {
        std::lock_guard lock(m_lock);
        m_closed = true;
        m_reports.clear();
    }
    m_changed.notify_all();
    Notify();
}

bool ReportQueue::Closed() const {
    std::lock_guard lock(m_lock);
    return m_closed;
}

void ReportQueue::Cancel() {
    {
        std::lock_guard lock(m_lock);
        m_cancelled = true;
    }
    m_changed.notify_all();
}

void ReportQueue::SetListener(std::function<void()> listener) {
    std::lock_guard lock(m_lock);
    m_listener = std::move(listener);
}

void ReportQueue::Notify() {
    std::function<void()> listener;
    {
        std::lock_guard lock(m_lock);
        listener = m_listener;
    }
    if (listener) {
        listener();
    }
}

}  // namespace kx520::sim
