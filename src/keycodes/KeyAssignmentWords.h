#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keycodes/KeyAssignmentCodec.h"

namespace kx520 {

// A key function from words, as a script gives it (kx520ctl keyboard
// assign): the page's form and, for a keyboard key, its usage.
struct WordAssignment {
    KeyForm form;
    uint8_t usage = 0;
};

// "key B --modifier shift", "media play", "system sleep", "macro 2
// --repeat 3", "mouse right", "scroll left 3", "wheel down 2", "fire 20 5",
// "shortcut copy", "default". Nothing, with `error` naming what is
// allowed, for words that are none of these.
std::optional<WordAssignment> ParseAssignmentWords(const std::vector<std::string>& words,
                                                   std::string& error);
// What the words may be, for usage texts.
std::string AssignmentWordsUsage();

}  // namespace kx520
