#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "profiles/KeyAction.h"

namespace kx520 {

// What a key's assignment is called: language ids to resolve (a key with
// modifiers has one per part), or a text to show as it stands (a macro's
// own name, the literal fallback).
struct KeyLabel {
    std::vector<std::string> parts;
    bool resolve = true;
    // A shortcut's name follows the keys without a "+".
    bool lastJoinsDirectly = false;

    // The display text, each part through `resolve` when it is an id.
    std::string Compose(const std::function<std::string(const std::string&)>& resolver) const;

    friend bool operator==(const KeyLabel&, const KeyLabel&) = default;
};

// The names of the key assignments the device pictures show.
class KeyLabels {
public:
    enum class Device { kKeyboard, kMouse };

    // The label of `assignment`; nothing when no name fits (the key's
    // tool-tips then stay as they were). `macroNames`: the device's macros
    // in macro order.
    static std::optional<KeyLabel> AssignmentLabel(const profiles::KeyAction& assignment,
                                                   const std::vector<std::string>& macroNames,
                                                   Device device);
    // The language id of the keyboard page key `position`'s own name ("" for
    // a position the key code table has no row for, or beyond the page).
    static std::string OwnKeyName(size_t position);
    // The language id of mouse button `button`'s own name ("" beyond the
    // eleven buttons).
    static std::string OwnButtonName(size_t button);
    // The repeat-delay text's milliseconds for a step (outside 0-3: step 0).
    static int RepeatDelayMs(int step) { return (step < 0 || step > 3 ? 0 : step) * 250 + 250; }
    // The literal label of a type no table names.
    static constexpr const char* kUnknownLabel = "关闭";
};

}  // namespace kx520
