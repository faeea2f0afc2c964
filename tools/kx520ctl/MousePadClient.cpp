// kx520ctl mousepad show: what the running application holds for the pad.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <iostream>

#include "kx520ctl/AppClient.h"

namespace kx520::ctl {

namespace {

constexpr int kUsage = 2;

void PrintPad(const QJsonObject& pad) {
    std::cout << "link: " << pad[QStringLiteral("link")].toString().toStdString() << "\n"
              << "onboard profile: " << pad[QStringLiteral("onboardProfile")].toInt() << "\n"
              << "profile: " << pad[QStringLiteral("profile")].toString().toStdString() << "\n";
    const QJsonValue record = pad[QStringLiteral("record")];
    if (!record.isArray()) {
        std::cout << "record: not read yet (the pad reports a change with a notification)\n";
    } else {
        std::cout << "record:";
        for (const QJsonValue& byte : record.toArray()) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", byte.toInt() & 0xFF);
            std::cout << hex;
        }
        const std::string mode = pad[QStringLiteral("recordMode")].toString().toStdString();
        std::cout << " (" << (mode.empty() ? "a mode the pad's list lacks" : mode) << ")\n";
    }
    const QJsonObject light = pad[QStringLiteral("light")].toObject();
    std::cout << "light: " << light[QStringLiteral("effectText")].toString().toStdString() << " (mode "
              << light[QStringLiteral("mode")].toInt() << "), brightness " << light[QStringLiteral("brightness")].toInt()
              << ", speed " << light[QStringLiteral("speed")].toInt() << ", "
              << light[QStringLiteral("color")].toString().toStdString() << "\n";
}

}  // namespace

int AppClient::MousePad(const std::vector<std::string>& args, bool json) {
    if (args != std::vector<std::string>{"show"}) {
        std::cerr << "kx520ctl: mousepad takes show [--json]\n";
        return kUsage;
    }
    return CallAndPrint("MousePad", args, json, PrintPad);
}

}  // namespace kx520::ctl
