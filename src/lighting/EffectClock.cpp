#include "lighting/EffectClock.h"

#include <chrono>

namespace kx520 {

uint32_t EffectClock::Quantise(uint64_t milliseconds) {
    // 15.625 ms = 125 / 8 ms: whole steps without floating point.
    const uint64_t steps = milliseconds * 8 / 125;
    return static_cast<uint32_t>(steps * 125 / 8);
}

uint32_t EffectClock::UntilNextStep(uint64_t milliseconds) {
    // The first whole millisecond at or after the next step begins.
    const uint64_t next = milliseconds * 8 / 125 + 1;
    const uint64_t at = (next * 125 + 7) / 8;
    return static_cast<uint32_t>(at - milliseconds);
}

uint32_t EffectClock::UntilNextStep() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return UntilNextStep(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

uint32_t EffectClock::NowMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return Quantise(static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

}  // namespace kx520
