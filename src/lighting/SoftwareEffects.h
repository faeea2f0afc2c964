#pragma once

#include <cstdint>
#include <span>

#include "lighting/LedEntry.h"
#include "lighting/LightTables.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The light setting as the effects read it.
struct EffectSetting {
    int brightness = 4;  // 0-4
    int speed = 2;       // 0-4
    int direction = 0;   // 0 backward, else forward
    bool multiColor = false;
    Rgb colour{255, 255, 255};
};

// A profile's light setting as the effects read it (brightness and speed
// kept to 0-4).
EffectSetting EffectSettingOf(const profiles::LightSetting& light);

// The level a setting's brightness step stands for (steps kept to 0-4), a
// level scaled by a factor out of 256, and the setting's one colour: what
// every light effect paints with.
uint8_t BrightnessLevel(const profiles::LightSetting& setting);
inline uint8_t ScaledLevel(uint8_t level, uint8_t factor) {
    return static_cast<uint8_t>(level * factor / 256);
}
inline Rgb FixedColour(const profiles::LightSetting& setting) {
    return Rgb{setting.red, setting.green, setting.blue};
}

// Steps an 8-bit position: forward adds `delta` and restarts at 0 from
// `limit`; backward subtracts it and restarts at `limit` - `delta` below 0.
uint8_t StepPosition(int direction, uint8_t limit, uint8_t position, uint8_t delta);

// The software light effects every device kind shares. Each call is one
// step: it advances the effect and fills every entry of `frame`. Plain
// state, no locks: the caller holds the frame lock.
class SoftwareEffects {
public:
    void Breathe(const EffectSetting& setting, std::span<LedEntry> frame);
    void BreatheFour(const EffectSetting& setting, std::span<LedEntry> frame);
    void Static(const EffectSetting& setting, std::span<LedEntry> frame) const;
    void Spectrum(const EffectSetting& setting, std::span<LedEntry> frame);
    // `nowMs` from the effect clock; toggles every IntervalTable[0][speed] x 200 ms.
    void Blink(const EffectSetting& setting, uint32_t nowMs, std::span<LedEntry> frame);
    void BlinkFour(const EffectSetting& setting, uint32_t nowMs, std::span<LedEntry> frame);
    static void Off(std::span<LedEntry> frame);

    void Reset() { *this = SoftwareEffects{}; }
    uint8_t EffectPos() const { return m_effectPos; }
    uint8_t ColourIndex() const { return m_colourIndex; }
    bool BlinkOn() const { return m_blinkOn; }

private:
    void StepBreath(const EffectSetting& setting, int colourStep, int colourLimit);
    // True when the blink state toggled.
    bool StepBlink(const EffectSetting& setting, uint32_t nowMs);
    static void Fill(std::span<LedEntry> frame, Rgb colour, uint8_t level);

    uint8_t m_effectPos = 0;
    uint8_t m_colourIndex = 0;
    bool m_blinkOn = false;
    uint32_t m_lastToggleMs = 0;
};

}  // namespace kx520
