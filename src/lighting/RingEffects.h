#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/KeyLevels.h"
#include "lighting/LedEntry.h"
#include "lighting/SoftwareEffects.h"

namespace kx520 {

// How a kind's wave lies along its LEDs: how many rainbow colours apart the
// LEDs are and where the first starts, and for one colour how far the
// brightness curve moves a step and how far apart the LEDs sit on it.
struct WaveShape {
    uint8_t rainbowSpacing;
    uint8_t curveStep;
    uint8_t curveSpacing;
    uint8_t curveOffset;
};

inline constexpr WaveShape kHeadsetWave{16, 3, 10, 0};
inline constexpr WaveShape kPadWave{7, 1, 7, 1};

// The light effects of the devices whose LEDs make a ring (the headset and
// the mouse pad), a step a call, each filling the frame. Plain state, no
// locks: the caller holds the frame lock.
class RingEffects {
public:
    explicit RingEffects(WaveShape shape) : m_shape(shape) {}

    // The rainbow, or one colour as a wave of brightness, runs along the LEDs.
    void Wave(const EffectSetting& setting, std::span<LedEntry> frame);
    // A lit place travels the ring of LED pairs, fading behind it, in one
    // colour or in rainbow colours 12 apart. An LED on no pair stays dark.
    void RingSpectrum(const EffectSetting& setting, std::span<LedEntry> frame);
    // The same over every LED, the place travelling the whole ring.
    void RingRun(const EffectSetting& setting, std::span<LedEntry> frame);
    // Nothing lit and one place on the ring, at its first LED: without it
    // the ring effects would stay dark.
    void Reset();

    // The ring, in ring order: the two LEDs of each place.
    static constexpr std::array<std::array<uint8_t, 2>, 7> kRingPairs{{
        {1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8},
    }};
    static constexpr int kRingRunMode = 6;
    static constexpr int kRingSpectrumMode = 7;

    uint8_t EffectPos() const { return m_effectPos; }
    const std::array<uint8_t, KeyLevels::kKeys>& Levels() { return m_levels.Levels(); }

private:
    // Every LED of the frame whose ring flag is set goes to full level (the
    // keyboard's ring covers only the first nine).
    void LightRing(size_t ledCount);
    // Steps 1-3 of both ring effects: the position, and every second step
    // the ring lit and rotated by one over its first `ringLength` places.
    void StepRing(const EffectSetting& setting, size_t ledCount, size_t ringLength, bool forward);
    // The colour a place takes: the setting's, or the next rainbow colour,
    // unless the lead is lit, when `current` stays.
    Rgb PlaceColour(const EffectSetting& setting, bool leadLit, const LedEntry& current);
    bool LeadLit(const EffectSetting& setting, size_t ledCount);

    WaveShape m_shape;
    uint8_t m_effectPos = 0;
    uint8_t m_ringSteps = 0;
    KeyLevels m_levels;
};

}  // namespace kx520
