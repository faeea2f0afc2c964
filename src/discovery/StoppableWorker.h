#pragma once

#include <chrono>

namespace kx520 {

// A background thread that can be asked to stop: every blocking call it
// makes wakes on the request, so it ends soon after, and it is never killed.
class StoppableWorker {
public:
    virtual ~StoppableWorker() = default;

    virtual void RequestStop() = 0;
    // True when the thread has ended within `timeout`, or none runs.
    virtual bool WaitForEnd(std::chrono::milliseconds timeout) = 0;
    // Waits for the thread without limit and releases it.
    virtual void Join() = 0;
};

}  // namespace kx520
