#include "scripting/MouseCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <json/json.h>

#include "appwindow/AppWindow.h"
#include "scripting/FirstPage.h"
#include "scripting/JsonAnswer.h"
#include "scripting/LightingCommand.h"
#include "scripting/RecoilCommand.h"
#include "scripting/ScriptReply.h"
#include "deviceui/CDeviceOptionUI.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "keycodes/KeyLabels.h"
#include "lighting/LightReport.h"
#include "catalog/PageKeyDefaults.h"
#include "profileui/CDeviceProfileUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

QString Colour(const profiles::DpiStage& stage) {
    return QStringLiteral("#%1%2%3")
        .arg(stage.red, 2, 16, QLatin1Char('0'))
        .arg(stage.green, 2, 16, QLatin1Char('0'))
        .arg(stage.blue, 2, 16, QLatin1Char('0'));
}

// Each button: its own name, what it does now (as its tool-tip says) and
// its code.
QJsonArray Buttons(CZentrelMouseDevice& mouse) {
    QJsonArray buttons;
    const auto keys = mouse.KeyEditor()->FullList();
    auto resolve = [](const std::string& id) {
        return ui::CResourceManager::Instance().GetText(QString::fromStdString(id)).toStdString();
    };
    for (size_t i = 0; i < keys.size() && i < kMouseButtonDefaults.size(); ++i) {
        const profiles::KeyAction& now = keys[i].assignment;
        const auto label = KeyLabels::AssignmentLabel(now, mouse.Mouse().Names().MacroNames(), KeyLabels::Device::kMouse);
        const KeyCode& factory = kMouseButtonDefaults[i];
        buttons.append(QJsonObject{
            {QStringLiteral("button"), static_cast<int>(i)},
            {QStringLiteral("name"), QString::fromStdString(resolve(KeyLabels::OwnButtonName(i)))},
            {QStringLiteral("does"), label ? QString::fromStdString(label->Compose(resolve)) : QString()},
            {QStringLiteral("code"), QJsonArray{now.type, now.param1, now.param2}},
            {QStringLiteral("factory"), KeyCode{now.type, now.param1, now.param2} == factory}});
    }
    return buttons;
}

QJsonObject Show(CZentrelMouseDevice& mouse) {
    MouseCore& core = mouse.Mouse();
    const MouseSensitivity& scale = core.Scale();
    QJsonArray stages;
    const auto& list = core.Profile().Stages();
    for (size_t i = 0; i < list.size() && i < static_cast<size_t>(MouseCore::kStages); ++i) {
        const profiles::DpiStage& stage = list[i];
        // Before the mouse told its scale a step has no value yet.
        const bool known = scale.step != 0;
        stages.append(QJsonObject{{QStringLiteral("stage"), static_cast<int>(i)},
                                  {QStringLiteral("enabled"), stage.enabled != 0},
                                  {QStringLiteral("value"), known ? QJsonValue(scale.ValueOfStep(stage.dpiX)) : QJsonValue()},
                                  {QStringLiteral("y"), known ? QJsonValue(scale.ValueOfStep(stage.dpiY)) : QJsonValue()},
                                  {QStringLiteral("step"), stage.dpiX},
                                  {QStringLiteral("color"), Colour(stage)}});
    }
    const auto& channel = core.Channel();
    const QString link = !channel.IsOpen() ? QStringLiteral("none")
                         : channel.ReceiverMode() ? QStringLiteral("receiver")
                                                  : QStringLiteral("cable");
    const CDeviceProfileUI* profiles = mouse.ProfileControl();
    return {{QStringLiteral("link"), link},
            {QStringLiteral("onboardProfile"), core.OnboardProfile()},
            {QStringLiteral("profile"), profiles != nullptr ? profiles->GetNameAt(profiles->GetCurrentIndex()) : QString()},
            {QStringLiteral("activeStage"), MouseSensitivity::ClampStage(core.Profile().GetActiveStage())},
            {QStringLiteral("reportRate"),
             MouseSensitivity::PollingOption(core.Profile().SystemSettings().reportRate)},
            {QStringLiteral("stages"), stages},
            {QStringLiteral("light"), LightJson(core.Light(), core.Names())},
            {QStringLiteral("buttons"), Buttons(mouse)},
            {QStringLiteral("scale"), QJsonObject{{QStringLiteral("sensor"), scale.sensor},
                                                  {QStringLiteral("step"), scale.step},
                                                  {QStringLiteral("highest"), scale.highest},
                                                  {QStringLiteral("lowest"), scale.lowest}}}};
}

