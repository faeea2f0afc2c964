#include "soundserver/PulseLink.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>

namespace kx520::sound {

namespace {

using Clock = std::chrono::steady_clock;

std::map<std::string, std::string> PropertiesOf(const pa_proplist* list) {
    std::map<std::string, std::string> properties;
    void* state = nullptr;
    while (const char* key = pa_proplist_iterate(list, &state)) {
        if (const char* value = pa_proplist_gets(list, key)) {
            properties[key] = value;
        }
    }
    return properties;
}

std::vector<uint32_t> VolumesOf(const pa_cvolume& volume) {
    return std::vector<uint32_t>(volume.values, volume.values + std::min<unsigned>(volume.channels, PA_CHANNELS_MAX));
}

pa_cvolume CVolumeOf(const std::vector<uint32_t>& volumes) {
    pa_cvolume volume;
    pa_cvolume_init(&volume);
    volume.channels = static_cast<uint8_t>(std::min<size_t>(volumes.size(), PA_CHANNELS_MAX));
    for (size_t i = 0; i < volume.channels; ++i) {
        volume.values[i] = volumes[i];
    }
    return volume;
}

template <typename Item>
struct Listing {
    std::vector<Item> items;
    bool done = false;
};

template <typename Info>
PulseLink::Device DeviceOf(const Info& info) {
    PulseLink::Device device;
    device.index = info.index;
    device.name = info.name != nullptr ? info.name : "";
    device.description = info.description != nullptr ? info.description : "";
    device.module = info.owner_module;
    device.channels = info.channel_map.channels;
    device.volumes = VolumesOf(info.volume);
    device.muted = info.mute != 0;
    device.properties = PropertiesOf(info.proplist);
    return device;
}

void OnSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto& listing = *static_cast<Listing<PulseLink::Device>*>(data);
    if (eol != 0) {
        listing.done = true;
        return;
    }
    listing.items.push_back(DeviceOf(*info));
}

void OnSource(pa_context*, const pa_source_info* info, int eol, void* data) {
    auto& listing = *static_cast<Listing<PulseLink::Device>*>(data);
    if (eol != 0) {
        listing.done = true;
        return;
    }
    PulseLink::Device device = DeviceOf(*info);
    device.monitorOf = info->monitor_of_sink;
    listing.items.push_back(std::move(device));
}

void OnModule(pa_context*, const pa_module_info* info, int eol, void* data) {
    auto& listing = *static_cast<Listing<PulseLink::Module>*>(data);
    if (eol != 0) {
        listing.done = true;
        return;
    }
    listing.items.push_back({info->index, info->name != nullptr ? info->name : "",
                             info->argument != nullptr ? info->argument : ""});
}

void OnSinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* data) {
    auto& listing = *static_cast<Listing<PulseLink::Stream>*>(data);
    if (eol != 0) {
        listing.done = true;
        return;
    }
    listing.items.push_back({info->index, info->sink, info->owner_module, VolumesOf(info->volume),
                             PropertiesOf(info->proplist)});
}

void OnSourceOutput(pa_context*, const pa_source_output_info* info, int eol, void* data) {
    auto& listing = *static_cast<Listing<PulseLink::Stream>*>(data);
    if (eol != 0) {
        listing.done = true;
        return;
    }
    listing.items.push_back({info->index, info->source, info->owner_module, VolumesOf(info->volume),
                             PropertiesOf(info->proplist)});
}

struct Flag {
    bool done = false;
    bool success = false;
};

void OnSuccess(pa_context*, int success, void* data) {
    auto& flag = *static_cast<Flag*>(data);
    flag.done = true;
    flag.success = success != 0;
}

struct Loaded {
    bool done = false;
    uint32_t index = PA_INVALID_INDEX;
};

void OnIndex(pa_context*, uint32_t index, void* data) {
    auto& loaded = *static_cast<Loaded*>(data);
    loaded.done = true;
    loaded.index = index;
}

struct ServerAnswer {
    bool done = false;
    PulseLink::Defaults defaults;
};

