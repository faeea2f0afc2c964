#pragma once

#include <map>
#include <optional>
#include <string>

namespace kx520::audio {

// The values the plug-in was given, kept in a small file so that the next
// start (and a restarted server) finds them again: one "name=value" a line.
// A name it never held reads as never set.
class PluginStore {
public:
    explicit PluginStore(std::string path);

    std::optional<std::string> Get(const std::string& name) const;
    int GetInt(const std::string& name, int fallback) const;
    double GetDouble(const std::string& name, double fallback) const;
    void Set(const std::string& name, const std::string& value);
    void Erase(const std::string& name);
    // Written through a temporary file and a rename: a crash leaves the old
    // file or the new one. False when it could not be written.
    bool Save() const;
    const std::string& Path() const { return m_path; }

private:
    void Load();

    std::string m_path;
    std::map<std::string, std::string> m_values;
};

}  // namespace kx520::audio
