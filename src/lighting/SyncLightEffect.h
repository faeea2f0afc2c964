#pragma once

#include <cstdint>

#include "lighting/LedEntry.h"
#include "lighting/LightTables.h"

namespace kx520 {

// The one effect every synchronised device shows: what "deng_same_mode"
// took from the current device's light setting.
struct SyncLightState {
    static constexpr int kBreathing = 0;
    static constexpr int kStatic = 1;
    static constexpr int kFlash = 2;
    static constexpr int kColourCycle = 3;
    static constexpr int kOff = 4;

    int type = -1;  // none until a device shared its mode
    int brightness = 4;
    int speed = 2;
    int direction = 0;
    bool multiColor = false;
    Rgb colour{255, 255, 255};
};

// One step of the shared effect at a time: a colour and a level for every
// LED of every synchronised device. Plain state; its thread owns it.
class SyncLightEffect {
public:
    static constexpr uint8_t kBreathLength = 128;
    static constexpr uint8_t kWheelLength = 192;
    static constexpr uint8_t kFlashAdvance = 14;
    static constexpr uint32_t kFlashUnitMs = 200;

    // A new state keeps the effect's positions, so a change shows smoothly.
    void SetState(const SyncLightState& state) { m_state = state; }
    const SyncLightState& State() const { return m_state; }
    // Clock steps between two steps of the effect; 0 for a type outside
    // 0-4, which never steps.
    int StepTicks() const;
    // `nowMs` from the effect clock.
    LedEntry Step(uint32_t nowMs);

    uint8_t Phase() const { return m_phase; }
    uint8_t ColourIndex() const { return m_colourIndex; }
    bool FlashOn() const { return m_flashOn; }

private:
    LedEntry Breathe();
    LedEntry Flash(uint32_t nowMs);
    uint8_t Level() const;

    SyncLightState m_state;
    uint8_t m_phase = 0;
    uint8_t m_colourIndex = 0;
    uint8_t m_cycleIndex = 0;
    uint8_t m_flashIndex = 0;
    bool m_flashOn = false;
    uint32_t m_lastToggleMs = 0;
};

}  // namespace kx520
