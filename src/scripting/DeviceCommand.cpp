#include "scripting/DeviceCommand.h"

#include <memory>
#include <string>
#include <vector>

#include "appwindow/AppWindow.h"
#include "deviceui/CDeviceOptionUI.h"
#include "headsetui/CZentrelHS6533Device.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "keycodes/KeyAssignmentWords.h"
#include "mousepadui/CZentrelMousePadDevice.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "platform/KeyRepeatPlan.h"
#include "scripting/FirstPage.h"
#include "scripting/LightingCommand.h"
#include "scripting/ScriptReply.h"

namespace kx520 {

namespace {

// The first page of a kind with keys to assign: "keyboard" or "mouse".
CZentrelUSBDevice* FirstWithKeys(const std::vector<CDeviceOptionUI*>& options, const QString& kind) {
    for (CDeviceOptionUI* option : options) {
        CZentrelUSBDevice* device = option->Device();
        const bool wanted = kind == QLatin1String("keyboard")
                                ? dynamic_cast<CZentrelKeyboardDevice*>(device) != nullptr
                                : kind == QLatin1String("mouse") && dynamic_cast<CZentrelMouseDevice*>(device) != nullptr;
        if (wanted && device->KeyEditor() != nullptr) {
            return device;
        }
    }
    return nullptr;
}

// The options the words make of `options`; "" or why not.
QString ReadOptionWords(const QStringList& words, profiles::KeyboardSystemSettings& options) {
    for (int i = 0; i < words.size(); i += 2) {
        const QString& name = words[i];
        if (i + 1 >= words.size()) {
            return name + QStringLiteral(" needs a value");
        }
        const QString& value = words[i + 1];
        bool number = false;
        const int n = value.toInt(&number);
        auto onOff = [&value, &name](uint16_t& flag) {
            if (value != QLatin1String("on") && value != QLatin1String("off")) {
                return name + QStringLiteral(" takes on or off");
            }
            flag = value == QLatin1String("on") ? 1 : 0;
            return QString();
        };
        QString why;
        if (name == QLatin1String("--repeat-rate")) {
            if (!number || n < 0 || n >= KeyRepeatPlan::kRateSteps) {
                return QStringLiteral("--repeat-rate takes 0 (slowest) to 31 (fastest)");
            }
            options.repeat = static_cast<uint16_t>(n);
        } else if (name == QLatin1String("--repeat-delay")) {
            if (!number || n < 250 || n > 1000 || n % 250 != 0) {
                return QStringLiteral("--repeat-delay takes 250, 500, 750 or 1000 (ms)");
            }
            options.repeatDelay = static_cast<uint16_t>(n / 250 - 1);
        } else if (name == QLatin1String("--polling")) {
            if (!number || n < 0 || n >= KeyboardOptionsPanel::kPollingRateOptions) {
                return QStringLiteral("--polling takes 0 to 3 (125, 250, 500, 1000 Hz)");
            }
            options.pollingRate = static_cast<uint16_t>(n);
        } else if (name == QLatin1String("--six-key")) {
            why = onOff(options.key6Flag);
        } else if (name == QLatin1String("--win")) {
            why = onOff(options.wFlag);
        } else if (name == QLatin1String("--win-lock")) {
            why = onOff(options.winFlag);
        } else {
            return QStringLiteral("unknown option ") + name;
        }
        if (!why.isEmpty()) {
            return why;
        }
    }
    return words.isEmpty() ? QStringLiteral("keyboard options needs at least one option") : QString();
}

}  // namespace

QString DeviceCommand::AssignKey(AppWindow& window, const QString& kind, uint position, const QStringList& words) {
    CZentrelUSBDevice* device = FirstWithKeys(window.DeviceOptions(), kind);
    if (device == nullptr) {
        return QStringLiteral("the application has no %1 page").arg(kind);
    }
    std::vector<std::string> plain;
    for (const QString& word : words) {
        plain.push_back(word.toStdString());
    }
    std::string error;
    const auto assignment = ParseAssignmentWords(plain, error);
    if (!assignment) {
        return QString::fromStdString(error);
    }
    return QString::fromStdString(device->AssignKey(static_cast<int>(position), *assignment));
}

void DeviceCommand::SetLighting(AppWindow& window, const QString& kind, const QStringList& words,
                                std::function<void(const QString&)> reply) {
    CZentrelUSBDevice* device = FirstWithKeys(window.DeviceOptions(), kind);
    if (auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(device)) {
        ApplyLightingWords(*keyboard, keyboard->Keyboard().Names(), words, std::move(reply));
        return;
    }
    if (auto* mouse = dynamic_cast<CZentrelMouseDevice*>(device)) {
        ApplyLightingWords(*mouse, mouse->Mouse().Names(), words, std::move(reply));
        return;
    }
    auto* headset = kind == QLatin1String("headset") ? FirstPage<CZentrelHS6533Device>(window) : nullptr;
    if (headset != nullptr) {
        ApplyLightingWords(*headset, headset->Headset().Names(), words, std::move(reply));
        return;
    }
    auto* pad = kind == QLatin1String("mousepad") ? FirstPage<CZentrelMousePadDevice>(window) : nullptr;
    if (pad != nullptr) {
        ApplyLightingWords(*pad, pad->Pad().Names(), words, std::move(reply));
        return;
    }
    reply(QStringLiteral("the application has no %1 lighting to set").arg(kind));
}

void DeviceCommand::SetKeyboardOptions(AppWindow& window, const QStringList& words,
                                       std::function<void(const QString&)> reply) {
    auto* keyboard = FirstPage<CZentrelKeyboardDevice>(window);
    if (keyboard == nullptr) {
        reply(QStringLiteral("the application has no keyboard page"));
        return;
    }
    profiles::KeyboardSystemSettings options = keyboard->ReadOptions();
    if (const QString why = ReadOptionWords(words, options); !why.isEmpty()) {
        reply(why);
        return;
    }
    auto pending = std::make_shared<ScriptReply>(*keyboard, std::move(reply));
    const bool saved = keyboard->ChangeOptions(options, [pending](bool taken) {
        pending->Answer(taken ? QString() : QStringLiteral("the keyboard did not take the options (the profile keeps them)"));
    });
    if (!saved) {
        pending->Answer(pending->Told().isEmpty() ? QStringLiteral("the keyboard profile was not saved") : pending->Told());
    }
}

void DeviceCommand::SaveKeys(AppWindow& window, const QString& kind, std::function<void(const QString&)> reply) {
    CZentrelUSBDevice* device = FirstWithKeys(window.DeviceOptions(), kind);
    if (device == nullptr) {
        reply(QStringLiteral("the application has no %1 page").arg(kind));
        return;
    }
    auto pending = std::make_shared<ScriptReply>(*device, std::move(reply));
    device->SaveKeysToDevice([pending, kind](CZentrelUSBDevice::KeyWrite written) {
        if (written == CZentrelUSBDevice::KeyWrite::kWritten) {
            pending->Answer({});
            return;
        }
        pending->Answer(pending->Told().isEmpty() ? QStringLiteral("the %1 did not take the keys").arg(kind)
                                                  : pending->Told());
    });
}

}  // namespace kx520
