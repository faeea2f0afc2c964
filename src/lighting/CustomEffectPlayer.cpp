#include "lighting/CustomEffectPlayer.h"

#include <algorithm>

#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"

namespace kx520 {

namespace {

constexpr int kColourCycle = 5;

EffectSetting FrameSetting(const profiles::LightSetting& setting) {
    EffectSetting effect;
    effect.brightness = static_cast<int>(ClampLevelIndex(setting.brightness));
    effect.speed = static_cast<int>(ClampLevelIndex(setting.speed));
    effect.direction = setting.direction;
    effect.multiColor = setting.multiColor != 0;
    effect.colour = Rgb{setting.red, setting.green, setting.blue};
    return effect;
}

}  // namespace

void CustomEffectPlayer::SetFrames(std::vector<profiles::LightEffectFrame> frames) {
    m_frames = std::move(frames);
    m_index = 0;
    m_started = false;
    m_ticks = 0;
}

void CustomEffectPlayer::Pass(uint32_t nowMs, bool tick, std::span<LedEntry> frame) {
    if (m_frames.empty()) {
        SoftwareEffects::Off(frame);
        return;
    }
    if (m_index >= m_frames.size()) {
        m_index = 0;
    }
    if (!m_started) {
        m_started = true;
        m_changedMs = nowMs;
    }
    const profiles::LightEffectFrame& step = m_frames[m_index];
    const int mode = step.setting.mode;
    const size_t speed = ClampLevelIndex(step.setting.speed);
    const int interval = mode == kColourCycle ? KeyboardLightTables::Interval(mode, static_cast<int>(speed))
                                              : IntervalFor(static_cast<size_t>(mode), speed);
    if (tick) {
        ++m_ticks;
    }
    if (m_ticks >= interval) {
        m_ticks = 0;
        Run(step, nowMs, frame);
    }
    // A frame shows for at least its time; a negative time is none.
    const uint32_t time = static_cast<uint32_t>(std::max(0, step.time));
    if (nowMs - m_changedMs >= time) {
        m_index = (m_index + 1) % m_frames.size();
        m_changedMs = nowMs;
    }
}

void CustomEffectPlayer::Run(const profiles::LightEffectFrame& step, uint32_t nowMs, std::span<LedEntry> frame) {
    const EffectSetting setting = FrameSetting(step.setting);
    switch (step.setting.mode) {
        case 0: m_effects.Breathe(setting, frame); return;
        case 1: m_effects.BreatheFour(setting, frame); return;
        case 2: m_effects.Spectrum(setting, frame); return;
        case 4: m_effects.Blink(setting, nowMs, frame); return;
        case kColourCycle: {
            m_cycleIndex = m_cycleIndex >= 191 ? 0 : static_cast<uint8_t>(m_cycleIndex + 1);
            const Rgb colour = kRainbowTable[m_cycleIndex];
            const uint8_t level = kBrightnessTable[static_cast<size_t>(setting.brightness)];
            std::fill(frame.begin(), frame.end(), LedEntry{colour.red, colour.green, colour.blue, level});
            return;
        }
        default:
            return;  // a mode the player does not know leaves the frame
    }
}

}  // namespace kx520
