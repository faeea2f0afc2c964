#include "keycodes/KeyAssignmentWords.h"

#include <array>
#include <charconv>
#include <utility>

#include "keycodes/KeyCodeTables.h"
#include "platform/Utf8.h"

namespace kx520 {

namespace {

// Words for the rows of the combo tables, in row order.
constexpr std::array<const char*, 5> kMouseWords{"left", "middle", "right", "forward", "back"};
constexpr std::array<const char*, 3> kSystemWords{"power", "sleep", "wake"};
constexpr std::array<const char*, 18> kMediaWords{
    "player", "play",    "stop",      "prev",   "next",     "vol-down",
    "vol-up", "mute",    "home",      "refresh", "stop-loading", "back",
    "forward", "favorites", "search", "computer", "calculator", "mail"};
constexpr std::array<const char*, 11> kShortcutWords{"open",  "new",  "undo", "save",
                                                     "copy",  "cut",  "paste", "find",
                                                     "select-all", "zoom-out", "zoom-in"};
constexpr std::array<const char*, 3> kDpiWords{"up", "down", "cycle"};
constexpr std::array<const char*, 4> kGunWords{"1", "2", "3", "4"};
constexpr std::array<const char*, 5> kModifierWords{"none", "ctrl", "shift", "alt", "win"};

template <size_t N>
int WordIndex(const std::array<const char*, N>& words, const std::string& word) {
    for (size_t i = 0; i < N; ++i) {
        if (utf8::SameIgnoringCase(words[i], word)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <size_t N>
std::string Joined(const std::array<const char*, N>& words) {
    std::string text;
    for (const char* word : words) {
        text += (text.empty() ? "" : ", ") + std::string(word);
    }
    return text;
}

bool Number(const std::string& text, unsigned most, unsigned& value) {
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && last == end && value <= most;
}

// The plain key (key code table rows 8 on, then the modifiers) a word names:
// the row's name less "keyboard_key_", letter case ignored ("b", "F1", "Num 1").
int KeyRow(const std::string& word) {
    static const std::string prefix = "keyboard_key_";
    const auto table = KeyCodeTable();
    for (size_t i = 0; i < table.size(); ++i) {
        const std::string name = table[i].name;
        if (table[i].type == 0x20 && name.rfind(prefix, 0) == 0 &&
            utf8::SameIgnoringCase(name.substr(prefix.size()), word)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Options after the kind's own words: "--name value".
std::optional<std::string> Option(const std::vector<std::string>& words, size_t from,
                                  const std::string& name, std::string& error) {
    for (size_t i = from; i < words.size(); ++i) {
        if (words[i] == name) {
            if (i + 1 >= words.size()) {
                error = name + " needs a value";
                return std::nullopt;
            }
            return words[i + 1];
        }
    }
    return std::nullopt;
}

}  // namespace

std::string AssignmentWordsUsage() {
    return "default | key KEY [--modifier " + Joined(kModifierWords) + "] | media " +
           Joined(kMediaWords) + " | system " + Joined(kSystemWords) + " | shortcut " +
           Joined(kShortcutWords) + " | macro N [--mode 0-3 | --repeat 1-255] | mouse " +
           Joined(kMouseWords) + " | scroll left|right COUNT [--delay 0-15] [--speed 0-15]" +
           " | wheel up|down COUNT [--delay 0-15] [--speed 0-15] | fire INTERVAL COUNT" +
           " | dpi " + Joined(kDpiWords) + " (mouse) | gun " + Joined(kGunWords) + " (mouse)";
}

std::optional<WordAssignment> ParseAssignmentWords(const std::vector<std::string>& words,
                                                   std::string& error) {
    error.clear();
    if (words.empty()) {
        error = "a function is needed: " + AssignmentWordsUsage();
        return std::nullopt;
    }
    const std::string& kind = words[0];
    WordAssignment result;
    KeyForm& form = result.form;
    auto needs = [&](size_t count, const std::string& what) {
        if (words.size() < count + 1) {
            error = kind + " needs " + what;
            return false;
        }
        return true;
    };
    auto row = [&](auto& table, int kindNumber) -> std::optional<WordAssignment> {
        if (!needs(1, "one of: " + Joined(table))) {
            return std::nullopt;
        }
        form.kind = kindNumber;
        form.row = WordIndex(table, words[1]);
        if (form.row < 0) {
            error = "unknown " + kind + " '" + words[1] + "'; one of: " + Joined(table);
            return std::nullopt;
        }
        return result;
    };
    if (kind == "default") {
        form.kind = kKindDefault;
        return result;
    }
    if (kind == "media") return row(kMediaWords, kKindMedia);
    if (kind == "system") return row(kSystemWords, kKindSystem);
    if (kind == "shortcut") return row(kShortcutWords, kKindShortcut);
    if (kind == "mouse") return row(kMouseWords, kKindMouseButton);
    if (kind == "dpi") return row(kDpiWords, kKindDpi);
    if (kind == "gun") {
        const auto gun = row(kGunWords, kKindGun);
        if (gun) {
            form.gun = form.row;
            return result;
        }
        return gun;
    }
    if (kind == "key") {
        if (!needs(1, "a key name, as the picture shows it (A, F1, Esc, Num 1, ...)")) {
            return std::nullopt;
        }
        const int keyRow = KeyRow(words[1]);
        if (keyRow < 0 || static_cast<size_t>(keyRow) < kModifierRows) {
            error = "unknown key '" + words[1] + "'";
            return std::nullopt;
        }
        form.kind = kKindKey;
        form.keyText = KeyCodeTable()[static_cast<size_t>(keyRow)].name;
        result.usage = KeyCodeTable()[static_cast<size_t>(keyRow)].param2;
        form.modifier = 0;
        if (const auto modifier = Option(words, 2, "--modifier", error)) {
            form.modifier = WordIndex(kModifierWords, *modifier);
            if (form.modifier < 0) {
                error = "unknown modifier '" + *modifier + "'; one of: " + Joined(kModifierWords);
                return std::nullopt;
            }
        }
        return error.empty() ? std::optional<WordAssignment>(result) : std::nullopt;
    }
    if (kind == "macro") {
        unsigned number = 0;
        if (!needs(1, "a macro number") || !Number(words[1], 255, number)) {
            error = error.empty() ? "bad macro number '" + words[1] + "'" : error;
            return std::nullopt;
        }
        form.kind = kKindMacro;
        form.macro = static_cast<int>(number);
        form.macroMode = 0;
        unsigned value = 0;
        if (const auto repeat = Option(words, 2, "--repeat", error)) {
            if (!Number(*repeat, 255, value) || value == 0) {
                error = "--repeat takes 1 to 255";
                return std::nullopt;
            }
            form.macroMode = KeyAssignmentCodec::kRepeatModeItem;
            form.repeat = *repeat;
        } else if (const auto mode = Option(words, 2, "--mode", error)) {
            if (!Number(*mode, 3, value)) {
                error = "--mode takes 0 to 3";
                return std::nullopt;
            }
            form.macroMode = static_cast<int>(value);
        }
        return error.empty() ? std::optional<WordAssignment>(result) : std::nullopt;
    }
    if (kind == "scroll" || kind == "wheel") {
        const bool wheel = kind == "wheel";
        const char* first = wheel ? "up" : "left";
        const char* second = wheel ? "down" : "right";
        unsigned count = 0;
        if (!needs(2, std::string(first) + "|" + second + " and a count") ||
            (words[1] != first && words[1] != second) || !Number(words[2], 127, count)) {
            error = error.empty() ? kind + " takes " + first + "|" + second + " and a count of 0 to 127" : error;
            return std::nullopt;
        }
        form.kind = wheel ? kKindWheel : kKindSwing;
        form.direction = words[1] == second ? 1 : 0;
        form.count = words[2];
        for (const char* name : {"--delay", "--speed"}) {
            unsigned value = 0;
            const auto given = Option(words, 3, name, error);
            if (given && !Number(*given, 15, value)) {
                error = std::string(name) + " takes 0 to 15";
                return std::nullopt;
            }
            (std::string(name) == "--delay" ? form.delay : form.speed) = given.value_or("0");
        }
        return error.empty() ? std::optional<WordAssignment>(result) : std::nullopt;
    }
    if (kind == "fire") {
        unsigned interval = 0;
        unsigned count = 0;
        if (!needs(2, "an interval and a count") || !Number(words[1], 255, interval) ||
            !Number(words[2], 255, count)) {
            error = "fire takes an interval and a count, each 0 to 255";
            return std::nullopt;
        }
        form.kind = kKindFire;
        form.interval = words[1];
        form.fireCount = words[2];
        return result;
    }
    error = "unknown function '" + kind + "'; " + AssignmentWordsUsage();
    return std::nullopt;
}

}  // namespace kx520
