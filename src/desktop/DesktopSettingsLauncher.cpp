#include "desktop/DesktopSettingsLauncher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "platform/DebugTrace.h"

namespace kx520 {

DesktopSettingsLauncher::Result DesktopSettingsLauncher::Open(DesktopSettingsCommand::Device device) {
    const QString current = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const DesktopSettingsCommand plan =
        DesktopSettingsCommand::For(current.toStdString(), device, [](const std::string& program) {
            return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
        });
    if (plan.command.empty()) {
        QString desktop = !plan.desktop.empty() ? QString::fromStdString(plan.desktop) : current;
        if (desktop.isEmpty()) {
            desktop = QStringLiteral("—");
        }
        return {QStringLiteral("message_desktop_settings_none"), desktop};
    }
    QStringList arguments;
    for (size_t i = 1; i < plan.command.size(); ++i) {
        arguments << QString::fromStdString(plan.command[i]);
    }
    const QString program = QString::fromStdString(plan.command.front());
    if (!QProcess::startDetached(program, arguments)) {
        return {QStringLiteral("message_desktop_settings_failed"), program};
    }
    DebugTrace("desktop settings: " + plan.command.front() + (arguments.isEmpty() ? "" : " " + plan.command[1]));
    return {};
}

}  // namespace kx520
