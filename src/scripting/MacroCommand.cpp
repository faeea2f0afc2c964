#include "scripting/MacroCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <json/writer.h>

#include "appwindow/AppWindow.h"
#include "scripting/JsonAnswer.h"
#include "pageactions/MacroPageActions.h"
#include "scripting/ScriptReply.h"
#include "deviceui/CDeviceOptionUI.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CMacroControlUI.h"
#include "ui/CControlUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {

namespace {

CZentrelUSBDevice* DeviceOf(AppWindow& window, const QString& kind) {
    const int wanted = kind == QLatin1String("keyboard") ? 1 : kind == QLatin1String("mouse") ? 2 : 0;
    for (CDeviceOptionUI* option : window.DeviceOptions()) {
        CZentrelUSBDevice* device = option->Device();
        if (device != nullptr && device->ProfileKind() == wanted && device->MacroPage() != nullptr) {
            return device;
        }
    }
    return nullptr;
}

// A macro by its name (any letter case) or its 0-based place; -1 for none.
int FindMacro(const CMacroControlUI& page, const QString& given) {
    const int byName = page.Store().FindName(given.toStdString());
    if (byName >= 0) {
        return byName;
    }
    bool number = false;
    const int index = given.toInt(&number);
    return number && index >= 0 && index < page.MacroCount() ? index : -1;
}

QJsonObject Summary(const CMacroControlUI& page, int index) {
    const auto& entry = page.Store().Entries()[static_cast<size_t>(index)];
    const auto rows = profiles::MacroStore::LoadMacroEvents(page.Store().MacroPath(static_cast<size_t>(index)));
    return {{QStringLiteral("index"), index},
            {QStringLiteral("name"), QString::fromStdString(entry.name)},
            {QStringLiteral("guid"), QString::fromStdString(entry.id)},
            {QStringLiteral("events"), static_cast<int>(rows.size())}};
}

// The events as the file stores them.
QJsonArray Events(const CMacroControlUI& page, int index) {
    QJsonArray events;
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    for (const auto& row : profiles::MacroStore::LoadMacroEvents(page.Store().MacroPath(static_cast<size_t>(index)))) {
        const QByteArray text = QByteArray::fromStdString(Json::writeString(writer, row.event));
        events.append(QJsonDocument::fromJson(text).object());
    }
    return events;
}

QString List(const CMacroControlUI& page) {
    QJsonArray macros;
    for (int i = 0; i < page.MacroCount(); ++i) {
        macros.append(Summary(page, i));
    }
    return JsonAnswer({{QStringLiteral("macros"), macros}});
}

}  // namespace

QString MacroCommand::Run(AppWindow& window, MacroPageActions& actions, const QStringList& args) {
    if (args.size() < 2) {
        return JsonError(QStringLiteral("macro needs a verb and a device kind"));
    }
    const QString& verb = args[0];
    CZentrelUSBDevice* device = DeviceOf(window, args[1]);
    if (device == nullptr) {
        return JsonError(QStringLiteral("the application has no %1 macro page").arg(args[1]));
    }
    CMacroControlUI& page = *device->MacroPage();
    if (page.Recording()) {
        return JsonError(QStringLiteral("the %1 is recording a macro").arg(args[1]));
    }
    const QStringList rest = args.mid(2);
    ScriptReply told(*device, {});  // what the page would tell is the answer
    const auto failed = [&page](const QString& otherwise) {
        const std::string& why = page.Store().LastError();
        return JsonError(why.empty() ? otherwise : QString::fromStdString(why));
    };
    if (verb == QLatin1String("list") && rest.isEmpty()) {
        return List(page);
    }
    if (verb == QLatin1String("new") && rest.isEmpty()) {
        const auto added = page.AddMacro();
        if (!added) {
            return failed(QStringLiteral("no macro added"));
        }
        device->OnMacrosChanged();
        return JsonAnswer(Summary(page, static_cast<int>(*added)));
    }
    if (verb == QLatin1String("import") && rest.size() == 1) {
        const auto imported = page.ImportMacro(rest[0].toStdString());
        if (!imported) {
            return failed(QStringLiteral("%1 was not imported").arg(rest[0]));
        }
        device->OnMacrosChanged();
        return JsonAnswer(Summary(page, static_cast<int>(*imported)));
    }
    const int index = rest.isEmpty() ? -1 : FindMacro(page, rest[0]);
    if (rest.isEmpty() || index < 0) {
        return JsonError(rest.isEmpty() ? QStringLiteral("macro %1 needs a macro").arg(verb)
                                    : QStringLiteral("no macro '%1'").arg(rest[0]));
    }
    if (verb == QLatin1String("show") && rest.size() == 1) {
        QJsonObject shown = Summary(page, index);
        shown[QStringLiteral("Events")] = Events(page, index);
        return JsonAnswer(shown);
    }
    page.SelectMacro(index);
    if (verb == QLatin1String("export") && rest.size() == 2) {
        return page.ExportSelected(rest[1].toStdString()) ? JsonAnswer({})
                                                           : failed(QStringLiteral("%1 could not be written").arg(rest[1]));
    }
    if (verb == QLatin1String("delete") && rest.size() == 1) {
        if (!actions.DeleteSelectedMacro(*device, false)) {
            return failed(QStringLiteral("not deleted"));
        }
        return told.Told().isEmpty() ? JsonAnswer({}) : JsonError(told.Told());
    }
    if (verb == QLatin1String("rename") && rest.size() == 2) {
        ui::CControlUI* edit = ui::CPaintManagerUI::FindSubControlByName(&page, QStringLiteral("macro_edit_macroname"));
        if (edit == nullptr) {
            return JsonError(QStringLiteral("the page has no name field"));
        }
        edit->SetText(rest[1]);
        const auto result = page.RenameSelected();
        edit->SetText(QString());  // the script's name is not left for the user
        switch (result) {
            case profiles::MacroStore::RenameResult::kRenamed:
                device->OnMacrosChanged();
                return JsonAnswer(Summary(page, index));
            case profiles::MacroStore::RenameResult::kInUse:
                return JsonError(QStringLiteral("the name '%1' is in use").arg(rest[1]));
            case profiles::MacroStore::RenameResult::kBlank:
                return JsonError(QStringLiteral("a macro's name cannot be blank"));
            default:
                return failed(QStringLiteral("not renamed"));
        }
    }
    return JsonError(QStringLiteral("macro takes list, show, new, rename, delete, import or export"));
}

}  // namespace kx520
