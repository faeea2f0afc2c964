#include "headset/AudioSdk.h"

#include <dlfcn.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kx520 {

namespace {

template <typename Function>
bool Resolve(void* handle, const char* name, Function& function, std::string& missing) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (function == nullptr) {
        missing += missing.empty() ? name : std::string(", ") + name;
    }
    return function != nullptr;
}

// The text up to its first 0, with the surrounding blanks gone.
std::string Trimmed(const char* text) {
    std::string value(text);
    const size_t first = value.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = value.find_last_not_of(" \t\r\n");
    return value.substr(first, last - first + 1);
}

}  // namespace

bool AudioSdkEntries::Complete() const {
    return ConfLibInit && CreateDeviceList && GetDeviceCount && GetDeviceById && PropertyControl &&
           RegisterCallbackFunction && ConfLibUnInit && ShowAsioPanel && PlayTestSound && StopTestSound &&
           CloseTestSound;
}

AudioSdk::~AudioSdk() {
    Close();
}

const char* AudioSdk::Architecture() {
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__aarch64__)
    return "aarch64";
#elif defined(__i386__)
    return "x86";
#elif defined(__arm__)
    return "arm";
#else
    return "other";
#endif
}

std::vector<std::string> AudioSdk::Candidates(const std::string& executableFolder, const std::string& libDir) {
    std::vector<std::string> paths;
    if (!executableFolder.empty()) {
        paths.push_back(executableFolder + "SDK/" + Architecture() + "/" + kFileName);
    }
    if (!libDir.empty()) {
        paths.push_back(libDir + "kx520/SDK/" + kFileName);
    }
    return paths;
}

bool AudioSdk::Load(const std::vector<std::string>& candidates, std::string& why) {
    Close();
    why.clear();
    for (const std::string& path : candidates) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* error = dlerror();
            why += path + ": " + (error != nullptr ? error : "not loaded") + "\n";
            continue;
        }
        AudioSdkEntries entries;
        std::string missing;
        Resolve(handle, "ConfLibInit", entries.ConfLibInit, missing);
        Resolve(handle, "CreateDeviceList", entries.CreateDeviceList, missing);
        Resolve(handle, "GetDeviceCount", entries.GetDeviceCount, missing);
        Resolve(handle, "GetDeviceById", entries.GetDeviceById, missing);
        Resolve(handle, "PropertyControl", entries.PropertyControl, missing);
        Resolve(handle, "RegisterCallbackFunction", entries.RegisterCallbackFunction, missing);
        Resolve(handle, "ConfLibUnInit", entries.ConfLibUnInit, missing);
        Resolve(handle, "ShowAsioPanel", entries.ShowAsioPanel, missing);
        Resolve(handle, "PlayTestSound", entries.PlayTestSound, missing);
        Resolve(handle, "StopTestSound", entries.StopTestSound, missing);
        Resolve(handle, "CloseTestSound", entries.CloseTestSound, missing);
        if (!missing.empty()) {
            why += path + ": lacks " + missing + "\n";
            dlclose(handle);
            continue;
        }
        m_handle = handle;
        m_entries = entries;
        m_loaded = true;
        m_path = path;
        why.clear();
        return true;
    }
    return false;
}

bool AudioSdk::Use(const AudioSdkEntries& entries) {
    Close();
    if (!entries.Complete()) {
        return false;
    }
    m_entries = entries;
    m_loaded = true;
    m_path = "(linked in)";
    return true;
}

void AudioSdk::Close() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
    }
    m_handle = nullptr;
    m_entries = {};
    m_loaded = false;
    m_path.clear();
}

int AudioSdk::ConfLibInit() {
    return m_loaded ? m_entries.ConfLibInit() : kNotLoaded;
}

int AudioSdk::ConfLibUnInit() {
    return m_loaded ? m_entries.ConfLibUnInit() : kNotLoaded;
}

int AudioSdk::CreateDeviceList() {
    return m_loaded ? m_entries.CreateDeviceList() : kNotLoaded;
}

int AudioSdk::GetDeviceCount(int flow, int& count) {
    count = 0;
    if (!m_loaded) {
        return kNotLoaded;
    }
    int read = 0;
    const int result = m_entries.GetDeviceCount(flow, &read);
    if (result == 0) {
        count = read < 0 ? 0 : read;
    }
    return result;
}

int AudioSdk::GetDeviceById(int flow, int index, AudioEndpoint& endpoint) {
    endpoint = {};
    if (!m_loaded) {
        return kNotLoaded;
    }
    AudioEndpoint read;
    const int result = m_entries.GetDeviceById(flow, index, &read);
    if (result == 0) {
        endpoint = read;
    }
    return result;
}

int AudioSdk::Call(const AudioEndpoint& endpoint, const char* name, std::vector<char>& data,
                   const std::vector<int32_t>& extra, int set) {
    if (!m_loaded) {
        return kNotLoaded;
    }
    std::vector<char> extraBuffer(kBufferSize, 0);
    const size_t words = std::min(extra.size(), kBufferSize / sizeof(int32_t));
    if (words > 0) {
        std::memcpy(extraBuffer.data(), extra.data(), words * sizeof(int32_t));
    }
    void* dataPointer = data.data();
    void* extraPointer = extraBuffer.data();
    return m_entries.PropertyControl(endpoint, name, &dataPointer, extra.empty() ? nullptr : &extraPointer, set);
}

std::optional<std::string> AudioSdk::Read(const AudioEndpoint& endpoint, const char* name,
                                          const std::vector<int32_t>& extra, size_t size) {
    // One byte more than the plug-in is told of stays 0: the reply ends.
    std::vector<char> data(std::max(size, kBufferSize) + 1, 0);
    if (Call(endpoint, name, data, extra, 0) != 0) {
        return std::nullopt;
    }
    data.back() = 0;
    return Trimmed(data.data());
}

int AudioSdk::ReadResult(const AudioEndpoint& endpoint, const char* name, const std::vector<int32_t>& extra) {
    std::vector<char> data(kBufferSize + 1, 0);
    return Call(endpoint, name, data, extra, 0);
}

std::optional<int> AudioSdk::ReadInt(const AudioEndpoint& endpoint, const char* name,
                                     const std::vector<int32_t>& extra) {
    const std::optional<std::string> text = Read(endpoint, name, extra);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text->c_str(), &end, 10);
    if (end == text->c_str() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<double> AudioSdk::ReadDouble(const AudioEndpoint& endpoint, const char* name,
                                           const std::vector<int32_t>& extra) {
    const std::optional<std::string> text = Read(endpoint, name, extra);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text->c_str(), &end);
    if (end == text->c_str() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int AudioSdk::WriteInt(const AudioEndpoint& endpoint, const char* name, int32_t value,
                       const std::vector<int32_t>& extra) {
    std::vector<char> data(kBufferSize, 0);
    std::memcpy(data.data(), &value, sizeof value);
    return Call(endpoint, name, data, extra, 1);
}

int AudioSdk::WriteFloat(const AudioEndpoint& endpoint, const char* name, float value,
                         const std::vector<int32_t>& extra) {
    std::vector<char> data(kBufferSize, 0);
    std::memcpy(data.data(), &value, sizeof value);
    return Call(endpoint, name, data, extra, 1);
}

}  // namespace kx520
