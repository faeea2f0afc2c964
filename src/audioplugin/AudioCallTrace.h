#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

namespace kx520::audio {

// Every call of the plug-in, one line each, to the file KX520_AUDIO_TRACE
// names: "<ms> <endpoint> <R|W> <name> <value> <result>", ms counted from
// the plug-in's start. Nothing without the variable.
class AudioCallTrace {
public:
    explicit AudioCallTrace(const std::string& path);
    ~AudioCallTrace();
    AudioCallTrace(const AudioCallTrace&) = delete;
    AudioCallTrace& operator=(const AudioCallTrace&) = delete;

    void Log(const std::string& endpoint, bool write, const std::string& name, const std::string& value, int result);
    bool Open() const { return m_file != nullptr; }

private:
    std::FILE* m_file = nullptr;
    std::mutex m_lock;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace kx520::audio
