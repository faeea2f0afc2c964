#pragma once

#include <cstdint>
#include <span>

#include "lighting/LedEntry.h"
#include "lighting/SoftwareEffects.h"

namespace kx520 {

// The headset's own light effects, a step a call, each filling every entry
// of the frame. Plain state, no locks: the caller holds the frame lock.
class HeadsetEffects {
public:
    // The rainbow runs along the LEDs 16 colours apart; one colour runs as a
    // wave of brightness, 10 curve steps apart.
    void Wave(const EffectSetting& setting, std::span<LedEntry> frame);

    uint8_t EffectPos() const { return m_effectPos; }

private:
    uint8_t m_effectPos = 0;
};

}  // namespace kx520
