#include "audioplugin/ServerChains.h"

#include "audioplugin/CapsEqualiserCurve.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

namespace kx520::audio {

namespace {

using sound::PulseLink;
using Modules = std::map<std::string, PulseLink::Module>;

constexpr const char* kVoiceOut = "kx520_voice_out";
constexpr const char* kVoiceFx = "kx520_voice_fx";
constexpr const char* kEqPlugin = "caps";
constexpr const char* kVoicePlugin = "ladspa-rubberband";

std::string Marked(const std::string& role, const std::string& description) {
    return "device.description='" + description + "' " + ServerChains::kMarker + "=" + role;
}

// The role in a module argument of ours, "" for another's.
std::string RoleOf(const std::string& argument) {
    const std::string key = std::string(ServerChains::kMarker) + "=";
    const size_t at = argument.find(key);
    if (at == std::string::npos) {
        return {};
    }
    const size_t start = at + key.size();
    const size_t end = argument.find_first_of(" '\"", start);
    return argument.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool IsOurs(const std::map<std::string, std::string>& properties) {
    return properties.count(ServerChains::kMarker) != 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A USB id as a property may give it: "0c76", "0C76", "0x0c76".
bool SameId(const std::map<std::string, std::string>& properties, const char* key, const std::string& wanted) {
    const auto value = properties.find(key);
    if (value == properties.end()) {
        return false;
    }
    std::string id = Lower(value->second);
    if (id.rfind("0x", 0) == 0) {
        id = id.substr(2);
    }
    return id == Lower(wanted);
}

}  // namespace

ServerChains::Headset ServerChains::FindHeadset(const std::string& vendorId, const std::string& productId) {
    Headset headset;
    const auto matches = [&](const PulseLink::Device& device) {
        return !IsOurs(device.properties) && SameId(device.properties, "device.vendor.id", vendorId) &&
               SameId(device.properties, "device.product.id", productId);
    };
    if (const auto sinks = m_link.Sinks()) {
        for (const PulseLink::Device& sink : *sinks) {
            if (matches(sink)) {
                headset.sink = sink;
                break;
            }
        }
    }
    if (const auto sources = m_link.Sources()) {
        for (const PulseLink::Device& source : *sources) {
            if (source.monitorOf == PulseLink::kNone && matches(source)) {
                headset.source = source;
                break;
            }
        }
    }
    return headset;
}

bool ServerChains::LadspaAvailable(const std::string& file) {
    std::vector<std::string> folders;
    if (const char* path = std::getenv("LADSPA_PATH")) {
        std::stringstream list(path);
        std::string folder;
        while (std::getline(list, folder, ':')) {
            folders.push_back(folder);
        }
    }
    for (const char* folder : {"/usr/lib/ladspa", "/usr/local/lib/ladspa", "/usr/lib/x86_64-linux-gnu/ladspa",
                               "/usr/lib/aarch64-linux-gnu/ladspa", "/usr/lib64/ladspa"}) {
        folders.emplace_back(folder);
    }
    std::error_code error;
    return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
        return !folder.empty() && std::filesystem::is_regular_file(folder + "/" + file, error);
    });
}

std::string ServerChains::EqArgument(const std::string& master, const std::array<int, kBands>& bands) {
    std::string controls;
    for (double control : CapsEqualiserCurve::Controls(bands)) {
        char text[16];
        std::snprintf(text, sizeof text, "%.2f", control);
        controls += (controls.empty() ? "" : ",") + std::string(text);
    }
    return std::string("sink_name=") + kEqSink + " sink_master=" + master + " channels=2 plugin=" + kEqPlugin +
           " label=Eq10X2 control=" + controls + " sink_properties=\"" + Marked("eq", "KX520 headset equaliser") +
           "\"";
}

int ServerChains::VoiceSemitones(int voice) {
    // Deep, high, monster, child.
    constexpr int kShifts[] = {-4, 4, -9, 8};
    return kShifts[std::clamp(voice, 0, 3)];
}

Modules ServerChains::Ours() {
    Modules ours;
    if (const auto modules = m_link.Modules()) {
        for (const PulseLink::Module& module : *modules) {
            const std::string role = RoleOf(module.argument);
            if (!role.empty()) {
                ours[role] = module;
            }
        }
    }
    return ours;
}

uint32_t ServerChains::Keep(Modules& ours, const std::string& role, const char* module, const std::string& argument,
                            std::string& why) {
    const auto found = ours.find(role);
    if (found != ours.end()) {
        if (found->second.argument == argument && !argument.empty()) {
            return found->second.index;
        }
        m_link.UnloadModule(found->second.index);
        ours.erase(found);
    }
    if (argument.empty()) {
        return PulseLink::kNone;
    }
    const std::optional<uint32_t> index = m_link.LoadModule(module, argument);
    if (!index) {
        why = std::string("the sound server did not load ") + module;
        return PulseLink::kNone;
    }
    ours[role] = {*index, module, argument};
    return *index;
}

void ServerChains::Reconcile(const Headset& headset, const Wanted& wanted, Remembered& remembered,
                             std::map<std::string, std::string>& why) {
    Modules ours = Ours();
    ReconcileEq(headset, wanted, remembered, ours, why["eq"]);
    ReconcileMonitor(headset, wanted, ours, why["monitor"]);
    ReconcileVoice(headset, wanted, remembered, ours, why["voice"]);
}

void ServerChains::UnloadAll(Remembered& remembered) {
    std::map<std::string, std::string> why;
    Reconcile({}, {}, remembered, why);
    for (const auto& [role, module] : Ours()) {
        m_link.UnloadModule(module.index);  // ours from before, of roles no longer used
    }
}

void ServerChains::ReconcileEq(const Headset& headset, const Wanted& wanted, Remembered& remembered, Modules& ours,
                               std::string& why) {
    std::string argument;
    // A flat curve needs no filter: the sound stays exactly as it was.
    const bool filtered = wanted.bands && !CapsEqualiserCurve::Flat(*wanted.bands);
    if (filtered && !headset.sink) {
        why = "the headset's sound device is not there";
    } else if (filtered && !LadspaAvailable("caps.so")) {
        why = "the equaliser needs the caps LADSPA plug-ins (package caps)";
    } else if (filtered) {
        argument = EqArgument(headset.sink->name, *wanted.bands);
    }
    const bool was = ours.count("eq") != 0;
    const std::optional<uint32_t> before = was ? SinkIndex(kEqSink) : std::nullopt;
    if (was && !argument.empty() && ours["eq"].argument != argument && before && headset.sink) {
        MovePlayback(*before, headset.sink->index);  // back while the curve is rebuilt
    }
    const uint32_t index = Keep(ours, "eq", "module-ladspa-sink", argument, why);
    const std::optional<PulseLink::Defaults> defaults = m_link.ServerDefaults();
    if (index == PulseLink::kNone) {
        if (defaults && defaults->sink == kEqSink && !remembered.sinkDefault.empty()) {
            m_link.SetDefaultSink(remembered.sinkDefault);
        }
        remembered.sinkDefault.clear();
        return;
    }
    const std::optional<uint32_t> eq = SinkIndex(kEqSink);
    if (!eq || !headset.sink) {
        return;
    }
    MovePlayback(headset.sink->index, *eq);
    // New streams too, when they would go to the headset anyway.
    if (defaults && defaults->sink == headset.sink->name) {
        remembered.sinkDefault = headset.sink->name;
        m_link.SetDefaultSink(kEqSink);
    }
}

void ServerChains::ReconcileMonitor(const Headset& headset, const Wanted& wanted, Modules& ours, std::string& why) {
    std::string argument;
    if (wanted.monitorLevel && headset.sink && headset.source) {
        argument = "source=" + headset.source->name + " sink=" + headset.sink->name +
                   " latency_msec=40 source_dont_move=true sink_dont_move=true sink_input_properties=\"media.name="
                   "'KX520 microphone monitor' " + kMarker + "=monitor\"";
    } else if (wanted.monitorLevel) {
        why = "the headset's sound device is not there";
    }
    if (Keep(ours, "monitor", "module-loopback", argument, why) == PulseLink::kNone) {
        return;
    }
    if (const auto stream = MonitorStream()) {
        const uint32_t volume = PulseLink::VolumeOfLevel(*wanted.monitorLevel);
        if (PulseLink::Average(stream->volumes) != volume) {
            m_link.SetSinkInputVolume(stream->index, std::vector<uint32_t>(std::max<size_t>(1, stream->volumes.size()),
                                                                           volume));
        }
    }
}

void ServerChains::ReconcileVoice(const Headset& headset, const Wanted& wanted, Remembered& remembered, Modules& ours,
                                  std::string& why) {
    std::string out;
    std::string fx;
    std::string loop;
    std::string source;
    if (wanted.voice && headset.source) {
        if (!LadspaAvailable("ladspa-rubberband.so")) {
            why = "the voice changer needs the Rubber Band LADSPA plug-in (package rubberband-ladspa)";
        } else {
            out = std::string("sink_name=") + kVoiceOut + " channels=1 sink_properties=\"" +
                  Marked("voice-out", "KX520 voice changer output") + "\"";
            fx = std::string("sink_name=") + kVoiceFx + " sink_master=" + kVoiceOut + " channels=1 plugin=" +
                 kVoicePlugin + " label=rubberband-pitchshifter-mono control=0," +
                 std::to_string(VoiceSemitones(*wanted.voice)) + ",0,3,0,0 sink_properties=\"" +
                 Marked("voice-fx", "KX520 voice changer filter") + "\"";
            loop = "source=" + headset.source->name + " sink=" + kVoiceFx +
                   " latency_msec=30 source_dont_move=true sink_dont_move=true sink_input_properties=\"" + kMarker +
                   "=voice-loop\"";
            source = std::string("source_name=") + kVoiceSource + " master=" + kVoiceOut + ".monitor channels=1" +
                     " source_properties=\"" + Marked("voice-src", "KX520 voice changer") + "\"";
        }
    } else if (wanted.voice) {
        why = "the headset's microphone is not there";
    }
    const std::optional<PulseLink::Defaults> defaults = m_link.ServerDefaults();
    if (source.empty()) {
        // Going: recordings and the default go back to the microphone first.
        if (const auto voice = SourceIndex(kVoiceSource); voice && headset.source) {
            MoveRecording(*voice, headset.source->index);
        }
        if (defaults && defaults->source == kVoiceSource && !remembered.sourceDefault.empty()) {
            m_link.SetDefaultSource(remembered.sourceDefault);
        }
        remembered.sourceDefault.clear();
    }
    // Each stage after what it runs on, taken down in the opposite order.
    if (source.empty()) {
        Keep(ours, "voice-src", "module-remap-source", {}, why);
        Keep(ours, "voice-loop", "module-loopback", {}, why);
        Keep(ours, "voice-fx", "module-ladspa-sink", {}, why);
        Keep(ours, "voice-out", "module-null-sink", {}, why);
        return;
    }
    if (Keep(ours, "voice-out", "module-null-sink", out, why) == PulseLink::kNone ||
        Keep(ours, "voice-fx", "module-ladspa-sink", fx, why) == PulseLink::kNone ||
        Keep(ours, "voice-loop", "module-loopback", loop, why) == PulseLink::kNone ||
        Keep(ours, "voice-src", "module-remap-source", source, why) == PulseLink::kNone) {
        return;
    }
    // The voice becomes the default only where the microphone was.
    if (defaults && defaults->source == headset.source->name) {
        remembered.sourceDefault = headset.source->name;
        m_link.SetDefaultSource(kVoiceSource);
        if (const auto voice = SourceIndex(kVoiceSource)) {
            MoveRecording(headset.source->index, *voice);
        }
    }
}

void ServerChains::CatchStrays(const Headset& headset) {
    const std::optional<uint32_t> eq = SinkIndex(kEqSink);
    if (eq && headset.sink) {
        MovePlayback(headset.sink->index, *eq);
    }
}

std::optional<PulseLink::Stream> ServerChains::MonitorStream() {
    const auto streams = m_link.SinkInputs();
    if (!streams) {
        return std::nullopt;
    }
    for (const PulseLink::Stream& stream : *streams) {
        const auto role = stream.properties.find(kMarker);
        if (role != stream.properties.end() && role->second == "monitor") {
            return stream;
        }
    }
    return std::nullopt;
}

std::set<uint32_t> ServerChains::OurModuleIndices() {
    std::set<uint32_t> indices;
    for (const auto& [role, module] : Ours()) {
        indices.insert(module.index);
    }
    return indices;
}

void ServerChains::MovePlayback(uint32_t from, uint32_t to) {
    const std::set<uint32_t> modules = OurModuleIndices();
    if (const auto streams = m_link.SinkInputs()) {
        for (const PulseLink::Stream& stream : *streams) {
            if (stream.device == from && modules.count(stream.module) == 0 && !IsOurs(stream.properties)) {
                m_link.MoveSinkInput(stream.index, to);
            }
        }
    }
}

void ServerChains::MoveRecording(uint32_t from, uint32_t to) {
    const std::set<uint32_t> modules = OurModuleIndices();
    if (const auto streams = m_link.SourceOutputs()) {
        for (const PulseLink::Stream& stream : *streams) {
            if (stream.device == from && modules.count(stream.module) == 0 && !IsOurs(stream.properties)) {
                m_link.MoveSourceOutput(stream.index, to);
            }
        }
    }
}

std::optional<uint32_t> ServerChains::SinkIndex(const std::string& name) {
    if (const auto sinks = m_link.Sinks()) {
        for (const PulseLink::Device& sink : *sinks) {
            if (sink.name == name) {
                return sink.index;
            }
        }
    }
    return std::nullopt;
}

std::optional<uint32_t> ServerChains::SourceIndex(const std::string& name) {
    if (const auto sources = m_link.Sources()) {
        for (const PulseLink::Device& source : *sources) {
            if (source.name == name) {
                return source.index;
            }
        }
    }
    return std::nullopt;
}

}  // namespace kx520::audio
