#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kx520 {

// One language the application offers ("Language.config").
struct LanguageEntry {
    int id = 0;            // what the settings store keeps
    std::string name;      // the resource manager's language name
    std::string file;      // the language text file, skin-relative
    std::string caption;   // shown in the settings window
};

// The language list; its position is the language index used everywhere.
class LanguageConfig {
public:
    // The list from `path`; nothing when the file is missing or not JSON.
    static std::optional<LanguageConfig> Load(const std::string& path);

    const std::vector<LanguageEntry>& Entries() const { return m_entries; }
    // The index of the stored id: 0 without a stored id or without a match.
    int IndexOf(std::optional<int> storedId) const;
    // The entry at `index`; an empty entry (id 0) outside the list.
    LanguageEntry At(int index) const;

private:
    std::vector<LanguageEntry> m_entries;
};

}  // namespace kx520
