#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace kx520 {

// The application on the session bus. Owning the name is the single-
// instance test; other programs reach the running application through the
// methods below, and hear LightState. See docs/dbus.md.
class AppBus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kx520.Application")

public:
    static constexpr const char* kService = "org.kx520.Application";
    static constexpr const char* kPath = "/org/kx520/Application";
    static constexpr const char* kInterface = "org.kx520.Application";

    // How a handler that waits for a device answers, later.
    using Reply = std::function<void(const QString& answer)>;

    struct Handlers {
        std::function<void()> activate;
        // A registered message by name; false when it is not accepted.
        std::function<bool(const QString& name, quint32 wParam, qint64 lParam)> post;
        std::function<bool(quint32 kind, const QByteArray& data)> copyData;
        std::function<QString()> status;
        // What the application holds for one device kind ("keyboard"), as
        // JSON; empty when it has no such device.
        std::function<QString(const QString& kind)> device;
        // A key function for the keyboard from words (as kx520ctl keyboard
        // assign takes them), and the keyboard's keys saved; "" or why not.
        std::function<QString(const QString& kind, uint position, const QStringList& words)> assignKey;
        // These wait for the device: they answer through `reply` while the
        // application serves other calls.
        std::function<void(const QString& kind, Reply reply)> saveKeys;
        // `macro VERB KIND ...`: a JSON answer, {"error": why} on failure.
        std::function<QString(const QStringList& args)> macro;
        // `mouse show|dpi ...`: a JSON answer, {"error": why} on failure.
        std::function<void(const QStringList& args, Reply reply)> mouse;
        // `headset show|eq ...|mic ...|monitor ...|voice ...`: a JSON answer,
        // {"error": why} on failure.
        std::function<void(const QStringList& args, Reply reply)> headset;
        // `mousepad show`: a JSON answer, {"error": why} on failure.
        std::function<QString(const QStringList& args)> mousePad;
        // A light setting change for a device kind ("keyboard"); "" or why not.
        std::function<void(const QString& kind, const QStringList& words, Reply reply)> setLighting;
        // The keyboard's system options in `keyboard options`' words; "" or why not.
        std::function<void(const QStringList& words, Reply reply)> keyboardOptions;
        // `update check`: the update check's rows as JSON, once it is done.
        std::function<void(const QStringList& args, Reply reply)> update;
        // Synchronised lighting as JSON.
        std::function<QString()> syncLight;
        // `language list|set ID`: a JSON answer, {"error": why} on failure.
        std::function<QString(const QStringList& args)> language;
        // Asks for the firmware updater as MSG_START_FIRMWARE_UPDATE would
        // (value above 260: an updater says it is at work); false when the
        // window cannot take it.
        std::function<bool(qint64 value)> startFirmwareUpdate;
        std::function<void(bool sleeping)> prepareForSleep;
        // Empty handler: not simulating. Returns an error text, empty on success.
        std::function<QString(const QStringList& args)> simulate;
        // What a virtual product holds, as JSON; {"error": why} when it cannot say.
        std::function<QString(const QString& product)> virtualState;
        std::function<void()> quit;
    };

    enum class Claim { Owned, AlreadyRunning, NoBus };

    // No call of this interface needs more (copy-data is at most a few KB);
    // a bigger message from another program ends the connection at its
    // header, before it is read, and the application connects again.
    static constexpr long kMaxMessageBytes = 1 << 20;
    static constexpr int kWatchIntervalMs = 200;

    explicit AppBus(Handlers handlers, QObject* parent = nullptr);
    ~AppBus() override;

    // Takes the name and publishes the object; also listens for logind's
    // PrepareForSleep on the system bus when there is one.
    Claim Register();
    // Asks the running instance to show itself; false without one.
    static bool ActivateRunning();

    void EmitLightState(quint32 wParam, qint64 lParam);
    // A reply or error on the connection the name is held on.
    bool Send(const QDBusMessage& message) const;
    // Whether the connection the name is held on is up.
    bool Connected() const;

public slots:
    Q_SCRIPTABLE void Activate();
    Q_SCRIPTABLE bool PostMessage(const QString& name, uint wParam, qlonglong lParam);
    Q_SCRIPTABLE bool CopyData(uint kind, const QByteArray& data);
    Q_SCRIPTABLE QString Status();
    Q_SCRIPTABLE QString Device(const QString& kind);
    Q_SCRIPTABLE QString AssignKey(const QString& kind, uint position, const QStringList& words);
    Q_SCRIPTABLE QString SaveKeys(const QString& kind);
    Q_SCRIPTABLE QString Macro(const QStringList& args);
    Q_SCRIPTABLE QString Mouse(const QStringList& args);
    Q_SCRIPTABLE QString Headset(const QStringList& args);
    Q_SCRIPTABLE QString MousePad(const QStringList& args);
    Q_SCRIPTABLE QString SetLighting(const QString& kind, const QStringList& words);
    Q_SCRIPTABLE QString KeyboardOptions(const QStringList& words);
    Q_SCRIPTABLE QString Update(const QStringList& args);
    Q_SCRIPTABLE QString Language(const QStringList& args);
    Q_SCRIPTABLE QString SyncLight(const QStringList& args);
    Q_SCRIPTABLE bool StartFirmwareUpdate(qlonglong value);
    // The test interface for suspend and resume (logind's signal, by hand).
    Q_SCRIPTABLE void PrepareForSleep(bool sleeping);
    Q_SCRIPTABLE QString Simulate(const QStringList& args);
    Q_SCRIPTABLE QString VirtualState(const QString& product);
    Q_SCRIPTABLE void Quit();

signals:
    Q_SCRIPTABLE void LightState(uint wParam, qlonglong lParam);

private slots:
    void OnSystemSleep(bool sleeping);
    // Connects again when the bus connection was lost; the application never
    // stays running deaf. Ends it when another instance took the name.
    void WatchConnection();

private:
    QDBusConnection Bus() const;
    Claim Connect();
    // A call answered when `run` replies: from another program the reply is
    // sent then (the call's return value is not used); a direct call gets
    // the answer that was given before `run` returned.
    QString Deferred(const std::function<void(Reply)>& run);

    Handlers m_handlers;
    bool m_registered = false;
    QString m_connectionName;
    int m_connections = 0;
    QTimer* m_watch = nullptr;
};

}  // namespace kx520
