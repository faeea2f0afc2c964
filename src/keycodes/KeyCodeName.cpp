#include "keycodes/KeyCodeName.h"

#include <array>
#include <cstdio>
#include <utility>

namespace kx520 {

namespace {

constexpr uint8_t kKeyboardKey = 0x20;

// HID keyboard usages (usage page 7) with a name.
constexpr std::pair<uint8_t, const char*> kUsageNames[] = {
    {0x28, "Enter"}, {0x29, "Esc"}, {0x2A, "Backspace"}, {0x2B, "Tab"}, {0x2C, "Space"},
    {0x2D, "-"}, {0x2E, "="}, {0x2F, "["}, {0x30, "]"}, {0x31, "\\"}, {0x32, "#"},
    {0x33, ";"}, {0x34, "'"}, {0x35, "`"}, {0x36, ","}, {0x37, "."}, {0x38, "/"},
    {0x39, "Caps Lock"}, {0x46, "Print Screen"}, {0x47, "Scroll Lock"}, {0x48, "Pause"},
    {0x49, "Insert"}, {0x4A, "Home"}, {0x4B, "Page Up"}, {0x4C, "Delete"}, {0x4D, "End"},
    {0x4E, "Page Down"}, {0x4F, "Right"}, {0x50, "Left"}, {0x51, "Down"}, {0x52, "Up"},
    {0x53, "Num Lock"}, {0x54, "Keypad /"}, {0x55, "Keypad *"}, {0x56, "Keypad -"},
    {0x57, "Keypad +"}, {0x58, "Keypad Enter"}, {0x62, "Keypad 0"}, {0x63, "Keypad ."},
    {0x64, "\\ (ISO)"}, {0x65, "Menu"}, {0x85, "Keypad ,"}, {0x87, "Ro"},
    {0x88, "Katakana/Hiragana"}, {0x89, "Yen"}, {0x8A, "Henkan"}, {0x8B, "Muhenkan"},
    {0x90, "Hangul"}, {0x91, "Hanja"},
};

constexpr std::array<const char*, 8> kModifierNames{
    "Left Ctrl", "Left Shift", "Left Alt", "Left Super",
    "Right Ctrl", "Right Shift", "Right Alt", "Right Super"};

std::string UsageName(uint8_t usage) {
    if (usage >= 0x04 && usage <= 0x1D) {
        return std::string(1, static_cast<char>('A' + usage - 0x04));
    }
    if (usage >= 0x1E && usage <= 0x27) {
        return std::string(1, usage == 0x27 ? '0' : static_cast<char>('1' + usage - 0x1E));
    }
    if (usage >= 0x3A && usage <= 0x45) {
        return "F" + std::to_string(usage - 0x3A + 1);
    }
    if (usage >= 0x59 && usage <= 0x61) {
        return "Keypad " + std::to_string(usage - 0x59 + 1);
    }
    for (const auto& [known, name] : kUsageNames) {
        if (known == usage) {
            return name;
        }
    }
    return {};
}

std::string Hex(const KeyCode& code) {
    char text[16];
    std::snprintf(text, sizeof text, "%02x %02x %02x", code.type, code.param1, code.param2);
    return text;
}

}  // namespace

std::string KeyCodeName(const KeyCode& code) {
    if (code.type == 0x70 || code.type == 0x71) {
        return "Macro " + std::to_string(code.param1);
    }
    if (code.type != kKeyboardKey) {
        return Hex(code);
    }
    std::string name;
    const std::string key = UsageName(code.param2);
    for (size_t bit = 0; bit < kModifierNames.size(); ++bit) {
        if ((code.param1 & (1u << bit)) == 0) {
            continue;
        }
        // Alone a modifier is its own key; with a key it is a prefix.
        std::string modifier = kModifierNames[bit];
        if (code.param2 != 0) {
            modifier = modifier.substr(modifier.find(' ') + 1);
        }
        name += (name.empty() ? "" : "+") + modifier;
    }
    if (code.param2 == 0) {
        return name.empty() ? "None" : name;
    }
    if (key.empty()) {
        return Hex(code);
    }
    return name.empty() ? key : name + "+" + key;
}

}  // namespace kx520
