#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kx520 {

// One worker thread of a device (a light thread, a notification thread) with
// a cooperative stop. Stop asks the body to end, wakes what it waits on, and
// joins; a body that takes longer than its patience is traced, never killed.
class DeviceWorker {
public:
    using Body = std::function<void(std::stop_token)>;

    // Traces of how a thread ended.
    static constexpr const char* kEndedTrace = "线程退出：：对象处于激发状态\n";
    static constexpr const char* kTimeoutTrace = "线程退出：：对象处于非激发状态，超时\n";

    explicit DeviceWorker(std::chrono::milliseconds patience) : m_patience(patience) {}
    ~DeviceWorker() { Stop(); }
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Starts `body` on a new thread; a running one is stopped first.
    void Start(Body body);
    // Requests the stop, calls `wake` (to unblock a read, say) and joins.
    // False when the body outlived the patience (it was still joined).
    bool Stop(const std::function<void()>& wake = {});
    bool Running() const { return m_thread.joinable(); }

    // Sleeps `duration` or until a stop is requested; false on the stop.
    static bool WaitFor(std::stop_token stop, std::chrono::milliseconds duration);

private:
    std::chrono::milliseconds m_patience;
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_done = true;
    std::jthread m_thread;
};

}  // namespace kx520
