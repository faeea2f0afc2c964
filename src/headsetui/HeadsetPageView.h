#pragma once

#include <functional>
#include <string>

#include "headset/HeadsetAudio.h"
#include "headset/HeadsetAudioView.h"

namespace kx520 {

class CMagicControlUI;
class CVoice6533ControlUI;

// The headset's two audio pages as its settings see them. A page the skin
// lacks reads as missing controls; texts go through `tell`, refusals to the
// status line.
class HeadsetPageView : public HeadsetAudioView {
public:
    using Teller = std::function<void(const std::string& textId)>;

    void Bind(CVoice6533ControlUI* audio, CMagicControlUI* voice, Teller tell);
    CVoice6533ControlUI* AudioPage() const { return m_audio; }
    CMagicControlUI* VoicePage() const { return m_voice; }

    void SelectPreset(int preset) override;
    void SetBand(int band, int value) override;
    std::optional<int> Band(int band) const override;
    void EnableCustomLayout(bool enabled) override;
    void SetMicOption(bool checked) override;
    void SetMonitorOption(bool checked) override;
    void SetMicLevel(int level) override;
    int MicLevel() const override;
    void SetMonitorLevel(int level) override;
    int MonitorLevel() const override;
    void ShowMicDecibels(const std::string& text) override;
    void ShowMonitorDecibels(const std::string& text) override;
    std::string CustomName() const override;
    void SetCustomName(const std::string& name) override;
    void AppendCustom(const std::string& name) override;
    int SelectedCustom() const override;
    int CustomCount() const override;
    void SelectCustom(int index) override;
    void RemoveCustom(int index) override;
    void ClearCustom() override;
    void SetVoiceSwitch(bool on) override;
    bool VoiceSwitch() const override;
    void SelectVoice(int voice) override;
    void Tell(const std::string& textId) override;
    void ShowRefused(const std::string& what, int result) override;
    // The status line: what applies, only kept or unavailable, and what to
    // install. The shown text.
    std::string ShowSummary(const HeadsetAudio::Summary& summary);
    const std::string& LastRefusal() const { return m_lastRefusal; }

private:
    CVoice6533ControlUI* m_audio = nullptr;
    CMagicControlUI* m_voice = nullptr;
    Teller m_tell;
    std::string m_lastRefusal;
};

}  // namespace kx520
