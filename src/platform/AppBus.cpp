#include "platform/AppBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

#include "platform/DebugTrace.h"

namespace kx520 {

AppBus::AppBus(Handlers handlers, QObject* parent)
    : QObject(parent), m_handlers(std::move(handlers)) {}

AppBus::~AppBus() {
    if (m_registered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QLatin1String(kPath));
        bus.unregisterService(QLatin1String(kService));
    }
}

AppBus::Claim AppBus::Register() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        DebugTrace("no session bus: single instance and messages between programs are off");
        return Claim::NoBus;
    }
    if (!bus.registerService(QLatin1String(kService))) {
        return Claim::AlreadyRunning;
    }
    bus.registerObject(QLatin1String(kPath), this,
                       QDBusConnection::ExportScriptableSlots |
                           QDBusConnection::ExportScriptableSignals);
    m_registered = true;
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(OnSystemSleep(bool)));
    return Claim::Owned;
}

bool AppBus::ActivateRunning() {
    QDBusInterface running(QLatin1String(kService), QLatin1String(kPath),
                           QLatin1String(kInterface), QDBusConnection::sessionBus());
    if (!running.isValid()) {
        return false;
    }
    const QDBusMessage reply = running.call(QStringLiteral("Activate"));
    return reply.type() == QDBusMessage::ReplyMessage;
}

void AppBus::EmitLightState(quint32 wParam, qint64 lParam) {
    emit LightState(wParam, lParam);
}

void AppBus::Activate() {
    if (m_handlers.activate) {
        m_handlers.activate();
    }
}

bool AppBus::PostMessage(const QString& name, uint wParam, qlonglong lParam) {
    return m_handlers.post && m_handlers.post(name, wParam, lParam);
}

bool AppBus::CopyData(uint kind, const QByteArray& data) {
    return m_handlers.copyData && m_handlers.copyData(kind, data);
}

QString AppBus::Status() {
    return m_handlers.status ? m_handlers.status() : QString();
}

void AppBus::PrepareForSleep(bool sleeping) {
    if (m_handlers.prepareForSleep) {
        m_handlers.prepareForSleep(sleeping);
    }
}

QString AppBus::Simulate(const QStringList& args) {
    if (!m_handlers.simulate) {
        return QStringLiteral("the application runs without virtual devices (start it with --simulate)");
    }
    return m_handlers.simulate(args);
}

void AppBus::Quit() {
    if (m_handlers.quit) {
        m_handlers.quit();
    }
}

void AppBus::OnSystemSleep(bool sleeping) {
    PrepareForSleep(sleeping);
}

}  // namespace kx520
