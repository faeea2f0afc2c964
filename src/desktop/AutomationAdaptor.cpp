#include "desktop/AutomationAdaptor.h"

#include <QPointer>

#include "desktop/AppBus.h"

namespace kx520 {

AutomationAdaptor::AutomationAdaptor(AppBus& bus, Handlers handlers)
    : QDBusAbstractAdaptor(&bus), m_bus(bus), m_handlers(std::move(handlers)) {}

QString AutomationAdaptor::Windows() {
    return m_handlers.windows ? m_handlers.windows() : QStringLiteral("[]");
}

QString AutomationAdaptor::Answer(bool found, const QString& out, const QDBusMessage& message) {
    if (found) {
        return out;
    }
    message.setDelayedReply(true);
    m_bus.Send(message.createErrorReply(QLatin1String(kNotFound), out));
    return {};
}

QString AutomationAdaptor::Controls(const QString& window, const QDBusMessage& message) {
    QString out = QStringLiteral("automation is not ready");
    const bool found = m_handlers.controls && m_handlers.controls(window, out);
    return Answer(found, out, message);
}

QString AutomationAdaptor::Get(const QString& control, const QDBusMessage& message) {
    QString out = QStringLiteral("automation is not ready");
    const bool found = m_handlers.get && m_handlers.get(control, out);
    return Answer(found, out, message);
}

QString AutomationAdaptor::Act(const QString& control, const QString& action,
                               const QString& argument, const QDBusMessage& message) {
    if (!m_handlers.act) {
        return QStringLiteral("automation is not ready");
    }
    // The answer may come after this call returns: once the action ran, or
    // once a modal window it opened is shown.
    message.setDelayedReply(true);
    QPointer<AppBus> bus(&m_bus);
    m_handlers.act(control, action, argument, [bus, message](const QString& error) {
        if (bus) {
            bus->Send(message.createReply(error));
        }
    });
    return {};
}

void AutomationAdaptor::AnswerFileDialog(const QString& path) {
    if (m_handlers.answerFileDialog) {
        m_handlers.answerFileDialog(path);
    }
}

QString AutomationAdaptor::Routes() {
    return m_handlers.routes ? m_handlers.routes() : QStringLiteral("[]");
}

QString AutomationAdaptor::Screenshot(const QString& png) {
    QString error = QStringLiteral("automation is not ready");
    if (m_handlers.screenshot && m_handlers.screenshot(png, error)) {
        return {};
    }
    return error;
}

QString AutomationAdaptor::Input(const QString& kind, uint code, bool press, const QString& at) {
    if (!m_handlers.input) {
        return QStringLiteral("automation is not ready");
    }
    return m_handlers.input(kind, code, press, at);
}

}  // namespace kx520
