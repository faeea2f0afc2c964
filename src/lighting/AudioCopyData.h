#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kx520 {

// The two buffers the audio-capture program fills by copy-data: kind 1 the
// spectrum (up to 4200 bytes), kind 2 its state (up to 156). Only those
// sizes are taken; anything else is refused whole, never cut or overrun.
class AudioCopyData {
public:
    static constexpr uint32_t kSpectrum = 1;
    static constexpr uint32_t kState = 2;

    // False for an empty, unknown or oversized copy.
    bool Accept(uint32_t kind, const char* data, size_t size);
    const std::array<char, 4200>& Spectrum() const { return m_spectrum; }
    const std::array<char, 156>& State() const { return m_state; }

private:
    std::array<char, 4200> m_spectrum{};
    std::array<char, 156> m_state{};
};

}  // namespace kx520
