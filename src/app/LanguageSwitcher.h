#pragma once

#include <optional>
#include <string>

#include "platform/LanguageConfig.h"

namespace kx520 {

class SettingsStore;

namespace ui {
class CPaintManagerUI;
}

// Switches the application's language: the text file of the resource
// manager, the fonts the language needs and the id kept in the settings.
// The language list is read once, on first use.
class LanguageSwitcher {
public:
    LanguageSwitcher(SettingsStore& settings, std::string configPath);

    // The list; nothing when "Language.config" is missing or unreadable.
    const std::optional<LanguageConfig>& Config();
    // The index of the stored language (0 without a list or a match).
    int StartupIndex();
    // Loads language `index` and rebuilds the fonts of `manager` when the
    // language needs them; false (and nothing changes) when it is current.
    bool Apply(int index, ui::CPaintManagerUI& manager);
    // The index last applied; -1 before the first.
    int Index() const { return m_index; }

private:
    static bool RebuildsFonts(int index);
    static void RebuildFonts(ui::CPaintManagerUI& manager);

    SettingsStore& m_settings;
    std::string m_configPath;
    bool m_loaded = false;
    std::optional<LanguageConfig> m_config;
    int m_index = -1;
};

}  // namespace kx520
