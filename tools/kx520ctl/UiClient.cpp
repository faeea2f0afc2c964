#include "kx520ctl/UiClient.h"

#include "kx520ctl/InputNames.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <iostream>
#include <set>

#include "desktop/AppBus.h"
#include "desktop/AutomationAdaptor.h"
#include "platform/ProgramText.h"

namespace kx520::ctl {

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

int Usage(const std::string& error) {
    std::cerr << UsageErrorText("kx520ctl", error);
    return kUsage;
}

bool IsNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value, 10);
    return !text.empty() && error == std::errc() && last == end;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A path the application can open whatever its own working folder.
QString Absolute(const std::string& path) {
    return path.empty() ? QString() : QDir::current().absoluteFilePath(Q(path));
}

// The reply's text, or the reason on stderr and nothing.
bool Call(const char* method, const QList<QVariant>& args, QString& out) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::cerr << "kx520ctl: no session bus\n";
        return false;
    }
    QDBusInterface automation(QLatin1String(AppBus::kService), QLatin1String(AppBus::kPath),
                              QLatin1String(AutomationAdaptor::kInterface), bus);
    const QDBusMessage reply = automation.callWithArgumentList(QDBus::Block, QLatin1String(method), args);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QString name = reply.errorName();
        if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")) {
            std::cerr << "kx520ctl: the KX520 application is not running\n";
        } else if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
                   name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
                   name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject")) {
            std::cerr << "kx520ctl: the application runs without automation "
                         "(start it with --automation or KX520_AUTOMATION=1)\n";
        } else {
            std::cerr << "kx520ctl: " << reply.errorMessage().toStdString() << "\n";
        }
        return false;
    }
    out = reply.arguments().isEmpty() ? QString() : reply.arguments().first().toString();
    return true;
}

std::string Flag(const QJsonObject& object, const char* key, const char* yes, const char* no) {
    return object[QLatin1String(key)].toBool() ? yes : no;
}

std::string DescribeControl(const QJsonObject& control) {
    std::string line = control[QStringLiteral("name")].toString().toStdString() + " (" +
                       control[QStringLiteral("class")].toString().toStdString() + ")";
    const QString text = control[QStringLiteral("text")].toString();
    if (!text.isEmpty()) {
        line += " \"" + text.toStdString() + "\"";
    }
    line += Flag(control, "visible", "", ", hidden") + Flag(control, "enabled", "", ", disabled");
    if (control.contains(QStringLiteral("selected"))) {
        line += Flag(control, "selected", ", selected", ", not selected");
    }
    if (control.contains(QStringLiteral("value"))) {
        line += ", value " + std::to_string(control[QStringLiteral("value")].toInt());
    }
    if (control.contains(QStringLiteral("items"))) {
        line += ", item " + std::to_string(control[QStringLiteral("current")].toInt()) + " of " +
                std::to_string(control[QStringLiteral("items")].toArray().size());
    }
    return line;
}

int Print(const QString& json, bool raw, bool list) {
    if (raw) {
        std::cout << json.toStdString() << "\n";
        return kOk;
    }
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!list) {
        std::cout << DescribeControl(document.object()) << "\n";
        return kOk;
    }
    for (const QJsonValue& value : document.array()) {
        const QJsonObject object = value.toObject();
        if (object.contains(QStringLiteral("layout"))) {
            std::cout << object[QStringLiteral("name")].toString().toStdString() << " "
                      << object[QStringLiteral("layout")].toString().toStdString()
                      << Flag(object, "modal", " (modal)", "") << "\n";
        } else {
            std::cout << DescribeControl(object) << "\n";
        }
    }
    return kOk;
}

// The routing rows, one a line: type, name and how the name is matched.
int PrintRoutes(const QString& json, bool raw) {
    if (raw) {
        std::cout << json.toStdString() << "\n";
        return kOk;
    }
    for (const QJsonValue& value : QJsonDocument::fromJson(json.toUtf8()).array()) {
        const QJsonObject row = value.toObject();
        std::cout << row[QStringLiteral("type")].toString().toStdString() << " "
                  << row[QStringLiteral("name")].toString().toStdString()
                  << (row[QStringLiteral("match")].toString() == QLatin1String("prefix") ? "N" : "")
                  << (row[QStringLiteral("match")].toString() == QLatin1String("exact") ? " (exact)" : "")
                  << (row[QStringLiteral("enabled")].toBool() ? "" : " (not yet)") << "\n";
    }
    return kOk;
}

