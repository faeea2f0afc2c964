#pragma once

namespace kx520 {

// Which of the lighting page's controls an effect uses, by device kind:
// what is enabled, what is shown, the colour tab and the direction texts.
struct EffectControls {
    // Enabled states.
    bool sevenColour = false;   // "deng_7color_check"
    bool colourLayout = false;  // "deng_color_layout"
    bool palette = false;       // "colorpallet_layout"
    bool fx = false;            // "deng_fx_layout"
    bool brightness = false;    // "deng_light_layout"
    bool speed = false;         // "deng_speed_layout"
    bool lightColour = true;    // "light_color_layout"
    // Visibility.
    bool same = false;          // "deng_same_mode", when allowed
    bool speedShown = true;     // "deng_speed_layout"
    bool zzccShown = false;     // "light_combo_ZZCCmodeSelectLayout"
    bool audioShown = false;    // "light_combo_AudiomodeSelectLayout"
    bool customShown = false;   // "lightcustom_layout"
    int colourTab = 0;          // "light_color_tablayout"
    // Kind 5 leaves the direction options and the same-effect button as they are.
    bool touchesFxAndSame = true;
    // The direction options' texts ("deng_FXL_check", "deng_FXR_check");
    // null: as they are.
    const char* leftText = nullptr;
    const char* rightText = nullptr;
};

class EffectControlTable {
public:
    static constexpr int kKeyboard = 1;
    static constexpr int kMouse = 2;
    static constexpr int kMousePad = 3;
    static constexpr int kHeadset = 7;

    // The control states of `effect` on a page of device kind `kind`;
    // `sameAllowed`: more than one lighting device is connected.
    static EffectControls For(int kind, int effect, bool sameAllowed);
};

}  // namespace kx520
