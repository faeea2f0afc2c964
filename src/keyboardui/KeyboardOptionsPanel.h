#pragma once

#include <QString>

#include "profiles/CKeyboardProfiledata.h"

namespace kx520 {

namespace ui {
class CControlUI;
}

// The keyboard page's system panel: key repeat rate and delay (with the
// delay's text, the rate's and the try-it box), report rate and the three
// flags. Finds its controls in the page by name; a control the layout
// lacks is left alone.
class KeyboardOptionsPanel {
public:
    static constexpr const char* kRepeatRateSlider = "repeat_rate_slider";
    static constexpr const char* kRepeatDelayPrefix = "repeat_delay_check_";
    static constexpr const char* kPollingRatePrefix = "polling_rate_option_";
    static constexpr const char* kKey6Option = "6flag_option";
    static constexpr const char* kWFlagOption = "wflag_option";
    static constexpr const char* kWinLockOption = "winlockflag_option";
    static constexpr int kRepeatDelaySteps = 4;
    // The keyboard's record and profile keep options 0-3 (125 to 1000 Hz).
    static constexpr int kPollingRateOptions = 4;

    explicit KeyboardOptionsPanel(const ui::CControlUI& page) : m_page(page) {}

    // Repeat delay and polling rate above 3 show as the first step.
    void Show(const profiles::KeyboardSystemSettings& options) const;
    // `options` with what the page's controls now say.
    profiles::KeyboardSystemSettings Read(profiles::KeyboardSystemSettings options) const;
    // The delay's text ("Repeat delay: 750ms"), the rate's, the try-it tip.
    void ShowRepeatTexts(const profiles::KeyboardSystemSettings& options) const;
    // What the desktop made of the repeat (a resolved text).
    void ShowDesktopStatus(const QString& text) const;

private:
    const ui::CControlUI& m_page;
};

}  // namespace kx520
