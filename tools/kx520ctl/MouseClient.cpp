// kx520ctl mouse show|dpi ...: the running application's mouse page.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iostream>

#include "kx520ctl/AppClient.h"

namespace kx520::ctl {

namespace {

constexpr int kUsage = 2;

void PrintMouse(const QJsonObject& mouse) {
    std::cout << "link: " << mouse[QStringLiteral("link")].toString().toStdString()
              << ", onboard profile " << mouse[QStringLiteral("onboardProfile")].toInt() << ", profile "
              << mouse[QStringLiteral("profile")].toString().toStdString() << ", report rate option "
              << mouse[QStringLiteral("reportRate")].toInt() << "\n";
    const int active = mouse[QStringLiteral("activeStage")].toInt();
    for (const QJsonValue& value : mouse[QStringLiteral("stages")].toArray()) {
        const QJsonObject stage = value.toObject();
        const int number = stage[QStringLiteral("stage")].toInt();
        std::cout << (number == active ? "* " : "  ") << "stage " << number << ": ";
        if (stage[QStringLiteral("value")].isNull()) {
            std::cout << "step " << stage[QStringLiteral("step")].toInt();  // the scale is not known yet
        } else {
            std::cout << stage[QStringLiteral("value")].toInt();
        }
        if (!stage[QStringLiteral("y")].isNull() &&
            stage[QStringLiteral("y")].toInt() != stage[QStringLiteral("value")].toInt()) {
            std::cout << " / " << stage[QStringLiteral("y")].toInt();
        }
        std::cout << " " << stage[QStringLiteral("color")].toString().toStdString()
                  << (stage[QStringLiteral("enabled")].toBool() ? "" : " (off)") << "\n";
    }
    const QJsonObject light = mouse[QStringLiteral("light")].toObject();
    std::cout << "light: " << light[QStringLiteral("effectText")].toString().toStdString() << " (mode "
              << light[QStringLiteral("mode")].toInt() << ")\n";
    std::cout << "buttons (* not the factory job):\n";
    for (const QJsonValue& value : mouse[QStringLiteral("buttons")].toArray()) {
        const QJsonObject button = value.toObject();
        std::cout << "  " << button[QStringLiteral("button")].toInt() << " "
                  << button[QStringLiteral("name")].toString().toStdString() << ": "
                  << button[QStringLiteral("does")].toString().toStdString()
                  << (button[QStringLiteral("factory")].toBool() ? "" : " *") << "\n";
    }
}

}  // namespace

namespace {

void PrintRecoil(const QJsonObject& answer) {
    for (const QJsonValue& gun : answer[QStringLiteral("guns")].toArray()) {
        const QJsonObject entry = gun.toObject();
        std::cout << "gun " << entry[QStringLiteral("gun")].toInt() << ": " << entry[QStringLiteral("bullets")].toInt()
                  << " bullets, " << entry[QStringLiteral("file")].toString().toStdString() << "\n";
    }
    if (!answer.contains(QStringLiteral("gun"))) {
        return;
    }
    std::cout << "gun " << answer[QStringLiteral("gun")].toInt() << " (bullet: x, y, delay ms; x < 0 left, y > 0 down)\n";
    for (const QJsonValue& value : answer[QStringLiteral("bullets")].toArray()) {
        const QJsonObject bullet = value.toObject();
        std::cout << "  " << bullet[QStringLiteral("bullet")].toInt() << ": " << bullet[QStringLiteral("x")].toInt()
                  << ", " << bullet[QStringLiteral("y")].toInt() << ", " << bullet[QStringLiteral("delay")].toInt()
                  << "\n";
    }
}

}  // namespace

int AppClient::Recoil(const std::vector<std::string>& args, bool json) {
    return CallAndPrint("Mouse", args, json, PrintRecoil);
}

int AppClient::Mouse(const std::vector<std::string>& args, bool json) {
    if (!args.empty() && args[0] == "assign") {
        return AssignKey("mouse", args);
    }
    if (args.size() == 1 && args[0] == "save") {
        return SaveKeys("mouse");
    }
    const bool show = args.size() == 1 && args[0] == "show";
    const bool dpi = args.size() >= 3 && args[0] == "dpi" && (args[1] == "set" || args[1] == "active");
    const bool rate = args.size() == 2 && args[0] == "rate";
    const bool shoot = args.size() == 2 && args[0] == "shoot" && args[1] == "write";
    if (!args.empty() && args[0] == "recoil") {
        return Recoil(args, json);
    }
    if (!show && !dpi && !rate && !shoot) {
        std::cerr << "kx520ctl: mouse takes show, dpi set STAGE VALUE [--y VALUE] [--color #RRGGBB] "
                     "[--enabled on|off], dpi active STAGE, rate N (0-4), assign POS FUNCTION [ARGS], save or shoot write\n";
        return kUsage;
    }
    return CallAndPrint("Mouse", args, json, PrintMouse);
}

}  // namespace kx520::ctl
