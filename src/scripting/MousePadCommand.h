#pragma once

#include <QString>
#include <QStringList>

namespace kx520 {

class AppWindow;

// `kx520ctl mousepad show`: what the running application holds for the
// pad. The answer is a JSON object: `link`, `onboardProfile`, `profile`
// (the profile list's current name), `record` (the 26 bytes as the pad
// last answered them, null before any read), `recordMode` (the name of
// the effect that record's code names, "" when none), `light`; or
// {"error": why}.
class MousePadCommand {
public:
    static QString Run(AppWindow& window, const QStringList& args);
};

}  // namespace kx520
