#include "kx520ctl/AppClient.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cstdio>
#include <iostream>

#include "messages/RegisteredMessages.h"
#include "keycodes/KeyAssignmentWords.h"
#include "catalog/PageKeyDefaults.h"
#include "desktop/AppBus.h"
#include "platform/ProgramText.h"
#include "platform/SafeJson.h"
#include "sim/SimFault.h"
#include "sim/SimulateOption.h"
#include "sim/VirtualProducts.h"

namespace kx520::ctl {

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value, 10);
    return error == std::errc() && last == end && !text.empty();
}

// The running application, or nothing (and a message) when it is not on
// the bus.
std::unique_ptr<QDBusInterface> Connect() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::cerr << "kx520ctl: no session bus\n";
        return nullptr;
    }
    auto app = std::make_unique<QDBusInterface>(QLatin1String(AppBus::kService),
                                                QLatin1String(AppBus::kPath),
                                                QLatin1String(AppBus::kInterface), bus);
    if (!app->isValid()) {
        std::cerr << "kx520ctl: the KX520 application is not running\n";
        return nullptr;
    }
    return app;
}

}  // namespace

std::unique_ptr<QDBusInterface> AppClient::Connect() {
    return kx520::ctl::Connect();
}

bool AppClient::CallJson(const char* method, const QStringList& args, QJsonObject& answer, int timeoutMs) {
    const auto app = Connect();
    if (!app) {
        return false;
    }
    if (timeoutMs > 0) {
        app->setTimeout(timeoutMs);
    }
    const QDBusReply<QString> reply = app->call(QLatin1String(method), args);
    if (!reply.isValid()) {
        std::cerr << "kx520ctl: " << reply.error().message().toStdString() << "\n";
        return false;
    }
    answer = QJsonDocument::fromJson(reply.value().toUtf8()).object();
    if (answer.contains(QStringLiteral("error"))) {
        std::cerr << "kx520ctl: " << answer[QStringLiteral("error")].toString().toStdString() << "\n";
        return false;
    }
    return true;
}

int AppClient::CallAndPrint(const char* method, const std::vector<std::string>& args, bool json,
                            const std::function<void(const QJsonObject&)>& print, int timeoutMs) {
    QStringList list;
    for (const std::string& arg : args) {
        list << QString::fromStdString(arg);
    }
    QJsonObject answer;
    if (!CallJson(method, list, answer, timeoutMs)) {
        return kFailure;
    }
    if (json) {
        std::cout << QJsonDocument(answer).toJson(QJsonDocument::Indented).toStdString();
    } else if (print) {
        print(answer);
    }
    return kOk;
}

int AppClient::Send(const std::vector<std::string>& args) {
    uint32_t wParam = 0;
    int64_t lParam = 0;
    if (args.size() != 3 || !ParseNumber(args[1], wParam) || !ParseNumber(args[2], lParam)) {
        std::cerr << "kx520ctl: usage: send MESSAGE-NAME WPARAM LPARAM\n";
        return kUsage;
    }
    const RegisteredMessage* message = FindRegisteredMessage(args[0]);
    if (message == nullptr) {
        std::cerr << "kx520ctl: unknown message '" << args[0] << "'\n";
        return kUsage;
    }
    if (!message->fromOutside) {
        std::cerr << "kx520ctl: the application does not take " << message->codeName
                  << " from other programs\n";
        return kFailure;
    }
    const auto app = Connect();
    if (!app) {
        return kFailure;
    }
    const QDBusReply<bool> reply =
        app->call(QStringLiteral("PostMessage"), QString::fromLatin1(message->registration),
                  static_cast<uint>(wParam), static_cast<qlonglong>(lParam));
    if (!reply.isValid() || !reply.value()) {
        std::cerr << "kx520ctl: the application refused " << message->codeName << "\n";
        return kFailure;
    }
    return kOk;
}

