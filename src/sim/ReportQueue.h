#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "hid/HidBackend.h"

namespace kx520::sim {

// The input reports waiting on one open descriptor of a virtual interface,
// like the kernel's per-reader hidraw queue: bounded, oldest dropped first.
class ReportQueue {
public:
    static constexpr size_t kCapacity = 64;

    void Push(std::vector<uint8_t> report);
    // Waits up to `timeoutMs` (hid::kInfiniteTimeout: for ever) for a report.
    hid::HidIoStatus Pop(std::vector<uint8_t>& report, int timeoutMs);
    bool TryPop(std::vector<uint8_t>& report);
    bool Empty() const;
    void Clear();

    // The device went away: waiting and later calls fail.
    void Close();
    bool Closed() const;
    // The owner gave the descriptor up: waiting and later calls are cancelled.
    void Cancel();

    // Called (without the queue's lock) after every Push and Close, for
    // readers that wait elsewhere (poll over FUSE).
    void SetListener(std::function<void()> listener);

private:
    void Notify();

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<uint8_t>> m_reports;
    bool m_closed = false;
    bool m_cancelled = false;
    std::function<void()> m_listener;
};

}  // namespace kx520::sim
