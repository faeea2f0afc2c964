#pragma once

#include <chrono>
#include <vector>

namespace kx520 {

class StoppableWorker;

// The background threads a window owns, stopped together: every one is
// asked to stop before any is waited for, each wait is bounded, and a
// thread that overruns it is still joined, never killed.
class WorkerSlots {
public:
    static constexpr std::chrono::milliseconds kStopWait{1000};

    // The worker stays the caller's; it must outlive the slots or StopAll.
    void Add(StoppableWorker& worker);
    // Stops every worker; true when each ended within `wait`. Traces the
    // outcome of every slot. The slots are empty afterwards.
    bool StopAll(std::chrono::milliseconds wait = kStopWait);
    size_t Size() const { return m_workers.size(); }

private:
    std::vector<StoppableWorker*> m_workers;
};

}  // namespace kx520
