#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/LanguageConfig.h"

namespace kx520 {

// `kx520ctl language list|set ID`: the languages the application offers
// and the one in use, or a change of it by its id (1033, 2052) as the
// settings window's combo makes it. JSON answers: {"current": index,
// "languages": [{"index", "id", "name", "caption"}]} for list, the same
// after a set; {"error": why} otherwise.
class LanguageCommand {
public:
    using Apply = std::function<void(int index)>;
    static QString Run(const std::optional<LanguageConfig>& config, int current, const QStringList& args,
                       const Apply& apply);
};

}  // namespace kx520
