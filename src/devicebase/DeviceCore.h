#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "devicebase/DeviceWorker.h"
#include "devicebase/FrameSender.h"
#include "lighting/KeyLevels.h"
#include "lighting/LedEntry.h"
#include "lighting/SoftwareEffects.h"
#include "profiles/CBasicProfiledata.h"
#include "profiles/LightSetting.h"
#include "protocol/CommandChannel.h"

namespace kx520 {

namespace hid {
class HidBackend;
}

// What a device is without its page: the command channel and the frame
// sender, the LED frame and the software effects that fill it, the light
// list, the key maps and the light thread. Each kind extends it with its
// own tables and records; the page widget only paints and binds it. The
// light thread writes the frame while the UI thread reads it: both go
// through the frame lock.
class DeviceCore {
public:
    static constexpr size_t kMaxFrameLeds = 170;

    // `transport`: how the kind's frames reach it, when not as command
    // packets (set before the sender starts).
    explicit DeviceCore(hid::HidBackend& backend, FrameSender::Transport transport = {});
    virtual ~DeviceCore();
    DeviceCore(const DeviceCore&) = delete;
    DeviceCore& operator=(const DeviceCore&) = delete;

    protocol::CommandChannel& Channel() { return m_channel; }
    const protocol::CommandChannel& Channel() const { return m_channel; }
    FrameSender& Sender() { return m_sender; }

    // --- the LED frame ------------------------------------------------------------
    // Resizes the frame and the light list (both zeroed).
    void SetLedCount(size_t count);
    size_t LedCount() const;
    std::vector<LedEntry> FrameCopy() const;
    void SetLed(int index, const LedEntry& entry);
    LedEntry GetLed(int index) const;
    // Hands the frame to the sender thread when the cable carries frames.
    virtual void SendFrame(std::span<const LedEntry> frame);

    // --- effects the kinds refine --------------------------------------------------
    virtual void EffectBreathe();
    virtual void EffectBreatheFour();
    virtual void EffectStatic();
    virtual void EffectSpectrum();
    virtual void EffectBlink();
    virtual void EffectBlinkFour();
    virtual void EffectOff();
    void SetCurrentEffect(const EffectSetting& setting);
    EffectSetting CurrentEffect() const;
    void SetLightBytes(uint32_t a, uint32_t b, uint32_t c, uint32_t d);

    // --- per-LED light settings (the light list) -----------------------------------
    void SetLedSetting(size_t index, const profiles::LightSetting& setting);
    profiles::LightSetting LedSetting(size_t index) const;
    // The whole list from a profile: an LED the profile has no entry for
    // keeps none (the effect's own light).
    void SetLightList(const std::vector<profiles::LightSetting>& list);

    // --- keys --------------------------------------------------------------------
    // Key position maps (page key position -> device index or LED, 255 = none).
    const std::vector<uint8_t>& KeyMap(size_t which) const { return m_keyMaps.at(which); }
    void SetKeyMap(size_t which, std::vector<uint8_t> map) { m_keyMaps.at(which) = std::move(map); }
    KeyLevels& Keys() { return m_keyLevels; }

    // --- state shared with the page ----------------------------------------------
    void SetHostLightControl(bool on) { m_hostLightControl = on; }
    // While held, synchronised lighting paints and sends this frame and the
    // device's own light loop leaves it alone.
    void HoldFrame(bool held) { m_frameHeld = held; }
    bool FrameHeld() const { return m_frameHeld; }
    bool HostLightControl() const { return m_hostLightControl; }
    void SetKindNumber(int kind) {
        m_kindNumber = kind;
        ProfileData().SetDeviceIndex(0);  // every file keeps its section at 0
    }
    int KindNumber() const { return m_kindNumber; }
    // The device's profile data; kinds with sections of their own return
    // their derived object.
    virtual profiles::CBasicProfiledata& ProfileData() { return m_profileData; }

    // --- power ---------------------------------------------------------------------
    static constexpr size_t kStatusSize = 6;
    using PowerStatus = std::array<uint8_t, kStatusSize>;
    // The 6 status bytes (byte 3: 1 on the receiver), or nothing: the
    // channel closed, queries paused, a receiver whose device sleeps.
    std::optional<PowerStatus> ReadPower();
    void SetPowerPaused(bool paused) { m_powerPaused = paused; }

    // --- the light thread ----------------------------------------------------------
    // `body` runs until its stop token is set; a running one is stopped first.
    // Stopping waits for the body's current step.
    void StartLightThread(DeviceWorker::Body body) { m_lightThread.Start(std::move(body)); }
    // The light loop every kind runs: `pass` with the effect clock's time
    // just after each of its steps while the channel is open, then the
    // frame handed to the sender under host light control (the page only
    // mirrors it, so the UI thread never wakes to feed the device);
    // `exitTrace` when it ends.
    void StartLightLoop(std::function<void(uint32_t nowMs)> pass, const char* exitTrace);
    bool StopLightThread() { return m_lightThread.Stop(); }
    bool LightThreadRunning() const { return m_lightThread.Running(); }

protected:
    void FillFrame(void (SoftwareEffects::*effect)(const EffectSetting&, std::span<LedEntry>));
    // Runs `step` on the frame under the frame lock.
    template <typename Step>
    void WithFrame(Step&& step) {
        std::lock_guard lock(m_frameLock);
        step(std::span<LedEntry>(m_frame));
    }
    SoftwareEffects& Effects() { return m_effects; }
    // Runs `use` on the light list under the light-list lock.
    template <typename Use>
    void WithLightList(Use&& use) const {
        std::lock_guard lock(m_lightListLock);
        use(std::span<const profiles::LightSetting>(m_ledSettings));
    }

private:
    protocol::CommandChannel m_channel;
    FrameSender m_sender;
    mutable std::mutex m_frameLock;
    std::vector<LedEntry> m_frame;
    EffectSetting m_setting;
    uint32_t m_lightWords[4] = {};
    mutable std::mutex m_lightListLock;
    std::vector<profiles::LightSetting> m_ledSettings;
    std::array<std::vector<uint8_t>, 3> m_keyMaps;
    std::atomic<bool> m_hostLightControl{true};
    std::atomic<bool> m_frameHeld{false};
    int m_kindNumber = 0;
    std::atomic<bool> m_powerPaused{false};
    SoftwareEffects m_effects;
    KeyLevels m_keyLevels;
    profiles::CBasicProfiledata m_profileData;
    // Declared last: stops before the state its body uses goes away.
    DeviceWorker m_lightThread{std::chrono::milliseconds(1000)};
};

}  // namespace kx520
