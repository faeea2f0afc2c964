#include "discovery/WorkerSlots.h"

#include "discovery/StoppableWorker.h"
#include "platform/DebugTrace.h"

namespace kx520 {

void WorkerSlots::Add(StoppableWorker& worker) {
    for (StoppableWorker* known : m_workers) {
        if (known == &worker) {
            return;
        }
    }
    m_workers.push_back(&worker);
}

bool WorkerSlots::StopAll(std::chrono::milliseconds wait) {
    // All requests first: the threads wind down together, not one by one.
    for (StoppableWorker* worker : m_workers) {
        worker->RequestStop();
    }
    bool allInTime = true;
    for (StoppableWorker* worker : m_workers) {
        if (worker->WaitForEnd(wait)) {
            DebugTrace("所有对象处于激发状态\n");
        } else {
            allInTime = false;
            DebugTrace("所有对象处于非激发状态，超时\n");
        }
        // A late thread is woken already; the join ends when its call returns.
        worker->Join();
    }
    m_workers.clear();
    return allInTime;
}

}  // namespace kx520
