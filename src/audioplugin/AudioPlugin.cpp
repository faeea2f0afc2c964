#include "audioplugin/AudioPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <json/json.h>
#include <utility>

namespace kx520::audio {

namespace {

using sound::PulseLink;

constexpr const char* kClientName = "KX520 headset audio";
constexpr uint32_t kVoiceFeature = 0x20000;
// The microphone's range as the page shows it: 0 dB at full level down to
// the decibels of 1 %, in steps of one percent.
constexpr double kHighestDecibels = 0.0;
constexpr double kLevelStep = 1.0;
constexpr std::chrono::milliseconds kStrayCheck{250};

double LowestDecibels() {
    return PulseLink::DecibelsOfVolume(PulseLink::VolumeOfLevel(0.01)).value_or(-120.0);
}

std::string Fixed(double value, int decimals = 2) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

int32_t IntOf(const char* data) {
    int32_t value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

float FloatOf(const char* data) {
    float value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

bool IsBand(const std::string& name, int& band) {
    const std::string prefix = "EQ_Slider";
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size() || name.size() > prefix.size() + 2) {
        return false;
    }
    char* end = nullptr;
    const long number = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (*end != 0 || number < 1 || number > ServerChains::kBands) {
        return false;
    }
    band = static_cast<int>(number) - 1;
    return true;
}

std::string StatePath() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
        return std::string(state) + "/kx520/audio-plugin.state";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/state/kx520/audio-plugin.state";
    }
    return {};
}

}  // namespace

AudioPlugin::Settings AudioPlugin::FromEnvironment() {
    Settings settings;
    settings.statePath = StatePath();
    if (const char* trace = std::getenv("KX520_AUDIO_TRACE")) {
        settings.tracePath = trace;
    }
    return settings;
}

AudioPlugin::AudioPlugin(Settings settings)
    : m_settings(std::move(settings)), m_trace(m_settings.tracePath), m_store(m_settings.statePath) {
    m_remembered.sinkDefault = m_store.Get("remembered.sink").value_or("");
    m_remembered.sourceDefault = m_store.Get("remembered.source").value_or("");
    m_flushThread = std::jthread([this](std::stop_token stop) { RunFlushThread(stop); });
}

AudioPlugin::~AudioPlugin() {
    m_flushThread.request_stop();
    m_flushWake.notify_all();
    m_flushThread.join();
    std::lock_guard lock(m_lock);
    SaveStore();
}

bool AudioPlugin::EnsureServer() {
    if (!m_link.Connect(kClientName)) {
        m_headset = {};
        m_why["server"] = "no sound server answered (PulseAudio or PipeWire's pulse server)";
        return false;
    }
    m_why.erase("server");
    if (m_reconciledConnection != m_link.Connections()) {
        // A new connection: the server may have restarted and lost our chains.
        m_reconciledConnection = m_link.Connections();
        Refind();
        Reconcile();
    }
    return true;
}

void AudioPlugin::Refind() {
    m_headset = m_chains.FindHeadset(m_settings.vendorId, m_settings.productId);
}

bool AudioPlugin::HasDevice(bool microphone) {
    if (!m_headset.sink || !m_headset.source) {
        Refind();  // a headset plugged in since
    }
    return microphone ? m_headset.source.has_value() : m_headset.sink.has_value();
}

ServerChains::Wanted AudioPlugin::WantedChains() const {
    ServerChains::Wanted wanted;
    if (m_store.GetInt("Enable_EQ_GFX", 0) == 1) {
        std::array<int, ServerChains::kBands> bands{};
        for (int band = 0; band < ServerChains::kBands; ++band) {
            bands[static_cast<size_t>(band)] = m_store.GetInt("EQ_Slider" + std::to_string(band + 1), 0);
        }
        wanted.bands = bands;
    }
    // A silent monitor needs no loopback.
    const double monitorLevel = std::clamp(m_store.GetDouble("AAVolumeScalarControl", 0.0), 0.0, 1.0);
    if (m_store.GetInt("AAMuteControl", 1) == 0 && monitorLevel > 0.0) {
        wanted.monitorLevel = monitorLevel;
    }
    if (m_store.GetInt("Enable_MAGICVOICE", 0) == 1) {
        wanted.voice = std::clamp(m_store.GetInt("MagicVoice_Selection", 0), 0, 3);
    }
    return wanted;
}

void AudioPlugin::Reconcile() {
    for (const char* role : {"eq", "monitor", "voice"}) {
        m_why.erase(role);
    }
    m_chains.Reconcile(m_headset, WantedChains(), m_remembered, m_why);
    for (auto it = m_why.begin(); it != m_why.end();) {
        it = it->second.empty() ? m_why.erase(it) : std::next(it);
    }
    Remember();
}

