#include "macros/MacroActionView.h"

#include <algorithm>

#include "keycodes/KeyCodeTables.h"
#include "macros/MouseEventTable.h"
#include "platform/SafeJson.h"
#include "profiles/MacroStore.h"

namespace kx520 {

namespace {

std::string KeyName(uint32_t usage) {
    const auto table = KeyCodeTable();
    for (size_t i = kModifierRows; i < table.size(); ++i) {
        if (table[i].type == 0x20 && table[i].param1 == 0 && table[i].param2 == usage) {
            return table[i].name;
        }
    }
    return {};
}

std::string ModifierName(uint32_t bit) {
    const auto table = KeyCodeTable();
    for (size_t i = 0; i < kModifierRows && i < table.size(); ++i) {
        if (table[i].param1 == bit) {
            return table[i].name;
        }
    }
    return {};
}

std::string MouseName(uint32_t button) {
    const auto table = MouseEventTable();
    for (size_t i = 0; i < 10; ++i) {
        if (table[i].button == button) {
            return table[i].name;
        }
    }
    return {};
}

std::string MoveName(uint32_t type, bool down) {
    const auto table = MouseEventTable();
    const uint32_t flags = type | (down ? 0x80u : 0u);
    for (size_t i = 10; i < 14; ++i) {
        if (table[i].flags == flags) {
            return table[i].name;
        }
    }
    return {};
}

uint32_t Number(const Json::Value& value) {
    if (value.isUInt()) {
        return value.asUInt();
    }
    return profiles::MacroStore::DelayOf(value);
}

}  // namespace

MacroActionView RenderActionRow(const Json::Value& action) {
    MacroActionView view;
    const bool down = json::String(json::Member(action, "Action")) == "down";
    view.directionStyle = down ? kMacroDownStyle : kMacroUpStyle;
    const uint32_t type = Number(json::Member(action, "Type"));
    const uint32_t button = Number(json::Member(action, "Button"));
    switch (type) {
        case kMacroTypeKey:
            view.nameStyle = kMacroKeyboardStyle;
            view.name = KeyName(button);
            break;
        case kMacroTypeModifier:
            view.nameStyle = kMacroKeyboardStyle;
            view.name = ModifierName(button);
            break;
        case kMacroTypeMouse:
            view.nameStyle = kMacroMouseStyle;
            view.name = MouseName(button);
            break;
        case kMacroTypeMoveX:
        case kMacroTypeMoveY:
            view.nameStyle = kMacroMouseStyle;
            view.directionStyle = kMacroTextStyle;
            view.name = MoveName(type, down);
            view.direction = std::to_string(button);
            break;
        case 2:
        case 3:
            view.nameStyle = kMacroMouseStyle;
            view.directionStyle = kMacroTextStyle;
            break;
        default:
            break;
    }
    const uint32_t delay = profiles::MacroStore::DelayOf(json::Member(action, "Delay"));
    view.delay = std::to_string(std::min<uint32_t>(delay, 65535));
    return view;
}

}  // namespace kx520
