#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "lighting/SyncLightEffect.h"

namespace kx520 {

class DeviceCore;

// Synchronised lighting: one effect computed here and shown on every device
// that joined it, each step on the effect clock. A joined device's own
// light loop leaves its frame to this thread, so the two never paint
// alternate frames. Devices join and leave from the UI thread; leaving
// waits out a step in progress, so a device may go right after.
class SyncLightThread {
public:
    // Without a device to light the thread looks again after this long.
    static constexpr int kIdleCheckMs = 1000;

    SyncLightThread() = default;
    ~SyncLightThread();
    SyncLightThread(const SyncLightThread&) = delete;
    SyncLightThread& operator=(const SyncLightThread&) = delete;

    void Start();
    // Asks the thread to end and waits for it ("同步灯光线程设定退出").
    void Stop();
    bool Running() const { return m_thread.joinable(); }

    // Taken at the next step; the effect keeps its positions.
    void SetState(const SyncLightState& state);
    SyncLightState State() const;
    // The joined devices, in the order they joined; the headsets among them
    // light only while no other kind is joined.
    void Join(DeviceCore& core, bool headset);
    void Leave(DeviceCore& core);
    bool Joined(const DeviceCore& core) const;
    size_t Size() const;
    // Steps run since the start, for those who watch it.
    size_t Steps() const;

    // One step now, as the thread runs it (tests drive it by hand).
    void StepNow(uint32_t nowMs);

private:
    struct Member {
        DeviceCore* core;
        bool headset;
    };
    void Run(std::stop_token stop);
    void StepLocked(uint32_t nowMs);

    mutable std::mutex m_lock;
    std::condition_variable_any m_wake;
    std::vector<Member> m_members;
    SyncLightEffect m_effect;
    size_t m_steps = 0;
    std::jthread m_thread;
};

}  // namespace kx520
