#pragma once

#include <string>

#include "catalog/PageKeyDefaults.h"

namespace kx520 {

// A readable English name of a key function, for tools and traces: "A",
// "Ctrl+Shift+Esc", "Left Alt", "Macro 2", else the code in hex
// ("a0 1b 00"). The pages show their own labels from the language files.
std::string KeyCodeName(const KeyCode& code);

}  // namespace kx520
