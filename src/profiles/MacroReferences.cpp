#include "profiles/MacroReferences.h"

#include "profiles/CBasicProfiledata.h"

namespace kx520::profiles {

bool MacroReferences::Uses(const std::vector<KeyAssignmentEntry>& keys, size_t macro) {
    for (const KeyAssignmentEntry& key : keys) {
        if (IsMacro(key.assignment) && key.assignment.param1 == macro) {
            return true;
        }
    }
    return false;
}

bool MacroReferences::Renumber(std::vector<KeyAssignmentEntry>& keys, size_t removed) {
    bool changed = false;
    for (KeyAssignmentEntry& key : keys) {
        KeyAction& action = key.assignment;
        if (!IsMacro(action) || action.param1 < removed) {
            continue;
        }
        if (action.param1 == removed) {
            action = key.defaultAssignment;
            action.keyIndex = key.assignment.keyIndex;
        } else {
            --action.param1;
        }
        changed = true;
    }
    return changed;
}

bool MacroReferences::RenumberFile(const std::string& path, int deviceIndex, size_t removed) {
    CBasicProfiledata profile;
    profile.SetDeviceIndex(deviceIndex);
    if (profile.LoadScratchSection(path).isNull()) {
        return true;  // nothing there binds a macro
    }
    std::vector<KeyAssignmentEntry> keys = profile.GetScratchKeyList();
    if (!Renumber(keys, removed)) {
        return true;
    }
    profile.SetScratchKeyList(keys);
    return profile.SaveScratchSection(path);
}

}  // namespace kx520::profiles
