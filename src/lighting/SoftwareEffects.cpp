#include "lighting/SoftwareEffects.h"

#include <algorithm>

namespace kx520 {

namespace {

constexpr uint8_t kBreathLength = 128;
constexpr uint8_t kSpectrumLength = 192;
constexpr int kRainbowStep = 16;
constexpr int kRainbowLast = 192;
constexpr uint32_t kBlinkUnitMs = 200;

uint8_t Level(const EffectSetting& setting) {
    return kBrightnessTable[ClampLevelIndex(setting.brightness)];
}

}  // namespace

uint8_t StepPosition(int direction, uint8_t limit, uint8_t position, uint8_t delta) {
    if (direction != 0) {
        const auto next = static_cast<uint8_t>(position + delta);
        return next >= limit ? 0 : next;
    }
    const auto next = static_cast<uint8_t>(position - delta);
    return next >= limit ? static_cast<uint8_t>(limit - delta) : next;
}

uint8_t BrightnessLevel(const profiles::LightSetting& setting) {
    return kBrightnessTable[ClampLevelIndex(setting.brightness)];
}

EffectSetting EffectSettingOf(const profiles::LightSetting& light) {
    EffectSetting setting;
    setting.brightness = std::min<int>(light.brightness, 4);
    setting.speed = std::min<int>(light.speed, 4);
    setting.direction = light.direction;
    setting.multiColor = light.multiColor != 0;
    setting.colour = Rgb{light.red, light.green, light.blue};
    return setting;
}

void SoftwareEffects::Fill(std::span<LedEntry> frame, Rgb colour, uint8_t level) {
    std::fill(frame.begin(), frame.end(), LedEntry{colour.red, colour.green, colour.blue, level});
}

void SoftwareEffects::StepBreath(const EffectSetting& setting, int colourStep, int colourLimit) {
    m_effectPos = StepPosition(setting.direction, kBreathLength, m_effectPos, 1);
    if (m_effectPos != 0) {
        return;
    }
    const int next = m_colourIndex + colourStep;
    m_colourIndex = static_cast<uint8_t>(next > colourLimit ? 0 : next);
}

void SoftwareEffects::Breathe(const EffectSetting& setting, std::span<LedEntry> frame) {
    StepBreath(setting, kRainbowStep, kRainbowLast);
    const Rgb colour = setting.multiColor ? kRainbowTable[m_colourIndex] : setting.colour;
    const auto level =
        static_cast<uint8_t>((kBreathCurve[m_effectPos % kBreathLength] * Level(setting)) >> 8);
    Fill(frame, colour, level);
}

void SoftwareEffects::BreatheFour(const EffectSetting& setting, std::span<LedEntry> frame) {
    // Wrapped before it indexes the four colours, whatever another effect
    // left in the shared counter.
    StepBreath(setting, 1, static_cast<int>(kFourColourTable.size()) - 1);
    m_colourIndex = static_cast<uint8_t>(m_colourIndex % kFourColourTable.size());
    const auto level =
        static_cast<uint8_t>((kBreathCurve[m_effectPos % kBreathLength] * Level(setting)) >> 8);
    Fill(frame, kFourColourTable[m_colourIndex], level);
}

void SoftwareEffects::Static(const EffectSetting& setting, std::span<LedEntry> frame) const {
    Fill(frame, setting.colour, Level(setting));
}

void SoftwareEffects::Spectrum(const EffectSetting& setting, std::span<LedEntry> frame) {
    m_effectPos = StepPosition(setting.direction, kSpectrumLength, m_effectPos, 1);
    Fill(frame, kRainbowTable[m_effectPos], Level(setting));
}

bool SoftwareEffects::StepBlink(const EffectSetting& setting, uint32_t nowMs) {
    const uint32_t period =
        IntervalFor(0, ClampLevelIndex(setting.speed)) * kBlinkUnitMs;
    if (nowMs - m_lastToggleMs < period) {
        return false;
    }
    m_blinkOn = !m_blinkOn;
    m_lastToggleMs = nowMs;
    return true;
}

void SoftwareEffects::Blink(const EffectSetting& setting, uint32_t nowMs,
                            std::span<LedEntry> frame) {
    if (StepBlink(setting, nowMs)) {
        const int next = m_effectPos + kRainbowStep;
        m_effectPos = static_cast<uint8_t>(next >= kRainbowLast ? 0 : next);
    }
    if (!m_blinkOn) {
        Off(frame);
        return;
    }
    const Rgb colour = setting.multiColor ? kRainbowTable[m_effectPos] : setting.colour;
    Fill(frame, colour, Level(setting));
}

void SoftwareEffects::BlinkFour(const EffectSetting& setting, uint32_t nowMs,
                                std::span<LedEntry> frame) {
    if (StepBlink(setting, nowMs)) {
        ++m_effectPos;
    }
    m_effectPos = static_cast<uint8_t>(m_effectPos % kFourColourTable.size());
    if (!m_blinkOn) {
        Off(frame);
        return;
    }
    Fill(frame, kFourColourTable[m_effectPos], Level(setting));
}

void SoftwareEffects::Off(std::span<LedEntry> frame) {
    std::fill(frame.begin(), frame.end(), LedEntry{});
}

}  // namespace kx520