void AudioPlugin::Remember() {
    m_store.Set("remembered.sink", m_remembered.sinkDefault);
    m_store.Set("remembered.source", m_remembered.sourceDefault);
    // Written with the next coalesced pass: a slider's steps are one write.
    m_storeDirty = true;
    ScheduleFlush(false);
}

void AudioPlugin::SaveStore() {
    if (!m_storeDirty) {
        return;
    }
    m_storeDirty = false;
    if (!m_store.Save()) {
        m_why["store"] = "the plug-in's settings could not be written to " + m_store.Path();
    } else {
        m_why.erase("store");
    }
}

void AudioPlugin::ScheduleFlush(bool equaliser) {
    m_eqDirty = m_eqDirty || equaliser;
    if (!m_flushDue) {
        m_flushDue = Clock::now() + m_settings.coalesce;
        m_flushWake.notify_all();
    }
}

void AudioPlugin::RunFlushThread(std::stop_token stop) {
    std::unique_lock lock(m_lock);
    while (!stop.stop_requested()) {
        if (!m_flushDue) {
            // While the equaliser runs, streams started on the headset itself
            // are caught and moved onto it.
            if (!WantedChains().bands) {
                m_flushWake.wait(lock, stop, [this] { return m_flushDue.has_value(); });
            } else if (!m_flushWake.wait_for(lock, stop, kStrayCheck, [this] { return m_flushDue.has_value(); }) &&
                       !stop.stop_requested() && m_link.Connected()) {
                m_chains.CatchStrays(m_headset);
            }
            continue;
        }
        const Clock::time_point due = *m_flushDue;
        if (m_flushWake.wait_until(lock, stop, due, [] { return false; }); stop.stop_requested()) {
            return;
        }
        m_flushDue.reset();
        if (std::exchange(m_eqDirty, false) && EnsureServer()) {
            Reconcile();
        }
        SaveStore();
    }
}

int AudioPlugin::Init() {
    std::lock_guard lock(m_lock);
    m_trace.Log("-", false, "ConfLibInit", "-", kAudioOk);
    return kAudioOk;  // the server may come later: each call looks for it
}

int AudioPlugin::CreateDeviceList() {
    std::lock_guard lock(m_lock);
    const bool server = EnsureServer();
    if (server) {
        Refind();
        Reconcile();  // a headset that came back gets its chains again
    }
    m_trace.Log("-", false, "CreateDeviceList", server ? "server" : "no-server", server ? kAudioOk : kAudioNoDevice);
    return server ? kAudioOk : kAudioNoDevice;
}

int AudioPlugin::DeviceCount(int flow, int& count) {
    std::lock_guard lock(m_lock);
    count = 0;
    if (flow == 0 && m_headset.sink) {
        count = 1;
    } else if (flow == 1 && m_headset.source) {
        count = 1;
    }
    return kAudioOk;
}

int AudioPlugin::DeviceById(int flow, int index, AudioEndpoint& endpoint) {
    std::lock_guard lock(m_lock);
    const bool present = index == 0 && ((flow == 0 && m_headset.sink) || (flow == 1 && m_headset.source));
    if (!present) {
        return kAudioNoDevice;
    }
    endpoint = flow == 0 ? AudioEndpoint{kOutputId, 1, 0, 1} : AudioEndpoint{kMicrophoneId, 2, 0, 1};
    return kAudioOk;
}

int AudioPlugin::UnInit() {
    std::lock_guard lock(m_lock);
    m_flushDue.reset();
    m_eqDirty = false;
    if (m_link.Connect(kClientName)) {
        m_chains.UnloadAll(m_remembered);
        Remember();
    }
    SaveStore();
    m_link.Disconnect();
    m_trace.Log("-", false, "ConfLibUnInit", "-", kAudioOk);
    return kAudioOk;
}

int AudioPlugin::Property(const AudioEndpoint& endpoint, const std::string& name, char* data, const int32_t* extra,
                          bool set) {
    std::lock_guard lock(m_lock);
    const bool microphone = endpoint.id == kMicrophoneId;
    const int32_t channel = extra != nullptr ? extra[0] : 0;
    std::string reply;
    std::string value;
    int result = kAudioFailed;
    if (endpoint.id != kOutputId && endpoint.id != kMicrophoneId) {
        result = kAudioNoDevice;
    } else if (set) {
        value = (name == "VolumeScalarControl" || name == "AAVolumeScalarControl") ? Fixed(FloatOf(data), 3)
                                                                                    : std::to_string(IntOf(data));
        result = Write(microphone, name, channel, data);
    } else {
        result = Read(microphone, name, channel, reply);
        if (result == kAudioOk) {
            std::memset(data, 0, kReplySize);
            std::memcpy(data, reply.data(), std::min(reply.size(), kReplySize - 1));
        }
        value = reply;
    }
    m_trace.Log(microphone ? "microphone" : "output", set, name, value, result);
    return result;
}

