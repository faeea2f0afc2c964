#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lighting/LedEntry.h"
#include "lighting/SoftwareEffects.h"
#include "profiles/AudioLightSetting.h"

namespace kx520 {

// Plays a custom light effect (the frames of a ".light" file): each frame
// runs its own mode (breathing, four-colour breathing, spectrum, blink or
// colour cycle) with its own setting for at least its time, then the next
// one, round again. Every light mode without an effect of its own plays
// it. Plain state; the light thread calls it under the frame lock.
class CustomEffectPlayer {
public:
    // New frames start at the first one.
    void SetFrames(std::vector<profiles::LightEffectFrame> frames);
    // One pass of the light loop at clock `nowMs`; `tick`: the effect clock
    // moved on since the last pass. No frames: every LED off.
    void Pass(uint32_t nowMs, bool tick, std::span<LedEntry> frame);

    size_t FrameIndex() const { return m_index; }
    size_t FrameCount() const { return m_frames.size(); }

private:
    void Run(const profiles::LightEffectFrame& step, uint32_t nowMs, std::span<LedEntry> frame);

    std::vector<profiles::LightEffectFrame> m_frames;
    size_t m_index = 0;
    bool m_started = false;
    uint32_t m_changedMs = 0;
    int m_ticks = 0;
    uint8_t m_cycleIndex = 0;
    SoftwareEffects m_effects;
};

}  // namespace kx520
