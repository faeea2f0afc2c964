#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kx520 {

namespace hid {
class HidBackend;
}

// The application-wide set-up that every window relies on.
class Startup {
public:
    // The application's font files, in load order, relative to the
    // executable's folder.
    static const std::vector<QString>& FontFiles();
    // Of `files` in `folder`, the real files to register: each once, none
    // missing, none inside `systemFolders` (fontconfig knows those already).
    static std::vector<QString> FontsToRegister(const QString& folder, const std::vector<QString>& files,
                                                const QStringList& systemFolders);
    // Registers each font that can be read; returns the ids registered.
    static std::vector<int> LoadPrivateFonts();
    static void RemovePrivateFonts(const std::vector<int>& ids);
    // The skin folder beside the executable (or the installed one).
    static void ConfigureSkinResources();
    // The application's control classes, before any skin is parsed. Device
    // objects are made over `backend`.
    static void RegisterControlClasses(hid::HidBackend& backend);
};

}  // namespace kx520