int AudioPlugin::ReadStored(const std::string& key, std::string& reply) const {
    const auto value = m_store.Get(key);
    if (!value) {
        return kAudioNeverSet;
    }
    reply = *value;
    return kAudioOk;
}

int AudioPlugin::StoreOffOnly(const std::string& key, int value) {
    m_store.Set(key, std::to_string(value));
    Remember();
    if (value != 0) {
        m_why[key] = "kept, but nothing on this system makes it real";
        return kAudioNotApplied;
    }
    m_why.erase(key);
    return kAudioOk;
}

std::string AudioPlugin::Features(bool microphone) const {
    const bool voice = microphone && ServerChains::LadspaAvailable("ladspa-rubberband.so");
    char text[64];
    std::snprintf(text, sizeof text, "0x%x,0,0,0,0,0,0", voice ? kVoiceFeature : 0u);
    return text;
}

int AudioPlugin::Read(bool microphone, const std::string& name, int32_t channel, std::string& reply) {
    if (name == "KX_Status") {
        EnsureServer();
        reply = Status();
        return kAudioOk;
    }
    if (!EnsureServer()) {
        return kAudioTimedOut;
    }
    if (name == "GetSupportFeature") {
        reply = Features(microphone);
        return kAudioOk;
    }
    int band = 0;
    if (!HasDevice(microphone)) {
        return kAudioNoDevice;
    }
    if (!microphone) {
        if (name == "Enable_EQ_GFX" || IsBand(name, band) || name == "Enable_RFX_GFX" || name == "RFX_ENVIRONMENT" ||
            name == "RFX_ROOMSIZE" || name == "VirtualSurroundEffectControl") {
            return ReadStored(name, reply);
        }
        return kAudioUnknownProperty;
    }
    (void)channel;  // one level for every channel
    if (name == "GetMaxVol" || name == "GetAAMaxVol") {
        reply = Fixed(kHighestDecibels);
        return kAudioOk;
    }
    if (name == "GetMinVol" || name == "GetAAMinVol") {
        reply = Fixed(LowestDecibels());
        return kAudioOk;
    }
    if (name == "GetVolStep" || name == "GetAAVolStep") {
        reply = Fixed(kLevelStep);
        return kAudioOk;
    }
    if (name == "VolumeControl" || name == "VolumeScalarControl") {
        return ReadMicrophoneLevel(name == "VolumeControl", reply);
    }
    if (name == "MuteControl") {
        Refind();
        if (!m_headset.source) {
            return kAudioNoDevice;
        }
        reply = m_headset.source->muted ? "1" : "0";
        return kAudioOk;
    }
    if (name.rfind("AA", 0) == 0) {
        return ReadMonitor(name, reply);
    }
    if (name == "Enable_MAGICVOICE" || name == "MagicVoice_Selection" || name == "Enable_MICECHO" ||
        name == "Enable_ENC_LFX" || name == "ENC_SELFCALIB") {
        return ReadStored(name, reply);
    }
    return kAudioUnknownProperty;
}

int AudioPlugin::ReadMicrophoneLevel(bool decibels, std::string& reply) {
    Refind();
    if (!m_headset.source) {
        return kAudioNoDevice;
    }
    const uint32_t volume = PulseLink::Average(m_headset.source->volumes);
    // A silent level has no decibels: the range's lowest stands for it.
    reply = decibels ? Fixed(PulseLink::DecibelsOfVolume(volume).value_or(LowestDecibels()))
                     : Fixed(PulseLink::LevelOfVolume(volume), 4);
    return kAudioOk;
}

int AudioPlugin::ReadMonitor(const std::string& name, std::string& reply) {
    // The server says what the monitor is: without our loopback it is off,
    // silent unless a level was kept. Never "never set": a default written
    // for it would switch on a loud monitor.
    const std::optional<PulseLink::Stream> stream = m_chains.MonitorStream();
    if (name == "AAMuteControl") {
        reply = stream ? "0" : m_store.Get(name).value_or("1");
        return kAudioOk;
    }
    const double level = stream ? PulseLink::LevelOfVolume(PulseLink::Average(stream->volumes))
                                : m_store.GetDouble("AAVolumeScalarControl", 0.0);
    if (name == "AAVolumeScalarControl") {
        reply = Fixed(level, 4);
        return kAudioOk;
    }
    if (name == "AAVolumeControl") {
        reply = Fixed(PulseLink::DecibelsOfVolume(PulseLink::VolumeOfLevel(level)).value_or(LowestDecibels()));
        return kAudioOk;
    }
    return kAudioUnknownProperty;
}

