#include "scripting/HeadsetCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include "appwindow/AppWindow.h"
#include "deviceui/CDeviceOptionUI.h"
#include "headsetui/CZentrelHS6533Device.h"
#include "scripting/FirstPage.h"
#include "scripting/JsonAnswer.h"
#include "scripting/LightingCommand.h"

namespace kx520 {

namespace {

using Reply = std::function<void(const QString&)>;

std::optional<int> Number(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<bool> OnOff(const QString& text) {
    if (text == QLatin1String("on")) {
        return true;
    }
    if (text == QLatin1String("off")) {
        return false;
    }
    return std::nullopt;
}

QJsonObject Level(int level, bool on) {
    return {{QStringLiteral("level"), level}, {QStringLiteral("on"), on}};
}

QJsonObject Show(CZentrelHS6533Device& headset, const QString& report) {
    const HeadsetSound& sound = headset.Sound();
    const profiles::HeadsetSystemSettings& settings = sound.Settings();
    QJsonArray bands;
    for (int32_t band : sound.CurrentBands()) {
        bands.append(band);
    }
    QJsonArray names;
    for (const std::string& name : sound.CustomNames()) {
        names.append(QString::fromStdString(name));
    }
    const profiles::LightSetting& light = headset.Headset().Light();
    return {
        {QStringLiteral("link"), headset.Channel().IsOpen() ? QStringLiteral("open") : QStringLiteral("closed")},
        {QStringLiteral("preset"), settings.eqType},
        {QStringLiteral("customIndex"), settings.customEqIndex},
        {QStringLiteral("bands"), bands},
        {QStringLiteral("customCurves"), names},
        {QStringLiteral("microphone"), Level(settings.micInValue, settings.micInSelect != 0)},
        {QStringLiteral("monitor"), Level(settings.micMonitorValue, settings.micMonitorSelect != 0)},
        {QStringLiteral("voiceChanger"),
         QJsonObject{{QStringLiteral("on"), settings.magicEnable != 0}, {QStringLiteral("voice"), settings.magicType}}},
        {QStringLiteral("light"), LightJson(light, headset.Headset().Names())},
        {QStringLiteral("status"), QString::fromStdString(headset.AudioStatus())},
        {QStringLiteral("plugin"), QJsonDocument::fromJson(report.toUtf8()).object()},
    };
}

// What a change asks of the page, as its controls would; "" when the words
// are not one.
QString Change(CZentrelHS6533Device& headset, const QStringList& args) {
    HeadsetSound& sound = headset.Sound();
    HeadsetPageView& view = headset.View();
    const QString what = args.value(0);
    const QString verb = args.value(1);
    const std::optional<int> number = Number(args.value(2));
    const std::optional<bool> onOff = OnOff(args.value(2));
    if (what == QLatin1String("eq") && verb == QLatin1String("preset") && number && args.size() == 3) {
        sound.ApplyPreset(*number);
        return {};
    }
    if (what == QLatin1String("eq") && verb == QLatin1String("band") && number && args.size() == 4) {
        const std::optional<int> value = Number(args.value(3));
        if (!value || *number < 0 || *number > 9 || *value < -12 || *value > 12) {
            return QStringLiteral("a band is 0-9 and its gain -12 to 12");
        }
        view.SetBand(*number, *value);
        sound.BandChanged(*number);
        return {};
    }
    if (what == QLatin1String("eq") && args.size() == 3 &&
        (verb == QLatin1String("save") || verb == QLatin1String("select") || verb == QLatin1String("delete"))) {
        const std::string name = args.value(2).toStdString();
        if (verb == QLatin1String("save")) {
            view.SetCustomName(name);
            const int saved = sound.SaveCustomCurve();
            return saved == 1   ? QString()
                   : saved == 0 ? QStringLiteral("a curve of that name exists")
                                : QStringLiteral("20 curves exist already");
        }
        const auto& names = sound.CustomNames();
        const auto found = std::find(names.begin(), names.end(), name);
        if (found == names.end()) {
            return QStringLiteral("no curve is called %1").arg(args.value(2));
        }
        view.SelectCustom(static_cast<int>(found - names.begin()));
        verb == QLatin1String("select") ? sound.ApplyCustomCurve() : sound.DeleteCustomCurve();
        return {};
    }
    const bool mic = what == QLatin1String("mic");
    if ((mic || what == QLatin1String("monitor")) && args.size() == 3) {
        if (verb == QLatin1String("level") && number && *number >= 0 && *number <= 100) {
            mic ? view.SetMicLevel(*number) : view.SetMonitorLevel(*number);
            mic ? sound.SetMicLevel() : sound.SetMonitorLevel();
            return {};
        }
        if (verb == QLatin1String("mute") && onOff) {
            mic ? view.SetMicOption(!*onOff) : view.SetMonitorOption(!*onOff);
            mic ? sound.ToggleMicMute(!*onOff) : sound.ToggleMonitorMute(!*onOff);
            return {};
        }
    }
    if (what == QLatin1String("voice") && args.size() == 2) {
        if (const std::optional<bool> on = OnOff(verb)) {
            view.SetVoiceSwitch(*on);
            sound.SetVoiceChanger();
            return {};
        }
        if (const std::optional<int> voice = Number(verb); voice && *voice >= 1 && *voice <= 4) {
            sound.SelectVoice(*voice);
            return {};
        }
    }
    return QStringLiteral("usage");
}

}  // namespace

void HeadsetCommand::Run(AppWindow& window, const QStringList& args, Reply reply) {
    CZentrelHS6533Device* found = FirstPage<CZentrelHS6533Device>(window);
    if (found == nullptr) {
        reply(JsonError(QStringLiteral("the application has no headset page")));
        return;
    }
    QPointer<CZentrelHS6533Device> headset(found);
    if (args == QStringList{QStringLiteral("show")}) {
        headset->AskAudioReport([headset, reply](const std::string& report) {
            if (headset) {
                reply(JsonAnswer(Show(*headset, QString::fromStdString(report))));
            }
        });
        return;
    }
    const std::string refusedBefore = headset->View().LastRefusal();
    const QString error = Change(*headset, args);
    if (error == QLatin1String("usage")) {
        reply(JsonError(QStringLiteral("headset takes show, eq preset N, eq band N VALUE, eq save|select|delete "
                                       "NAME, mic|monitor level N, mic|monitor mute on|off, voice on|off|1-4")));
        return;
    }
    if (!error.isEmpty()) {
        reply(JsonError(error));
        return;
    }
    // The answer once the plug-in answered this change: a refusal is said.
    headset->AfterAudio([headset, reply, refusedBefore] {
        if (!headset) {
            return;
        }
        const std::string& refused = headset->View().LastRefusal();
        reply(refused != refusedBefore ? JsonError(QString::fromStdString(refused)) : JsonAnswer({}));
    });
}

}  // namespace kx520
