#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "profiles/KeyAction.h"

namespace kx520::profiles {

// Keys bound to macros name them by their place in the device's macro
// list, so removing a macro moves every later one down by one place.
class MacroReferences {
public:
    static constexpr uint8_t kTypeMacroMode = 0x70;
    static constexpr uint8_t kTypeMacroRepeat = 0x71;

    static bool IsMacro(const KeyAction& action) {
        return action.type == kTypeMacroMode || action.type == kTypeMacroRepeat;
    }
    // Whether a key is bound to macro `macro`.
    static bool Uses(const std::vector<KeyAssignmentEntry>& keys, size_t macro);
    // Macro `removed` is gone: its keys take their defaults and keys of a
    // later macro name the one before. True when a key changed.
    static bool Renumber(std::vector<KeyAssignmentEntry>& keys, size_t removed);
    // The same for the profile file at `path` (its section `deviceIndex`),
    // written only when a key changed. False when it had to be written and
    // could not be.
    static bool RenumberFile(const std::string& path, int deviceIndex, size_t removed);
};

}  // namespace kx520::profiles