int AudioPlugin::Write(bool microphone, const std::string& name, int32_t channel, const char* data) {
    if (!EnsureServer()) {
        return kAudioTimedOut;
    }
    (void)channel;
    const int32_t value = IntOf(data);
    int band = 0;
    if (!HasDevice(microphone)) {
        return kAudioNoDevice;
    }
    if (!microphone) {
        if (name == "Enable_EQ_GFX" || IsBand(name, band)) {
            m_store.Set(name, std::to_string(name == "Enable_EQ_GFX" ? (value != 0 ? 1 : 0) : value));
            Remember();
            ScheduleFlush(true);
            if (name == "Enable_EQ_GFX" && value != 0 && !ServerChains::LadspaAvailable("caps.so")) {
                return kAudioNotApplied;
            }
            return kAudioOk;
        }
        if (name == "Enable_RFX_GFX" || name == "RFX_ENVIRONMENT" || name == "RFX_ROOMSIZE" ||
            name == "VirtualSurroundEffectControl") {
            return StoreOffOnly(name, value);
        }
        return kAudioUnknownProperty;
    }
    if (name == "VolumeScalarControl") {
        return WriteMicrophoneLevel(static_cast<double>(FloatOf(data)), std::nullopt);
    }
    if (name == "VolumeControl") {
        return WriteMicrophoneLevel(std::nullopt, static_cast<double>(value));
    }
    if (name == "MuteControl") {
        return m_link.SetSourceMute(m_headset.source->index, value != 0) ? kAudioOk : kAudioFailed;
    }
    if (name.rfind("AA", 0) == 0) {
        return WriteMonitor(name, data);
    }
    if (name == "Enable_MAGICVOICE" || name == "MagicVoice_Selection") {
        if (name == "MagicVoice_Selection" && (value < 0 || value > 3)) {
            return kAudioFailed;
        }
        m_store.Set(name, std::to_string(name == "Enable_MAGICVOICE" ? (value != 0 ? 1 : 0) : value));
        Reconcile();
        return m_why.count("voice") != 0 && m_store.GetInt("Enable_MAGICVOICE", 0) == 1 ? kAudioNotApplied : kAudioOk;
    }
    if (name == "Enable_MICECHO" || name == "Enable_ENC_LFX" || name == "ENC_SELFCALIB") {
        return StoreOffOnly(name, value);
    }
    return kAudioUnknownProperty;
}

int AudioPlugin::WriteMicrophoneLevel(std::optional<double> level, std::optional<double> decibels) {
    const uint32_t volume = level ? PulseLink::VolumeOfLevel(*level) : PulseLink::VolumeOfDecibels(*decibels);
    const size_t channels = std::max<size_t>(1, m_headset.source->volumes.size());
    return m_link.SetSourceVolume(m_headset.source->index, std::vector<uint32_t>(channels, volume)) ? kAudioOk
                                                                                                   : kAudioFailed;
}

int AudioPlugin::WriteMonitor(const std::string& name, const char* data) {
    if (name == "AAMuteControl") {
        m_store.Set(name, IntOf(data) != 0 ? "1" : "0");
    } else if (name == "AAVolumeScalarControl") {
        m_store.Set(name, Fixed(std::clamp(static_cast<double>(FloatOf(data)), 0.0, 1.0), 4));
    } else if (name == "AAVolumeControl") {
        const uint32_t volume = PulseLink::VolumeOfDecibels(static_cast<double>(IntOf(data)));
        m_store.Set("AAVolumeScalarControl", Fixed(PulseLink::LevelOfVolume(volume), 4));
    } else {
        return kAudioUnknownProperty;
    }
    Reconcile();
    return m_why.count("monitor") != 0 ? kAudioFailed : kAudioOk;
}

std::string AudioPlugin::Status() {
    Json::Value status(Json::objectValue);
    status["server"] = m_link.Connected() ? Json::Value("connected") : Json::Value();
    status["sink"] = m_headset.sink ? Json::Value(m_headset.sink->name) : Json::Value();
    status["source"] = m_headset.source ? Json::Value(m_headset.source->name) : Json::Value();
    const ServerChains::Wanted wanted = WantedChains();
    status["equaliser"] = wanted.bands.has_value();
    status["equaliserPending"] = m_eqDirty;
    status["monitor"] = wanted.monitorLevel.has_value();
    status["voiceChanger"] = wanted.voice.has_value();
    status["voiceAvailable"] = ServerChains::LadspaAvailable("ladspa-rubberband.so");
    status["equaliserAvailable"] = ServerChains::LadspaAvailable("caps.so");
    Json::Value& notApplied = status["notApplied"] = Json::Value(Json::objectValue);
    for (const auto& [what, why] : m_why) {
        notApplied[what] = why;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, status);
}

}  // namespace kx520::audio
