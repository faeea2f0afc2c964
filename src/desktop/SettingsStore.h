#pragma once

#include <QString>
#include <optional>

namespace kx520 {

// The user's settings: an INI file in $XDG_CONFIG_HOME/<product>/, created
// on the first save (a fresh install has nothing to create it).
class SettingsStore {
public:
    // `folder` empty: the user's configuration folder.
    explicit SettingsStore(QString folder = {});

    QString FilePath() const { return m_path; }
    // The chosen language's id; nothing when none was stored.
    std::optional<int> LanguageId() const;
    // False when the file cannot be written.
    bool SaveLanguageId(int id);
    // The update service's base address ("UpdateService"); "" when none is
    // set, and then the update check sends nothing.
    QString UpdateService() const;

private:
    QString m_path;
};

}  // namespace kx520
