// The plug-in's eleven entry points, with C linkage, as the headset's bridge
// resolves them. C entry points carry no object, so the plug-in is one
// instance for the process, made at the first call.
#include <memory>
#include <mutex>

#include "audioplugin/AudioPlugin.h"

namespace {

using kx520::AudioEndpoint;
using kx520::audio::AudioPlugin;

AudioPlugin& Plugin() {
    static std::once_flag made;
    static std::unique_ptr<AudioPlugin> plugin;
    std::call_once(made, [] { plugin = std::make_unique<AudioPlugin>(AudioPlugin::FromEnvironment()); });
    return *plugin;
}

}  // namespace

#define KX520_EXPORT extern "C" __attribute__((visibility("default")))

KX520_EXPORT int ConfLibInit() {
    return Plugin().Init();
}

KX520_EXPORT int CreateDeviceList() {
    return Plugin().CreateDeviceList();
}

KX520_EXPORT int GetDeviceCount(int flow, int* count) {
    if (count == nullptr) {
        return kx520::kAudioFailed;
    }
    return Plugin().DeviceCount(flow, *count);
}

KX520_EXPORT int GetDeviceById(int flow, int index, AudioEndpoint* endpoint) {
    if (endpoint == nullptr) {
        return kx520::kAudioFailed;
    }
    return Plugin().DeviceById(flow, index, *endpoint);
}

KX520_EXPORT int PropertyControl(AudioEndpoint endpoint, const char* name, void** data, void** extra, int set) {
    if (name == nullptr || data == nullptr || *data == nullptr) {
        return kx520::kAudioFailed;
    }
    const auto* channel = extra != nullptr && *extra != nullptr ? static_cast<const int32_t*>(*extra) : nullptr;
    return Plugin().Property(endpoint, name, static_cast<char*>(*data), channel, set != 0);
}

KX520_EXPORT int RegisterCallbackFunction(void*, void*) {
    return 0;  // the bridge asks; nothing is pushed
}

KX520_EXPORT int ConfLibUnInit() {
    return Plugin().UnInit();
}

// The chip maker's panels and test tones have no counterpart here.
KX520_EXPORT int ShowAsioPanel() {
    return kx520::kAudioNotApplied;
}

KX520_EXPORT int PlayTestSound() {
    return kx520::kAudioNotApplied;
}

KX520_EXPORT int StopTestSound() {
    return kx520::kAudioNotApplied;
}

KX520_EXPORT int CloseTestSound() {
    return kx520::kAudioNotApplied;
}
