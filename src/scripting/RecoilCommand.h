#pragma once

#include <QString>
#include <QStringList>

namespace kx520 {

class CZentrelMouseDevice;

// `kx520ctl mouse recoil ...` on the mouse's recoil page: "list", "show
// GUN", "set GUN BULLET [--x N] [--y N] [--delay MS]", "reset GUN",
// "import GUN FILE", "export GUN FILE". Guns 0-3 and bullets 0-29, as the
// files and their events count them; x is negative to the left, y positive
// downwards. The answer is a JSON object: the gun as "show" tells it (its
// bullets with `bullet`, `x`, `y`, `delay`), the list of guns, or
// {"error": why}.
class RecoilCommand {
public:
    static QString Run(CZentrelMouseDevice& mouse, const QStringList& args);
};

}  // namespace kx520
