#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kx520::fuzz {

class FuzzInput;

// Builds a report descriptor item by item from the HID grammar, each choice
// taken from `input`: collections nested and unbalanced, push and pop,
// usages, ranges and pages, report sizes, counts and ids at and past their
// limits, logical and physical extremes, main items of every type, runs of
// repeated items (many fields from a short input) and the odd raw byte.
// At most `maxBytes` long.
std::vector<uint8_t> GenerateDescriptor(FuzzInput& input, size_t maxBytes = 4096);

}  // namespace kx520::fuzz
