#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kx520 {

class AppWindow;

// `kx520ctl mouse ...` in the running application: what it holds for the
// mouse, and its sensitivity stages changed as the page changes them.
// Arguments: "show" | "dpi set STAGE VALUE [--y V] [--color #RRGGBB]
// [--enabled on|off]" | "dpi active STAGE" | "rate N" | "shoot write". The
// answer, given to `reply` once the mouse answered, is a JSON object:
// {"error": why}, or the mouse as "show" tells it.
class MouseCommand {
public:
    static void Run(AppWindow& window, const QStringList& args, std::function<void(const QString&)> reply);
};

}  // namespace kx520
