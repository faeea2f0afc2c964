#include "app/LanguageSwitcher.h"

#include <QFont>

#include "platform/DebugTrace.h"
#include "desktop/SettingsStore.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

constexpr const char* kFontFace = "Verdana Unicode MS";

// The font table applied with every language that needs it; id -1 is the
// default font.
struct FontRow {
    int id;
    int size;
    bool underline;
    bool bold;
};
constexpr FontRow kFontTable[] = {
    {0, 15, false, false}, {-1, 14, false, false}, {1, 14, true, false}, {2, 18, false, false},
    {3, 30, false, false}, {4, 16, false, false},  {5, 20, false, false}, {6, 22, false, false},
    {7, 14, false, false}, {8, 12, false, false},  {9, 11, false, false}, {10, 10, false, false},
    {11, 28, false, false}, {50, 18, false, true},
};

}  // namespace

LanguageSwitcher::LanguageSwitcher(SettingsStore& settings, std::string configPath)
    : m_settings(settings), m_configPath(std::move(configPath)) {}

const std::optional<LanguageConfig>& LanguageSwitcher::Config() {
    if (!m_loaded) {
        m_loaded = true;
        m_config = LanguageConfig::Load(m_configPath);
    }
    return m_config;
}

int LanguageSwitcher::StartupIndex() {
    const auto& config = Config();
    return config ? config->IndexOf(m_settings.LanguageId()) : 0;
}

bool LanguageSwitcher::RebuildsFonts(int index) {
    return index == -1 || index == 0 || index == 2 || index == 15;
}

void LanguageSwitcher::RebuildFonts(ui::CPaintManagerUI& manager) {
    // The face the skin was drawn with stands in for the original's.
    const QString face = QFont(QLatin1String(kFontFace)).exactMatch()
                             ? QLatin1String(kFontFace)
                             : QStringLiteral("DejaVu Sans");
    manager.RemoveAllFonts();
    for (const FontRow& row : kFontTable) {
        if (row.id < 0) {
            manager.SetDefaultFont(face, row.size);
        } else {
            manager.AddFont(row.id, face, row.size, row.bold, false, row.underline);
        }
    }
}

bool LanguageSwitcher::Apply(int index, ui::CPaintManagerUI& manager) {
    if (index == m_index) {
        return false;
    }
    if (RebuildsFonts(index) || RebuildsFonts(m_index)) {
        RebuildFonts(manager);
    }
    m_index = index;
    auto& resources = ui::CResourceManager::Instance();
    if (const auto& config = Config()) {
        const LanguageEntry entry = config->At(index);
        QString error;
        if (!resources.LoadLanguage(QString::fromStdString(entry.file), &error)) {
            DebugTrace(("language not loaded: " + error).toStdString());
        }
        // An unreadable list stores nothing, rather than a made-up id.
        m_settings.SaveLanguageId(entry.id);
    }
    resources.ReloadText();
    return true;
}

}  // namespace kx520
