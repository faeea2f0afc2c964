#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "audioplugin/AudioCallTrace.h"
#include "audioplugin/PluginStore.h"
#include "audioplugin/ServerChains.h"
#include "headset/AudioSdk.h"
#include "soundserver/PulseLink.h"

namespace kx520::audio {

// The headset's audio as the plug-in's entry points offer it, over the
// sound server: the headset's own sink and source are its two endpoints,
// and each property the headset device uses is backed by what the server
// has (volumes, mutes) or by a chain of ours (equaliser, monitor, voice
// changer). Properties nothing here can make real keep their value and
// answer "not applied". Every call waits at most 200 ms for the server; a
// lost server is connected to again and given what it lost.
class AudioPlugin {
public:
    struct Settings {
        std::string statePath;
        std::string tracePath;
        std::string vendorId = "0c76";
        std::string productId = "1630";
        std::chrono::milliseconds coalesce{100};
    };
    static constexpr int32_t kOutputId = 1;
    static constexpr int32_t kMicrophoneId = 2;
    static constexpr size_t kReplySize = AudioSdk::kBufferSize;

    explicit AudioPlugin(Settings settings);
    ~AudioPlugin();
    AudioPlugin(const AudioPlugin&) = delete;
    AudioPlugin& operator=(const AudioPlugin&) = delete;

    // The settings from the environment: KX520_AUDIO_TRACE, and the state
    // file under $XDG_STATE_HOME (or ~/.local/state).
    static Settings FromEnvironment();

    int Init();
    int CreateDeviceList();
    int DeviceCount(int flow, int& count);
    int DeviceById(int flow, int index, AudioEndpoint& endpoint);
    // `data` holds at least kReplySize bytes; `extra` may be null.
    int Property(const AudioEndpoint& endpoint, const std::string& name, char* data, const int32_t* extra, bool set);
    // Every chain of ours taken down and the defaults put back.
    int UnInit();

private:
    using Clock = std::chrono::steady_clock;

    bool EnsureServer();
    void Refind();
    // Whether the endpoint's device is there, looked for again while either is missing.
    bool HasDevice(bool microphone);
    void Reconcile();
    ServerChains::Wanted WantedChains() const;
    // The equaliser rebuilt and the store written once the changes of the
    // coalescing time are in.
    void ScheduleFlush(bool equaliser);
    void RunFlushThread(std::stop_token stop);
    void SaveStore();

    int Read(bool microphone, const std::string& name, int32_t channel, std::string& reply);
    int Write(bool microphone, const std::string& name, int32_t channel, const char* data);
    int ReadStored(const std::string& key, std::string& reply) const;
    // Kept; applied only when it is the off value nothing has to do.
    int StoreOffOnly(const std::string& key, int value);
    int ReadMicrophoneLevel(bool decibels, std::string& reply);
    int WriteMicrophoneLevel(std::optional<double> level, std::optional<double> decibels);
    int ReadMonitor(const std::string& name, std::string& reply);
    int WriteMonitor(const std::string& name, const char* data);
    std::string Features(bool microphone) const;
    std::string Status();
    void Remember();

    Settings m_settings;
    AudioCallTrace m_trace;
    mutable std::mutex m_lock;  // everything below
    sound::PulseLink m_link;
    ServerChains m_chains{m_link};
    PluginStore m_store;
    ServerChains::Headset m_headset;
    ServerChains::Remembered m_remembered;
    std::map<std::string, std::string> m_why;
    uint64_t m_reconciledConnection = 0;
    bool m_eqDirty = false;
    bool m_storeDirty = false;
    std::optional<Clock::time_point> m_flushDue;
    std::condition_variable_any m_flushWake;
    std::jthread m_flushThread;  // last: it ends before what it uses
};

}  // namespace kx520::audio
