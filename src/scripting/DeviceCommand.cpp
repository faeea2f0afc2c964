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
