#pragma once

#include <QString>
#include <QtGlobal>

namespace kx520 {

class CMainWnd;

// The maker's firmware updater, a separate program in the "Update" folder
// beside the application, started when another program asks for it.
class FirmwareUpdater {
public:
    static constexpr const char* kProgram = "kx520-firmware-updater";
    static constexpr const char* kParameters = "On the upgrade";
    // A value above this only says an updater is at work (the flag).
    static constexpr qintptr kAskUpTo = 260;

    enum class Outcome { kFlagged, kStarted, kMissing, kNotStarted, kDeclined };

    explicit FirmwareUpdater(CMainWnd& main) : m_main(main), m_folder(DefaultFolder()) {}

    // The folder ("<application folder>/Update/") and the program in it.
    static QString DefaultFolder();
    QString Folder() const { return m_folder; }
    QString ProgramPath() const { return m_folder + QLatin1String(kProgram); }
    // Another folder (ends with "/"), for a test's updater.
    void SetFolder(const QString& folder) { m_folder = folder; }

    // Above 260: sets the flag. Otherwise clears it, shows the no-device
    // panel and asks the user; a yes starts the updater, a no ends the
    // program through its normal shutdown. A missing updater is reported
    // and nothing is asked.
    Outcome Start(qintptr value);
    bool Flag() const { return m_flag; }

private:
    CMainWnd& m_main;
    QString m_folder;
    bool m_flag = false;
};

}  // namespace kx520
