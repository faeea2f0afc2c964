#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kx520 {

class AppWindow;

// `kx520ctl headset ...` in the running application: what it holds for the
// headset, and its audio settings changed as its pages change them.
// Arguments: "show" | "eq preset N" | "eq band N VALUE" | "eq save NAME" |
// "eq select NAME" | "eq delete NAME" | "mic level N" | "mic mute on|off" |
// "monitor level N" | "monitor mute on|off" | "voice on|off|N". The answer,
// once the plug-in answered, is a JSON object: {"error": why} (a refusal,
// the setting kept), or the headset as "show" tells it.
class HeadsetCommand {
public:
    static void Run(AppWindow& window, const QStringList& args, std::function<void(const QString&)> reply);
};

}  // namespace kx520
