#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/CapturedInput.h"

namespace kx520 {

// What the hook messages carry to the key and macro pages: the keyboard
// message with a record of the key, or the mouse message with a record of
// the pointer and the extra button. The layouts are the ones the pages read.
struct KeyHookRecord {
    uint32_t virtualKey = 0;
    uint32_t scanCode = 0;  // set-1
    uint32_t flags = 0;     // bit 0: an extended key
};
static_assert(offsetof(KeyHookRecord, scanCode) == 4 && offsetof(KeyHookRecord, flags) == 8);

struct MouseHookRecord {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t reserved[3] = {};
    uint32_t mouseData = 0;  // high word: the extra button, 1 back, 2 forward
};
static_assert(offsetof(MouseHookRecord, mouseData) == 20);

inline constexpr uint32_t kKeyDownMessage = 0x100;
inline constexpr uint32_t kKeyUpMessage = 0x101;
inline constexpr uint32_t kSysKeyDownMessage = 0x104;
inline constexpr uint32_t kSysKeyUpMessage = 0x105;

struct KeyHookEvent {
    uint32_t message = 0;
    KeyHookRecord record;
};
struct MouseHookEvent {
    uint32_t message = 0;
    MouseHookRecord record;
};

// A captured key as its hook message; nothing for a key of no set-1 code.
std::optional<KeyHookEvent> KeyHookFrom(const CapturedInput& input);
// A captured mouse button as its hook message; nothing for other buttons.
std::optional<MouseHookEvent> MouseHookFrom(const CapturedInput& input);

// The hook messages of a capture mode (4 record, 8 before, 16 after, 32
// replace): the keyboard's and the mouse's registration names, or nulls.
struct HookMessageNames {
    const char* keyboard = nullptr;
    const char* mouse = nullptr;
};
HookMessageNames HookMessagesOf(int mode);

}  // namespace kx520
