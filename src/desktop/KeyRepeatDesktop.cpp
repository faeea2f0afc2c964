#include "desktop/KeyRepeatDesktop.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace kx520 {

KeyRepeatDesktop::KeyRepeatDesktop(QObject* parent) : QObject(parent) {}

KeyRepeatDesktop::~KeyRepeatDesktop() {
    if (m_process != nullptr) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(100);
    }
}

void KeyRepeatDesktop::Apply(int delayMs, int rateStep, Done done) {
    if (m_process != nullptr) {
        m_process->disconnect(this);  // replaced: its answer is not waited for
        m_process->kill();
        m_process->deleteLater();
        m_process = nullptr;
    }
    m_done = std::move(done);
    m_plan = KeyRepeatPlan::For(qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString(), delayMs, rateStep,
                                [](const std::string& program) {
                                    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
                                });
    m_next = 0;
    if (m_plan.commands.empty()) {
        Finish({QStringLiteral("kb_repeat_stored"), {}, {}});
        return;
    }
    RunNext();
}

void KeyRepeatDesktop::RunNext() {
    const QString desktop = QString::fromStdString(m_plan.desktop);
    if (m_next >= m_plan.commands.size()) {
        Finish({m_plan.fromNextSignIn ? QStringLiteral("kb_repeat_next_login") : QStringLiteral("kb_repeat_applied"),
                desktop, {}});
        return;
    }
    const std::vector<std::string>& command = m_plan.commands[m_next++];
    QStringList arguments;
    for (size_t i = 1; i < command.size(); ++i) {
        arguments << QString::fromStdString(command[i]);
    }
    auto* process = new QProcess(this);
    m_process = process;
    process->setProcessChannelMode(QProcess::MergedChannels);
    auto* timeout = new QTimer(process);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, process, [process] { process->kill(); });
    connect(process, &QProcess::finished, this, [this, process, desktop](int code, QProcess::ExitStatus status) {
        const QString said = QString::fromLocal8Bit(process->readAll()).trimmed();
        process->deleteLater();
        m_process = nullptr;
        if (status != QProcess::NormalExit || code != 0) {
            Finish({QStringLiteral("kb_repeat_failed"), desktop,
                    said.isEmpty() ? QStringLiteral("exit %1").arg(code) : said.left(200)});
            return;
        }
        RunNext();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, desktop](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) {
            return;  // a crash or time-out ends in finished()
        }
        process->deleteLater();
        m_process = nullptr;
        Finish({QStringLiteral("kb_repeat_failed"), desktop, process->errorString()});
    });
    timeout->start(kCommandTimeoutMs);
    process->start(QString::fromStdString(command[0]), arguments);
}

void KeyRepeatDesktop::Finish(Outcome outcome) {
    if (Done done = std::exchange(m_done, {})) {
        done(outcome);
    }
}

}  // namespace kx520