// What is wrong with a sim command's words, before the application is
// asked; empty when nothing is.
std::string SimUsageError(const std::vector<std::string>& args) {
    const std::string products = "; products: " + sim::VirtualProductList();
    if (args.empty()) {
        return "sim needs a verb: plug, unplug, fault, notify, battery, profile, reset or state";
    }
    const std::string& verb = args[0];
    if (verb != "plug" && verb != "unplug" && verb != "fault" && verb != "notify" &&
        verb != "battery" && verb != "profile" && verb != "reset" && verb != "state") {
        return "unknown sim verb '" + verb + "'; verbs: plug, unplug, fault, notify, battery, profile, reset, state";
    }
    if (args.size() < 2) {
        return "sim " + verb + " needs a product" + products;
    }
    if (sim::FindVirtualProduct(args[1]) == nullptr) {
        return "unknown product '" + args[1] + "'" + products;
    }
    const size_t most = verb == "fault" ? 4 : (verb == "notify" || verb == "battery" || verb == "profile" ? 3 : 2);
    if (verb == "battery" && args.size() < 3) {
        return "sim battery needs a level, 0 to 100";
    }
    if (verb == "profile" && args.size() < 3) {
        return "sim profile needs the device's profile number";
    }
    if (verb == "fault" && args.size() < 3) {
        return "sim fault needs a fault; faults: " + sim::SimFaultList();
    }
    if (verb == "fault" && !sim::SimFaultFromName(args[2])) {
        return "unknown fault '" + args[2] + "'; faults: " + sim::SimFaultList();
    }
    if (args.size() > most) {
        return "unexpected argument '" + args[most] + "'";
    }
    return {};
}

int AppClient::Sim(const std::vector<std::string>& args, bool json) {
    if (const std::string error = SimUsageError(args); !error.empty()) {
        std::cerr << UsageErrorText("kx520ctl", error);
        return kUsage;
    }
    const auto app = Connect();
    if (!app) {
        return kFailure;
    }
    if (args[0] == "state") {
        return VirtualState(*app, args[1], json);
    }
    QStringList words;
    for (const std::string& arg : args) {
        words << QString::fromStdString(arg);
    }
    const QDBusReply<QString> reply = app->call(QStringLiteral("Simulate"), words);
    if (!reply.isValid()) {
        std::cerr << "kx520ctl: " << reply.error().message().toStdString() << "\n";
        return kFailure;
    }
    if (!reply.value().isEmpty()) {
        std::cerr << "kx520ctl: " << reply.value().toStdString() << "\n";
        return kFailure;
    }
    return kOk;
}

namespace {

std::string Hex(const Json::Value& bytes, size_t from, size_t count) {
    std::string text;
    char byte[4];
    for (size_t i = from; i < from + count && i < bytes.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%02x", bytes[static_cast<Json::ArrayIndex>(i)].asUInt() & 0xFF);
        text += (text.empty() ? "" : " ") + std::string(byte);
    }
    return text;
}

// The lit keys of a 3-bytes-a-key table: "position #rrggbb" each.
std::string LitKeys(const Json::Value& table) {
    std::string text;
    for (Json::ArrayIndex key = 0; 3 * key + 2 < table.size(); ++key) {
        const std::string colour = Hex(table, 3 * key, 3);
        if (colour != "00 00 00") {
            text += "  " + std::to_string(key) + ": " + colour + "\n";
        }
    }
    return text.empty() ? std::string("  none\n") : text;
}

}  // namespace

