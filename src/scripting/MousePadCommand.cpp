#include "scripting/MousePadCommand.h"

#include <QJsonArray>
#include <QJsonObject>

#include "mousepadui/CZentrelMousePadDevice.h"
#include "profileui/CDeviceProfileUI.h"
#include "scripting/FirstPage.h"
#include "scripting/JsonAnswer.h"
#include "scripting/LightingCommand.h"

namespace kx520 {

namespace {

QJsonValue Record(const MousePadCore& pad) {
    if (!pad.LastRead()) {
        return QJsonValue::Null;
    }
    QJsonArray bytes;
    for (const uint8_t byte : pad.LastRead()->bytes) {
        bytes.append(byte);
    }
    return bytes;
}

QString RecordMode(const MousePadCore& pad) {
    if (!pad.LastRead()) {
        return {};
    }
    const DefaultNameLists& names = pad.Names();
    const int position = names.PositionOf(pad.LastRead()->bytes[1]);
    return position < 0 ? QString() : QString::fromStdString(names.EffectNames()[static_cast<size_t>(position)]);
}

}  // namespace

QString MousePadCommand::Run(AppWindow& window, const QStringList& args) {
    CZentrelMousePadDevice* page = FirstPage<CZentrelMousePadDevice>(window);
    if (page == nullptr) {
        return JsonError(QStringLiteral("the application has no mouse pad page"));
    }
    if (args != QStringList{QStringLiteral("show")}) {
        return JsonError(QStringLiteral("mousepad takes show"));
    }
    const MousePadCore& pad = page->Pad();
    const CDeviceProfileUI* profiles = page->ProfileControl();
    return JsonAnswer({
        {QStringLiteral("link"), pad.Channel().IsOpen() ? QStringLiteral("open") : QStringLiteral("closed")},
        {QStringLiteral("onboardProfile"), pad.OnboardProfile()},
        {QStringLiteral("profile"), profiles != nullptr ? profiles->GetNameAt(profiles->GetCurrentIndex()) : QString()},
        {QStringLiteral("record"), Record(pad)},
        {QStringLiteral("recordMode"), RecordMode(pad)},
        {QStringLiteral("light"), LightJson(pad.Light(), pad.Names())},
    });
}

}  // namespace kx520