void OnServer(pa_context*, const pa_server_info* info, void* data) {
    auto& answer = *static_cast<ServerAnswer*>(data);
    answer.done = true;
    if (info != nullptr) {
        answer.defaults.sink = info->default_sink_name != nullptr ? info->default_sink_name : "";
        answer.defaults.source = info->default_source_name != nullptr ? info->default_source_name : "";
    }
}

}  // namespace

PulseLink::~PulseLink() {
    Disconnect();
}

void PulseLink::Disconnect() {
    if (m_context != nullptr) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_loop != nullptr) {
        pa_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

bool PulseLink::Connected() const {
    return m_context != nullptr && pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

bool PulseLink::Connect(const std::string& clientName) {
    // What happened since the last call (a server gone) is taken in first.
    if (m_loop != nullptr) {
        pa_mainloop_iterate(m_loop, 0, nullptr);
    }
    if (Connected()) {
        return true;
    }
    Disconnect();
    m_loop = pa_mainloop_new();
    if (m_loop == nullptr) {
        return false;
    }
    m_context = pa_context_new(pa_mainloop_get_api(m_loop), clientName.c_str());
    // Never start a server of our own: the user's session owns that.
    if (m_context == nullptr || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Disconnect();
        return false;
    }
    const bool ready = RunUntil([this] {
        const pa_context_state_t state = pa_context_get_state(m_context);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    });
    if (!ready || !Connected()) {
        Disconnect();
        return false;
    }
    ++m_connections;
    return true;
}

bool PulseLink::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds wait) {
    if (m_loop == nullptr || m_context == nullptr) {
        return false;
    }
    const Clock::time_point deadline = Clock::now() + wait;
    while (!done()) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        if (pa_mainloop_prepare(m_loop, static_cast<int>(left.count())) < 0 || pa_mainloop_poll(m_loop) < 0 ||
            pa_mainloop_dispatch(m_loop) < 0) {
            return false;
        }
    }
    return true;
}

