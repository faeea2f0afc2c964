#include "lighting/EffectControlTable.h"

#include <initializer_list>

namespace kx520 {

namespace {

// The six columns every kind's rows share, and the same-effect button.
struct Row {
    bool sevenColour, colourLayout, palette, fx, brightness, speed, same;
};

constexpr Row kAllOn{true, true, true, true, true, true, false};
constexpr Row kAllOff{false, false, false, false, false, false, false};

bool In(int value, std::initializer_list<int> set) {
    for (const int v : set) {
        if (v == value) {
            return true;
        }
    }
    return false;
}

void Take(EffectControls& controls, const Row& row, bool sameAllowed) {
    controls.sevenColour = row.sevenColour;
    controls.colourLayout = row.colourLayout;
    controls.palette = row.palette;
    controls.fx = row.fx;
    controls.brightness = row.brightness;
    controls.speed = row.speed;
    controls.same = row.same && sameAllowed;
}

Row KeyboardRow(int effect) {
    if (In(effect, {1, 2, 3, 24, 10, 21})) return kAllOn;
    if (In(effect, {4, 11, 27})) return {false, false, false, false, true, true, false};
    if (In(effect, {5, 8, 13, 14, 23, 25, 7, 9, 15, 22, 26})) return {true, true, true, false, true, true, false};
    if (effect == 6) return {true, true, true, false, true, false, true};
    if (effect == 12) return {false, false, false, true, true, true, false};
    if (effect == 16) return {true, true, true, false, true, false, false};
    if (effect == 17) return {false, false, false, false, true, true, false};
    if (effect == 18) return {false, false, false, true, false, true, false};
    if (effect == 19) return {false, true, true, false, true, false, false};
    if (effect == 28) return {false, false, false, false, false, false, true};
    if (effect == 29) return {true, true, true, true, true, false, false};
    if (effect == 30) return {false, false, false, false, true, false, false};
    return kAllOff;
}

EffectControls Keyboard(int effect, bool sameAllowed) {
    EffectControls controls;
    controls.leftText = "light_set_right_to_left_text";
    controls.rightText = "light_set_left_to_right_text";
    Take(controls, KeyboardRow(effect), sameAllowed);
    switch (effect) {
        case 3:
        case 24:
            controls.leftText = "light_set_clockwise_text";
            controls.rightText = "light_set_anticlockwise_text";
            break;
        case 4:
        case 11:
        case 30: controls.lightColour = false; break;
        case 12:
            controls.leftText = "light_set_down_to_up_text";
            controls.rightText = "light_set_up_to_down_text";
            break;
        case 17:
            controls.speedShown = false;
            controls.zzccShown = true;
            controls.lightColour = false;
            break;
        case 18:
            controls.leftText = "light_set_outside_to_inside_text";
            controls.rightText = "light_set_inside_to_outside_text";
            break;
        case 19:
            controls.speedShown = false;
            controls.customShown = true;
            break;
        case 21:
            controls.leftText = "light_set_up_to_down_text";
            controls.rightText = "light_set_down_to_up_text";
            break;
        case 29:
            controls.speedShown = false;
            controls.audioShown = true;
            controls.colourTab = 1;
            break;
        default: break;
    }
    return controls;
}

Row MouseRow(int effect) {
    if (In(effect, {0, 5})) return kAllOn;
    if (effect == 1) return {false, false, false, false, true, true, true};
    if (In(effect, {2, 4, 6})) return {true, true, true, false, true, true, true};
    if (effect == 3) return {false, true, true, false, true, false, true};
    if (In(effect, {7, 8})) return {false, false, false, false, true, true, false};
    if (effect == 9) return {false, false, false, false, false, false, true};
    return kAllOff;
}

// The pad and the headset: the mouse's rows for 0 to 4, its row 9 for 8.
Row PadRow(int effect) {
    if (In(effect, {0, 1, 2, 3, 4})) return MouseRow(effect);
    if (effect == 8) return MouseRow(9);
    return kAllOff;
}

Row KindFiveRow(int effect) {
    if (In(effect, {0, 2, 3})) return {true, true, true, false, true, true, false};
    if (effect == 1) return {false, true, true, false, true, false, false};
    if (effect == 4) return {false, false, false, false, true, true, false};
    return kAllOff;
}

}  // namespace

EffectControls EffectControlTable::For(int kind, int effect, bool sameAllowed) {
    if (kind == kKeyboard) {
        return Keyboard(effect, sameAllowed);
    }
    EffectControls controls;
    if (kind == 5) {
        controls.touchesFxAndSame = false;
        Take(controls, KindFiveRow(effect), sameAllowed);
        return controls;
    }
    Take(controls, kind == kMouse ? MouseRow(effect) : PadRow(effect), sameAllowed);
    return controls;
}

}  // namespace kx520
