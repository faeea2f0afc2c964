#pragma once

#include <cstdint>

namespace kx520::profiles {

// What one key does: a function code (type, param1, param2) for the key at
// `keyIndex`. Profiles store the code as one integer,
// type * 65536 + param1 * 256 + param2.
struct KeyAction {
    uint16_t keyIndex = 0;
    uint8_t type = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;

    friend bool operator==(const KeyAction&, const KeyAction&) = default;

    int32_t Packed() const { return (type << 16) | (param1 << 8) | param2; }
    // Keeps the low 24 bits of `packed`, as a profile reader does.
    static KeyAction Unpack(uint16_t keyIndex, int64_t packed) {
        return {keyIndex, static_cast<uint8_t>(packed >> 16), static_cast<uint8_t>(packed >> 8),
                static_cast<uint8_t>(packed)};
    }
};

// A key's current and default assignment; both carry the same key index.
struct KeyAssignmentEntry {
    KeyAction assignment;
    KeyAction defaultAssignment;

    friend bool operator==(const KeyAssignmentEntry&, const KeyAssignmentEntry&) = default;
};

}  // namespace kx520::profiles
