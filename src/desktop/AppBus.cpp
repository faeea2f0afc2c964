#include "desktop/AppBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QPointer>

#include "platform/DebugTrace.h"

#include <dbus/dbus.h>

namespace kx520 {

AppBus::AppBus(Handlers handlers, QObject* parent)
    : QObject(parent), m_handlers(std::move(handlers)) {}

AppBus::~AppBus() {
    if (m_registered) {
        QDBusConnection bus = Bus();
        bus.unregisterObject(QLatin1String(kPath));
        bus.unregisterService(QLatin1String(kService));
    }
    if (!m_connectionName.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
}

QDBusConnection AppBus::Bus() const {
    return QDBusConnection(m_connectionName);
}

bool AppBus::Connected() const {
    return !m_connectionName.isEmpty() && Bus().isConnected();
}

AppBus::Claim AppBus::Connect() {
    if (!m_connectionName.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_connectionName);
    }
    m_registered = false;
    m_connectionName = QStringLiteral("kx520-application-%1").arg(++m_connections);
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_connectionName);
    if (!bus.isConnected()) {
        return Claim::NoBus;
    }
    // libdbus would take messages up to 128 MiB and, past 63 MiB, stop
    // reading the socket for good; nothing here needs more than a few KB.
    if (auto* raw = static_cast<DBusConnection*>(bus.internalPointer())) {
        dbus_connection_set_max_message_size(raw, kMaxMessageBytes);
    }
    if (!bus.registerService(QLatin1String(kService))) {
        return Claim::AlreadyRunning;
    }
    // Adaptors (the automation interface, when it is on) come with it.
    bus.registerObject(QLatin1String(kPath), this,
                       QDBusConnection::ExportScriptableSlots |
                           QDBusConnection::ExportScriptableSignals |
                           QDBusConnection::ExportAdaptors);
    m_registered = true;
    return Claim::Owned;
}

AppBus::Claim AppBus::Register() {
    const Claim claim = Connect();
    if (claim == Claim::NoBus) {
        DebugTrace("no session bus: single instance and messages between programs are off");
        return claim;
    }
    if (claim != Claim::Owned) {
        return claim;
    }
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(OnSystemSleep(bool)));
    m_watch = new QTimer(this);
    connect(m_watch, &QTimer::timeout, this, &AppBus::WatchConnection);
    m_watch->start(kWatchIntervalMs);
    return claim;
}

void AppBus::WatchConnection() {
    if (Connected()) {
        return;
    }
    DebugTrace("session bus connection lost (a message too large, or the bus went away); "
               "connecting again");
    switch (Connect()) {
        case Claim::Owned:
            DebugTrace("session bus connection restored");
            return;
        case Claim::AlreadyRunning:
            // The bus may not have let go of our old connection's name yet.
            if (Bus().interface()->servicePid(QLatin1String(kService)).value() ==
                static_cast<uint>(QCoreApplication::applicationPid())) {
                return;  // tried again on the next tick
            }
            // Another start took the name while we were away: it is the
            // instance now, and two would fight over the devices.
            DebugTrace("another instance owns the session bus name now; ending this one");
            m_watch->stop();
            if (m_handlers.quit) {
                m_handlers.quit();
            }
            return;
        case Claim::NoBus:
            return;  // tried again on the next tick
    }
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

bool AppBus::Send(const QDBusMessage& message) const {
    return Bus().send(message);
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

QString AppBus::Device(const QString& kind) {
    return m_handlers.device ? m_handlers.device(kind) : QString();
}

QString AppBus::AssignKey(const QString& kind, uint position, const QStringList& words) {
    return m_handlers.assignKey ? m_handlers.assignKey(kind, position, words)
                                : QStringLiteral("the application has no %1").arg(kind);
}

QString AppBus::Deferred(const std::function<void(Reply)>& run) {
    if (!calledFromDBus()) {
        QString answer;
        run([&answer](const QString& given) { answer = given; });
        return answer;
    }
    setDelayedReply(true);
    const QDBusMessage call = message();
    run([self = QPointer<AppBus>(this), call](const QString& answer) {
        if (self) {
            self->Send(call.createReply(answer));
        }
    });
    return {};
}

QString AppBus::SaveKeys(const QString& kind) {
    if (!m_handlers.saveKeys) {
        return QStringLiteral("the application has no %1").arg(kind);
    }
    return Deferred([&](Reply reply) { m_handlers.saveKeys(kind, std::move(reply)); });
}

QString AppBus::Macro(const QStringList& args) {
    return m_handlers.macro ? m_handlers.macro(args)
                            : QStringLiteral("{\"error\":\"the application has no macro pages\"}");
}

QString AppBus::Headset(const QStringList& args) {
    if (!m_handlers.headset) {
        return QStringLiteral("{\"error\":\"the application has no headset page\"}");
    }
    return Deferred([&](Reply reply) { m_handlers.headset(args, std::move(reply)); });
}

QString AppBus::MousePad(const QStringList& args) {
    if (!m_handlers.mousePad) {
        return QStringLiteral("{\"error\":\"the application has no mouse pad page\"}");
    }
    return m_handlers.mousePad(args);
}

QString AppBus::Mouse(const QStringList& args) {
    if (!m_handlers.mouse) {
        return QStringLiteral("{\"error\":\"the application has no mouse page\"}");
    }
    return Deferred([&](Reply reply) { m_handlers.mouse(args, std::move(reply)); });
}

QString AppBus::SetLighting(const QString& kind, const QStringList& words) {
    if (!m_handlers.setLighting) {
        return QStringLiteral("the application has no lighting to set");
    }
    return Deferred([&](Reply reply) { m_handlers.setLighting(kind, words, std::move(reply)); });
}

QString AppBus::KeyboardOptions(const QStringList& words) {
    if (!m_handlers.keyboardOptions) {
        return QStringLiteral("the application has no keyboard page");
    }
    return Deferred([&](Reply reply) { m_handlers.keyboardOptions(words, std::move(reply)); });
}

QString AppBus::Update(const QStringList& args) {
    // The check answers from its own thread, later: only a bus call can wait for that.
    if (!m_handlers.update || !calledFromDBus()) {
        return QStringLiteral("{\"error\":\"the application has no update check\"}");
    }
    return Deferred([&](Reply reply) { m_handlers.update(args, std::move(reply)); });
}

QString AppBus::Language(const QStringList& args) {
    return m_handlers.language ? m_handlers.language(args)
                               : QStringLiteral("{\"error\":\"the application has no language list\"}");
}

QString AppBus::SyncLight(const QStringList&) {
    return m_handlers.syncLight ? m_handlers.syncLight()
                                : QStringLiteral("{\"error\":\"the application has no lighting\"}");
}

bool AppBus::StartFirmwareUpdate(qlonglong value) {
    return m_handlers.startFirmwareUpdate && m_handlers.startFirmwareUpdate(value);
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

QString AppBus::VirtualState(const QString& product) {
    if (!m_handlers.virtualState) {
        return QStringLiteral(
            R"json({"error": "the application runs without virtual devices (start it with --simulate)"})json");
    }
    return m_handlers.virtualState(product);
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
