#include "devicebase/DeviceCore.h"

#include "protocol/CommandSet.h"

#include "lighting/EffectClock.h"
#include "platform/DebugTrace.h"

namespace kx520 {

DeviceCore::DeviceCore(hid::HidBackend& backend, FrameSender::Transport transport)
    : m_channel(backend), m_sender(m_channel) {
    if (transport) {
        m_sender.SetTransport(std::move(transport));
    }
    m_sender.Start();
}

DeviceCore::~DeviceCore() {
    // The light body may use this object; it ends first. A kind whose body
    // uses its own members stops the thread in its own destructor.
    m_lightThread.Stop();
    m_sender.Stop();
}

void DeviceCore::SetLedCount(size_t count) {
    std::lock_guard lock(m_frameLock);
    m_frame.assign(count, LedEntry{});
    std::lock_guard listLock(m_lightListLock);
    m_ledSettings.assign(count, profiles::LightSetting{});
}

size_t DeviceCore::LedCount() const {
    std::lock_guard lock(m_frameLock);
    return m_frame.size();
}

std::vector<LedEntry> DeviceCore::FrameCopy() const {
    std::lock_guard lock(m_frameLock);
    return m_frame;
}

void DeviceCore::SetLed(int index, const LedEntry& entry) {
    std::lock_guard lock(m_frameLock);
    if (index >= 0 && static_cast<size_t>(index) < m_frame.size()) {
        m_frame[static_cast<size_t>(index)] = entry;
    }
}

LedEntry DeviceCore::GetLed(int index) const {
    std::lock_guard lock(m_frameLock);
    if (index < 0 || static_cast<size_t>(index) >= m_frame.size()) {
        return LedEntry{};
    }
    return m_frame[static_cast<size_t>(index)];
}

void DeviceCore::SendFrame(std::span<const LedEntry> frame) {
    // Only the cable takes streamed frames; the sender keeps the caller free.
    if (m_channel.IsOpen() && !m_channel.ReceiverMode()) {
        m_sender.Submit(EncodeLedFrame(frame));
    }
}

void DeviceCore::FillFrame(void (SoftwareEffects::*effect)(const EffectSetting&, std::span<LedEntry>)) {
    std::lock_guard lock(m_frameLock);
    (m_effects.*effect)(m_setting, m_frame);
}

void DeviceCore::EffectBreathe() {
    FillFrame(&SoftwareEffects::Breathe);
}

void DeviceCore::EffectBreatheFour() {
    FillFrame(&SoftwareEffects::BreatheFour);
}

void DeviceCore::EffectStatic() {
    std::lock_guard lock(m_frameLock);
    m_effects.Static(m_setting, m_frame);
}

void DeviceCore::EffectSpectrum() {
    FillFrame(&SoftwareEffects::Spectrum);
}

void DeviceCore::EffectBlink() {
    std::lock_guard lock(m_frameLock);
    m_effects.Blink(m_setting, EffectClock::NowMs(), m_frame);
}

void DeviceCore::EffectBlinkFour() {
    std::lock_guard lock(m_frameLock);
    m_effects.BlinkFour(m_setting, EffectClock::NowMs(), m_frame);
}

void DeviceCore::EffectOff() {
    std::lock_guard lock(m_frameLock);
    SoftwareEffects::Off(m_frame);
}

void DeviceCore::StartLightLoop(std::function<void(uint32_t)> pass, const char* exitTrace) {
    StartLightThread([this, pass = std::move(pass), exitTrace](std::stop_token stop) {
        // Nothing the light shows changes between steps of the effect
        // clock: waking just after each step sees every tick, at a
        // sixteenth of the wake-ups of a 1 ms poll.
        while (DeviceWorker::WaitFor(stop, std::chrono::milliseconds(EffectClock::UntilNextStep()))) {
            if (!m_channel.IsOpen()) {
                DeviceWorker::WaitFor(stop, std::chrono::milliseconds(100));
                continue;
            }
            if (m_frameHeld) {
                continue;  // synchronised lighting paints and sends it
            }
            pass(EffectClock::NowMs());
            if (m_hostLightControl) {
                SendFrame(FrameCopy());
            }
        }
        DebugTrace(exitTrace);
    });
}

std::optional<DeviceCore::PowerStatus> DeviceCore::ReadPower() {
    if (!m_channel.IsOpen() || m_powerPaused) {
        return std::nullopt;
    }
    const bool receiver = m_channel.ReceiverMode();
    // Asked from the UI thread: a receiver that does not answer at once is
    // taken as asleep.
    if (receiver &&
        !protocol::CMD_RECEIVER_PROBE(m_channel, std::chrono::steady_clock::now() + protocol::kUiProbeWait)) {
        return std::nullopt;
    }
    PowerStatus status{};
    if (protocol::CMD_READ_STATUS(m_channel, status, 0) != protocol::kResultSuccess) {
        return std::nullopt;
    }
    status[3] = receiver ? 1 : 0;
    return status;
}

void DeviceCore::SetCurrentEffect(const EffectSetting& setting) {
    std::lock_guard lock(m_frameLock);
    m_setting = setting;
}

EffectSetting DeviceCore::CurrentEffect() const {
    std::lock_guard lock(m_frameLock);
    return m_setting;
}

void DeviceCore::SetLightBytes(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    std::lock_guard lock(m_frameLock);
    m_lightWords[0] = a;
    m_lightWords[1] = b;
    m_lightWords[2] = c;
    m_lightWords[3] = d;
}

void DeviceCore::SetLedSetting(size_t index, const profiles::LightSetting& setting) {
    std::lock_guard lock(m_lightListLock);
    if (index < m_ledSettings.size()) {
        m_ledSettings[index] = setting;
    }
}

void DeviceCore::SetLightList(const std::vector<profiles::LightSetting>& list) {
    std::lock_guard lock(m_lightListLock);
    for (size_t i = 0; i < m_ledSettings.size(); ++i) {
        m_ledSettings[i] = i < list.size() ? list[i] : profiles::LightSetting{};
    }
}

profiles::LightSetting DeviceCore::LedSetting(size_t index) const {
    std::lock_guard lock(m_lightListLock);
    return index < m_ledSettings.size() ? m_ledSettings[index] : profiles::LightSetting{};
}

}  // namespace kx520
