#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "lighting/LedEntry.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The light list's own settings for single LEDs, laid over whatever the
// effect painted: an entry's mode breathes, holds, blinks, cycles the
// colours of or switches off its LED; other modes leave the LED to the
// effect (as does an entry the profile left empty). The per-LED positions
// advance once per tick of the effect clock.
class LightListOverrides {
public:
    static constexpr uint8_t kBreathing = 0;
    static constexpr uint8_t kStatic = 1;
    static constexpr uint8_t kBlink = 2;
    static constexpr uint8_t kColourCycle = 3;
    static constexpr uint8_t kOff = 4;

    // Every LED's position, colour index and timer from the start.
    void Reset() { m_leds.clear(); }
    // One pass over `frame`; `tick`: the effect clock moved on.
    void Apply(std::span<const profiles::LightSetting> list, uint32_t nowMs, bool tick,
               std::span<LedEntry> frame);

private:
    struct LedState {
        uint8_t position = 0;
        uint8_t colourIndex = 0;
        uint8_t passes = 0;
        bool on = false;
        bool started = false;
        uint32_t toggledMs = 0;
    };
    static void Breathe(const profiles::LightSetting& entry, LedState& state, bool tick, LedEntry& led);
    static void Blink(const profiles::LightSetting& entry, LedState& state, uint32_t nowMs, LedEntry& led);
    static void Cycle(const profiles::LightSetting& entry, LedState& state, bool tick, LedEntry& led);

    std::vector<LedState> m_leds;
};

}  // namespace kx520
