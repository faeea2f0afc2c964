#include "lighting/RingEffects.h"

#include <algorithm>

#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"

namespace kx520 {

namespace {

constexpr uint8_t kRainbowSteps = 192;
constexpr uint8_t kCurveSteps = 96;

uint8_t Level(const EffectSetting& setting) {
    return kBrightnessTable[static_cast<size_t>(std::clamp(setting.brightness, 0, 4))];
}

}  // namespace

void RingEffects::Wave(const EffectSetting& setting, std::span<LedEntry> frame) {
    const uint8_t level = Level(setting);
    if (setting.multiColor) {
        m_effectPos = StepPosition(setting.direction, kRainbowSteps, m_effectPos, 1);
        for (size_t i = 0; i < frame.size(); ++i) {
            const Rgb colour = kRainbowTable[(m_effectPos + 1 + m_shape.rainbowSpacing * i) % kRainbowSteps];
            frame[i] = LedEntry{colour.red, colour.green, colour.blue, level};
        }
        return;
    }
    m_effectPos = StepPosition(setting.direction, kCurveSteps, m_effectPos, m_shape.curveStep);
    const auto& curve = KeyboardLightTables::Curve96();
    for (size_t i = 0; i < frame.size(); ++i) {
        const uint8_t factor = curve[(m_effectPos + m_shape.curveOffset + m_shape.curveSpacing * i) % kCurveSteps];
        frame[i] = LedEntry{setting.colour.red, setting.colour.green, setting.colour.blue, ScaledLevel(level, factor)};
    }
}

void RingEffects::Reset() {
    m_effectPos = 0;
    m_ringSteps = 0;
    m_levels.ClearKeyLevels();
    m_levels.Ring()[0] = 1;
}

void RingEffects::LightRing(size_t ledCount) {
    auto& levels = m_levels.Levels();
    const auto& ring = m_levels.Ring();
    for (size_t i = 0; i < std::min({ledCount, ring.size(), levels.size()}); ++i) {
        if (ring[i] != 0) {
            levels[i] = 255;
        }
    }
}

void RingEffects::StepRing(const EffectSetting& setting, size_t ledCount, size_t ringLength, bool forward) {
    m_effectPos = StepPosition(setting.direction, kRainbowSteps, m_effectPos, 1);
    if (m_ringSteps >= 2) {
        m_ringSteps = 0;
        LightRing(ledCount);
        m_levels.RotateRingN(ringLength, forward);
    }
    ++m_ringSteps;
}

bool RingEffects::LeadLit(const EffectSetting& setting, size_t ledCount) {
    const auto& levels = m_levels.Levels();
    const size_t lead = setting.direction != 0 ? 0 : ledCount - 1;
    return ledCount > 0 && lead < levels.size() && levels[lead] != 0;
}

Rgb RingEffects::PlaceColour(const EffectSetting& setting, bool leadLit, const LedEntry& current) {
    if (!setting.multiColor) {
        return setting.colour;
    }
    m_effectPos = static_cast<uint8_t>(m_effectPos + 12);
    if (leadLit) {
        return Rgb{current.red, current.green, current.blue};
    }
    return kRainbowTable[m_effectPos >= kRainbowSteps ? m_effectPos - kRainbowSteps : m_effectPos];
}

void RingEffects::RingSpectrum(const EffectSetting& setting, std::span<LedEntry> frame) {
    StepRing(setting, frame.size(), 8, setting.direction == 0);
    const uint8_t level = Level(setting);
    const bool leadLit = LeadLit(setting, frame.size());
    if (!frame.empty()) {
        frame[0] = LedEntry{};  // on no pair: what an earlier effect left there goes
    }
    for (size_t i = 0; i < kRingPairs.size(); ++i) {
        m_levels.DecayKey(i, kRingSpectrumMode);
        const auto& pair = kRingPairs[i];
        const LedEntry current = pair[0] < frame.size() ? frame[pair[0]] : LedEntry{};
        const Rgb colour = PlaceColour(setting, leadLit, current);
        const uint8_t shown = ScaledLevel(level, m_levels.Levels()[i]);
        for (const uint8_t led : pair) {
            if (led < frame.size()) {
                frame[led] = LedEntry{colour.red, colour.green, colour.blue, shown};
            }
        }
    }
}

void RingEffects::RingRun(const EffectSetting& setting, std::span<LedEntry> frame) {
    StepRing(setting, frame.size(), KeyLevels::kRing, setting.direction != 0);
    const uint8_t level = Level(setting);
    const bool leadLit = LeadLit(setting, frame.size());
    const size_t count = std::min(frame.size(), KeyLevels::kKeys);
    for (size_t i = 0; i < count; ++i) {
        m_levels.DecayKey(i, kRingRunMode);
        const Rgb colour = PlaceColour(setting, leadLit, frame[i]);
        frame[i] = LedEntry{colour.red, colour.green, colour.blue, ScaledLevel(level, m_levels.Levels()[i])};
    }
}

}  // namespace kx520
