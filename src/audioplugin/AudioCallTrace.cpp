#include "audioplugin/AudioCallTrace.h"

#include <algorithm>

namespace kx520::audio {

namespace {

// One word in the line: blanks and line ends would break it up.
std::string Word(std::string text) {
    if (text.empty()) {
        return "-";
    }
    std::replace_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n' || c == '\t'; }, '_');
    return text.size() > 200 ? text.substr(0, 200) : text;
}

}  // namespace

AudioCallTrace::AudioCallTrace(const std::string& path) {
    if (!path.empty()) {
        m_file = std::fopen(path.c_str(), "a");
    }
}

AudioCallTrace::~AudioCallTrace() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

void AudioCallTrace::Log(const std::string& endpoint, bool write, const std::string& name, const std::string& value,
                         int result) {
    if (m_file == nullptr) {
        return;
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start).count();
    std::lock_guard lock(m_lock);
    std::fprintf(m_file, "%lld %s %c %s %s %d\n", static_cast<long long>(ms), Word(endpoint).c_str(), write ? 'W' : 'R',
                 Word(name).c_str(), Word(value).c_str(), result);
    std::fflush(m_file);
}

}  // namespace kx520::audio
