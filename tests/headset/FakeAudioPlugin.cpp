#include "headset/FakeAudioPlugin.h"

#include <cstdio>
#include <cstring>

namespace kx520::test {

FakeAudioPlugin* FakeAudioPlugin::current = nullptr;

namespace {

int Nothing() {
    return 0;
}

int Init() {
    return FakeAudioPlugin::current->initResult;
}

int Count(int flow, int* count) {
    const FakeAudioPlugin& plugin = *FakeAudioPlugin::current;
    *count = static_cast<int>(flow == 0 ? plugin.outputs.size() : plugin.microphones.size());
    return 0;
}

int ById(int flow, int index, AudioEndpoint* endpoint) {
    const FakeAudioPlugin& plugin = *FakeAudioPlugin::current;
    const auto& list = flow == 0 ? plugin.outputs : plugin.microphones;
    if (index < 0 || static_cast<size_t>(index) >= list.size()) {
        return 1;
    }
    *endpoint = list[static_cast<size_t>(index)];
    return 0;
}

int Property(AudioEndpoint, const char* name, void** data, void**, int set) {
    FakeAudioPlugin& plugin = *FakeAudioPlugin::current;
    if (const auto answer = plugin.answers.find(name); answer != plugin.answers.end()) {
        if (set != 0) {
            plugin.writes.push_back({name, "refused"});
        }
        return answer->second;
    }
    auto* bytes = static_cast<char*>(*data);
    if (set != 0) {
        char text[32];
        if (plugin.floats.count(name) != 0) {
            float value = 0;
            std::memcpy(&value, bytes, sizeof value);
            std::snprintf(text, sizeof text, "%.2f", value);
        } else {
            int value = 0;
            std::memcpy(&value, bytes, sizeof value);
            std::snprintf(text, sizeof text, "%d", value);
        }
        plugin.values[name] = text;
        plugin.writes.push_back({name, text});
        return 0;
    }
    const auto value = plugin.values.find(name);
    if (value == plugin.values.end()) {
        return kAudioNeverSet;
    }
    std::memcpy(bytes, value->second.data(), std::min<size_t>(value->second.size(), AudioSdk::kBufferSize));
    return 0;
}

int Callback(void*, void*) {
    return 0;
}

}  // namespace

AudioSdkEntries FakeAudioPlugin::Entries() {
    current = this;
    AudioSdkEntries entries;
    entries.ConfLibInit = Init;
    entries.CreateDeviceList = Nothing;
    entries.GetDeviceCount = Count;
    entries.GetDeviceById = ById;
    entries.PropertyControl = Property;
    entries.RegisterCallbackFunction = Callback;
    entries.ConfLibUnInit = Nothing;
    entries.ShowAsioPanel = Nothing;
    entries.PlayTestSound = Nothing;
    entries.StopTestSound = Nothing;
    entries.CloseTestSound = Nothing;
    return entries;
}

std::vector<std::string> FakeAudioPlugin::WrittenNames() const {
    std::vector<std::string> names;
    for (const Write& write : writes) {
        names.push_back(write.name);
    }
    return names;
}

}  // namespace kx520::test
