#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

#include "lighting/KeyLevels.h"
#include "keyboard/KeyboardMusic.h"
#include "keyboard/RipplePlanes.h"
#include "lighting/LedEntry.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The keyboard's effects as the host runs them to animate the page: one
// step of a light mode fills the 170-LED frame from the light setting and
// the engine's own state. The keyboard runs the same effects itself; this
// only paints the picture (and feeds the host-driven modes). Plain state,
// no threads: the light thread calls it under the frame lock.
class KeyboardLightEngine {
public:
    static constexpr size_t kLeds = 170;
    static constexpr int kPerKeyColourMode = 19;
    static constexpr int kHostColourMode = 30;
    static constexpr int kMusicMode = 29;

    // Whether `mode` has a step here (the others leave the frame alone).
    static bool HasStep(int mode);
    // Clears the effect state a new mode starts from.
    void ResetEffect();
    // Seeds the state a mode needs before its first step.
    void StartMode(int mode);
    // One step of `mode` with `setting` (brightness, speed, direction,
    // multi-colour and colour) into `frame` (its first kLeds entries).
    void Step(int mode, const profiles::LightSetting& setting, std::span<LedEntry> frame);

    void SetHostColour(uint8_t red, uint8_t green, uint8_t blue) { m_hostColour = {red, green, blue}; }
    // Audio band levels for the music mode (25 of them); `mode` is the
    // light mode they arrive in (the beat style takes them at once).
    void SetAudioBands(std::span<const int32_t> levels, int mode);
    void SetAudioLight(const profiles::AudioLightSetting& audio) { m_music.SetAudioLight(audio); }
    const KeyboardMusic& Music() const { return m_music; }
    // The rainbow indices of the keys start again at 0 (the pattern sweep's
    // fresh start after a profile load).
    void ClearKeyColours() { m_keyColours.fill(0); }
    void SetEffectPosition(uint8_t position) { m_effectPos = position; }
    // A key pressed (type 1) starts a ripple from its place; a key the
    // matrix does not have does nothing.
    void SeedRipple(uint8_t led, int type);
    // The effects' random picks (sparkles, twinkle colours) start here.
    void Seed(uint32_t seed) { m_random.seed(seed); }
    const std::array<uint8_t, KeyLevels::kKeys>& Levels() { return m_levels.Levels(); }
    uint8_t EffectPosition() const { return m_effectPos; }
    const std::array<uint8_t, kLeds>& KeyColours() const { return m_keyColours; }

private:
    friend class KeyboardMusic;  // draws with the levels, indices and planes

    void ColumnWave(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void RowWave(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Snake(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Breathing(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Static(const profiles::LightSetting& setting, std::span<LedEntry> frame) const;
    void RainbowPerKey(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void RingRainbow(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void ColumnWaveTwo(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Scan(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Sparkle(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void FadeReaction(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void PatternSweep(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Twinkle(const profiles::LightSetting& setting, std::span<LedEntry> frame, bool slow);
    void Ripple(int mode, const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Scripted(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void Flash(const profiles::LightSetting& setting, uint8_t led);
    // The ripple planes: one bit per key (column byte, row bit) in four planes.
    void SpreadPlanes(const profiles::LightSetting& setting);
    // Key `led` in its colour (rainbow when multi-colour) at its level.
    void PaintKey(const profiles::LightSetting& setting, std::span<LedEntry> frame, uint8_t led);
    uint32_t Random(uint32_t below) { return static_cast<uint32_t>(m_random() % below); }

    uint8_t m_effectPos = 0;
    std::array<uint8_t, kLeds> m_keyColours{};
    std::array<uint8_t, 3> m_hostColour{};
    KeyLevels m_levels;
    std::array<uint8_t, kLeds> m_keyStates{};
    std::array<uint8_t, kLeds> m_slowCounters{};
    std::minstd_rand m_random{520};
    RipplePlanes m_planes;
    uint8_t m_planeSteps = 0;
    KeyboardMusic m_music;
};

}  // namespace kx520
