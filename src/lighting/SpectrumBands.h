#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kx520 {

// The audio-capture program's spectrum frames (500 32-bit values each)
// turned into the keyboard's 25 band levels: how much each band of 20
// values moved since the frame before, on every third frame.
class SpectrumBands {
public:
    static constexpr size_t kValues = 500;
    static constexpr size_t kBands = 25;
    static constexpr size_t kFrameBytes = 4 * kValues;

    // One frame, little-endian values (missing bytes read as 0). The
    // levels of the 25 bands when this is a third frame, else nothing.
    std::optional<std::array<int32_t, kBands>> Take(std::span<const uint8_t> frame);

private:
    std::array<uint32_t, kValues> m_previous{};
    unsigned m_frames = 0;
};

}  // namespace kx520