// "--name value" pairs after the positional words; an option without its
// value reads as "" (refused by its check).
std::optional<QString> Option(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(QStringLiteral("--") + name);
    if (at < 0) {
        return std::nullopt;
    }
    return at + 1 < args.size() ? args[at + 1] : QString();
}

}  // namespace

namespace {

// A stage or report rate change as the page makes it; `written` hears
// whether the mouse took it. "" when it was made, else why not.
std::string Change(CZentrelMouseDevice& mouse, const QStringList& args, CZentrelUSBDevice::Written written) {
    bool ok = false;
    const int stage = args.size() >= 3 ? args[2].toInt(&ok) : -1;
    if (args.size() == 2 && args[0] == QLatin1String("rate")) {
        bool number = false;
        const int option = args[1].toInt(&number);
        return number ? mouse.SetReportRate(option, std::move(written)) : std::string("rate takes 0 to 4");
    }
    if (args.size() == 3 && args[0] == QLatin1String("dpi") && args[1] == QLatin1String("active") && ok) {
        return mouse.SelectStage(stage, std::move(written)) ? std::string() : std::string("the mouse has stages 0 to 4");
    }
    if (args.size() < 4 || args[0] != QLatin1String("dpi") || args[1] != QLatin1String("set") || !ok) {
        return "mouse takes show, dpi set STAGE VALUE [--y V] [--color #RRGGBB] [--enabled on|off], "
               "dpi active STAGE, rate N or shoot write";
    }
    CZentrelMouseDevice::StageChange change;
    bool number = false;
    change.value = args[3].toInt(&number);
    if (!number) {
        return "a stage's value is a number, not '" + args[3].toStdString() + "'";
    }
    if (const auto y = Option(args, QStringLiteral("y"))) {
        change.y = y->toInt(&number);
        if (!number) {
            return "--y takes a number";
        }
    }
    if (const auto colour = Option(args, QStringLiteral("color"))) {
        const uint parsed = colour->mid(1).toUInt(&number, 16);
        if (!colour->startsWith(QLatin1Char('#')) || colour->size() != 7 || !number) {
            return "--color takes #RRGGBB";
        }
        change.colour = parsed;
    }
    if (const auto enabled = Option(args, QStringLiteral("enabled"))) {
        if (*enabled != QLatin1String("on") && *enabled != QLatin1String("off")) {
            return "--enabled takes on or off";
        }
        change.enabled = *enabled == QLatin1String("on");
    }
    return mouse.ChangeStage(stage, change, std::move(written));
}

// The recoil patterns to the mouse on its exchange thread.
void WriteShoot(CZentrelMouseDevice& mouse, const std::shared_ptr<ScriptReply>& pending) {
    const bool started =
        mouse.WriteShoot([pending, page = QPointer<CZentrelMouseDevice>(&mouse)](const MouseCore::ShootWrite& written) {
            if (written.result != protocol::kResultSuccess || page == nullptr) {
                pending->Answer(JsonError(QString::fromStdString(written.Reason())));
                return;
            }
            pending->Answer(JsonAnswer(Show(*page)));
        });
    if (!started) {
        pending->Answer(JsonError(pending->Told()));
    }
}

}  // namespace

void MouseCommand::Run(AppWindow& window, const QStringList& args, std::function<void(const QString&)> reply) {
    CZentrelMouseDevice* mouse = FirstPage<CZentrelMouseDevice>(window);
    if (mouse == nullptr) {
        reply(JsonError(QStringLiteral("the application has no mouse page")));
        return;
    }
    if (args.size() == 1 && args[0] == QLatin1String("show")) {
        reply(JsonAnswer(Show(*mouse)));
        return;
    }
    if (!args.isEmpty() && args[0] == QLatin1String("recoil")) {
        reply(RecoilCommand::Run(*mouse, args.mid(1)));
        return;
    }
    // What the page would tell the user (a profile not saved, a busy mouse) is the answer.
    auto pending = std::make_shared<ScriptReply>(*mouse, std::move(reply));
    if (args.size() == 2 && args[0] == QLatin1String("shoot") && args[1] == QLatin1String("write")) {
        WriteShoot(*mouse, pending);
        return;
    }
    const std::string why =
        Change(*mouse, args, [pending, page = QPointer<CZentrelMouseDevice>(mouse)](bool taken) {
            if (!taken || page == nullptr) {
                pending->Answer(JsonError(QStringLiteral("the mouse did not take the record (the profile keeps it)")));
                return;
            }
            pending->Answer(JsonAnswer(Show(*page)));
        });
    // Refused, or told at once (a profile that was not saved): answered now.
    if (!why.empty() || !pending->Told().isEmpty()) {
        pending->Answer(JsonError(pending->Told().isEmpty() ? QString::fromStdString(why) : pending->Told()));
    }
}

}  // namespace kx520
