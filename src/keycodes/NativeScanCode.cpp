#include "keycodes/NativeScanCode.h"

#include <utility>

namespace kx520 {

namespace {

// evdev codes whose set-1 key is not their own number, or is extended.
constexpr std::pair<uint32_t, Set1Key> kSpecial[] = {
    {54, {0x36, true}},   // right Shift, extended in the key tables
    {69, {0x45, true}},   // Num Lock
    {96, {0x1C, true}},   // keypad Enter
    {97, {0x1D, true}},   // right Ctrl
    {98, {0x35, true}},   // keypad /
    {99, {0x37, true}},   // Print Screen
    {100, {0x38, true}},  // right Alt
    {102, {0x47, true}},  // Home
    {103, {0x48, true}},  // Up
    {104, {0x49, true}},  // Page Up
    {105, {0x4B, true}},  // Left
    {106, {0x4D, true}},  // Right
    {107, {0x4F, true}},  // End
    {108, {0x50, true}},  // Down
    {109, {0x51, true}},  // Page Down
    {110, {0x52, true}},  // Insert
    {111, {0x53, true}},  // Delete
    {119, {0x45, false}},  // Pause
    {125, {0x5B, true}},   // left Super
    {126, {0x5C, true}},   // right Super
    {127, {0x5D, true}},   // Menu
    {89, {0x73, false}},   // Ro
    {92, {0x79, false}},   // Henkan
    {93, {0x70, false}},   // Katakana/Hiragana
    {94, {0x7B, false}},   // Muhenkan
    {95, {0x7E, false}},   // keypad , (Japanese)
    {122, {0x72, false}},  // Hangul
    {123, {0x71, false}},  // Hanja
    {124, {0x7D, false}},  // Yen
};

}  // namespace

std::optional<Set1Key> Set1FromEvdev(uint32_t evdev) {
    for (const auto& [code, key] : kSpecial) {
        if (code == evdev) {
            return key;
        }
    }
    // Escape to keypad . and the keys after it share set-1's numbering.
    if ((evdev >= 1 && evdev <= 83) || (evdev >= 86 && evdev <= 88)) {
        return Set1Key{static_cast<uint8_t>(evdev), false};
    }
    return std::nullopt;
}

bool IsLockKey(uint32_t evdev) {
    return evdev == 58 || evdev == 69 || evdev == 70;
}

}  // namespace kx520
