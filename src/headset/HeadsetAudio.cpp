#include "headset/HeadsetAudio.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/SafeJson.h"

namespace kx520 {

namespace {

constexpr int kOutputFlow = 0;
constexpr int kMicrophoneFlow = 1;
constexpr int32_t kMicChannel = -1;
constexpr int32_t kMonitorChannel = 0;
// The monitor's level in decibels is read on the channel it is written on.
constexpr int32_t kMonitorReadChannel = 0;
constexpr size_t kFeatureFields = 7;

std::string BandName(int band) {
    return "EQ_Slider" + std::to_string(band + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        fields.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

int32_t FieldValue(const std::string& field) {
    // Hexadecimal ("0x...") or decimal; anything else reads as 0.
    char* end = nullptr;
    const long long value = std::strtoll(field.c_str(), &end, 0);
    if (end == field.c_str()) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, UINT32_MAX));
}

}  // namespace

HeadsetAudio::~HeadsetAudio() {
    if (m_started) {
        m_sdk.ConfLibUnInit();
    }
}

HeadsetAudio::StartReport HeadsetAudio::Start(const std::vector<std::string>& candidates) {
    StartReport report;
    if (!m_sdk.Load(candidates, report.why)) {
        return report;
    }
    return StartLoaded();
}

HeadsetAudio::StartReport HeadsetAudio::StartLoaded() {
    StartReport report;
    report.loaded = m_sdk.Loaded();
    if (!report.loaded) {
        report.why = "the audio plug-in is not loaded";
        return report;
    }
    if (m_sdk.ConfLibInit() != 0) {
        report.messages.push_back("ConfLibInit called failed!");
    }
    m_started = true;
    m_sdk.CreateDeviceList();
    int outputs = 0;
    int microphones = 0;
    m_sdk.GetDeviceCount(kOutputFlow, outputs);
    m_sdk.GetDeviceCount(kMicrophoneFlow, microphones);
    if (outputs + microphones == 0) {
        m_output = {};
        m_microphone = {};
        return report;
    }
    report.devices = SelectEndpoints(report.messages);
    EnsureDefaults();
    report.state = ReadAudioState();
    return report;
}

bool HeadsetAudio::Reselect(std::vector<std::string>& messages) {
    if (!m_sdk.Loaded()) {
        return false;
    }
    m_sdk.CreateDeviceList();
    return SelectEndpoints(messages);
}

bool HeadsetAudio::Need(bool microphone) {
    if (microphone ? HasMicrophone() : HasOutput()) {
        return true;
    }
    std::vector<std::string> messages;
    Reselect(messages);
    return microphone ? HasMicrophone() : HasOutput();
}

std::optional<AudioEndpoint> HeadsetAudio::FirstOf(int flow, const std::vector<int32_t>& types, bool needActive) {
    int count = 0;
    m_sdk.GetDeviceCount(flow, count);
    for (int32_t type : types) {
        for (int index = 0; index < count; ++index) {
            AudioEndpoint endpoint;
            if (m_sdk.GetDeviceById(flow, index, endpoint) != 0) {
                continue;
            }
            if (endpoint.type == type && (!needActive || endpoint.state == 1)) {
                return endpoint;
            }
        }
    }
    return std::nullopt;
}

bool HeadsetAudio::SelectEndpoints(std::vector<std::string>& messages) {
    m_output = {};
    m_microphone = {};
    if (const auto output = FirstOf(kOutputFlow, {1, 12, 7, 4}, true)) {
        m_output.endpoint = *output;
    }
    if (const auto microphone = FirstOf(kMicrophoneFlow, {2}, false)) {
        m_microphone.endpoint = *microphone;
    }
    if (HasMicrophone()) {
        ReadFeatures(m_microphone, messages);
    }
    if (HasOutput()) {
        ReadFeatures(m_output, messages);
    }
    return HasOutput() || HasMicrophone();
}

bool HeadsetAudio::ReadFeatures(Endpoint& endpoint, std::vector<std::string>& messages) {
    const auto reply = m_sdk.Read(endpoint.endpoint, "GetSupportFeature", {}, AudioSdk::kFeatureBufferSize);
    const std::vector<std::string> fields = reply ? Split(*reply, ',') : std::vector<std::string>{};
    if (fields.size() < kFeatureFields) {
        messages.push_back("UpdateAPOAvailable failed!");
        endpoint.features = 0;
        endpoint.featureWord4 = 0;
        endpoint.featureWord6 = 0;
        return false;
    }
    endpoint.features = static_cast<uint32_t>(FieldValue(fields[0]));
    endpoint.featureWord4 = FieldValue(fields[4]);
    endpoint.featureWord6 = FieldValue(fields[6]);
    return true;
}

void HeadsetAudio::DefaultIfUnset(const Endpoint& endpoint, const char* name, int32_t value,
                                  const std::vector<int32_t>& extra) {
    if (!endpoint.endpoint.Present()) {
        return;
    }
    // A read that failed or timed out says nothing of the setting: writing
    // then could unmute a microphone the user muted.
    if (m_sdk.ReadResult(endpoint.endpoint, name, extra) == kAudioNeverSet) {
        m_sdk.WriteInt(endpoint.endpoint, name, value, extra);
    }
}

void HeadsetAudio::EnsureDefaults() {
    DefaultIfUnset(m_output, "VirtualSurroundEffectControl", 0, {4, -1, 0});
    DefaultIfUnset(m_output, "Enable_EQ_GFX", 0, {});
    for (int band = 0; band < kBands; ++band) {
        DefaultIfUnset(m_output, BandName(band).c_str(), 0, {});
    }
    for (const char* name : {"Enable_RFX_GFX", "RFX_ENVIRONMENT", "RFX_ROOMSIZE"}) {
        DefaultIfUnset(m_output, name, 0, {});
    }
    DefaultIfUnset(m_microphone, "Enable_ENC_LFX", 0, {});
    DefaultIfUnset(m_microphone, "ENC_SELFCALIB", 0, {});
    DefaultIfUnset(m_microphone, "VolumeControl", 0, {kMicChannel});
    DefaultIfUnset(m_microphone, "MuteControl", 0, {});
    DefaultIfUnset(m_microphone, "VolumeScalarControl", 0, {kMicChannel});
    DefaultIfUnset(m_microphone, "AAVolumeControl", 0, {kMonitorChannel});
    DefaultIfUnset(m_microphone, "AAMuteControl", 0, {});
    DefaultIfUnset(m_microphone, "AAVolumeScalarControl", 0, {kMonitorChannel});
    DefaultIfUnset(m_microphone, "Enable_MAGICVOICE", 0, {});
    DefaultIfUnset(m_microphone, "MagicVoice_Selection", 0, {});
}

HeadsetAudioState::Level HeadsetAudio::ReadLevel(const char* highest, const char* lowest, const char* step,
                                                 const char* decibels, int32_t channel, const char* mute,
                                                 const char* scalar, int32_t scalarChannel) {
    const AudioEndpoint& mic = m_microphone.endpoint;
    HeadsetAudioState::Level level;
    level.highest = m_sdk.ReadDouble(mic, highest);
    level.lowest = m_sdk.ReadDouble(mic, lowest);
    level.step = m_sdk.ReadDouble(mic, step);
    level.decibels = m_sdk.ReadDouble(mic, decibels, {channel});
    if (const auto muted = m_sdk.ReadInt(mic, mute)) {
        level.muted = *muted != 0;
    }
    if (const auto value = m_sdk.ReadDouble(mic, scalar, {scalarChannel})) {
        level.percent = std::clamp(static_cast<int>(std::lround(*value * 100.0)), 0, 100);
    }
    return level;
}

HeadsetAudioState HeadsetAudio::ReadAudioState() {
    HeadsetAudioState state;
    if (!HasMicrophone() && !HasOutput()) {
        return state;
    }
    if (HasMicrophone()) {
        state.microphone = ReadLevel("GetMaxVol", "GetMinVol", "GetVolStep", "VolumeControl", kMicChannel,
                                     "MuteControl", "VolumeScalarControl", kMicChannel);
        state.monitorPresent = m_sdk.ReadDouble(m_microphone.endpoint, "GetAAMaxVol").has_value();
        if (state.monitorPresent) {
            state.monitor = ReadLevel("GetAAMaxVol", "GetAAMinVol", "GetAAVolStep", "AAVolumeControl",
                                      kMonitorReadChannel, "AAMuteControl", "AAVolumeScalarControl", kMonitorChannel);
        }
    }
    for (int band = 0; band < kBands && HasOutput(); ++band) {
        m_sdk.ReadInt(m_output.endpoint, BandName(band).c_str());
    }
    if (HasMicrophone() && (m_microphone.features & kVoiceFeature) != 0) {
        state.magicEnable = m_sdk.ReadInt(m_microphone.endpoint, "Enable_MAGICVOICE");
    }
    if (HasMicrophone()) {
        if (const auto voice = m_sdk.ReadInt(m_microphone.endpoint, "MagicVoice_Selection");
            voice && *voice >= 0 && *voice <= 3) {
            state.magicType = *voice + 1;
        }
    }
    return state;
}

int HeadsetAudio::ApplyBands(const std::array<int32_t, kBands>& gains) {
    if (!Need(false)) {
        return kAudioNoDevice;
    }
    int first = m_sdk.WriteInt(m_output.endpoint, "Enable_EQ_GFX", 1);
    for (int band = 0; band < kBands; ++band) {
        const int result = SetBand(band, gains[static_cast<size_t>(band)]);
        if (first == 0) {
            first = result;
        }
    }
    return first;
}

int HeadsetAudio::SetBand(int band, int32_t gain) {
    if (band < 0 || band >= kBands) {
        return kFailed;
    }
    if (!Need(false)) {
        return kAudioNoDevice;
    }
    return m_sdk.WriteInt(m_output.endpoint, BandName(band).c_str(), gain);
}

HeadsetAudio::LevelWrite HeadsetAudio::SetLevel(const char* scalar, int32_t scalarChannel, const char* decibels,
                                                int32_t readChannel, int percent) {
    LevelWrite write;
    if (!Need(true)) {
        write.result = kAudioNoDevice;
        return write;
    }
    const int level = std::clamp(percent, 0, 100);
    write.result = m_sdk.WriteFloat(m_microphone.endpoint, scalar, static_cast<float>(level) / 100.0f,
                                    {scalarChannel});
    if (write.result == 0) {
        write.decibels = m_sdk.ReadDouble(m_microphone.endpoint, decibels, {readChannel});
    }
    return write;
}

HeadsetAudio::LevelWrite HeadsetAudio::SetMicLevel(int percent) {
    return SetLevel("VolumeScalarControl", kMicChannel, "VolumeControl", kMicChannel, percent);
}

HeadsetAudio::LevelWrite HeadsetAudio::SetMonitorLevel(int percent) {
    return SetLevel("AAVolumeScalarControl", kMonitorChannel, "AAVolumeControl", kMonitorReadChannel, percent);
}

int HeadsetAudio::SetMicMute(bool muted) {
    if (!Need(true)) {
        return kAudioNoDevice;
    }
    return m_sdk.WriteInt(m_microphone.endpoint, "MuteControl", muted ? 1 : 0);
}

int HeadsetAudio::SetMonitorMute(bool muted) {
    if (!Need(true)) {
        return kAudioNoDevice;
    }
    return m_sdk.WriteInt(m_microphone.endpoint, "AAMuteControl", muted ? 1 : 0);
}

int HeadsetAudio::SetVoiceChanger(bool on) {
    if (!Need(true)) {
        return kAudioNoDevice;
    }
    const int result = m_sdk.WriteInt(m_microphone.endpoint, "Enable_MAGICVOICE", on ? 1 : 0);
    if (on) {
        m_sdk.WriteInt(m_microphone.endpoint, "Enable_MICECHO", 0);
    }
    return result;
}

int HeadsetAudio::SelectVoice(int voice) {
    if (voice < 1 || voice > 4) {
        return kFailed;
    }
    if (!Need(true)) {
        return kAudioNoDevice;
    }
    return m_sdk.WriteInt(m_microphone.endpoint, "MagicVoice_Selection", voice - 1);
}

std::optional<std::string> HeadsetAudio::Status() {
    const AudioEndpoint& endpoint = HasMicrophone() ? m_microphone.endpoint : m_output.endpoint;
    return m_sdk.Read(endpoint, "KX_Status", {}, AudioSdk::kFeatureBufferSize * 4);
}

}  // namespace kx520