int AppClient::VirtualState(QDBusInterface& app, const std::string& product, bool json) {
    const QDBusReply<QString> reply = app.call(QStringLiteral("VirtualState"), QString::fromStdString(product));
    if (!reply.isValid()) {
        std::cerr << "kx520ctl: " << reply.error().message().toStdString() << "\n";
        return kFailure;
    }
    const auto state = json::Parse(reply.value().toStdString());
    if (!state || !state->isObject()) {
        std::cerr << "kx520ctl: the application's answer is not a state\n";
        return kFailure;
    }
    if (state->isMember("error")) {
        std::cerr << "kx520ctl: " << (*state)["error"].asString() << "\n";
        return kFailure;
    }
    if (json) {
        std::cout << reply.value().toStdString();
        return kOk;
    }
    const Json::Value& light = (*state)["light"];
    std::cout << "light record of profile " << (*state)["lightProfile"].asUInt() << ": "
              << Hex((*state)["lightRecord"], 0, 26) << "\n";
    if (light["hostDriven"].asBool()) {
        std::cout << "light: driven by the host (streamed frames)\n";
    } else {
        std::cout << "light: mode " << light["mode"].asUInt() << ", brightness " << light["brightness"].asUInt()
                  << ", speed " << light["speed"].asUInt() << ", direction " << light["direction"].asUInt()
                  << ", " << (light["multicolor"].asBool() ? "rainbow" : light["color"].asString()) << "\n";
    }
    std::cout << "key colours (lit keys):\n" << LitKeys((*state)["keyColours"]);
    if ((*state)["frame"].isNull()) {
        std::cout << "frame: none streamed\n";
    } else {
        std::cout << "frame (lit keys):\n" << LitKeys((*state)["frame"]);
    }
    return kOk;
}

int AppClient::Status(bool json) {
    const auto app = Connect();
    if (!app) {
        return kFailure;
    }
    const QDBusReply<QString> reply = app->call(QStringLiteral("Status"));
    if (!reply.isValid()) {
        std::cerr << "kx520ctl: " << reply.error().message().toStdString() << "\n";
        return kFailure;
    }
    if (json) {
        std::cout << reply.value().toStdString() << "\n";
        return kOk;
    }
    const QJsonObject status = QJsonDocument::fromJson(reply.value().toUtf8()).object();
    std::cout << "window: " << (status[QStringLiteral("visible")].toBool() ? "shown" : "hidden")
              << ", lighting control " << (status[QStringLiteral("light_control")].toBool() ? "on" : "off")
              << (status[QStringLiteral("awake")].toBool() ? "" : ", suspended") << "\n";
    for (const QJsonValue& value : status[QStringLiteral("options")].toArray()) {
        const QJsonObject option = value.toObject();
        std::cout << "  " << option[QStringLiteral("kind")].toString().toStdString() << ": "
                  << (option[QStringLiteral("shown")].toBool() ? "shown" : "hidden") << ", "
                  << option[QStringLiteral("link")].toString().toStdString()
                  << (option[QStringLiteral("current")].toBool() ? ", current" : "") << "\n";
    }
    return kOk;
}

namespace {

void PrintKeyboard(const QJsonObject& report) {
    auto text = [](const QJsonValue& value) { return value.toString().toStdString(); };
    std::cout << "keyboard: " << text(report[QStringLiteral("link")]) << ", onboard profile "
              << report[QStringLiteral("onboardProfile")].toInt() << ", profile \""
              << text(report[QStringLiteral("profile")]) << "\"\n";
    const QJsonObject light = report[QStringLiteral("light")].toObject();
    std::cout << "light: " << text(light[QStringLiteral("effectText")]) << " (mode "
              << light[QStringLiteral("mode")].toInt() << "), brightness "
              << light[QStringLiteral("brightness")].toInt() << ", speed "
              << light[QStringLiteral("speed")].toInt() << ", direction "
              << light[QStringLiteral("direction")].toInt() << ", multicolor "
              << (light[QStringLiteral("multicolor")].toBool() ? "on" : "off") << ", "
              << text(light[QStringLiteral("color")]) << "\n";
    const QJsonObject options = report[QStringLiteral("options")].toObject();
    std::cout << "options:";
    for (const char* key : {"repeat", "repeatDelay", "key6Flag", "pollingRate", "wFlag", "winFlag"}) {
        std::cout << " " << key << "=" << options[QLatin1String(key)].toInt();
    }
    if (const QString desktop = options[QStringLiteral("repeatDesktop")].toString(); !desktop.isEmpty()) {
        std::cout << "\nkey repeat: " << desktop.toStdString();
    }
    std::cout << "\nkeys (position: assignment; * not the default, - not on this keyboard):\n";
    for (const QJsonValue& value : report[QStringLiteral("keys")].toArray()) {
        const QJsonObject key = value.toObject();
        const QJsonObject current = key[QStringLiteral("current")].toObject();
        const QJsonObject original = key[QStringLiteral("default")].toObject();
        const bool changed = current[QStringLiteral("code")] != original[QStringLiteral("code")];
        const bool absent = key[QStringLiteral("deviceKey")].isNull();
        std::cout << "  " << key[QStringLiteral("position")].toInt() << ": "
                  << text(current[QStringLiteral("name")]) << (changed ? " *" : "")
                  << (absent ? " -" : "") << "\n";
    }
}

}  // namespace

