#include "platform/EvdevTranslator.h"

namespace kx520 {

std::optional<CapturedInput> EvdevTranslator::Translate(uint16_t type, uint16_t code, int32_t value) {
    if (type != kTypeKey || (value != kPress && value != kRelease && value != kRepeat)) {
        return std::nullopt;
    }
    CapturedInput input;
    input.press = value != kRelease;
    input.code = code;
    if (IsKeyboardKey(code)) {
        input.kind = CapturedInput::Kind::kKey;
        return input;
    }
    if (IsMouseButton(code)) {
        input.kind = CapturedInput::Kind::kButton;
        return input;
    }
    return std::nullopt;  // joystick, touch and tool codes
}

}  // namespace kx520
