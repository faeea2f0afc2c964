// kx520ctl headset show|eq|mic|monitor|voice ...: the running application's headset pages.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iostream>

#include "kx520ctl/AppClient.h"

namespace kx520::ctl {

namespace {

constexpr int kUsage = 2;

std::string Text(const QJsonValue& value) {
    return value.toString().toStdString();
}

void PrintLevel(const char* name, const QJsonObject& level) {
    std::cout << name << ": " << level[QStringLiteral("level")].toInt() << " %, "
              << (level[QStringLiteral("on")].toBool() ? "on" : "muted") << "\n";
}

void PrintHeadset(const QJsonObject& headset) {
    std::cout << "link: " << Text(headset[QStringLiteral("link")]) << "\n"
              << "audio: " << Text(headset[QStringLiteral("status")]) << "\n"
              << "equaliser: preset " << headset[QStringLiteral("preset")].toInt() << ", bands";
    for (const QJsonValue& band : headset[QStringLiteral("bands")].toArray()) {
        std::cout << " " << band.toInt();
    }
    std::cout << "\ncurves:";
    const QJsonArray curves = headset[QStringLiteral("customCurves")].toArray();
    for (int i = 0; i < curves.size(); ++i) {
        const bool chosen = headset[QStringLiteral("preset")].toInt() == 13 &&
                            headset[QStringLiteral("customIndex")].toInt() == i;
        std::cout << (chosen ? " *" : " ") << Text(curves[i]);
    }
    std::cout << (curves.isEmpty() ? " none\n" : "\n");
    PrintLevel("microphone", headset[QStringLiteral("microphone")].toObject());
    PrintLevel("monitor", headset[QStringLiteral("monitor")].toObject());
    const QJsonObject voice = headset[QStringLiteral("voiceChanger")].toObject();
    std::cout << "voice changer: " << (voice[QStringLiteral("on")].toBool() ? "on" : "off") << ", voice "
              << voice[QStringLiteral("voice")].toInt() << "\n";
    const QJsonObject plugin = headset[QStringLiteral("plugin")].toObject();
    if (plugin.isEmpty()) {
        std::cout << "plug-in: not loaded\n";
        return;
    }
    std::cout << "sound server: " << (plugin[QStringLiteral("server")].isNull() ? "none" : "connected")
              << ", sink " << (plugin[QStringLiteral("sink")].isNull() ? "-" : Text(plugin[QStringLiteral("sink")]))
              << ", source "
              << (plugin[QStringLiteral("source")].isNull() ? "-" : Text(plugin[QStringLiteral("source")])) << "\n";
    const QJsonObject notApplied = plugin[QStringLiteral("notApplied")].toObject();
    for (auto it = notApplied.begin(); it != notApplied.end(); ++it) {
        std::cout << "not applied: " << it.key().toStdString() << ": " << Text(it.value()) << "\n";
    }
}

}  // namespace

int AppClient::Headset(const std::vector<std::string>& args, bool json) {
    const bool show = args.size() == 1 && args[0] == "show";
    const bool eq = args.size() >= 3 && args[0] == "eq";
    const bool level = args.size() == 3 && (args[0] == "mic" || args[0] == "monitor");
    const bool voice = args.size() == 2 && args[0] == "voice";
    if (!show && !eq && !level && !voice) {
        std::cerr << "kx520ctl: headset takes show, eq preset N, eq band N VALUE, eq save|select|delete NAME, "
                     "mic|monitor level N, mic|monitor mute on|off or voice on|off|1-4\n";
        return kUsage;
    }
    return CallAndPrint("Headset", args, json, show ? std::function<void(const QJsonObject&)>(PrintHeadset) : nullptr);
}

}  // namespace kx520::ctl
