#include "headset/HeadsetEffects.h"

#include <algorithm>

#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"

namespace kx520 {

namespace {

constexpr uint8_t kRainbowSteps = 192;
constexpr uint8_t kCurveSteps = 96;

}  // namespace

void HeadsetEffects::Wave(const EffectSetting& setting, std::span<LedEntry> frame) {
    const uint8_t level = kBrightnessTable[static_cast<size_t>(std::clamp(setting.brightness, 0, 4))];
    if (setting.multiColor) {
        m_effectPos = StepPosition(setting.direction, kRainbowSteps, m_effectPos, 1);
        for (size_t i = 0; i < frame.size(); ++i) {
            const Rgb colour = kRainbowTable[(m_effectPos + 1 + 16 * i) % kRainbowSteps];
            frame[i] = LedEntry{colour.red, colour.green, colour.blue, level};
        }
        return;
    }
    m_effectPos = StepPosition(setting.direction, kCurveSteps, m_effectPos, 3);
    const auto& curve = KeyboardLightTables::Curve96();
    for (size_t i = 0; i < frame.size(); ++i) {
        const uint8_t factor = curve[(m_effectPos + 10 * i) % kCurveSteps];
        frame[i] = LedEntry{setting.colour.red, setting.colour.green, setting.colour.blue, ScaledLevel(level, factor)};
    }
}

}  // namespace kx520
