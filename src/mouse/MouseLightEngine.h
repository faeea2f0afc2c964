#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "lighting/KeyLevels.h"
#include "lighting/LedEntry.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The mouse's own light modes as the host runs them to animate the page:
// the wave over its seven LED groups, the running light and the fade
// reaction. The shared effects (spectrum, breathing, static, blinking, off)
// are the device base's. Plain state, no threads: the light thread calls it
// under the frame lock.
class MouseLightEngine {
public:
    static constexpr size_t kLeds = 15;
    static constexpr size_t kGroups = 7;
    static constexpr uint8_t kNone = 255;
    // LEDs lit together by the wave and the running light, front to back.
    static constexpr std::array<std::array<uint8_t, 3>, kGroups> kLedGroups{{
        {0, 13, kNone}, {1, 12, kNone}, {2, 11, kNone}, {3, 10, kNone},
        {4, 9, kNone},  {5, 8, kNone},  {6, 14, 7},
    }};
    static constexpr int kGroupWave = 0;
    static constexpr int kRunningLight = 5;
    static constexpr int kFadeReaction = 6;

    // Light-loop ticks between two steps at `speed` (kept to 0-4).
    static int Interval(int speed);
    // The state a mode starts from: nothing lit, one lit place on the ring.
    void Reset();
    void GroupWave(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void RunningLight(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    void FadeFrame(const profiles::LightSetting& setting, std::span<LedEntry> frame);
    // Every LED flares up and fades, each in its own rainbow colour (picked
    // from `seed`).
    void StartFade(uint32_t seed);

    uint8_t EffectPosition() const { return m_effectPos; }
    const std::array<uint8_t, kLeds>& FadeStates() const { return m_fadeStates; }
    const std::array<uint8_t, kLeds>& FadeLevels() const { return m_fadeLevels; }

private:
    uint8_t m_effectPos = 0;
    KeyLevels m_levels;
    std::array<uint8_t, kLeds> m_fadeStates{};  // 1 rising, 2 falling
    std::array<uint8_t, kLeds> m_fadeLevels{};
    std::array<uint8_t, kLeds> m_fadeColours{};
};

}  // namespace kx520
