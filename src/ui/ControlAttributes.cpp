#include "ui/ControlAttributes.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <utility>

#include "ui/AttributeValue.h"
#include "ui/CControlUI.h"

namespace kx520::ui {

namespace {

std::optional<Qt::Alignment> ParseAlign(const QString& text) {
    Qt::Alignment horizontal = Qt::AlignHCenter;
    Qt::Alignment vertical = Qt::AlignVCenter;
    for (const QString& part : text.toLower().split(QRegularExpression(QStringLiteral("[|, ]+")),
                                                  Qt::SkipEmptyParts)) {
        if (part == QLatin1String("left")) {
            horizontal = Qt::AlignLeft;
        } else if (part == QLatin1String("right")) {
            horizontal = Qt::AlignRight;
        } else if (part == QLatin1String("center")) {
            horizontal = Qt::AlignHCenter;
        } else if (part == QLatin1String("top")) {
            vertical = Qt::AlignTop;
        } else if (part == QLatin1String("bottom")) {
            vertical = Qt::AlignBottom;
        } else if (part == QLatin1String("vcenter")) {
            vertical = Qt::AlignVCenter;
        } else {
            return std::nullopt;
        }
    }
    return horizontal | vertical;
}

std::optional<Qt::CursorShape> CursorOf(const QString& name) {
    static const std::pair<const char*, Qt::CursorShape> kCursors[] = {
        {"arrow", Qt::ArrowCursor},   {"hand", Qt::PointingHandCursor},
        {"ibeam", Qt::IBeamCursor},   {"cross", Qt::CrossCursor},
        {"wait", Qt::WaitCursor},     {"sizewe", Qt::SizeHorCursor},
        {"sizens", Qt::SizeVerCursor}, {"sizeall", Qt::SizeAllCursor},
        {"no", Qt::ForbiddenCursor},
    };
    for (const auto& [cursorName, shape] : kCursors) {
        if (name.compare(QLatin1String(cursorName), Qt::CaseInsensitive) == 0) {
            return shape;
        }
    }
    return std::nullopt;
}

}  // namespace

bool ControlAttributes::Apply(CControlUI& control, const QString& key, const QString& value) {
    if (key == QLatin1String("mouse")) {
        const auto flag = ParseBool(value);
        if (!flag) {
            return false;
        }
        control.SetMouseEnabled(*flag);
        return true;
    }
    if (key == QLatin1String("cursor")) {
        const auto shape = CursorOf(value);
        if (!shape) {
            return false;
        }
        control.setCursor(*shape);
        return true;
    }
    if (key == QLatin1String("name")) {
        control.SetName(value);
    } else if (key == QLatin1String("text")) {
        control.SetText(value);
    } else if (key == QLatin1String("tooltip")) {
        control.SetToolTip(value);
    } else if (key == QLatin1String("userdata")) {
        control.SetUserData(value);
    } else if (key == QLatin1String("bkimage")) {
        control.SetBkImage(value);
    } else if (key == QLatin1String("visible") || key == QLatin1String("enabled") ||
               key == QLatin1String("float") || key == QLatin1String("plaintext")) {
        const auto flag = ParseBool(value);
        if (!flag) {
            return false;
        }
        if (key == QLatin1String("visible")) {
            control.SetVisible(*flag);
        } else if (key == QLatin1String("enabled")) {
            control.SetEnabled(*flag);
        } else if (key == QLatin1String("float")) {
            control.SetFloat(*flag);
        } else {
            control.SetPlainText(*flag);
        }
    } else if (key == QLatin1String("bkcolor") || key == QLatin1String("bordercolor") ||
               key == QLatin1String("textcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        if (key == QLatin1String("bkcolor")) {
            control.SetBkColor(*colour);
        } else if (key == QLatin1String("textcolor")) {
            control.SetTextColor(*colour);
        } else {
            control.SetBorder(*colour, std::max(control.GetBorderSize(), 1), control.GetBorderRound());
        }
    } else if (key == QLatin1String("bordersize") || key == QLatin1String("borderround") ||
               key == QLatin1String("width") || key == QLatin1String("height") ||
               key == QLatin1String("font")) {
        const auto number = ParseInt(value);
        if (!number || *number < (key == QLatin1String("font") ? -1 : 0)) {
            return false;
        }
        if (key == QLatin1String("bordersize")) {
            control.SetBorder(control.GetBorderColor(), *number, control.GetBorderRound());
        } else if (key == QLatin1String("borderround")) {
            control.SetBorder(control.GetBorderColor(), control.GetBorderSize(), *number);
        } else if (key == QLatin1String("width")) {
            control.SetFixedWidth(*number);
        } else if (key == QLatin1String("height")) {
            control.SetFixedHeight(*number);
        } else {
            control.SetFont(*number);
        }
    } else if (key == QLatin1String("minsize") || key == QLatin1String("maxsize")) {
        const auto size = ParseSize(value);
        if (!size) {
            return false;
        }
        key == QLatin1String("minsize") ? control.SetMinSize(*size) : control.SetMaxSize(*size);
    } else if (key == QLatin1String("inset")) {
        const auto inset = ParseMargins(value);
        if (!inset) {
            return false;
        }
        control.SetInset(*inset);
    } else if (key == QLatin1String("pos")) {
        const auto pos = ParseRect(value);
        if (!pos) {
            return false;
        }
        control.SetFloatPos(*pos);
    } else if (key == QLatin1String("align")) {
        const auto align = ParseAlign(value);
        if (!align) {
            return false;
        }
        control.SetTextAlign(*align);
    } else {
        return false;
    }
    return true;
}

}  // namespace kx520::ui
