#include "mouse/MouseLightEngine.h"

#include <algorithm>

#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"
#include "lighting/SoftwareEffects.h"

namespace kx520 {

namespace {

constexpr std::array<int, 5> kIntervals{28, 23, 18, 13, 7};

void Paint(std::span<LedEntry> frame, uint8_t led, Rgb colour, uint8_t level) {
    if (led < frame.size() && led < MouseLightEngine::kLeds) {
        frame[led] = LedEntry{colour.red, colour.green, colour.blue, level};
    }
}

}  // namespace

int MouseLightEngine::Interval(int speed) {
    return kIntervals[static_cast<size_t>(std::clamp(speed, 0, 4))];
}

void MouseLightEngine::Reset() {
    m_effectPos = 0;
    m_levels.ClearKeyLevels();
    m_levels.Ring().fill(0);
    m_levels.Ring()[0] = 1;
    m_fadeStates.fill(0);
    m_fadeLevels.fill(0);
    m_fadeColours.fill(0);
}

void MouseLightEngine::GroupWave(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    const bool multi = setting.multiColor != 0;
    const uint8_t limit = multi ? 192 : 96;
    m_effectPos = StepPosition(setting.direction, limit, m_effectPos, 1);
    unsigned at = (m_effectPos + 1u) % limit;
    for (const auto& group : kLedGroups) {
        const Rgb colour = multi ? kRainbowTable[at] : FixedColour(setting);
        const uint8_t level = multi ? BrightnessLevel(setting) : ScaledLevel(BrightnessLevel(setting), KeyboardLightTables::Curve96()[at]);
        for (const uint8_t led : group) {
            Paint(frame, led, colour, level);
        }
        at = (at + 7) % limit;
    }
}

void MouseLightEngine::RunningLight(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    m_effectPos = StepPosition(setting.direction, 192, m_effectPos, 1);
    m_levels.LightRingKeys();
    m_levels.RotateRing(setting.direction != 0);
    auto& levels = m_levels.Levels();
    // While the head is lit every group keeps the colour it shows.
    const bool headLit = levels[setting.direction != 0 ? 0 : 6] != 0;
    for (size_t i = 0; i < kGroups; ++i) {
        m_levels.DecayKey(i, kRunningLight);
        const auto& group = kLedGroups[i];
        Rgb colour = FixedColour(setting);
        if (setting.multiColor != 0) {
            m_effectPos = static_cast<uint8_t>(m_effectPos + 12);
            colour = kRainbowTable[m_effectPos];
            if (headLit && group[0] < frame.size()) {
                colour = Rgb{frame[group[0]].red, frame[group[0]].green, frame[group[0]].blue};
            }
        }
        const uint8_t level = ScaledLevel(BrightnessLevel(setting), levels[i]);
        for (const uint8_t led : group) {
            Paint(frame, led, colour, level);
        }
    }
}

void MouseLightEngine::FadeFrame(const profiles::LightSetting& setting, std::span<LedEntry> frame) {
    for (size_t led = 0; led < kLeds; ++led) {
        uint8_t& level = m_fadeLevels[led];
        if (m_fadeStates[led] == 1) {
            level = static_cast<uint8_t>(std::min(255, level + 15));
            if (level == 255) {
                m_fadeStates[led] = 2;
            }
        } else if (m_fadeStates[led] == 2) {
            level = static_cast<uint8_t>(std::max(0, level - 15));
        }
        const Rgb colour = setting.multiColor != 0 ? kRainbowTable[m_fadeColours[led]] : FixedColour(setting);
        Paint(frame, static_cast<uint8_t>(led), colour, ScaledLevel(BrightnessLevel(setting), level));
    }
}

void MouseLightEngine::StartFade(uint32_t seed) {
    for (size_t led = 0; led < kLeds; ++led) {
        m_fadeStates[led] = 1;
        m_fadeLevels[led] = 255;
        seed = seed * 1103515245u + 12345u;  // one rainbow place per LED
        m_fadeColours[led] = static_cast<uint8_t>(seed >> 16);
    }
}

}  // namespace kx520
