#include "ui/ApplicationLook.h"

#include <QApplication>
#include <QString>

namespace kx520::ui {

namespace {

// The handler that was there before ours, to pass on everything we keep:
// process-wide, set once in ApplyApplicationLook.
QtMessageHandler g_previousHandler = nullptr;

void FilterPlatformWarnings(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    // "This plugin does not support raise()", "... propagateSizeHints()":
    // the offscreen and minimal platforms say so for every window.
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    }
}

}  // namespace

void ApplyApplicationLook() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        g_previousHandler = qInstallMessageHandler(FilterPlatformWarnings);
    }
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        application->setStyleSheet(QStringLiteral(
            "QToolTip { color: #E8EAF0; background-color: #23262E; border: 1px solid #3A3F4B;"
            " border-radius: 4px; padding: 4px 6px; }"));
    }
}

}  // namespace kx520::ui
