#include "macros/HookRecord.h"

#include "keycodes/NativeScanCode.h"

namespace kx520 {

std::optional<KeyHookEvent> KeyHookFrom(const CapturedInput& input) {
    if (input.kind != CapturedInput::Kind::kKey) {
        return std::nullopt;
    }
    const std::optional<Set1Key> key = Set1FromEvdev(input.code);
    if (!key) {
        return std::nullopt;
    }
    KeyHookEvent event;
    event.message = input.press ? kKeyDownMessage : kKeyUpMessage;
    event.record.scanCode = key->scan;
    event.record.flags = key->extended ? 1U : 0U;
    return event;
}

std::optional<MouseHookEvent> MouseHookFrom(const CapturedInput& input) {
    if (input.kind != CapturedInput::Kind::kButton) {
        return std::nullopt;
    }
    MouseHookEvent event;
    switch (input.code) {
        case kButtonLeft:
            event.message = input.press ? 0x201 : 0x202;
            break;
        case kButtonRight:
            event.message = input.press ? 0x204 : 0x205;
            break;
        case kButtonMiddle:
            event.message = input.press ? 0x207 : 0x208;
            break;
        case kButtonSide:
        case kButtonExtra:
            event.message = input.press ? 0x20B : 0x20C;
            event.record.mouseData = (input.code == kButtonExtra ? 2U : 1U) << 16;
            break;
        default:
            return std::nullopt;
    }
    event.record.x = input.x;
    event.record.y = input.y;
    return event;
}

HookMessageNames HookMessagesOf(int mode) {
    switch (mode) {
        case 4:
            return {"WM_HOOK_KEY_KBMACRO_MSG", "WM_HOOK_KEY_MSMACRO_MSG"};
        case 8:
            return {"WM_HOOK_KEY_KBMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"};
        case 16:
            return {"WM_HOOK_KEY_KBMACROLATER_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG"};
        case 32:
            return {"WM_HOOK_KEY_KBMACROSINGLE_MSG", "WM_HOOK_KEY_MSMACROSINGLE_MSG"};
        default:
            return {};
    }
}

}  // namespace kx520
