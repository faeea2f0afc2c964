// kx520ctl update check and language list|set: the settings window's two
// halves for other programs.
#include <QJsonArray>
#include <QJsonObject>
#include <iostream>

#include "kx520ctl/AppClient.h"

namespace kx520::ctl {

namespace {

constexpr int kUsage = 2;
// Three rows, each up to its connect and receive time-outs.
constexpr int kUpdateTimeoutMs = 10 * 60 * 1000;

const char* StateName(int state) {
    switch (state) {
        case 1: return "updates available";
        case 2: return "update service unreachable";
        case 4: return "up to date";
        default: return "checking";
    }
}

void PrintUpdates(const QJsonObject& answer) {
    const std::string service = answer[QStringLiteral("service")].toString().toStdString();
    std::cout << "service: " << (service.empty() ? "none set (UpdateService, KX520_UPDATE_URL)" : service) << "\n";
    for (const QJsonValue& value : answer[QStringLiteral("rows")].toArray()) {
        const QJsonObject row = value.toObject();
        const std::string offered = row[QStringLiteral("offered")].toString().toStdString();
        std::cout << row[QStringLiteral("name")].toString().toStdString() << "  "
                  << row[QStringLiteral("current")].toString().toStdString() << "  "
                  << (offered.empty() ? "-" : offered) << "  status " << row[QStringLiteral("status")].toInt()
                  << "\n";
    }
    std::cout << "state " << answer[QStringLiteral("state")].toInt() << ": "
              << StateName(answer[QStringLiteral("state")].toInt()) << "\n";
}

void PrintLanguages(const QJsonObject& answer) {
    const int current = answer[QStringLiteral("current")].toInt();
    for (const QJsonValue& value : answer[QStringLiteral("languages")].toArray()) {
        const QJsonObject language = value.toObject();
        std::cout << (language[QStringLiteral("index")].toInt() == current ? "* " : "  ")
                  << language[QStringLiteral("id")].toInt() << "  "
                  << language[QStringLiteral("caption")].toString().toStdString() << "\n";
    }
}

}  // namespace

int AppClient::Update(const std::vector<std::string>& args, bool json) {
    if (args != std::vector<std::string>{"check"}) {
        std::cerr << "kx520ctl: update takes check [--json]\n";
        return kUsage;
    }
    return CallAndPrint("Update", args, json, PrintUpdates, kUpdateTimeoutMs);
}

int AppClient::Language(const std::vector<std::string>& args, bool json) {
    const bool list = args == std::vector<std::string>{"list"};
    const bool set = args.size() == 2 && args[0] == "set";
    if (!list && !set) {
        std::cerr << "kx520ctl: language takes list, or set ID (1033 English, 2052 Chinese)\n";
        return kUsage;
    }
    return CallAndPrint("Language", args, json, PrintLanguages);
}

}  // namespace kx520::ctl
