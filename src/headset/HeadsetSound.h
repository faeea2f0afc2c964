#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "headset/HeadsetAudio.h"
#include "headset/HeadsetAudioView.h"
#include "profiles/CHs6533Profiledata.h"

namespace kx520 {

// The headset's audio settings as the device holds them, and what each
// control of its audio and voice pages does: the page is read, the value
// goes to the driver on the audio runner, and what the driver took is
// kept in the profile and saved. A refusal is shown, never passed over.
class HeadsetSound {
public:
    using Bands = profiles::CHs6533Profiledata::Bands;
    // Saves the profile; false when it could not (the user was told).
    using Save = std::function<bool()>;

    HeadsetSound(profiles::CHs6533Profiledata& profile, HeadsetAudioView& view, HeadsetAudioRunner& runner, Save save);

    // The settings, bands and curve names from the profile.
    void LoadFromProfile();
    // The page from the device's values.
    void ShowOnPage();
    // What the driver said at the start: levels, mutes and the voice changer.
    void TakeAudioState(const HeadsetAudioState& state);

    // --- the page's controls ---------------------------------------------------------
    void ApplyPreset(int preset);
    void BandChanged(int band);
    void ApplyCustomCurve();
    // 1 saved, 0 the name is taken (letter case aside), -1 nothing to save
    // or 20 curves already (the user is told).
    int SaveCustomCurve();
    void DeleteCustomCurve();
    void SetMicLevel();
    void SetMonitorLevel();
    // `checked`: the option's new state, checked while the sound is live.
    void ToggleMicMute(bool checked);
    void ToggleMonitorMute(bool checked);
    void SetVoiceChanger();
    void SelectVoice(int voice);

    const profiles::HeadsetSystemSettings& Settings() const { return m_settings; }
    const Bands& CurrentBands() const { return m_bands; }
    const std::vector<std::string>& CustomNames() const { return m_names; }
    bool MicMuted() const { return m_micMuted; }
    bool MonitorMuted() const { return m_monitorMuted; }

private:
    // The curve on the sliders and to the driver; `then` after the driver answered.
    void SendCurve(const Bands& gains, const std::string& what, std::function<void()> then);
    void ShowBands();
    void Store();
    void StoreAndSave();
    void ToggleMute(bool monitor, bool checked);
    void SetLevel(bool monitor);

    profiles::CHs6533Profiledata& m_profile;
    HeadsetAudioView& m_view;
    HeadsetAudioRunner& m_runner;
    Save m_save;
    profiles::HeadsetSystemSettings m_settings;
    Bands m_bands{};
    std::vector<std::string> m_names;
    bool m_micMuted = false;
    bool m_monitorMuted = false;
};

}  // namespace kx520
