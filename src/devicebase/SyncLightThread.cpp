#include "devicebase/SyncLightThread.h"

#include <algorithm>
#include <chrono>

#include "devicebase/DeviceCore.h"
#include "lighting/EffectClock.h"
#include "platform/DebugTrace.h"

namespace kx520 {

SyncLightThread::~SyncLightThread() {
    Stop();
}

void SyncLightThread::Start() {
    if (m_thread.joinable()) {
        return;
    }
    m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void SyncLightThread::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    m_thread.request_stop();
    m_wake.notify_all();
    m_thread.join();
}

void SyncLightThread::SetState(const SyncLightState& state) {
    std::lock_guard guard(m_lock);
    m_effect.SetState(state);
}

SyncLightState SyncLightThread::State() const {
    std::lock_guard guard(m_lock);
    return m_effect.State();
}

void SyncLightThread::Join(DeviceCore& core, bool headset) {
    {
        std::lock_guard guard(m_lock);
        if (std::none_of(m_members.begin(), m_members.end(), [&core](const Member& m) { return m.core == &core; })) {
            m_members.push_back({&core, headset});
        }
        core.HoldFrame(true);
    }
    m_wake.notify_all();
}

void SyncLightThread::Leave(DeviceCore& core) {
    std::lock_guard guard(m_lock);
    std::erase_if(m_members, [&core](const Member& m) { return m.core == &core; });
    core.HoldFrame(false);
}

bool SyncLightThread::Joined(const DeviceCore& core) const {
    std::lock_guard guard(m_lock);
    return std::any_of(m_members.begin(), m_members.end(), [&core](const Member& m) { return m.core == &core; });
}

size_t SyncLightThread::Size() const {
    std::lock_guard guard(m_lock);
    return m_members.size();
}

size_t SyncLightThread::Steps() const {
    std::lock_guard guard(m_lock);
    return m_steps;
}

void SyncLightThread::StepNow(uint32_t nowMs) {
    std::lock_guard guard(m_lock);
    StepLocked(nowMs);
}

void SyncLightThread::StepLocked(uint32_t nowMs) {
    const LedEntry entry = m_effect.Step(nowMs);
    ++m_steps;
    // The headsets follow only while nothing else is synchronised.
    const bool othersJoined = std::any_of(m_members.begin(), m_members.end(), [](const Member& m) {
        return !m.headset && m.core->Channel().IsOpen();
    });
    for (const Member& member : m_members) {
        DeviceCore& core = *member.core;
        if ((member.headset && othersJoined) || !core.Channel().IsOpen()) {
            continue;
        }
        for (size_t led = 0; led < core.LedCount(); ++led) {
            core.SetLed(static_cast<int>(led), entry);
        }
        if (core.HostLightControl()) {
            core.SendFrame(core.FrameCopy());
        }
    }
}

void SyncLightThread::Run(std::stop_token stop) {
    TickCounter ticks;
    ticks.Pass(EffectClock::NowMs());
    std::unique_lock guard(m_lock);
    while (!stop.stop_requested()) {
        if (m_members.empty()) {
            m_wake.wait_for(guard, stop, std::chrono::milliseconds(kIdleCheckMs), [this] { return !m_members.empty(); });
            continue;
        }
        const auto untilNext = std::chrono::milliseconds(EffectClock::UntilNextStep());
        m_wake.wait_for(guard, stop, untilNext, [] { return false; });
        if (stop.stop_requested() || m_members.empty()) {
            continue;
        }
        const uint32_t now = EffectClock::NowMs();
        const int due = m_effect.StepTicks();
        if (!ticks.Pass(now) || due == 0 || !ticks.Due(due)) {
            continue;
        }
        StepLocked(now);
    }
    guard.unlock();
    DebugTrace("同步灯光线程设定退出");
}

}  // namespace kx520
