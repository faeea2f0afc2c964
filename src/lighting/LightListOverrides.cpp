#include "lighting/LightListOverrides.h"

#include <algorithm>

#include "lighting/LightTables.h"
#include "lighting/SoftwareEffects.h"

namespace kx520 {

namespace {

LedEntry Lit(Rgb colour, uint8_t level) {
    return LedEntry{colour.red, colour.green, colour.blue, level};
}

}  // namespace

void LightListOverrides::Apply(std::span<const profiles::LightSetting> list, uint32_t nowMs, bool tick,
                               std::span<LedEntry> frame) {
    const size_t count = std::min(list.size(), frame.size());
    if (m_leds.size() < count) {
        m_leds.resize(count);
    }
    for (size_t i = 0; i < count; ++i) {
        const profiles::LightSetting& entry = list[i];
        switch (entry.mode) {
            case kBreathing:
                if (entry.present != 0) {
                    Breathe(entry, m_leds[i], tick, frame[i]);
                }
                break;
            case kStatic: frame[i] = Lit(FixedColour(entry), BrightnessLevel(entry)); break;
            case kBlink: Blink(entry, m_leds[i], nowMs, frame[i]); break;
            case kColourCycle:
                if (entry.present != 0) {
                    Cycle(entry, m_leds[i], tick, frame[i]);
                }
                break;
            case kOff: frame[i] = LedEntry{}; break;
            default: break;  // the effect's own
        }
    }
}

void LightListOverrides::Breathe(const profiles::LightSetting& entry, LedState& state, bool tick, LedEntry& led) {
    if (tick) {
        const int position = state.position + static_cast<int>(ClampLevelIndex(entry.speed)) + 4;
        if (position >= static_cast<int>(kBreathCurve.size())) {
            state.position = 0;
            state.colourIndex = static_cast<uint8_t>(std::min(state.colourIndex + 1, 191));
        } else {
            state.position = static_cast<uint8_t>(position);
        }
    }
    const Rgb colour = entry.multiColor != 0 ? kRainbowTable[state.colourIndex] : FixedColour(entry);
    led = Lit(colour, static_cast<uint8_t>(kBreathCurve[state.position] * BrightnessLevel(entry) / 256));
}

void LightListOverrides::Blink(const profiles::LightSetting& entry, LedState& state, uint32_t nowMs, LedEntry& led) {
    if (!state.started) {
        state.started = true;
        state.toggledMs = nowMs;
    }
    const uint32_t period = 200u * IntervalFor(0, ClampLevelIndex(entry.speed));
    if (nowMs - state.toggledMs >= period) {
        state.toggledMs = nowMs;
        state.on = !state.on;
        state.colourIndex = state.colourIndex + 14 > 191 ? 0 : static_cast<uint8_t>(state.colourIndex + 14);
    }
    if (!state.on) {
        led = LedEntry{};
        return;
    }
    led = Lit(entry.multiColor != 0 ? kRainbowTable[state.colourIndex] : FixedColour(entry), BrightnessLevel(entry));
}

void LightListOverrides::Cycle(const profiles::LightSetting& entry, LedState& state, bool tick, LedEntry& led) {
    if (tick && ++state.passes >= IntervalFor(0, ClampLevelIndex(entry.speed))) {
        state.passes = 0;
        state.colourIndex = state.colourIndex >= 191 ? 0 : static_cast<uint8_t>(state.colourIndex + 1);
    }
    led = Lit(kRainbowTable[state.colourIndex], BrightnessLevel(entry));
}

}  // namespace kx520
