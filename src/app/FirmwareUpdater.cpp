#include "app/FirmwareUpdater.h"

#include <QFileInfo>
#include <QProcess>

#include "app/CMainWnd.h"
#include "platform/DataFolders.h"
#include "platform/DebugTrace.h"

namespace kx520 {

QString FirmwareUpdater::DefaultFolder() {
    return QString::fromStdString(ExecutableFolder()) + QStringLiteral("/Update/");
}

FirmwareUpdater::Outcome FirmwareUpdater::Start(qintptr value) {
    if (value > kAskUpTo) {
        m_flag = true;
        return Outcome::kFlagged;
    }
    m_flag = false;
    m_main.ShowNoDeviceHint(true);
    const QFileInfo program(ProgramPath());
    if (!program.isFile() || !program.isExecutable()) {
        DebugTrace("firmware updater missing: " + ProgramPath().toStdString());
        m_main.AskTitled(QStringLiteral("tips_text"), QStringLiteral("message_updater_missing"), 0);
        return Outcome::kMissing;
    }
    if (m_main.AskTitled(QStringLiteral("tips_text"), QStringLiteral("message_text_26"), 1) != 1) {
        // The user would rather not update: the program ends as on "exit".
        m_main.Exit();
        return Outcome::kDeclined;
    }
    if (!QProcess::startDetached(program.filePath(), {QLatin1String(kParameters)}, Folder())) {
        DebugTrace("firmware updater did not start: " + ProgramPath().toStdString());
        return Outcome::kNotStarted;
    }
    DebugTrace("firmware updater started");
    return Outcome::kStarted;
}

}  // namespace kx520
