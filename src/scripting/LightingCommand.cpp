#include "scripting/LightingCommand.h"

#include <QHash>
#include <QJsonDocument>
#include <json/json.h>

#include "scripting/ScriptReply.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "devicebase/DefaultNameLists.h"
#include "lighting/LightReport.h"
#include "pages/CLightControlUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

// The English names of the effects, whatever language the window shows.
const QHash<QString, QString>& EnglishTexts() {
    static const QHash<QString, QString> texts = [] {
        QString language;
        QHash<QString, QString> read;
        ui::CResourceManager::Instance().ReadLanguage(QStringLiteral("lang/en.xml"), language, read, nullptr);
        return read;
    }();
    return texts;
}

// The effect `word` names among the device's visible effects, or -1.
int EffectNamed(const DefaultNameLists& names, const QString& word, QString& allowed) {
    bool number = false;
    const int index = word.toInt(&number);
    int found = -1;
    for (size_t i = 0; i < names.EffectNames().size(); ++i) {
        if (!names.EffectVisible()[i]) {
            continue;
        }
        const QString id = QString::fromStdString(names.EffectNames()[i]);
        const QString english = EnglishTexts().value(id, id);
        allowed += (allowed.isEmpty() ? QString() : QStringLiteral(", ")) + english;
        if ((number && index == static_cast<int>(i)) || english.compare(word, Qt::CaseInsensitive) == 0) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool Step(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= 0 && value <= 4;
}

// The setting the words make of `setting`; "" or why not.
QString ReadLightingWords(CZentrelUSBDevice& device, const DefaultNameLists& names, const QStringList& words,
                          profiles::LightSetting& setting) {
    const QString kind = device.KindName();
    for (int i = 0; i < words.size(); i += 2) {
        const QString& name = words[i];
        if (i + 1 >= words.size()) {
            return name + QStringLiteral(" needs a value");
        }
        const QString& value = words[i + 1];
        int step = 0;
        if (name == QLatin1String("--mode")) {
            QString allowed;
            const int mode = EffectNamed(names, value, allowed);
            if (mode < 0) {
                return QStringLiteral("unknown effect '%1'; the %2 has: %3").arg(value, kind, allowed);
            }
            setting.mode = static_cast<uint8_t>(mode);
        } else if (name == QLatin1String("--brightness") || name == QLatin1String("--speed")) {
            if (!Step(value, step)) {
                return name + QStringLiteral(" takes 0 to 4");
            }
            (name == QLatin1String("--speed") ? setting.speed : setting.brightness) = static_cast<uint8_t>(step);
        } else if (name == QLatin1String("--direction")) {
            if (value != QLatin1String("left") && value != QLatin1String("right")) {
                return QStringLiteral("--direction takes left or right");
            }
            setting.direction =
                value == QLatin1String("left") ? CLightControlUI::kLeftDirection : CLightControlUI::kRightDirection;
        } else if (name == QLatin1String("--color")) {
            bool ok = value.size() == 7 && value.startsWith(QLatin1Char('#'));
            const uint rgb = value.mid(1).toUInt(&ok, 16);
            if (!ok || value.size() != 7) {
                return QStringLiteral("--color takes #RRGGBB");
            }
            // As the page's colour controls: one colour, the rainbow left.
            setting = device.LightPage() != nullptr ? device.LightPage()->TakeColour(setting, rgb)
                                                    : CLightControlUI::Coloured(setting, rgb);
        } else if (name == QLatin1String("--multicolor")) {
            if (value != QLatin1String("on") && value != QLatin1String("off")) {
                return QStringLiteral("--multicolor takes on or off");
            }
            setting.multiColor = value == QLatin1String("on") ? 1 : 0;
        } else {
            return QStringLiteral("unknown option ") + name;
        }
    }
    return {};
}

}  // namespace

QJsonObject LightJson(const profiles::LightSetting& setting, const DefaultNameLists& names) {
    Json::Value light = LightReport(setting, names.EffectNames());
    light["effectText"] =
        ui::CResourceManager::Instance().GetText(QString::fromStdString(light["effect"].asString())).toStdString();
    Json::StreamWriterBuilder writer;
    return QJsonDocument::fromJson(QByteArray::fromStdString(Json::writeString(writer, light))).object();
}

void ApplyLightingWords(CZentrelUSBDevice& device, const DefaultNameLists& names, const QStringList& words,
                        std::function<void(const QString&)> reply) {
    profiles::LightSetting setting = device.CurrentLightSetting();
    if (const QString why = ReadLightingWords(device, names, words, setting); !why.isEmpty()) {
        reply(why);
        return;
    }
    // A change made here leaves synchronised lighting, as one on the page does.
    device.SetSynchronised(false);
    auto pending = std::make_shared<ScriptReply>(device, std::move(reply));
    const QString kind = device.KindName();
    const bool saved = device.ApplyLightSetting(setting, [pending, kind](bool taken) {
        pending->Answer(taken ? QString()
                              : QStringLiteral("the %1 did not take the light setting (the profile keeps it)").arg(kind));
    });
    if (CLightControlUI* page = device.LightPage()) {
        page->ShowSetting(setting);  // the page shows what a script chose
    }
    if (!saved) {
        pending->Answer(pending->Told().isEmpty() ? QStringLiteral("the %1 profile was not saved").arg(kind)
                                                  : pending->Told());
    }
}

}  // namespace kx520
