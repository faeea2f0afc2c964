#include "platform/LanguageConfig.h"

#include "platform/SafeJson.h"

namespace kx520 {

std::optional<LanguageConfig> LanguageConfig::Load(const std::string& path) {
    const auto root = json::ReadFile(path);
    if (!root) {
        return std::nullopt;
    }
    LanguageConfig config;
    const Json::Value& list = json::Member(*root, "Language");
    for (size_t i = 0; list.isArray() && i < list.size(); ++i) {
        const Json::Value& item = json::Element(list, i);
        config.m_entries.push_back({json::Int(json::Member(item, "Language_ID")),
                                    json::String(json::Member(item, "Language_name")),
                                    json::String(json::Member(item, "Language_file")),
                                    json::String(json::Member(item, "Language_text"))});
    }
    return config;
}

int LanguageConfig::IndexOf(std::optional<int> storedId) const {
    // A missing value is looked up as 520, which names no shipped language.
    const int wanted = storedId.value_or(520);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].id == wanted) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

LanguageEntry LanguageConfig::At(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size()) {
        return {};
    }
    return m_entries[static_cast<size_t>(index)];
}

}  // namespace kx520
