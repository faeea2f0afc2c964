#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct pa_mainloop;
struct pa_context;
struct pa_operation;

namespace kx520::sound {

// One connection to the sound server (PulseAudio, or PipeWire's pulse
// server) driven on the caller's thread: each call runs the server's loop
// until its answer came or its wait ran out, so no call blocks longer than
// that. Not thread-safe: one caller at a time.
class PulseLink {
public:
    static constexpr std::chrono::milliseconds kWait{200};
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    struct Device {
        uint32_t index = kNone;
        std::string name;
        std::string description;
        uint32_t module = kNone;
        uint8_t channels = 0;
        // Each channel's volume, PA_VOLUME_NORM (65536) being 100 %.
        std::vector<uint32_t> volumes;
        bool muted = false;
        // For a source: the sink it monitors, else kNone.
        uint32_t monitorOf = kNone;
        std::map<std::string, std::string> properties;
    };
    struct Module {
        uint32_t index = kNone;
        std::string name;
        std::string argument;
    };
    struct Stream {
        uint32_t index = kNone;
        // The sink (for playback) or source (for recording) it runs on.
        uint32_t device = kNone;
        uint32_t module = kNone;
        std::vector<uint32_t> volumes;
        std::map<std::string, std::string> properties;
    };
    struct Defaults {
        std::string sink;
        std::string source;
    };

    PulseLink() = default;
    ~PulseLink();
    PulseLink(const PulseLink&) = delete;
    PulseLink& operator=(const PulseLink&) = delete;

    // Connects (again, after a lost server) unless connected; false when no
    // server answered within the wait.
    bool Connect(const std::string& clientName);
    bool Connected() const;
    void Disconnect();
    // Counts the connections made: a new one after a lost server.
    uint64_t Connections() const { return m_connections; }

    std::optional<std::vector<Device>> Sinks();
    std::optional<std::vector<Device>> Sources();
    std::optional<std::vector<Module>> Modules();
    std::optional<std::vector<Stream>> SinkInputs();
    std::optional<std::vector<Stream>> SourceOutputs();
    std::optional<Defaults> ServerDefaults();

    std::optional<uint32_t> LoadModule(const std::string& name, const std::string& argument);
    bool UnloadModule(uint32_t index);
    bool SetSourceVolume(uint32_t index, const std::vector<uint32_t>& volumes);
    bool SetSourceMute(uint32_t index, bool muted);
    bool SetSinkInputVolume(uint32_t index, const std::vector<uint32_t>& volumes);
    bool MoveSinkInput(uint32_t stream, uint32_t sink);
    bool MoveSourceOutput(uint32_t stream, uint32_t source);
    bool SetDefaultSink(const std::string& name);
    bool SetDefaultSource(const std::string& name);

    // Volume helpers: a level 0.0-1.0 as a volume and back, and a volume's
    // decibels (nothing for silence, which has none).
    static uint32_t VolumeOfLevel(double level);
    static double LevelOfVolume(uint32_t volume);
    static std::optional<double> DecibelsOfVolume(uint32_t volume);
    static uint32_t VolumeOfDecibels(double decibels);
    static uint32_t Average(const std::vector<uint32_t>& volumes);

    // Runs the loop until `done` or the wait ran out; false on the latter or
    // a lost connection.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds wait = kWait);

private:
    // Waits for `operation` (taking it over); false when it did not finish.
    bool Finish(pa_operation* operation);
    bool FinishSuccess(pa_operation* operation, bool& success);

    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    uint64_t m_connections = 0;
};

}  // namespace kx520::sound
