#include "headset/HeadsetCore.h"

#include <array>

#include "headset/HeadsetLedReports.h"
#include "headset/HeadsetLightRecord.h"
#include "lighting/LightTables.h"
#include "profiles/MacroStore.h"
#include "protocol/CommandSet.h"

namespace kx520 {

using namespace protocol;

HeadsetCore::HeadsetCore(hid::HidBackend& backend) : DeviceCore(backend, SendHeadsetReports) {}

HeadsetCore::~HeadsetCore() {
    StopLightThread();  // its body reads this object's members
}

void HeadsetCore::SetFolders(std::string dataFolder, std::string defaultFolder) {
    m_dataFolder = std::move(dataFolder);
    m_defaultFolder = std::move(defaultFolder);
}

void HeadsetCore::LoadDefaults() {
    m_names.Load(KindNumber(), m_dataFolder, m_defaultFolder, profiles::MacroStore::kIndexFile);
}

void HeadsetCore::SetLight(const profiles::LightSetting& light) {
    m_light = light;
    m_profile.SetLightInfo(light);
    std::lock_guard lock(m_engineLock);
    if (!m_engineStarted || light.mode != m_engineSetting.mode) {
        m_effects.Reset();
        m_engineStarted = true;
    }
    m_engineSetting = light;
    SetCurrentEffect(EffectSettingOf(light));
}

void HeadsetCore::TakeProfileLighting() {
    std::vector<profiles::LightSetting> list = m_profile.GetLightList();
    m_profile.LoadLightConfig(m_profile.GetLightConfigPath());
    std::vector<profiles::LightEffectFrame> frames = m_profile.LoadCustomEffectAt(m_light.customGroup);
    std::lock_guard lock(m_engineLock);
    SetLightList(list);
    m_overrides.Reset();
    WithFrame([this, &frames](std::span<LedEntry>) { m_player.SetFrames(std::move(frames)); });
}

void HeadsetCore::StartLight() {
    StartLightLoop([this](uint32_t nowMs) { LightPass(nowMs); }, "MS灯光线程设定退出");
}

void HeadsetCore::LightPass(uint32_t nowMs) {
    std::lock_guard lock(m_engineLock);
    const bool tick = m_ticks.Pass(nowMs);
    const profiles::LightSetting setting = m_engineSetting;
    if (setting.mode == kCustomMode || setting.mode > kHeadsetHighestMode) {
        // A custom effect keeps its own time, on every pass.
        WithFrame([this, nowMs, tick](std::span<LedEntry> frame) { m_player.Pass(nowMs, tick, frame); });
    } else if (m_ticks.Due(IntervalFor(setting.mode, setting.speed))) {
        RunStep(setting.mode);
    }
    WithFrame([this, nowMs, tick](std::span<LedEntry> frame) {
        WithLightList([this, nowMs, tick, frame](std::span<const profiles::LightSetting> list) {
            m_overrides.Apply(list, nowMs, tick, frame);
        });
    });
}

void HeadsetCore::RunStep(int mode) {
    const EffectSetting setting = EffectSettingOf(m_engineSetting);
    switch (mode) {
        case 0:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_effects.Wave(setting, frame); });
            return;
        case 1: EffectSpectrum(); return;
        case 2: EffectBreathe(); return;
        case 3: EffectStatic(); return;
        case 4: EffectBlink(); return;
        case HeadsetEffects::kRingRunMode:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_effects.RingRun(setting, frame); });
            return;
        case HeadsetEffects::kRingSpectrumMode:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_effects.RingSpectrum(setting, frame); });
            return;
        default: EffectOff(); return;
    }
}

void HeadsetCore::SendFrame(std::span<const LedEntry> frame) {
    if (Channel().IsOpen()) {
        Sender().Submit(EncodeHeadsetFrame(frame, LedCount()));
    }
}

std::function<int()> HeadsetCore::LightConfigWrite(int index) {
    if (index < 0 || index > 0xFF) {
        return [] { return kResultUnsupported; };
    }
    // A mode above the eight the headset runs goes as the list's first code.
    uint32_t code = 0;
    const size_t position = m_light.mode <= kHeadsetHighestMode ? m_light.mode : 0;
    if (!m_names.CodeOf(position, code) || code > 0xFF) {
        code = m_light.mode <= kHeadsetHighestMode ? m_light.mode : 0;
    }
    const HeadsetLightRecordBytes record = HeadsetLightRecord(m_light, static_cast<uint8_t>(code));
    const auto base = static_cast<uint16_t>(kHeadsetRecordStride * static_cast<size_t>(index));
    return [this, record, base] {
        return Bracketed(Channel(), [&] { return CMD_WRITE_CONFIG(Channel(), record, base); });
    };
}

std::optional<HeadsetCore::NotifyRead> HeadsetCore::FetchNotifyRead() {
    if (!Channel().IsOpen()) {
        return std::nullopt;
    }
    NotifyRead read;
    if (CMD_READ_CONFIG(Channel(), std::span<uint8_t>(&read.index, 1), 0) != kResultSuccess) {
        return std::nullopt;
    }
    read.bytes.assign(kNotifyReadSize, 0);
    const auto base = static_cast<uint16_t>(kNotifyStride * read.index);
    if (CMD_READ_CONFIG(Channel(), read.bytes, base) != kResultSuccess) {
        return std::nullopt;
    }
    return read;
}

}  // namespace kx520
