#pragma once

#include <json/value.h>

#include <string>
#include <vector>

#include "profiles/KeyAction.h"

namespace kx520 {

class KeyboardCore;

// What the application holds for the keyboard, as `kx520ctl keyboard show`
// prints it: link, onboard and selected profile, the 126 page keys with
// their current and default assignment, the light setting and the six
// options. `keyList`: the profile's key list (a position it lacks shows
// what the keyboard's own table holds there).
Json::Value KeyboardReport(const KeyboardCore& keyboard, const std::string& profileName,
                           const std::vector<profiles::KeyAssignmentEntry>& keyList);

}  // namespace kx520