bool PulseLink::Finish(pa_operation* operation) {
    if (operation == nullptr) {
        return false;
    }
    const bool finished = RunUntil([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
    if (!finished) {
        pa_operation_cancel(operation);
    }
    pa_operation_unref(operation);
    return finished;
}

bool PulseLink::FinishSuccess(pa_operation* operation, bool& success) {
    return Finish(operation) && success;
}

std::optional<std::vector<PulseLink::Device>> PulseLink::Sinks() {
    if (!Connected()) {
        return std::nullopt;
    }
    Listing<Device> listing;
    if (!Finish(pa_context_get_sink_info_list(m_context, OnSink, &listing)) || !listing.done) {
        return std::nullopt;
    }
    return listing.items;
}

std::optional<std::vector<PulseLink::Device>> PulseLink::Sources() {
    if (!Connected()) {
        return std::nullopt;
    }
    Listing<Device> listing;
    if (!Finish(pa_context_get_source_info_list(m_context, OnSource, &listing)) || !listing.done) {
        return std::nullopt;
    }
    return listing.items;
}

std::optional<std::vector<PulseLink::Module>> PulseLink::Modules() {
    if (!Connected()) {
        return std::nullopt;
    }
    Listing<Module> listing;
    if (!Finish(pa_context_get_module_info_list(m_context, OnModule, &listing)) || !listing.done) {
        return std::nullopt;
    }
    return listing.items;
}

std::optional<std::vector<PulseLink::Stream>> PulseLink::SinkInputs() {
    if (!Connected()) {
        return std::nullopt;
    }
    Listing<Stream> listing;
    if (!Finish(pa_context_get_sink_input_info_list(m_context, OnSinkInput, &listing)) || !listing.done) {
        return std::nullopt;
    }
    return listing.items;
}

std::optional<std::vector<PulseLink::Stream>> PulseLink::SourceOutputs() {
    if (!Connected()) {
        return std::nullopt;
    }
    Listing<Stream> listing;
    if (!Finish(pa_context_get_source_output_info_list(m_context, OnSourceOutput, &listing)) || !listing.done) {
        return std::nullopt;
    }
    return listing.items;
}

std::optional<PulseLink::Defaults> PulseLink::ServerDefaults() {
    if (!Connected()) {
        return std::nullopt;
    }
    ServerAnswer answer;
    if (!Finish(pa_context_get_server_info(m_context, OnServer, &answer)) || !answer.done) {
        return std::nullopt;
    }
    return answer.defaults;
}

std::optional<uint32_t> PulseLink::LoadModule(const std::string& name, const std::string& argument) {
    if (!Connected()) {
        return std::nullopt;
    }
    Loaded loaded;
    if (!Finish(pa_context_load_module(m_context, name.c_str(), argument.c_str(), OnIndex, &loaded)) ||
        loaded.index == PA_INVALID_INDEX) {
        return std::nullopt;
    }
    return loaded.index;
}

bool PulseLink::UnloadModule(uint32_t index) {
    Flag flag;
    return Connected() && FinishSuccess(pa_context_unload_module(m_context, index, OnSuccess, &flag), flag.success);
}

bool PulseLink::SetSourceVolume(uint32_t index, const std::vector<uint32_t>& volumes) {
    const pa_cvolume volume = CVolumeOf(volumes);
    Flag flag;
    return Connected() &&
           FinishSuccess(pa_context_set_source_volume_by_index(m_context, index, &volume, OnSuccess, &flag),
                         flag.success);
}

bool PulseLink::SetSourceMute(uint32_t index, bool muted) {
    Flag flag;
    return Connected() &&
           FinishSuccess(pa_context_set_source_mute_by_index(m_context, index, muted ? 1 : 0, OnSuccess, &flag),
                         flag.success);
}

bool PulseLink::SetSinkInputVolume(uint32_t index, const std::vector<uint32_t>& volumes) {
    const pa_cvolume volume = CVolumeOf(volumes);
    Flag flag;
    return Connected() &&
           FinishSuccess(pa_context_set_sink_input_volume(m_context, index, &volume, OnSuccess, &flag), flag.success);
}

bool PulseLink::MoveSinkInput(uint32_t stream, uint32_t sink) {
    Flag flag;
    return Connected() &&
           FinishSuccess(pa_context_move_sink_input_by_index(m_context, stream, sink, OnSuccess, &flag), flag.success);
}

bool PulseLink::MoveSourceOutput(uint32_t stream, uint32_t source) {
    Flag flag;
    return Connected() && FinishSuccess(pa_context_move_source_output_by_index(m_context, stream, source, OnSuccess,
                                                                                &flag),
                                        flag.success);
}

bool PulseLink::SetDefaultSink(const std::string& name) {
    Flag flag;
    return Connected() &&
           FinishSuccess(pa_context_set_default_sink(m_context, name.c_str(), OnSuccess, &flag), flag.success);
}

bool PulseLink::SetDefaultSource(const std::string& name) {
    Flag flag;
    return Connected() &&
           FinishSuccess(pa_context_set_default_source(m_context, name.c_str(), OnSuccess, &flag), flag.success);
}

uint32_t PulseLink::VolumeOfLevel(double level) {
    const double clamped = std::isfinite(level) ? std::clamp(level, 0.0, 1.0) : 0.0;
    return static_cast<uint32_t>(std::lround(clamped * PA_VOLUME_NORM));
}

double PulseLink::LevelOfVolume(uint32_t volume) {
    return static_cast<double>(volume) / PA_VOLUME_NORM;
}

std::optional<double> PulseLink::DecibelsOfVolume(uint32_t volume) {
    if (volume == PA_VOLUME_MUTED) {
        return std::nullopt;
    }
    const double decibels = pa_sw_volume_to_dB(volume);
    if (!std::isfinite(decibels)) {
        return std::nullopt;
    }
    return decibels;
}

uint32_t PulseLink::VolumeOfDecibels(double decibels) {
    if (!std::isfinite(decibels)) {
        return PA_VOLUME_MUTED;
    }
    return std::min<uint32_t>(pa_sw_volume_from_dB(decibels), PA_VOLUME_NORM);
}

uint32_t PulseLink::Average(const std::vector<uint32_t>& volumes) {
    if (volumes.empty()) {
        return 0;
    }
    uint64_t sum = 0;
    for (uint32_t volume : volumes) {
        sum += volume;
    }
    return static_cast<uint32_t>(sum / volumes.size());
}

}  // namespace kx520::sound
