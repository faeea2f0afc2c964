#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kx520 {

class HeadsetAudio;

// The headset's audio and voice pages as its settings see them: controls
// found by name, set and read back. Reads of a missing control give -1
// (levels), nothing (bands, whose gains may be negative) or "" (texts).
class HeadsetAudioView {
public:
    virtual ~HeadsetAudioView() = default;

    // Preset options 1-13 (0 clears them all).
    virtual void SelectPreset(int preset) = 0;
    virtual void SetBand(int band, int value) = 0;
    virtual std::optional<int> Band(int band) const = 0;
    virtual void EnableCustomLayout(bool enabled) = 0;

    virtual void SetMicOption(bool checked) = 0;
    virtual void SetMonitorOption(bool checked) = 0;
    virtual void SetMicLevel(int level) = 0;
    virtual int MicLevel() const = 0;
    virtual void SetMonitorLevel(int level) = 0;
    virtual int MonitorLevel() const = 0;
    // The level read back from the driver, in decibels, as shown text.
    virtual void ShowMicDecibels(const std::string& text) = 0;
    virtual void ShowMonitorDecibels(const std::string& text) = 0;

    virtual std::string CustomName() const = 0;
    virtual void SetCustomName(const std::string& name) = 0;
    virtual void AppendCustom(const std::string& name) = 0;
    virtual int SelectedCustom() const = 0;
    virtual int CustomCount() const = 0;
    // Selects item `index` (-1 none) and clears the name edit.
    virtual void SelectCustom(int index) = 0;
    virtual void RemoveCustom(int index) = 0;
    virtual void ClearCustom() = 0;

    // The voice changer's switch enables the voice options with it.
    virtual void SetVoiceSwitch(bool on) = 0;
    virtual bool VoiceSwitch() const = 0;
    virtual void SelectVoice(int voice) = 0;

    // The message window with language text `textId`.
    virtual void Tell(const std::string& textId) = 0;
    // The driver did not apply `what` (a text id), for the plug-in's
    // `result`: the setting is kept.
    virtual void ShowRefused(const std::string& what, int result) = 0;
};

// Where the driver calls run: off the UI thread, one after another, each
// `done` back on the UI thread after its `work`.
class HeadsetAudioRunner {
public:
    virtual ~HeadsetAudioRunner() = default;
    virtual void Run(std::function<void(HeadsetAudio&)> work, std::function<void()> done) = 0;
};

}  // namespace kx520
