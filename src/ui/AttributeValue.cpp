#include "ui/AttributeValue.h"

#include <QStringList>

namespace kx520::ui {

namespace {

std::optional<QList<int>> ParseInts(const QString& text, int count) {
    const QStringList parts = text.split(',');
    if (parts.size() != count) {
        return std::nullopt;
    }
    QList<int> values;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok) {
            return std::nullopt;
        }
        values.append(value);
    }
    return values;
}

}  // namespace

std::optional<bool> ParseBool(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value == QLatin1String("true") || value == QLatin1String("1")) {
        return true;
    }
    if (value == QLatin1String("false") || value == QLatin1String("0")) {
        return false;
    }
    return std::nullopt;
}

std::optional<int> ParseInt(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 0);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<QColor> ParseColour(const QString& text) {
    QString hex = text.trimmed();
    if (hex.startsWith('#')) {
        hex.remove(0, 1);
    } else if (hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        hex.remove(0, 2);
    } else {
        return std::nullopt;
    }
    bool ok = false;
    const uint value = hex.toUInt(&ok, 16);
    if (!ok || (hex.size() != 6 && hex.size() != 8)) {
        return std::nullopt;
    }
    const uint argb = hex.size() == 6 ? (0xFF000000u | value) : value;
    return QColor::fromRgba(argb);
}

std::optional<QSize> ParseSize(const QString& text) {
    const auto values = ParseInts(text, 2);
    return values ? std::optional<QSize>(QSize((*values)[0], (*values)[1])) : std::nullopt;
}

std::optional<QMargins> ParseMargins(const QString& text) {
    const auto v = ParseInts(text, 4);
    return v ? std::optional<QMargins>(QMargins((*v)[0], (*v)[1], (*v)[2], (*v)[3]))
             : std::nullopt;
}

std::optional<QRect> ParseRect(const QString& text) {
    const auto v = ParseInts(text, 4);
    if (!v) {
        return std::nullopt;
    }
    return QRect((*v)[0], (*v)[1], (*v)[2] - (*v)[0], (*v)[3] - (*v)[1]);
}

}  // namespace kx520::ui
