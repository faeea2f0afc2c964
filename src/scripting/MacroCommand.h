#pragma once

#include <QString>
#include <QStringList>

namespace kx520 {

class AppWindow;
class MacroPageActions;

// `kx520ctl macro ...` in the running application: the macros of the
// keyboard's or the mouse's page, changed as the page changes them.
// Arguments: VERB KIND [MACRO] [VALUE], MACRO a name or a 0-based index.
// The answer is a JSON object: {"error": why} or what the verb shows.
class MacroCommand {
public:
    static QString Run(AppWindow& window, MacroPageActions& actions, const QStringList& args);
};

}  // namespace kx520
