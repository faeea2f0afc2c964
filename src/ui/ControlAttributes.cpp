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

// The parsed value handed to `take`; false when it did not parse.
template <typename Parsed, typename Take>
bool TakeParsed(const Parsed& parsed, Take take) {
    if (!parsed) {
        return false;
    }
    take(*parsed);
    return true;
}

// A number of at least `lowest`.
std::optional<int> AtLeast(const QString& value, int lowest) {
    const auto number = ParseInt(value);
    return number && *number >= lowest ? number : std::nullopt;
}

struct Attribute {
    const char* key;
    bool (*apply)(CControlUI& control, const QString& value);
};

// Every attribute a control takes, and what it sets.
constexpr Attribute kAttributes[] = {
    {"mouse", [](CControlUI& c, const QString& v) { return TakeParsed(ParseBool(v), [&c](bool on) { c.SetMouseEnabled(on); }); }},
    {"cursor", [](CControlUI& c, const QString& v) { return TakeParsed(CursorOf(v), [&c](Qt::CursorShape shape) { c.setCursor(shape); }); }},
    {"name", [](CControlUI& c, const QString& v) { c.SetName(v); return true; }},
    {"text", [](CControlUI& c, const QString& v) { c.SetText(v); return true; }},
    {"tooltip", [](CControlUI& c, const QString& v) { c.SetToolTip(v); return true; }},
    {"userdata", [](CControlUI& c, const QString& v) { c.SetUserData(v); return true; }},
    {"bkimage", [](CControlUI& c, const QString& v) { c.SetBkImage(v); return true; }},
    {"visible", [](CControlUI& c, const QString& v) { return TakeParsed(ParseBool(v), [&c](bool on) { c.SetVisible(on); }); }},
    {"enabled", [](CControlUI& c, const QString& v) { return TakeParsed(ParseBool(v), [&c](bool on) { c.SetEnabled(on); }); }},
    {"float", [](CControlUI& c, const QString& v) { return TakeParsed(ParseBool(v), [&c](bool on) { c.SetFloat(on); }); }},
    {"opaque", [](CControlUI& c, const QString& v) { return TakeParsed(ParseBool(v), [&c](bool on) { c.SetOpaque(on); }); }},
    {"plaintext", [](CControlUI& c, const QString& v) { return TakeParsed(ParseBool(v), [&c](bool on) { c.SetPlainText(on); }); }},
    {"bkcolor", [](CControlUI& c, const QString& v) { return TakeParsed(ParseColour(v), [&c](const QColor& colour) { c.SetBkColor(colour); }); }},
    {"textcolor", [](CControlUI& c, const QString& v) { return TakeParsed(ParseColour(v), [&c](const QColor& colour) { c.SetTextColor(colour); }); }},
    {"bordercolor", [](CControlUI& c, const QString& v) {
         return TakeParsed(ParseColour(v), [&c](const QColor& colour) {
             c.SetBorder(colour, std::max(c.GetBorderSize(), 1), c.GetBorderRound());
         });
     }},
    {"bordersize", [](CControlUI& c, const QString& v) {
         return TakeParsed(AtLeast(v, 0), [&c](int size) { c.SetBorder(c.GetBorderColor(), size, c.GetBorderRound()); });
     }},
    {"borderround", [](CControlUI& c, const QString& v) {
         return TakeParsed(AtLeast(v, 0), [&c](int round) { c.SetBorder(c.GetBorderColor(), c.GetBorderSize(), round); });
     }},
    {"width", [](CControlUI& c, const QString& v) { return TakeParsed(AtLeast(v, 0), [&c](int width) { c.SetFixedWidth(width); }); }},
    {"height", [](CControlUI& c, const QString& v) { return TakeParsed(AtLeast(v, 0), [&c](int height) { c.SetFixedHeight(height); }); }},
    {"font", [](CControlUI& c, const QString& v) { return TakeParsed(AtLeast(v, -1), [&c](int font) { c.SetFont(font); }); }},
    {"minsize", [](CControlUI& c, const QString& v) { return TakeParsed(ParseSize(v), [&c](const QSize& size) { c.SetMinSize(size); }); }},
    {"maxsize", [](CControlUI& c, const QString& v) { return TakeParsed(ParseSize(v), [&c](const QSize& size) { c.SetMaxSize(size); }); }},
    {"inset", [](CControlUI& c, const QString& v) { return TakeParsed(ParseMargins(v), [&c](const QMargins& inset) { c.SetInset(inset); }); }},
    {"pos", [](CControlUI& c, const QString& v) { return TakeParsed(ParseRect(v), [&c](const QRect& pos) { c.SetFloatPos(pos); }); }},
    {"align", [](CControlUI& c, const QString& v) { return TakeParsed(ParseAlign(v), [&c](Qt::Alignment align) { c.SetTextAlign(align); }); }},
};

}  // namespace

bool ControlAttributes::Apply(CControlUI& control, const QString& key, const QString& value) {
    for (const Attribute& attribute : kAttributes) {
        if (key == QLatin1String(attribute.key)) {
            return attribute.apply(control, value);
        }
    }
    return false;
}

}  // namespace kx520::ui
