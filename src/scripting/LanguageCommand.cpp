#include "scripting/LanguageCommand.h"

#include <QJsonArray>

#include "scripting/JsonAnswer.h"

namespace kx520 {

namespace {

QString ListAnswer(const LanguageConfig& config, int current) {
    QJsonArray languages;
    int index = 0;
    for (const LanguageEntry& entry : config.Entries()) {
        languages.append(QJsonObject{{QStringLiteral("index"), index++},
                                     {QStringLiteral("id"), entry.id},
                                     {QStringLiteral("name"), QString::fromStdString(entry.name)},
                                     {QStringLiteral("caption"), QString::fromStdString(entry.caption)}});
    }
    return JsonAnswer({{QStringLiteral("current"), current}, {QStringLiteral("languages"), languages}});
}

}  // namespace

QString LanguageCommand::Run(const std::optional<LanguageConfig>& config, int current, const QStringList& args,
                             const Apply& apply) {
    if (!config) {
        return JsonError(QStringLiteral("the language list (Language.config) cannot be read"));
    }
    if (args.size() == 1 && args.front() == QLatin1String("list")) {
        return ListAnswer(*config, current);
    }
    if (args.size() != 2 || args.front() != QLatin1String("set")) {
        return JsonError(QStringLiteral("usage: language list | language set ID"));
    }
    bool ok = false;
    const int id = args[1].toInt(&ok);
    const auto& entries = config->Entries();
    for (size_t index = 0; ok && index < entries.size(); ++index) {
        if (entries[index].id == id) {
            apply(static_cast<int>(index));
            return ListAnswer(*config, static_cast<int>(index));
        }
    }
    return JsonError(QStringLiteral("no language has the id %1").arg(args[1]));
}

}  // namespace kx520
