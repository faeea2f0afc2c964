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

// "min", "max" and "value" of a control with a range: whether the value
// read, or nothing for any other key.
template <typename Ranged>
std::optional<bool> SetRangeAttribute(Ranged& control, const QString& key, const QString& value) {
    if (key == QLatin1String("min")) {
        return WithInt(value, [&control](int v) { control.SetMinValue(v); });
    }
    if (key == QLatin1String("max")) {
        return WithInt(value, [&control](int v) { control.SetMaxValue(v); });
    }
    if (key == QLatin1String("value")) {
        return WithInt(value, [&control](int v) { control.SetValue(v); });
    }
    return std::nullopt;
}

// "w,h".
std::optional<QSize> ParseSize(const QString& text);
// "l,t,r,b" as margins.
std::optional<QMargins> ParseMargins(const QString& text);
// "l,t,r,b" as a rectangle from (l, t) to (r, b), right and bottom excluded.
std::optional<QRect> ParseRect(const QString& text);

}  // namespace kx520::ui
