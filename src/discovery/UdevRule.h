#pragma once

#include <string>

namespace kx520 {

// The udev rule that lets the logged-in user open the accepted interfaces
// (TAG+="uaccess" on their hidraw nodes), made from the interface table so it
// always covers exactly what the programs accept. Other interfaces of the
// same devices, such as their ordinary keyboard input, stay root-only.
std::string UdevRuleText();

// The file name the rule is installed under: before 73-seat-late.rules,
// which turns the uaccess tag into an ACL.
inline constexpr const char* kUdevRuleFileName = "70-kx520.rules";

// What a user reads when a supported device cannot be opened for lack of
// permission: the command that installs the rule.
std::string UdevRuleHint();

}  // namespace kx520
