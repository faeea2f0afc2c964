// kx520ctl macro VERB KIND ...: the running application's macro pages.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iostream>
#include <set>

#include "kx520ctl/AppClient.h"
#include "platform/Utf8.h"

namespace kx520::ctl {

namespace {

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

constexpr const char* kMacroUsage =
    "macro list KIND | show KIND MACRO | new KIND | rename KIND MACRO NAME | delete KIND MACRO | "
    "import KIND FILE | export KIND MACRO FILE (KIND keyboard or mouse, MACRO a name or index)";

int Usage(const std::string& why) {
    std::cerr << "kx520ctl: " << why << "\n  " << kMacroUsage << "\n";
    return kUsage;
}

// How many words follow VERB KIND.
int WordsAfterKind(const std::string& verb) {
    if (verb == "list" || verb == "new") {
        return 0;
    }
    if (verb == "show" || verb == "delete" || verb == "import") {
        return 1;
    }
    return verb == "rename" || verb == "export" ? 2 : -1;
}

std::string Text(const QJsonValue& value) {
    return value.toString().toStdString();
}

// A name as a terminal can show it: control characters escaped, as profile
// names are.
std::string Name(const QJsonValue& value) {
    return utf8::Printable(Text(value));
}

void PrintEvent(const QJsonObject& event) {
    const int type = event[QStringLiteral("Type")].toInt();
    const char* what = type == 10  ? "key"
                       : type == 9 ? "modifier"
                       : type == 1 ? "button"
                       : type == 4 ? "move-x"
                       : type == 5 ? "move-y"
                                   : "type";
    const QJsonValue delay = event[QStringLiteral("Delay")];
    std::cout << "  " << Text(event[QStringLiteral("Action")]) << " " << what << " "
              << event[QStringLiteral("Button")].toInt() << ", then "
              << (delay.isString() ? Text(delay) : std::to_string(delay.toInt())) << " ms\n";
}

void Print(const std::string& verb, const QJsonObject& answer) {
    if (verb == "list") {
        for (const QJsonValue& macro : answer[QStringLiteral("macros")].toArray()) {
            const QJsonObject entry = macro.toObject();
            std::cout << entry[QStringLiteral("index")].toInt() << "  " << Name(entry[QStringLiteral("name")])
                      << "  (" << entry[QStringLiteral("events")].toInt() << " events)\n";
        }
        return;
    }
    if (answer.contains(QStringLiteral("name"))) {
        std::cout << Name(answer[QStringLiteral("name")]) << "\n";
    }
    for (const QJsonValue& event : answer[QStringLiteral("Events")].toArray()) {
        PrintEvent(event.toObject());
    }
}

}  // namespace

int AppClient::Macro(const std::vector<std::string>& args, bool json) {
    if (args.size() < 2) {
        return Usage(args.empty() ? "macro needs a verb" : "macro " + args[0] + " needs a device kind");
    }
    const std::string& verb = args[0];
    const int words = WordsAfterKind(verb);
    if (words < 0) {
        return Usage("unknown macro verb '" + verb + "'");
    }
    if (args[1] != "keyboard" && args[1] != "mouse") {
        return Usage("no device kind '" + args[1] + "'");
    }
    if (args.size() != static_cast<size_t>(words) + 2) {
        return Usage("macro " + verb + " takes " + std::to_string(words) + " words after the kind");
    }
    QStringList list;
    for (const std::string& arg : args) {
        list << QString::fromStdString(arg);
    }
    // Files are the application's to open: paths from here on.
    if (verb == "import" || verb == "export") {
        list.back() = QDir::current().absoluteFilePath(list.back());
    }
    QJsonObject answer;
    if (!CallJson("Macro", list, answer)) {
        return kFailure;
    }
    if (json) {
        std::cout << QJsonDocument(answer).toJson(QJsonDocument::Indented).toStdString();
    } else {
        Print(verb, answer);
    }
    return kOk;
}

}  // namespace kx520::ctl
