#pragma once

#include <cstdint>

namespace kx520 {

// The one clock of device effects: milliseconds since an arbitrary start,
// advancing in steps of 15.625 ms (64 per second), so that effect speeds,
// blink periods and the real rate of short timers match the devices'
// expectations (they were tuned against a tick of that size).
class EffectClock {
public:
    static constexpr double kStepMs = 15.625;

    static uint32_t NowMs();
    // A raw millisecond count quantised down to the clock's step.
    static uint32_t Quantise(uint64_t milliseconds);
    // Milliseconds from `milliseconds` to the clock's next step (1 to 16).
    static uint32_t UntilNextStep(uint64_t milliseconds);
    static uint32_t UntilNextStep();
};

// A light loop's count of effect-clock ticks between the steps of its mode.
class TickCounter {
public:
    // Whether the clock moved on since the last pass (one more tick if so).
    bool Pass(uint32_t nowMs) {
        if (nowMs == m_last) {
            return false;
        }
        m_last = nowMs;
        ++m_ticks;
        return true;
    }
    // Whether `due` ticks have gone by since the last step; counting then
    // starts again.
    bool Due(int due) {
        if (m_ticks < due) {
            return false;
        }
        m_ticks = 0;
        return true;
    }

private:
    uint32_t m_last = 0;
    int m_ticks = 0;
};

}  // namespace kx520
