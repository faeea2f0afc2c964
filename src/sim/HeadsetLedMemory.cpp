#include "sim/HeadsetLedMemory.h"

namespace kx520::sim {

namespace {

constexpr size_t kDataStart = 4;
constexpr size_t kFirstBlockLeds = 7;

// 0 or 1 for the two sides; -1 for anything else.
int SideOf(uint8_t side) {
    return side == 0x22 ? 0 : side == 0x44 ? 1 : -1;
}

}  // namespace

bool HeadsetLedMemory::Take(std::span<const uint8_t> report) {
    std::lock_guard lock(m_lock);
    const int side = report.size() == kReportSize && report[0] == kReportId ? SideOf(report[1]) : -1;
    const uint8_t block = report.size() > 2 ? report[2] : 0;
    if (side < 0 || block < 0xAA || block > 0xAF || report[3] != 0) {
        ++m_refused;
        return false;
    }
    // AA-AC: the first seven LEDs of red, green, blue; AD-AF: the other six.
    const bool second = block >= 0xAD;
    const size_t channel = static_cast<size_t>(block - (second ? 0xAD : 0xAA));
    const size_t first = second ? kFirstBlockLeds : 0;
    const size_t count = second ? kLeds - kFirstBlockLeds : kFirstBlockLeds;
    Side& colours = m_sides[static_cast<size_t>(side)];
    for (size_t i = 0; i < count; ++i) {
        colours[first + i][channel] = report[kDataStart + i];
    }
    ++m_taken;
    return true;
}

HeadsetLedMemory::Side HeadsetLedMemory::Colours(size_t side) const {
    std::lock_guard lock(m_lock);
    return side < kSides ? m_sides[side] : Side{};
}

uint64_t HeadsetLedMemory::Taken() const {
    std::lock_guard lock(m_lock);
    return m_taken;
}

uint64_t HeadsetLedMemory::Refused() const {
    std::lock_guard lock(m_lock);
    return m_refused;
}

}  // namespace kx520::sim
