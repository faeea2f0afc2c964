#include "lighting/SpectrumBands.h"

#include <algorithm>
#include <limits>

namespace kx520 {

std::optional<std::array<int32_t, SpectrumBands::kBands>> SpectrumBands::Take(std::span<const uint8_t> frame) {
    ++m_frames;
    std::array<uint32_t, kValues> current{};
    for (size_t k = 0; k < kValues && 4 * k + 3 < frame.size(); ++k) {
        current[k] = static_cast<uint32_t>(frame[4 * k]) | static_cast<uint32_t>(frame[4 * k + 1]) << 8 |
                     static_cast<uint32_t>(frame[4 * k + 2]) << 16 | static_cast<uint32_t>(frame[4 * k + 3]) << 24;
    }
    std::array<int32_t, kBands> means{};
    for (size_t band = 0; band < kBands; ++band) {
        // Sums of 20 differences overflow 32 bits; a mean beyond the
        // levels' range is as loud as they get.
        uint64_t sum = 0;
        for (size_t k = 20 * band; k < 20 * band + 20; ++k) {
            sum += current[k] > m_previous[k] ? current[k] - m_previous[k] : m_previous[k] - current[k];
        }
        means[band] = static_cast<int32_t>(std::min<uint64_t>(sum / 20, std::numeric_limits<int32_t>::max()));
    }
    m_previous = current;
    if (m_frames <= 2) {
        return std::nullopt;
    }
    m_frames = 0;
    return means;
}

}  // namespace kx520
