#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx520::utf8 {

// Bytes of the well-formed UTF-8 sequence at `at`, 0 when there is none.
size_t SequenceLength(std::string_view text, size_t at);
// The code point of the well-formed sequence of `length` bytes at `at`.
uint32_t CodePoint(std::string_view text, size_t at, size_t length);
bool IsValid(std::string_view text);
// Bytes of the first `characters` characters of `text`; a byte that is not
// UTF-8 counts as one character, so nothing is ever cut inside a character.
size_t PrefixBytes(std::string_view text, size_t characters);
// Equal when letter case is ignored (ASCII letters; other bytes as they are).
bool SameIgnoringCase(std::string_view a, std::string_view b);
// `text` with control characters and bytes that are not UTF-8 written as
// escapes (\e, \x1b, ...): safe to print on a terminal.
std::string Printable(std::string_view text);

}  // namespace kx520::utf8
