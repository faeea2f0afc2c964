#include "app/WindowStatus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <json/writer.h>

#include "app/CMainWnd.h"
#include "catalog/DeviceCatalog.h"
#include "devicelink/DeviceOptionList.h"
#include "discovery/DeviceSelector.h"
#include "deviceui/CDeviceOptionUI.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "devicebase/SyncLightThread.h"
#include "keycodes/KeyLabels.h"
#include "keyboard/KeyboardReport.h"
#include "profileui/CDeviceProfileUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

QString ColourText(const Rgb& colour) {
    return QStringLiteral("#%1%2%3")
        .arg(colour.red, 2, 16, QLatin1Char('0'))
        .arg(colour.green, 2, 16, QLatin1Char('0'))
        .arg(colour.blue, 2, 16, QLatin1Char('0'));
}

QJsonObject OptionStatus(const CDeviceOptionUI& item, bool current) {
    const CZentrelUSBDevice* device = item.Device();
    QJsonObject option;
    // The command line's word for the kind ("mousepad", not the folder "MousePad").
    option[QStringLiteral("kind")] =
        device != nullptr ? QString::fromLatin1(KindWordOfFolder(device->KindName().toStdString()))
                          : QString();
    option[QStringLiteral("shown")] = item.IsOptionVisible();
    option[QStringLiteral("current")] = current;
    const bool open = device != nullptr && device->Channel().IsOpen();
    option[QStringLiteral("connected")] = open;
    // An exchange a page or a script started is still running on the device.
    option[QStringLiteral("busy")] = device != nullptr && device->ExchangeBusy();
    option[QStringLiteral("link")] =
        !open ? QStringLiteral("none")
              : (device->Channel().ReceiverMode() ? QStringLiteral("receiver")
                                                  : QStringLiteral("cable"));
    return option;
}

}  // namespace

QString WindowStatusJson(const CMainWnd& window) {
    QJsonArray options;
    const auto all = window.Options().Options();
    const int current = window.Selector().CurrentIndex();
    for (size_t i = 0; i < all.size(); ++i) {
        QJsonObject option = OptionStatus(*all[i], static_cast<int>(i) == current);
        option[QStringLiteral("index")] = static_cast<int>(i);
        options.append(option);
    }
    const ui::CControlUI* hint = window.FindControl(QStringLiteral("No_device_Link"));
    QJsonObject status;
    status[QStringLiteral("visible")] = window.isVisible();
    status[QStringLiteral("initialised")] = window.Initialised();
    status[QStringLiteral("shown_after_first_pass")] = window.FirstPassShown();
    status[QStringLiteral("awake")] = window.Awake();
    status[QStringLiteral("instance_messages")] = window.InstanceMessages();
    status[QStringLiteral("light_control")] = window.LightControlEnabled();
    status[QStringLiteral("no_device_link")] = hint != nullptr && hint->IsVisible();
    status[QStringLiteral("language_index")] = window.LanguageIndex();
    status[QStringLiteral("dpi")] = window.Dpi();
    status[QStringLiteral("width")] = window.width();
    status[QStringLiteral("height")] = window.height();
    status[QStringLiteral("options")] = options;
    return QString::fromUtf8(QJsonDocument(status).toJson(QJsonDocument::Compact));
}

QString DeviceStatusJson(const CMainWnd& window, const QString& kind) {
    if (kind != QLatin1String("keyboard")) {
        return {};
    }
    for (CDeviceOptionUI* option : window.DeviceOptions()) {
        auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(option->Device());
        if (keyboard == nullptr) {
            continue;
        }
        const CDeviceProfileUI* profiles = keyboard->ProfileControl();
        const QString name = profiles != nullptr ? profiles->GetNameAt(profiles->GetCurrentIndex()) : QString();
        Json::Value report = KeyboardReport(keyboard->Keyboard(), name.toStdString(),
                                            keyboard->Keyboard().Profile().GetKeyList());
        // Keys named as the page names them, in the window's language.
        auto resolve = [](const std::string& id) {
            return ui::CResourceManager::Instance().GetText(QString::fromStdString(id)).toStdString();
        };
        const auto& macros = keyboard->Keyboard().Names().MacroNames();
        for (Json::Value& key : report["keys"]) {
            for (const char* half : {"current", "default"}) {
                const Json::Value& code = key[half]["code"];
                const profiles::KeyAction action{0, static_cast<uint8_t>(code[0].asUInt()),
                                                 static_cast<uint8_t>(code[1].asUInt()),
                                                 static_cast<uint8_t>(code[2].asUInt())};
                if (const auto label = KeyLabels::AssignmentLabel(action, macros, KeyLabels::Device::kKeyboard)) {
                    key[half]["name"] = label->Compose(resolve);
                }
            }
        }
        // The effect as the page names it, in the window's language.
        const QString effect = QString::fromStdString(report["light"]["effect"].asString());
        report["light"]["effectText"] = ui::CResourceManager::Instance().GetText(effect).toStdString();
        report["options"]["repeatDesktop"] = keyboard->RepeatStatus().toStdString();
        Json::StreamWriterBuilder writer;
        writer["indentation"] = "";
        return QString::fromStdString(Json::writeString(writer, report));
    }
    return {};
}

QString SyncLightJson(CMainWnd& window) {
    SyncLightThread& sync = window.SyncLight();
    const SyncLightState state = sync.State();
    QJsonArray devices;
    for (const CDeviceOptionUI* option : window.DeviceOptions()) {
        CZentrelUSBDevice* device = option->Device();
        if (device != nullptr && sync.Joined(device->Core())) {
            devices.append(QString::fromLatin1(KindWordOfFolder(device->KindName().toStdString())));
        }
    }
    const QJsonObject answer{{QStringLiteral("type"), state.type},
                             {QStringLiteral("brightness"), state.brightness},
                             {QStringLiteral("speed"), state.speed},
                             {QStringLiteral("direction"), state.direction},
                             {QStringLiteral("multicolor"), state.multiColor},
                             {QStringLiteral("color"), ColourText(state.colour)},
                             {QStringLiteral("steps"), static_cast<qint64>(sync.Steps())},
                             {QStringLiteral("devices"), devices}};
    return QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

}  // namespace kx520
