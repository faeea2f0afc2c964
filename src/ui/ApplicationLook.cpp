#include "ui/ApplicationLook.h"

#include <QApplication>
#include <QPalette>
#include <QToolTip>
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
    // The dark tool-tip through the palette: an application style sheet would
    // send every widget of every page through style-sheet matching, which was
    // most of the cost of building a page.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipText, QColor(0xE8, 0xEA, 0xF0));
    tips.setColor(QPalette::ToolTipBase, QColor(0x23, 0x26, 0x2E));
    tips.setColor(QPalette::WindowText, QColor(0xE8, 0xEA, 0xF0));
    tips.setColor(QPalette::Window, QColor(0x23, 0x26, 0x2E));
    QToolTip::setPalette(tips);
}

}  // namespace kx520::ui
