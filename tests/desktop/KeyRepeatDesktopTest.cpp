#include "desktop/KeyRepeatDesktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <optional>

#include "support/TempDir.h"

namespace kx520 {
namespace {

// A desktop of the test's own: $XDG_CURRENT_DESKTOP, and a gsettings on
// the path that logs what it was asked and answers `exitCode`.
class FakeDesktop {
public:
    FakeDesktop(const char* desktop, int exitCode)
        : m_path(qgetenv("PATH")), m_desktop(qgetenv("XDG_CURRENT_DESKTOP")) {
        const QString folder = QString::fromStdString(m_temp.Path());
        QFile script(folder + "/gsettings");
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1/log'\n%2exit %3\n")
                         .arg(folder, exitCode != 0 ? QStringLiteral("echo 'No such schema' >&2\n") : QString())
                         .arg(exitCode)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", (folder + ":" + QString::fromUtf8(m_path)).toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", desktop);
    }
    ~FakeDesktop() {
        qputenv("PATH", m_path);
        qputenv("XDG_CURRENT_DESKTOP", m_desktop);
    }
    QStringList Log() const {
        QFile log(QString::fromStdString(m_temp.Path()) + "/log");
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                             : QStringList();
    }

private:
    test::TempDir m_temp;
    QByteArray m_path;
    QByteArray m_desktop;
};

std::optional<KeyRepeatDesktop::Outcome> Apply(KeyRepeatDesktop& desktop, int delayMs, int step) {
    std::optional<KeyRepeatDesktop::Outcome> outcome;
    desktop.Apply(delayMs, step, [&outcome](const KeyRepeatDesktop::Outcome& told) { outcome = told; });
    QElapsedTimer waited;
    waited.start();
    while (!outcome && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return outcome;
}

TEST(KeyRepeatDesktop, GnomeIsToldTheDelayAndIntervalAndAFailureSaysWhy) {
    struct Case {
        const char* desktop;
        int exitCode;
        const char* textId;
        int calls;
    };
    for (const Case& c : {Case{"GNOME", 0, "kb_repeat_applied", 3}, Case{"GNOME", 1, "kb_repeat_failed", 1},
                          Case{"XFCE", 0, "kb_repeat_stored", 0}}) {
        FakeDesktop fake(c.desktop, c.exitCode);
        KeyRepeatDesktop desktop;
        const auto outcome = Apply(desktop, 500, 31);
        ASSERT_TRUE(outcome) << c.desktop;
        EXPECT_EQ(outcome->textId, QLatin1String(c.textId)) << c.desktop;
        const QStringList log = fake.Log();
        EXPECT_EQ(log.size(), c.calls) << c.desktop;
        if (c.calls == 3) {
            EXPECT_EQ(log[1], QStringLiteral("set org.gnome.desktop.peripherals.keyboard delay 500"));
            EXPECT_EQ(log[2], QStringLiteral("set org.gnome.desktop.peripherals.keyboard repeat-interval 33"));
            EXPECT_EQ(outcome->desktop, QStringLiteral("GNOME"));
        }
        if (c.exitCode != 0) {
            EXPECT_TRUE(outcome->why.contains(QStringLiteral("No such schema"))) << outcome->why.toStdString();
        }
        EXPECT_FALSE(desktop.Running());
    }
}

}  // namespace
}  // namespace kx520
