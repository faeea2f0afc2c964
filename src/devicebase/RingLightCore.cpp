#include "devicebase/RingLightCore.h"

#include <vector>

#include "lighting/LightTables.h"

namespace kx520 {

RingLightCore::RingLightCore(hid::HidBackend& backend, WaveShape wave, FrameSender::Transport transport)
    : DeviceCore(backend, std::move(transport)), m_effects(wave) {}

RingLightCore::~RingLightCore() {
    StopLightThread();  // its body reads this object's members
}

void RingLightCore::RunLight(const profiles::LightSetting& light) {
    std::lock_guard lock(m_engineLock);
    if (!m_engineStarted || light.mode != m_engineSetting.mode) {
        m_effects.Reset();
        m_engineStarted = true;
    }
    m_engineSetting = light;
    SetCurrentEffect(EffectSettingOf(light));
}

void RingLightCore::TakeProfileLighting(int customGroup) {
    profiles::CBasicProfiledata& profile = ProfileData();
    std::vector<profiles::LightSetting> list = profile.GetLightList();
    profile.LoadLightConfig(profile.GetLightConfigPath());
    std::vector<profiles::LightEffectFrame> frames =
        profile.LoadCustomEffectAt(customGroup < 0 ? 0 : static_cast<size_t>(customGroup));
    std::lock_guard lock(m_engineLock);
    SetLightList(list);
    m_overrides.Reset();
    WithFrame([this, &frames](std::span<LedEntry>) { m_player.SetFrames(std::move(frames)); });
}

void RingLightCore::StartLight() {
    StartLightLoop([this](uint32_t nowMs) { LightPass(nowMs); }, "MS灯光线程设定退出");
}

void RingLightCore::LightPass(uint32_t nowMs) {
    std::lock_guard lock(m_engineLock);
    const bool tick = m_ticks.Pass(nowMs);
    const int mode = m_engineSetting.mode;
    if (mode == kCustomMode || mode > kHighestMode) {
        // A custom effect keeps its own time, on every pass.
        WithFrame([this, nowMs, tick](std::span<LedEntry> frame) { m_player.Pass(nowMs, tick, frame); });
    } else if (m_ticks.Due(IntervalFor(static_cast<size_t>(mode), m_engineSetting.speed))) {
        RunStep(mode);
    }
    WithFrame([this, nowMs, tick](std::span<LedEntry> frame) {
        WithLightList([this, nowMs, tick, frame](std::span<const profiles::LightSetting> list) {
            m_overrides.Apply(list, nowMs, tick, frame);
        });
    });
}

void RingLightCore::RunStep(int mode) {
    const EffectSetting setting = EffectSettingOf(m_engineSetting);
    switch (mode) {
        case 0:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_effects.Wave(setting, frame); });
            return;
        case 1: EffectSpectrum(); return;
        case 2: EffectBreathe(); return;
        case 3: EffectStatic(); return;
        case 4: EffectBlink(); return;
        case RingEffects::kRingRunMode:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_effects.RingRun(setting, frame); });
            return;
        case RingEffects::kRingSpectrumMode:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_effects.RingSpectrum(setting, frame); });
            return;
        default: EffectOff(); return;
    }
}

}  // namespace kx520
