#pragma once

#include <QString>
#include <QStringList>

namespace kx520 {

class CZentrelKeyboardDevice;

// kx520ctl lighting keyboard set's options, applied to the keyboard as the
// lighting page applies a change: "--mode NAME|N", "--brightness 0-4",
// "--speed 0-4", "--direction left|right", "--color #RRGGBB",
// "--multicolor on|off". A mode is an effect of the keyboard's list, by its
// English name (letter case ignored) or its number. "" or why not.
QString ApplyLightingWords(CZentrelKeyboardDevice& keyboard, const QStringList& words);

}  // namespace kx520