namespace {

// A call answering "" on success and the reason otherwise.
int CallForReason(QDBusInterface& app, const QString& method, const QList<QVariant>& arguments) {
    const QDBusReply<QString> reply = app.callWithArgumentList(QDBus::Block, method, arguments);
    if (!reply.isValid()) {
        std::cerr << "kx520ctl: " << reply.error().message().toStdString() << "\n";
        return kFailure;
    }
    if (!reply.value().isEmpty()) {
        std::cerr << "kx520ctl: " << reply.value().toStdString() << "\n";
        return kFailure;
    }
    return kOk;
}

// keyboard|mouse assign POS FUNCTION [ARGS]: the words are checked here
// first, so that a mistake is a usage error that names what is allowed.
}  // namespace

int AppClient::AssignKey(const std::string& kind, const std::vector<std::string>& args) {
    const unsigned last = kind == "mouse" ? kMouseButtonDefaults.size() - 1 : kPageKeyDefaults.size() - 1;
    unsigned position = 0;
    if (args.size() < 3 || !ParseNumber(args[1], position) || position > last) {
        std::cerr << "kx520ctl: " << kind << " assign POS FUNCTION [ARGS], POS 0 to " << last
                  << "; FUNCTION: " << AssignmentWordsUsage() << "\n";
        return kUsage;
    }
    const std::vector<std::string> words(args.begin() + 2, args.end());
    std::string error;
    if (!ParseAssignmentWords(words, error)) {
        std::cerr << "kx520ctl: " << error << "\n";
        return kUsage;
    }
    const auto app = Connect();
    if (!app) {
        return kFailure;
    }
    QStringList list;
    for (const std::string& word : words) {
        list << QString::fromStdString(word);
    }
    return CallForReason(*app, QStringLiteral("AssignKey"),
                         {QString::fromStdString(kind), QVariant::fromValue(position), list});
}

// keyboard|mouse save: the keys to the device through the application.
int AppClient::SaveKeys(const std::string& kind) {
    const auto app = Connect();
    return app ? CallForReason(*app, QStringLiteral("SaveKeys"), {QString::fromStdString(kind)}) : kFailure;
}

int AppClient::Keyboard(const std::vector<std::string>& args, bool json) {
    if (!args.empty() && args[0] == "assign") {
        return AssignKey("keyboard", args);
    }
    if (args.size() == 1 && args[0] == "save") {
        return SaveKeys("keyboard");
    }
    if (!args.empty() && args[0] == "options") {
        QStringList words;
        for (size_t i = 1; i < args.size(); ++i) {
            words << QString::fromStdString(args[i]);
        }
        if (words.isEmpty()) {
            std::cerr << "kx520ctl: keyboard options needs at least one option\n";
            return kUsage;
        }
        const auto app = Connect();
        return app ? CallForReason(*app, QStringLiteral("KeyboardOptions"), {words}) : kFailure;
    }
    if (args.size() != 1 || args[0] != "show") {
        std::cerr << "kx520ctl: keyboard takes show, assign POS FUNCTION [ARGS], save or options ...\n";
        return kUsage;
    }
    const auto app = Connect();
    if (!app) {
        return kFailure;
    }
    const QDBusReply<QString> reply = app->call(QStringLiteral("Device"), QStringLiteral("keyboard"));
    if (!reply.isValid()) {
        std::cerr << "kx520ctl: " << reply.error().message().toStdString() << "\n";
        return kFailure;
    }
    if (reply.value().isEmpty()) {
        std::cerr << "kx520ctl: the application has no keyboard page\n";
        return kFailure;
    }
    if (json) {
        std::cout << reply.value().toStdString() << "\n";
        return kOk;
    }
    PrintKeyboard(QJsonDocument::fromJson(reply.value().toUtf8()).object());
    return kOk;
}