namespace kx520 {

HeadsetAudio::Summary HeadsetAudio::Describe() {
    if (!m_sdk.Loaded()) {
        return {"hs_audio_no_plugin", {}, {}};
    }
    const std::optional<std::string> status = Status();
    const std::optional<Json::Value> report = status ? json::Parse(*status) : std::nullopt;
    if (!report || json::Member(*report, "server").isNull()) {
        return {"hs_audio_no_server", {}, {}};
    }
    if (!HasOutput() && !HasMicrophone()) {
        return {"hs_audio_no_device", {}, {}};
    }
    Summary summary{"hs_audio_applies", {}, {}};
    const Json::Value& notApplied = json::Member(*report, "notApplied");
    if (!notApplied.isObject()) {
        return summary;
    }
    for (const std::string& what : notApplied.getMemberNames()) {
        summary.notApplied.push_back(what);
        // The plug-in names what would make it real as "(package NAME)".
        const std::string why = json::String(notApplied[what]);
        const size_t at = why.find("(package ");
        const size_t end = at == std::string::npos ? at : why.find(')', at);
        if (end != std::string::npos) {
            summary.packages.push_back(why.substr(at + 9, end - at - 9));
        }
    }
    if (!summary.notApplied.empty()) {
        summary.textId = "hs_audio_partly";
    }
    return summary;
}

}  // namespace kx520
