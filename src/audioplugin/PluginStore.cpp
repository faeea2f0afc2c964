#include "audioplugin/PluginStore.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/RegularFile.h"

namespace kx520::audio {

namespace {

constexpr size_t kLargestFile = 64 * 1024;
constexpr size_t kLongestLine = 4096;
constexpr size_t kMostValues = 256;

}  // namespace

PluginStore::PluginStore(std::string path) : m_path(std::move(path)) {
    Load();
}

void PluginStore::Load() {
    std::string text;
    if (m_path.empty() || !ReadRegularFile(m_path, kLargestFile, text)) {
        return;
    }
    std::istringstream in(text);
    std::string line;
    while (m_values.size() < kMostValues && std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (line.size() > kLongestLine || equals == std::string::npos || equals == 0) {
            continue;  // not ours or damaged: left out
        }
        m_values[line.substr(0, equals)] = line.substr(equals + 1);
    }
}

std::optional<std::string> PluginStore::Get(const std::string& name) const {
    const auto value = m_values.find(name);
    if (value == m_values.end()) {
        return std::nullopt;
    }
    return value->second;
}

int PluginStore::GetInt(const std::string& name, int fallback) const {
    const auto text = Get(name);
    if (!text) {
        return fallback;
    }
    char* end = nullptr;
    const long value = std::strtol(text->c_str(), &end, 10);
    return end == text->c_str() ? fallback : static_cast<int>(value);
}

double PluginStore::GetDouble(const std::string& name, double fallback) const {
    const auto text = Get(name);
    if (!text) {
        return fallback;
    }
    char* end = nullptr;
    const double value = std::strtod(text->c_str(), &end);
    return end == text->c_str() ? fallback : value;
}

void PluginStore::Set(const std::string& name, const std::string& value) {
    if (name.empty() || name.find_first_of("=\n") != std::string::npos || value.find('\n') != std::string::npos) {
        return;
    }
    m_values[name] = value;
}

void PluginStore::Erase(const std::string& name) {
    m_values.erase(name);
}

bool PluginStore::Save() const {
    if (m_path.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
    std::string text;
    for (const auto& [name, value] : m_values) {
        text += name + '=' + value + '\n';
    }
    return ReplaceFile(m_path, text);
}

}  // namespace kx520::audio
