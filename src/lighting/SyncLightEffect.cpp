#include "lighting/SyncLightEffect.h"

#include "lighting/SoftwareEffects.h"

namespace kx520 {

namespace {

LedEntry Entry(Rgb colour, uint8_t level) {
    return LedEntry{colour.red, colour.green, colour.blue, level};
}

}  // namespace

int SyncLightEffect::StepTicks() const {
    if (m_state.type < 0 || m_state.type > SyncLightState::kOff) {
        return 0;
    }
    return IntervalFor(static_cast<size_t>(m_state.type), ClampLevelIndex(m_state.speed));
}

uint8_t SyncLightEffect::Level() const {
    return kBrightnessTable[ClampLevelIndex(m_state.brightness)];
}

LedEntry SyncLightEffect::Breathe() {
    const uint8_t before = m_phase;
    m_phase = StepPosition(m_state.direction, kBreathLength, m_phase, 1);
    // Once a breath: the colour moves on when the phase comes round again.
    const bool wrapped = m_state.direction != 0 ? m_phase < before : m_phase > before;
    if (m_state.multiColor && wrapped) {
        m_colourIndex = StepPosition(1, kWheelLength, m_colourIndex, 16);
    }
    const Rgb colour = m_state.multiColor ? kRainbowTable[m_colourIndex] : m_state.colour;
    return Entry(colour, static_cast<uint8_t>(Level() * kBreathCurve[m_phase % kBreathLength] / 256));
}

LedEntry SyncLightEffect::Flash(uint32_t nowMs) {
    const uint32_t period = IntervalFor(0, ClampLevelIndex(m_state.speed)) * kFlashUnitMs;
    if (nowMs - m_lastToggleMs >= period) {
        m_flashOn = !m_flashOn;
        m_lastToggleMs = nowMs;
        m_flashIndex = static_cast<uint8_t>(m_flashIndex + kFlashAdvance >= kWheelLength ? 0 : m_flashIndex + kFlashAdvance);
    }
    if (!m_flashOn) {
        return LedEntry{};
    }
    return Entry(m_state.multiColor ? kRainbowTable[m_flashIndex] : m_state.colour, Level());
}

LedEntry SyncLightEffect::Step(uint32_t nowMs) {
    switch (m_state.type) {
        case SyncLightState::kBreathing:
            return Breathe();
        case SyncLightState::kStatic:
            return Entry(m_state.colour, Level());
        case SyncLightState::kFlash:
            return Flash(nowMs);
        case SyncLightState::kColourCycle:
            m_cycleIndex = StepPosition(1, kWheelLength, m_cycleIndex, 1);
            return Entry(kRainbowTable[m_cycleIndex], Level());
        default:
            return LedEntry{};
    }
}

}  // namespace kx520
