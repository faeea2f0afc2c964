#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace kx520 {

class CZentrelUSBDevice;
class DefaultNameLists;

namespace profiles {
struct LightSetting;
}

// kx520ctl lighting KIND set's options, applied to the device as the
// lighting page applies a change: "--mode NAME|N", "--brightness 0-4",
// "--speed 0-4", "--direction left|right", "--color #RRGGBB",
// "--multicolor on|off". A mode is an effect of the device's list
// (`names`), by its English name (letter case ignored) or its number.
// `reply` gets "" or why not, once the device answered.
// A light setting as `kx520ctl lighting` shows it, the effect's name in the
// window's language.
QJsonObject LightJson(const profiles::LightSetting& light, const DefaultNameLists& names);

void ApplyLightingWords(CZentrelUSBDevice& device, const DefaultNameLists& names, const QStringList& words,
                        std::function<void(const QString&)> reply);

}  // namespace kx520
