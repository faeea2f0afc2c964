#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kx520 {

class AppWindow;

// The commands other programs give a device page by its kind ("keyboard"
// or "mouse": the first such page with keys): a key assigned in the words
// of KeyAssignmentWords, the keys saved to the device, the lighting set in
// LightingCommand's words. An answer of "" is success, anything else says
// why not; `reply` is called once the device answered.
class DeviceCommand {
public:
    static QString AssignKey(AppWindow& window, const QString& kind, uint position, const QStringList& words);
    static void SaveKeys(AppWindow& window, const QString& kind, std::function<void(const QString&)> reply);
    static void SetLighting(AppWindow& window, const QString& kind, const QStringList& words,
                            std::function<void(const QString&)> reply);
    // The keyboard's system options as its page changes them: --repeat-rate
    // 0-31, --repeat-delay 250|500|750|1000, --polling 0-3 (125 to 1000 Hz),
    // --six-key, --win, --win-lock on|off.
    static void SetKeyboardOptions(AppWindow& window, const QStringList& words,
                                   std::function<void(const QString&)> reply);
};

}  // namespace kx520