// How many words each verb takes after it.
int WordsOf(const std::string& verb) {
    static const std::set<std::string> one{"get", "click", "dbclick", "menu", "file", "screenshot"};
    static const std::set<std::string> two{"select", "check", "text", "value"};
    if (verb == "windows" || verb == "routes") {
        return 0;
    }
    if (one.count(verb) != 0) {
        return 1;
    }
    return two.count(verb) != 0 ? 2 : -1;
}

}  // namespace

int UiClient::Input(const std::vector<std::string>& args) {
    const std::string& verb = args[0];
    const bool key = verb == "key";
    if (args.size() < 3 || args.size() > (key ? 3U : 4U)) {
        return Usage(key ? "ui key takes a key and down or up"
                         : "ui button takes a button, down or up, and optionally the control it is on");
    }
    const auto code = key ? KeyCodeByName(args[1]) : ButtonCodeByName(args[1]);
    if (!code) {
        return Usage("no " + verb + " named '" + args[1] + "'");
    }
    if (args[2] != "down" && args[2] != "up") {
        return Usage("ui " + verb + " takes down or up, not '" + args[2] + "'");
    }
    QString out;
    const QString at = args.size() == 4 ? Q(args[3]) : QString();
    if (!Call("Input", {QString::fromLatin1(key ? "key" : "button"), *code, args[2] == "down", at}, out)) {
        return kFailure;
    }
    if (!out.isEmpty()) {
        std::cerr << "kx520ctl: " << out.toStdString() << "\n";
        return kFailure;
    }
    return kOk;
}

int UiClient::Run(const std::vector<std::string>& args, bool json) {
    if (args.empty()) {
        return Usage("ui needs a verb: windows, controls, get, click, dbclick, select, check, "
                     "text, value, menu, file, screenshot, key, button, routes");
    }
    const std::string& verb = args[0];
    const size_t given = args.size() - 1;
    if (verb == "key" || verb == "button") {
        return Input(args);
    }
    if (verb == "controls") {
        if (given > 1) {
            return Usage("unexpected argument '" + args[2] + "'");
        }
    } else if (const int words = WordsOf(verb); words < 0) {
        return Usage("unknown ui verb '" + verb + "'");
    } else if (given != static_cast<size_t>(words)) {
        return Usage("ui " + verb + (given < static_cast<size_t>(words) ? " needs " : " takes ") +
                     std::to_string(words) + (words == 1 ? " argument" : " arguments"));
    }
    if ((verb == "select" || verb == "value") && !IsNumber(args[2])) {
        return Usage("ui " + verb + " needs a number, not '" + args[2] + "'");
    }
    if (verb == "check" && args[2] != "0" && args[2] != "1") {
        return Usage("ui check takes 0 or 1");
    }
    QString out;
    if (verb == "windows" || verb == "controls" || verb == "get") {
        const char* method = verb == "windows" ? "Windows" : verb == "controls" ? "Controls" : "Get";
        QList<QVariant> callArgs;
        if (verb != "windows") {
            callArgs << (given == 0 ? QString() : Q(args[1]));
        }
        if (!Call(method, callArgs, out)) {
            return kFailure;
        }
        return Print(out, json, verb != "get");
    }
    if (verb == "file") {
        return Call("AnswerFileDialog", {Absolute(args[1])}, out) ? kOk : kFailure;
    }
    if (verb == "routes") {
        if (!Call("Routes", {}, out)) {
            return kFailure;
        }
        return PrintRoutes(out, json);
    }
    if (verb == "screenshot") {
        if (!Call("Screenshot", {Absolute(args[1])}, out)) {
            return kFailure;
        }
    } else {
        const QString argument = given == 2 ? Q(args[2]) : QString();
        if (!Call("Act", {Q(args[1]), Q(verb), argument}, out)) {
            return kFailure;
        }
    }
    if (!out.isEmpty()) {
        std::cerr << "kx520ctl: " << out.toStdString() << "\n";
        return kFailure;
    }
    return kOk;
}

}  // namespace kx520::ctl
