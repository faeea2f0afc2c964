#include "lighting/KeyLevels.h"

#include <algorithm>

namespace kx520 {

namespace {

uint8_t Minus(uint8_t value, int amount) {
    return static_cast<uint8_t>(std::max(0, value - amount));
}

// How much one step takes off level `v` in the given fade mode.
int FadeAmount(uint8_t v, int mode) {
    if (mode == 29) {
        if ((v & 0x80) || (v & 0x10)) return 45;
        if ((v & 0x20) || (v & 0x40)) return 35;
        return v != 0 ? 1 : 0;
    }
    if (v & 0x80) return 40;
    if (v & 0x40) return 30;
    if (v & 0x20) return mode == 0 ? 15 : 10;
    if (v > 16) return 8;
    return v != 0 ? 1 : 0;
}

}  // namespace

void KeyLevels::DecayKey(size_t index, int mode) {
    if (index >= kKeys) {
        return;
    }
    m_levels[index] = Minus(m_levels[index], FadeAmount(m_levels[index], mode));
}

void KeyLevels::LightRingKeys() {
    for (size_t i = 0; i < 9; ++i) {
        if (m_ring[i] != 0) {
            m_levels[i] = 255;
        }
    }
}

void KeyLevels::RotateRingN(size_t length, bool forward) {
    length = std::min(length, kRing);
    if (length < 2) {
        return;
    }
    if (forward) {
        std::rotate(m_ring.begin(), m_ring.begin() + static_cast<long>(length) - 1,
                     m_ring.begin() + static_cast<long>(length));
    } else {
        std::rotate(m_ring.begin(), m_ring.begin() + 1, m_ring.begin() + static_cast<long>(length));
    }
}

void KeyLevels::ClearKeyLevels() {
    m_levels.fill(0);
    m_ring.fill(0);
}

}  // namespace kx520
