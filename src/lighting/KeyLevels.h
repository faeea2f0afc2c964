#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kx520 {

// Per-key light levels and the ring of flags that the reactive and running
// effects use.
class KeyLevels {
public:
    static constexpr size_t kKeys = 170;
    static constexpr size_t kRing = 23;

    // One fade step of key `index`'s level; never below 0. Indices outside
    // the keys are ignored.
    void DecayKey(size_t index, int mode);
    // Keys 0-8 whose ring flag is set go to full level.
    void LightRingKeys();
    // Rotates the whole ring by one place; forward: the last entry moves to
    // the front.
    void RotateRing(bool forward) { RotateRingN(kRing, forward); }
    // The same for the first `length` entries (at most the ring).
    void RotateRingN(size_t length, bool forward);
    void ClearKeyLevels();

    std::array<uint8_t, kKeys>& Levels() { return m_levels; }
    std::array<uint8_t, kRing>& Ring() { return m_ring; }

private:
    std::array<uint8_t, kKeys> m_levels{};
    std::array<uint8_t, kRing> m_ring{};
};

}  // namespace kx520
