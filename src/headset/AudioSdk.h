#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kx520 {

// An audio endpoint as the plug-in hands it out and takes it back by value.
struct AudioEndpoint {
    int32_t id = 0;
    int32_t type = 0;
    int32_t third = 0;
    int32_t state = 0;

    bool Present() const { return type >= 1; }
};

// What the plug-in's calls answer. A read of a property nobody set yet is
// told apart from one that failed: only the first may be given a default.
enum AudioResult : int {
    kAudioOk = 0,
    kAudioFailed = 1,
    kAudioNeverSet = 2,
    // Kept, but nothing on this system makes it real.
    kAudioNotApplied = 3,
    kAudioTimedOut = 4,
    kAudioNoDevice = 5,
    kAudioUnknownProperty = 6,
};

// The eleven entry points of the headset's audio plug-in, with C linkage.
// A result of 0 means success.
struct AudioSdkEntries {
    using Plain = int (*)();
    using Count = int (*)(int flow, int* count);
    using ById = int (*)(int flow, int index, AudioEndpoint* endpoint);
    using Property = int (*)(AudioEndpoint endpoint, const char* name, void** data, void** extra, int set);
    using Callback = int (*)(void* function, void* context);

    Plain ConfLibInit = nullptr;
    Plain CreateDeviceList = nullptr;
    Count GetDeviceCount = nullptr;
    ById GetDeviceById = nullptr;
    Property PropertyControl = nullptr;
    Callback RegisterCallbackFunction = nullptr;
    Plain ConfLibUnInit = nullptr;
    Plain ShowAsioPanel = nullptr;
    Plain PlayTestSound = nullptr;
    Plain StopTestSound = nullptr;
    Plain CloseTestSound = nullptr;

    bool Complete() const;
};

// The bridge to the headset's audio plug-in: loads it, resolves its entry
// points and offers its calls with buffers of the size it expects. Nothing
// is called unless all eleven entry points resolved.
class AudioSdk {
public:
    static constexpr size_t kBufferSize = 1024;
    static constexpr size_t kFeatureBufferSize = 2048;
    static constexpr const char* kFileName = "osConfLib.so";

    AudioSdk() = default;
    ~AudioSdk();
    AudioSdk(const AudioSdk&) = delete;
    AudioSdk& operator=(const AudioSdk&) = delete;

    // Where the plug-in is looked for: "SDK/<arch>/" beside the executable,
    // then the installed `<libDir>/kx520/SDK/`. Folders end with '/'.
    static std::vector<std::string> Candidates(const std::string& executableFolder, const std::string& libDir);
    static const char* Architecture();

    // The first candidate that loads with all its entry points; false with
    // every reason in `why` (a library missing one is closed again).
    bool Load(const std::vector<std::string>& candidates, std::string& why);
    // Entry points given directly (a plug-in linked in, or a test's).
    bool Use(const AudioSdkEntries& entries);
    bool Loaded() const { return m_loaded; }
    const std::string& LoadedPath() const { return m_path; }

    int ConfLibInit();
    // Takes down what the plug-in set up on the sound server.
    int ConfLibUnInit();
    int CreateDeviceList();
    // Non-zero, `count` 0, on failure.
    int GetDeviceCount(int flow, int& count);
    int GetDeviceById(int flow, int index, AudioEndpoint& endpoint);

    // The property's text reply, or nothing when the call failed. The reply
    // is read from a zeroed buffer whose last byte stays 0, so a plug-in that
    // fills it to the end still gives a terminated string.
    std::optional<std::string> Read(const AudioEndpoint& endpoint, const char* name,
                                    const std::vector<int32_t>& extra = {}, size_t size = kBufferSize);
    // The read's result code alone.
    int ReadResult(const AudioEndpoint& endpoint, const char* name, const std::vector<int32_t>& extra = {});
    std::optional<int> ReadInt(const AudioEndpoint& endpoint, const char* name, const std::vector<int32_t>& extra = {});
    std::optional<double> ReadDouble(const AudioEndpoint& endpoint, const char* name,
                                     const std::vector<int32_t>& extra = {});
    int WriteInt(const AudioEndpoint& endpoint, const char* name, int32_t value, const std::vector<int32_t>& extra = {});
    int WriteFloat(const AudioEndpoint& endpoint, const char* name, float value,
                   const std::vector<int32_t>& extra = {});

private:
    static constexpr int kNotLoaded = -1;
    int Call(const AudioEndpoint& endpoint, const char* name, std::vector<char>& data,
             const std::vector<int32_t>& extra, int set);
    void Close();

    void* m_handle = nullptr;
    AudioSdkEntries m_entries;
    bool m_loaded = false;
    std::string m_path;
};

}  // namespace kx520
