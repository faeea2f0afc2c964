#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QString>
#include <functional>

namespace kx520 {

class AppBus;

// The interface org.kx520.Automation on the application's object: other
// programs (scripts, accessibility tools, the end-to-end tests) list the
// windows and controls and act on them as a user does. Present only when
// the application runs with --automation. See docs/dbus.md.
class AutomationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kx520.Automation")

public:
    static constexpr const char* kInterface = "org.kx520.Automation";
    static constexpr const char* kNotFound = "org.kx520.Automation.Error.NotFound";

    using ReplyTo = std::function<void(const QString& error)>;
    struct Handlers {
        std::function<QString()> windows;
        // False with the reason in `out` for a window or control not there.
        std::function<bool(const QString& window, QString& out)> controls;
        std::function<bool(const QString& control, QString& out)> get;
        // `reply` gets "" on success or the reason, possibly later.
        std::function<void(const QString& control, const QString& action,
                           const QString& argument, ReplyTo reply)>
            act;
        std::function<void(const QString& path)> answerFileDialog;
        std::function<bool(const QString& png, QString& error)> screenshot;
        // The main window's notification routing rows, as JSON.
        std::function<QString()> routes;
        // A key ("key", evdev code) or mouse button ("button", evdev button
        // code) pressed or released, as if recording heard it; `at` names a
        // control the pointer is on ("" where it is). "" or why not.
        std::function<QString(const QString& kind, uint code, bool press, const QString& at)> input;
    };

    AutomationAdaptor(AppBus& bus, Handlers handlers);

public slots:
    QString Windows();
    QString Controls(const QString& window, const QDBusMessage& message);
    QString Get(const QString& control, const QDBusMessage& message);
    QString Act(const QString& control, const QString& action, const QString& argument,
                const QDBusMessage& message);
    void AnswerFileDialog(const QString& path);
    QString Screenshot(const QString& png);
    QString Routes();
    QString Input(const QString& kind, uint code, bool press, const QString& at);

private:
    // `out` as the answer, or a NotFound error carrying it.
    QString Answer(bool found, const QString& out, const QDBusMessage& message);

    AppBus& m_bus;
    Handlers m_handlers;
};

}  // namespace kx520
