#pragma once

#include <mutex>

#include "devicebase/DeviceCore.h"
#include "lighting/CustomEffectPlayer.h"
#include "lighting/EffectClock.h"
#include "lighting/LightListOverrides.h"
#include "lighting/RingEffects.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The light thread of the devices whose LEDs make a ring (the headset and
// the mouse pad): modes 0-4 and 6-8 step their effect at the mode's pace,
// 5 and every mode above 8 play the profile's custom effect, and the
// per-LED light list goes over whatever the step drew.
class RingLightCore : public DeviceCore {
public:
    static constexpr int kCustomMode = 5;
    static constexpr int kHighestMode = 8;

    RingLightCore(hid::HidBackend& backend, WaveShape wave, FrameSender::Transport transport = {});
    ~RingLightCore() override;

    // The setting the light thread runs from now on; the effect starts
    // afresh when the mode changes.
    void RunLight(const profiles::LightSetting& light);
    // The profile's light list and the custom effect of `customGroup`.
    void TakeProfileLighting(int customGroup);
    void StartLight();
    // One pass of the light loop at effect-clock time `nowMs`.
    void LightPass(uint32_t nowMs);

private:
    void RunStep(int mode);

    mutable std::mutex m_engineLock;
    profiles::LightSetting m_engineSetting;
    bool m_engineStarted = false;
    RingEffects m_effects;
    CustomEffectPlayer m_player;
    LightListOverrides m_overrides;
    TickCounter m_ticks;
};

}  // namespace kx520