int AppClient::Lighting(const std::vector<std::string>& args, bool json) {
    if (args == std::vector<std::string>{"sync"}) {
        return CallAndPrint("SyncLight", {}, json, [](const QJsonObject& sync) {
            static const char* kTypes[] = {"breathing", "static", "flash", "colour cycle", "off"};
            const int type = sync[QStringLiteral("type")].toInt();
            std::cout << "effect: " << (type >= 0 && type <= 4 ? kTypes[type] : "none shared yet") << ", brightness "
                      << sync[QStringLiteral("brightness")].toInt() << ", speed " << sync[QStringLiteral("speed")].toInt()
                      << ", " << sync[QStringLiteral("color")].toString().toStdString() << "\n"
                      << "steps: " << sync[QStringLiteral("steps")].toInteger() << "\ndevices:";
            for (const QJsonValue& device : sync[QStringLiteral("devices")].toArray()) {
                std::cout << " " << device.toString().toStdString();
            }
            std::cout << "\n";
        });
    }
    const bool known = !args.empty() && (args[0] == "keyboard" || args[0] == "mouse" || args[0] == "headset" ||
                                         args[0] == "mousepad");
    if (!known || (args.size() > 1 && args[1] != "set")) {
        std::cerr << "kx520ctl: lighting keyboard|mouse|mousepad|headset|sync [--json], or lighting KIND set "
                     "[--mode NAME|N] "
                     "[--brightness 0-4] [--speed 0-4] [--direction left|right] [--color #RRGGBB] "
                     "[--multicolor on|off]\n";
        return kUsage;
    }
    const std::string& kind = args[0];
    if (args.size() == 1) {
        QJsonObject light;
        if (kind == "mouse" || kind == "headset" || kind == "mousepad") {
            QJsonObject answer;
            const char* method = kind == "mouse" ? "Mouse" : kind == "headset" ? "Headset" : "MousePad";
            if (!CallJson(method, {QStringLiteral("show")}, answer)) {
                return kFailure;
            }
            light = answer[QStringLiteral("light")].toObject();
        } else {
            const auto app = Connect();
            if (!app) {
                return kFailure;
            }
            const QDBusReply<QString> reply = app->call(QStringLiteral("Device"), QStringLiteral("keyboard"));
            if (!reply.isValid() || reply.value().isEmpty()) {
                std::cerr << "kx520ctl: the application has no keyboard page\n";
                return kFailure;
            }
            light = QJsonDocument::fromJson(reply.value().toUtf8()).object()[QStringLiteral("light")].toObject();
        }
        if (json) {
            std::cout << QJsonDocument(light).toJson(QJsonDocument::Compact).toStdString() << "\n";
            return kOk;
        }
        std::cout << light[QStringLiteral("effectText")].toString().toStdString() << " (mode "
                  << light[QStringLiteral("mode")].toInt() << "), brightness "
                  << light[QStringLiteral("brightness")].toInt() << ", speed "
                  << light[QStringLiteral("speed")].toInt() << ", direction "
                  << (light[QStringLiteral("direction")].toInt() != 0 ? "right" : "left") << ", "
                  << light[QStringLiteral("color")].toString().toStdString() << ", multicolor "
                  << (light[QStringLiteral("multicolor")].toBool() ? "on" : "off") << "\n";
        return kOk;
    }
    QStringList words;
    for (size_t i = 2; i < args.size(); ++i) {
        words << QString::fromStdString(args[i]);
    }
    if (words.isEmpty()) {
        std::cerr << "kx520ctl: lighting " << kind << " set needs at least one option\n";
        return kUsage;
    }
    const auto app = Connect();
    return app ? CallForReason(*app, QStringLiteral("SetLighting"), {QString::fromStdString(kind), words}) : kFailure;
}

}  // namespace kx520::ctl
