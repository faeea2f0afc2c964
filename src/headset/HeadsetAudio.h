#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "headset/AudioSdk.h"

namespace kx520 {

// What the plug-in said of the headset's audio when asked at the start.
// Each value stays empty when its read failed.
struct HeadsetAudioState {
    struct Level {
        std::optional<double> highest;   // decibels
        std::optional<double> lowest;    // decibels
        std::optional<double> step;
        std::optional<double> decibels;  // the level now
        std::optional<bool> muted;
        std::optional<int> percent;      // 0-100
    };
    Level microphone;
    bool monitorPresent = false;
    Level monitor;
    std::optional<int> magicEnable;
    std::optional<int> magicType;  // 1-4
};

// The headset's audio through the plug-in: the two endpoints it uses and
// every property the device reads or writes. Blocking calls (the plug-in
// waits for the sound server): run them off the UI thread, one at a time.
class HeadsetAudio {
public:
    static constexpr int kBands = 10;
    static constexpr uint32_t kVoiceFeature = 0x20000;
    static constexpr int kFailed = -1;

    struct Endpoint {
        AudioEndpoint endpoint;
        uint32_t features = 0;
        int32_t featureWord4 = 0;
        int32_t featureWord6 = 0;
    };

    HeadsetAudio() = default;
    // What the plug-in set up on the sound server is taken down.
    ~HeadsetAudio();
    HeadsetAudio(const HeadsetAudio&) = delete;
    HeadsetAudio& operator=(const HeadsetAudio&) = delete;

    struct StartReport {
        bool loaded = false;
        // Why the plug-in is not there (the paths tried and what each lacked).
        std::string why;
        bool devices = false;
        // Texts for message boxes, in the order they arose.
        std::vector<std::string> messages;
        HeadsetAudioState state;
    };

    // The plug-in loaded from `candidates`, initialised, the endpoints
    // chosen, the never-set properties given their defaults and the state
    // read.
    StartReport Start(const std::vector<std::string>& candidates);
    // The same over a plug-in already loaded (or given to the SDK directly).
    StartReport StartLoaded();
    // The endpoints chosen again (a headset plugged back, a server restarted);
    // messages for a feature reply that could not be read.
    bool SelectEndpoints(std::vector<std::string>& messages);
    void EnsureDefaults();
    // The plug-in's device list made again and the endpoints chosen from it:
    // at every connection, and before a write while one is missing (a
    // headset plugged back, a sound server restarted).
    bool Reselect(std::vector<std::string>& messages);
    HeadsetAudioState ReadAudioState();

    bool Loaded() const { return m_sdk.Loaded(); }
    bool HasOutput() const { return m_output.endpoint.Present(); }
    bool HasMicrophone() const { return m_microphone.endpoint.Present(); }
    const Endpoint& Output() const { return m_output; }
    const Endpoint& Microphone() const { return m_microphone; }
    AudioSdk& Sdk() { return m_sdk; }

    // --- the writes, 0 when the plug-in took them ------------------------------------
    // "Enable_EQ_GFX" 1 and the ten bands: the first refusal's result.
    int ApplyBands(const std::array<int32_t, kBands>& gains);
    // Band `band` (0-9) as "EQ_Slider1"..."EQ_Slider10".
    int SetBand(int band, int32_t gain);
    struct LevelWrite {
        int result = kFailed;
        // The level read back after it was taken, in decibels.
        std::optional<double> decibels;
    };
    // `percent` 0-100 as a scalar, the decibels read back on the same channel.
    LevelWrite SetMicLevel(int percent);
    LevelWrite SetMonitorLevel(int percent);
    int SetMicMute(bool muted);
    int SetMonitorMute(bool muted);
    // On also switches the microphone echo off; off leaves it.
    int SetVoiceChanger(bool on);
    // Voice 1-4 as the driver's 0-3.
    int SelectVoice(int voice);
    // What the plug-in applies and why not, as it reports it (JSON).
    std::optional<std::string> Status();
    // What the page's status line says: whether the settings apply, are
    // only kept, or cannot be, and what to install; from the plug-in's own
    // report.
    struct Summary {
        std::string textId;
        // What the plug-in keeps without applying ("eq", "voice", "monitor",
        // or a property's name).
        std::vector<std::string> notApplied;
        // Packages that would make them real.
        std::vector<std::string> packages;
    };
    Summary Describe();

private:
    HeadsetAudioState::Level ReadLevel(const char* highest, const char* lowest, const char* step,
                                       const char* decibels, int32_t channel, const char* mute, const char* scalar,
                                       int32_t scalarChannel);
    LevelWrite SetLevel(const char* scalar, int32_t scalarChannel, const char* decibels, int32_t readChannel,
                        int percent);
    // Writes `value` only when reading `name` fails: never a setting the
    // plug-in reports.
    void DefaultIfUnset(const Endpoint& endpoint, const char* name, int32_t value, const std::vector<int32_t>& extra);
    bool ReadFeatures(Endpoint& endpoint, std::vector<std::string>& messages);
    // The endpoint a write needs, looked for again while it is missing.
    bool Need(bool microphone);
    std::optional<AudioEndpoint> FirstOf(int flow, const std::vector<int32_t>& types, bool needActive);

    AudioSdk m_sdk;
    bool m_started = false;
    Endpoint m_output;
    Endpoint m_microphone;
};

}  // namespace kx520
