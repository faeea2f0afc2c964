#include "keycodes/KeyLabels.h"

#include <array>
#include <span>

#include "keycodes/KeyCodeTables.h"
#include "catalog/PageKeyDefaults.h"

namespace kx520 {

namespace {

using profiles::KeyAction;

std::optional<KeyLabel> Named(const std::string& name) {
    return KeyLabel{{name}, true, false};
}

std::optional<KeyLabel> Literal(const std::string& text) {
    return KeyLabel{{text}, false, false};
}

// The row of `table` whose param1 (and, when asked, param2) are the code's.
std::optional<KeyLabel> RowName(std::span<const KeyCodeRow> table, const KeyAction& code,
                                bool matchParam2) {
    for (const KeyCodeRow& row : table) {
        if (row.param1 == code.param1 && (!matchParam2 || row.param2 == code.param2)) {
            return Named(row.name);
        }
    }
    return std::nullopt;
}

// A keyboard key: one row naming it, "close_text" for none, else the names
// of its modifier and key rows joined.
std::optional<KeyLabel> KeyName(const KeyAction& code, KeyLabels::Device device) {
    const auto table = KeyCodeTable();
    if (const auto single = RowName(table, code, true)) {
        return single;
    }
    if (code.param1 == 0 && code.param2 == 0) {
        return Named("close_text");
    }
    // The modifier rows and the key row it combines. A zero byte names
    // nothing: matched on it, every plain key would join the label.
    KeyLabel label;
    for (const KeyCodeRow& row : table) {
        if (row.type == code.type && ((code.param1 != 0 && row.param1 == code.param1) ||
                                      (code.param2 != 0 && row.param2 == code.param2))) {
            label.parts.emplace_back(row.name);
        }
    }
    if (device == KeyLabels::Device::kKeyboard && code.param1 == 0x10) {
        for (const KeyCodeRow& row : ShortcutTable()) {
            if (row.param2 == code.param2) {
                label.parts.emplace_back(row.name);
                label.lastJoinsDirectly = true;
                break;
            }
        }
    }
    if (label.parts.empty()) {
        return std::nullopt;
    }
    return label;
}

std::optional<KeyLabel> Special(const KeyAction& code) {
    if (code.type == 0xA0 && code.param1 == 0x02) {
        return Named("mouse_key_smart_key");
    }
    if (code.type == 0xA0 && code.param1 == 0x00) {
        return Named("close_text");
    }
    const int row = FindRow(KeyCodeTable(), code.type, code.param1, code.param2);
    if (row >= 0) {
        return Named(KeyCodeTable()[static_cast<size_t>(row)].name);
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeyLabel> KeyLabels::AssignmentLabel(const KeyAction& code,
                                                   const std::vector<std::string>& macroNames,
                                                   Device device) {
    switch (code.type) {
        case 0x00:
        case 0x20:
            return KeyName(code, device);
        case 0x10: return RowName(MouseButtonTable(), code, false);
        case 0x11: return Named(code.param2 & 0x80 ? "mouse_key_right_Swing" : "mouse_key_left_Swing");
        case 0x12: return Named(code.param2 & 0x80 ? "mouse_key_down_Swing" : "mouse_key_up_Swing");
        case 0x13: return RowName(DpiActionTable(), code, false);
        case 0x14: return Named("mouse_key_fire_key");
        case 0x15:
        case 0x21:
        case 0x50:
        case 0x60:
        case 0xB0:
        case 0xC0:
            return std::nullopt;
        case 0x16: return Named("mouse_key_DPI_shift");
        case 0x22:
            if (code.param1 == 0 && code.param2 < kShortcutFunctionNames.size()) {
                return Named(kShortcutFunctionNames[code.param2]);
            }
            return std::nullopt;
        case 0x23:
            return code.param1 == 0 && code.param2 == 0 ? Named("show_window") : std::nullopt;
        case 0x30: return RowName(MediaKeyTable(), code, true);
        case 0x40: return RowName(SystemKeyTable(), code, true);
        case 0x70:
        case 0x71:
            if (code.param1 < macroNames.size()) {
                return Literal(macroNames[code.param1]);
            }
            return std::nullopt;
        case 0x72:
            if (device == Device::kMouse) {
                return code.param1 < kGunNames.size() ? Named(kGunNames[code.param1]) : std::nullopt;
            }
            return Literal(kUnknownLabel);
        case 0xA0:
            return Special(code);
        case 0xD0:
            if (device == Device::kKeyboard) {
                return Special(code);
            }
            return Literal(kUnknownLabel);
        default:
            return Literal(kUnknownLabel);
    }
}

std::string KeyLabel::Compose(
    const std::function<std::string(const std::string&)>& resolver) const {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool direct = lastJoinsDirectly && i + 1 == parts.size();
        if (i > 0 && !direct) {
            text += "+";
        }
        text += resolve ? resolver(parts[i]) : parts[i];
    }
    return text;
}

std::string KeyLabels::OwnKeyName(size_t position) {
    if (position >= kPageKeyDefaults.size()) {
        return {};
    }
    const KeyCode& code = kPageKeyDefaults[position];
    const int row = FindRow(KeyCodeTable(), code.type, code.param1, code.param2);
    if (row >= 0) {
        return KeyCodeTable()[static_cast<size_t>(row)].name;
    }
    // A firmware function no table names (the key right of GM): its cap
    // still says what kind of key it is.
    const bool special = code.type == 0xA0 || code.type == 0xD0;
    return special ? "keyboard_key_special" : std::string();
}

std::string KeyLabels::OwnButtonName(size_t button) {
    static constexpr std::array<const char*, 11> kMouseKeyNames{
        "mouse_key_left",    "mouse_key_right",   "mouse_key_middle",   "mouse_key_forward",
        "mouse_key_back",    "mouse_key_DPI_add", "mouse_key_DPI_sub",  "mouse_key_DPI_loop",
        "keyboard_key_GM",   "mouse_key_M8_key",  "mouse_key_fire_key"};
    return button < kMouseKeyNames.size() ? kMouseKeyNames[button] : std::string();
}

}  // namespace kx520
