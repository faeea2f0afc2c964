#pragma once

#include <cstdint>
#include <span>

namespace kx520 {

// The mouse events a macro holds: the mouse message that brings it, its
// function type, its button bit, its flags (bit 7 a press, bits 0-6 the
// macro action type) and the language id of its name.
struct MouseEventRow {
    uint32_t message;
    uint8_t type;
    uint8_t button;
    uint8_t flags;
    const char* name;
};

// 15 rows: left, right, middle, forward and back down and up (0-9), the
// four moves (10-13) and the cursor (14).
std::span<const MouseEventRow> MouseEventTable();

inline constexpr uint32_t kMouseLeftDown = 0x201;
inline constexpr uint32_t kMouseLeftUp = 0x202;
inline constexpr uint32_t kMouseXDown = 0x20B;
inline constexpr uint32_t kMouseXUp = 0x20C;
inline constexpr uint8_t kMacroTypeKey = 10;
inline constexpr uint8_t kMacroTypeModifier = 9;
inline constexpr uint8_t kMacroTypeMouse = 1;
inline constexpr uint8_t kMacroTypeMoveX = 4;
inline constexpr uint8_t kMacroTypeMoveY = 5;

}  // namespace kx520
