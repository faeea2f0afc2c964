#include "kx520ctl/InputNames.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace kx520::ctl {

namespace {

// Letters in the order of their evdev codes, row by row.
constexpr std::pair<const char*, unsigned> kLetterRows[] = {{"qwertyuiop", 16}, {"asdfghjkl", 30}, {"zxcvbnm", 44}};

struct NamedCode {
    const char* name;
    unsigned code;
};
constexpr NamedCode kNamedKeys[] = {
    {"esc", 1},        {"minus", 12},     {"equal", 13},       {"backspace", 14}, {"tab", 15},
    {"enter", 28},     {"leftctrl", 29},  {"leftshift", 42},   {"rightshift", 54}, {"leftalt", 56},
    {"space", 57},     {"capslock", 58},  {"f1", 59},          {"f2", 60},        {"f3", 61},
    {"f4", 62},        {"f5", 63},        {"f6", 64},          {"f7", 65},        {"f8", 66},
    {"f9", 67},        {"f10", 68},       {"numlock", 69},     {"scrolllock", 70}, {"f11", 87},
    {"f12", 88},       {"rightctrl", 97}, {"rightalt", 100},   {"home", 102},     {"up", 103},
    {"pageup", 104},   {"left", 105},     {"right", 106},      {"end", 107},      {"down", 108},
    {"pagedown", 109}, {"insert", 110},   {"delete", 111},     {"leftmeta", 125}, {"rightmeta", 126},
};
constexpr NamedCode kButtons[] = {
    {"left", 0x110}, {"right", 0x111}, {"middle", 0x112}, {"back", 0x113}, {"forward", 0x114}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<unsigned> Number(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(text));
}

}  // namespace

std::optional<unsigned> KeyCodeByName(const std::string& given) {
    std::string name = Lower(given);
    if (name.rfind("key_", 0) == 0) {
        name = name.substr(4);
    }
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= '1' && c <= '9') {
            return 2U + static_cast<unsigned>(c - '1');
        }
        if (c == '0') {
            return 11U;
        }
        for (const auto& [row, first] : kLetterRows) {
            if (const char* at = std::strchr(row, c); at != nullptr && c != '\0') {
                return first + static_cast<unsigned>(at - row);
            }
        }
    }
    for (const NamedCode& key : kNamedKeys) {
        if (name == key.name) {
            return key.code;
        }
    }
    return Number(given);
}

std::optional<unsigned> ButtonCodeByName(const std::string& given) {
    const std::string name = Lower(given);
    for (const NamedCode& button : kButtons) {
        if (name == button.name) {
            return button.code;
        }
    }
    return std::nullopt;
}

}  // namespace kx520::ctl
