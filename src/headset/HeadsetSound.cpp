#include "headset/HeadsetSound.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kx520 {

namespace {

using profiles::CHs6533Profiledata;

constexpr int kUserPreset = CHs6533Profiledata::kUserPresetType;
constexpr const char* kListFullText = "headset_eq_list_full";

HeadsetSound::Bands ToBands(const std::vector<int32_t>& values) {
    HeadsetSound::Bands bands{};
    std::copy_n(values.begin(), std::min(values.size(), bands.size()), bands.begin());
    return bands;
}

std::string Decibels(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

}  // namespace

HeadsetSound::HeadsetSound(CHs6533Profiledata& profile, HeadsetAudioView& view, HeadsetAudioRunner& runner, Save save)
    : m_profile(profile), m_view(view), m_runner(runner), m_save(std::move(save)) {}

void HeadsetSound::LoadFromProfile() {
    m_settings = m_profile.GetSystemSetStages();
    m_names = m_profile.GetCustomEQNames();
    const std::vector<int32_t> bands = m_settings.eqType == kUserPreset
                                           ? m_profile.GetCustomEQBands(m_settings.customEqIndex)
                                           : m_profile.GetEQBands(m_settings.eqType);
    m_bands = ToBands(bands);
}

void HeadsetSound::ShowOnPage() {
    m_view.SetVoiceSwitch(m_settings.magicEnable != 0);
    m_view.SelectVoice(m_settings.magicType);
    m_view.SetMicOption(m_settings.micInSelect != 0);
    m_view.SetMonitorOption(m_settings.micMonitorSelect != 0);
    m_view.SetMicLevel(m_settings.micInValue);
    m_view.SetMonitorLevel(m_settings.micMonitorValue);
    m_view.SelectPreset(m_settings.eqType);
    m_view.ClearCustom();
    for (const std::string& name : m_names) {
        m_view.AppendCustom(name);
    }
    const bool custom = m_settings.eqType == kUserPreset;
    m_view.SelectCustom(custom && m_settings.customEqIndex < static_cast<int>(m_names.size())
                            ? m_settings.customEqIndex
                            : -1);
    m_view.EnableCustomLayout(custom);
    ShowBands();
}

void HeadsetSound::TakeAudioState(const HeadsetAudioState& state) {
    const auto take = [](const HeadsetAudioState::Level& level, bool& muted, int32_t& select, int32_t& value) {
        if (level.muted) {
            muted = *level.muted;
            select = muted ? 0 : 1;
        }
        if (level.percent) {
            value = *level.percent;
        }
    };
    take(state.microphone, m_micMuted, m_settings.micInSelect, m_settings.micInValue);
    if (state.microphone.decibels) {
        m_view.ShowMicDecibels(Decibels(*state.microphone.decibels));
    }
    if (state.monitorPresent) {
        take(state.monitor, m_monitorMuted, m_settings.micMonitorSelect, m_settings.micMonitorValue);
        if (state.monitor.decibels) {
            m_view.ShowMonitorDecibels(Decibels(*state.monitor.decibels));
        }
    }
    if (state.magicEnable) {
        m_settings.magicEnable = *state.magicEnable != 0 ? 1 : 0;
    }
    if (state.magicType) {
        m_settings.magicType = *state.magicType;
    }
    Store();
}

void HeadsetSound::ShowBands() {
    for (size_t band = 0; band < m_bands.size(); ++band) {
        m_view.SetBand(static_cast<int>(band), m_bands[band]);
    }
}

void HeadsetSound::Store() {
    m_profile.SetSystemSetStages(m_settings);
}

void HeadsetSound::StoreAndSave() {
    Store();
    if (m_save) {
        m_save();
    }
}

void HeadsetSound::SendCurve(const Bands& gains, const std::string& what, std::function<void()> then) {
    m_bands = gains;
    ShowBands();
    auto result = std::make_shared<int>(HeadsetAudio::kFailed);
    m_runner.Run([gains, result](HeadsetAudio& audio) { *result = audio.ApplyBands(gains); },
                 [this, result, what, then = std::move(then)] {
                     if (*result != 0) {
                         m_view.ShowRefused(what, *result);
                     }
                     then();
                 });
}

void HeadsetSound::ApplyPreset(int preset) {
    if (preset < 1 || preset > kUserPreset) {
        m_view.SelectPreset(0);  // no such option: none is shown chosen
        return;
    }
    m_view.SelectPreset(preset);
    if (preset == kUserPreset) {
        m_settings.eqType = kUserPreset;
        m_view.EnableCustomLayout(true);
        ApplyCustomCurve();
        StoreAndSave();
        return;
    }
    m_view.EnableCustomLayout(false);
    const Bands gains = CHs6533Profiledata::FixedPreset(preset);
    m_settings.eqType = preset;
    SendCurve(gains, "hs_what_preset", [this, preset, gains] {
        m_profile.SetEQBands(preset, gains);
        StoreAndSave();
    });
}

void HeadsetSound::BandChanged(int band) {
    if (band < 0 || band >= static_cast<int>(m_bands.size())) {
        return;
    }
    if (m_settings.eqType != kUserPreset) {
        m_view.SelectPreset(kUserPreset);
        m_view.SelectCustom(-1);
        m_view.EnableCustomLayout(true);
        m_settings.eqType = kUserPreset;
        StoreAndSave();
    }
    const std::optional<int> read = m_view.Band(band);
    if (!read) {
        return;
    }
    const int value = *read;
    m_bands[static_cast<size_t>(band)] = value;
    auto result = std::make_shared<int>(HeadsetAudio::kFailed);
    m_runner.Run([band, value, result](HeadsetAudio& audio) { *result = audio.SetBand(band, value); },
                 [this, result] {
                     if (*result != 0) {
                         m_view.ShowRefused("hs_what_band", *result);
                     }
                 });
}

void HeadsetSound::ApplyCustomCurve() {
    const int index = m_view.SelectedCustom();
    const std::vector<int32_t> values = m_profile.GetCustomEQBands(index);
    if (index < 0 || values.empty()) {
        return;
    }
    SendCurve(ToBands(values), "hs_what_curve", [this, index] {
        m_settings.eqType = kUserPreset;
        m_settings.customEqIndex = index;
        StoreAndSave();
    });
}

int HeadsetSound::SaveCustomCurve() {
    Bands bands{};
    for (size_t band = 0; band < bands.size(); ++band) {
        // A slider the page lacks keeps the band's value.
        bands[band] = m_view.Band(static_cast<int>(band)).value_or(m_bands[band]);
    }
    const std::string name = m_view.CustomName();
    if (name.empty()) {
        const int index = m_view.SelectedCustom();
        if (index < 0 || !m_profile.SetCustomEQBands(index, bands)) {
            return -1;
        }
        m_bands = bands;
        m_settings.customEqIndex = index;
        StoreAndSave();
        return 1;
    }
    switch (m_profile.AddCustomPreset(name, bands)) {
        case CHs6533Profiledata::PresetSaved::kListFull:
            m_view.Tell(kListFullText);
            return -1;
        case CHs6533Profiledata::PresetSaved::kNameTaken:
            return 0;
        case CHs6533Profiledata::PresetSaved::kNoName:
            return -1;
        case CHs6533Profiledata::PresetSaved::kSaved:
            break;
    }
    m_names = m_profile.GetCustomEQNames();
    m_view.AppendCustom(name);
    const int index = static_cast<int>(m_names.size()) - 1;
    m_view.SelectCustom(index);
    m_bands = bands;
    m_settings.eqType = kUserPreset;
    m_settings.customEqIndex = index;
    StoreAndSave();
    return 1;
}

void HeadsetSound::DeleteCustomCurve() {
    const int index = m_view.SelectedCustom();
    if (index < 0 || !m_profile.DeleteCustomPreset(index)) {
        return;
    }
    m_names = m_profile.GetCustomEQNames();
    m_view.RemoveCustom(index);
    if (m_names.empty()) {
        m_view.SelectCustom(-1);
        m_settings.customEqIndex = 0;
        ApplyPreset(1);  // sent, shown and stored as any preset
        return;
    }
    // The first curve takes the deleted one's place, on the driver too.
    m_view.SelectCustom(0);
    ApplyCustomCurve();
}

void HeadsetSound::SetLevel(bool monitor) {
    const int level = monitor ? m_view.MonitorLevel() : m_view.MicLevel();
    if (level < 0) {
        return;
    }
    auto write = std::make_shared<HeadsetAudio::LevelWrite>();
    m_runner.Run(
        [monitor, level, write](HeadsetAudio& audio) {
            *write = monitor ? audio.SetMonitorLevel(level) : audio.SetMicLevel(level);
        },
        [this, monitor, level, write] {
            int32_t& stored = monitor ? m_settings.micMonitorValue : m_settings.micInValue;
            if (write->result != 0) {
                m_view.ShowRefused(monitor ? "hs_what_monitor_level" : "hs_what_mic_level", write->result);
                return;
            }
            if (write->decibels) {
                const std::string text = Decibels(*write->decibels);
                monitor ? m_view.ShowMonitorDecibels(text) : m_view.ShowMicDecibels(text);
            }
            stored = level;
            StoreAndSave();
        });
}

void HeadsetSound::SetMicLevel() {
    SetLevel(false);
}

void HeadsetSound::SetMonitorLevel() {
    SetLevel(true);
}

void HeadsetSound::ToggleMute(bool monitor, bool checked) {
    // The state the user asked for, not a flip of what was last known: a
    // microphone another program muted stays muted by a click to mute it.
    const bool muted = !checked;
    auto result = std::make_shared<int>(HeadsetAudio::kFailed);
    m_runner.Run(
        [monitor, muted, result](HeadsetAudio& audio) {
            *result = monitor ? audio.SetMonitorMute(muted) : audio.SetMicMute(muted);
        },
        [this, monitor, muted, result] {
            bool& flag = monitor ? m_monitorMuted : m_micMuted;
            if (*result != 0) {
                // The option goes back to what the driver still has.
                monitor ? m_view.SetMonitorOption(!flag) : m_view.SetMicOption(!flag);
                m_view.ShowRefused(monitor ? "hs_what_monitor_mute" : "hs_what_mic_mute", *result);
                return;
            }
            flag = muted;
            (monitor ? m_settings.micMonitorSelect : m_settings.micInSelect) = muted ? 0 : 1;
            StoreAndSave();
        });
}

void HeadsetSound::ToggleMicMute(bool checked) {
    ToggleMute(false, checked);
}

void HeadsetSound::ToggleMonitorMute(bool checked) {
    ToggleMute(true, checked);
}

void HeadsetSound::SetVoiceChanger() {
    const bool on = m_view.VoiceSwitch();
    m_view.SetVoiceSwitch(on);
    m_settings.magicEnable = on ? 1 : 0;
    auto result = std::make_shared<int>(HeadsetAudio::kFailed);
    m_runner.Run([on, result](HeadsetAudio& audio) { *result = audio.SetVoiceChanger(on); },
                 [this, result] {
                     if (*result != 0) {
                         m_view.ShowRefused("hs_what_voice_changer", *result);
                     }
                     StoreAndSave();
                 });
}

void HeadsetSound::SelectVoice(int voice) {
    if (voice < 1 || voice > 4) {
        return;
    }
    auto result = std::make_shared<int>(HeadsetAudio::kFailed);
    m_runner.Run([voice, result](HeadsetAudio& audio) { *result = audio.SelectVoice(voice); },
                 [this, voice, result] {
                     if (*result != 0) {
                         m_view.ShowRefused("hs_what_voice_choice", *result);
                     }
                     m_settings.magicType = voice;
                     m_view.SelectVoice(voice);
                     StoreAndSave();
                 });
}

}  // namespace kx520
