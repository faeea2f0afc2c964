#pragma once

#include <QColor>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace kx520::ui {

// Values of skin attributes. Each returns nothing for text it cannot read,
// so the builder can report the attribute.
std::optional<bool> ParseBool(const QString& text);
std::optional<int> ParseInt(const QString& text);
// "#AARRGGBB", "#RRGGBB" or "0xAARRGGBB".
std::optional<QColor> ParseColour(const QString& text);
// Reads `value` as an integer and hands it to `apply`; false when it does
// not read.
template <typename Apply>
bool WithInt(const QString& value, Apply apply) {
    const auto number = ParseInt(value);
    if (!number) {
        return false;
    }
    apply(*number);
    return true;
}

// "w,h".
std::optional<QSize> ParseSize(const QString& text);
// "l,t,r,b" as margins.
std::optional<QMargins> ParseMargins(const QString& text);
// "l,t,r,b" as a rectangle from (l, t) to (r, b), right and bottom excluded.
std::optional<QRect> ParseRect(const QString& text);

}  // namespace kx520::ui
