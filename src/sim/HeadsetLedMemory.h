#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

namespace kx520::sim {

// What the virtual headset keeps of the LED output reports (id 0xFF, 16
// bytes after it): thirteen colours a side, each channel arriving in two
// blocks. A report it would not take (another side, block or length, byte
// 3 not 0) is refused and changes nothing. Any thread.
class HeadsetLedMemory {
public:
    static constexpr uint8_t kReportId = 0xFF;
    static constexpr size_t kReportSize = 17;  // the id and 16 bytes
    static constexpr size_t kLeds = 13;
    static constexpr size_t kSides = 2;  // 0x22, 0x44

    using Colour = std::array<uint8_t, 3>;  // red, green, blue
    using Side = std::array<Colour, kLeds>;

    bool Take(std::span<const uint8_t> report);
    // Side 0 is 0x22, side 1 0x44.
    Side Colours(size_t side) const;
    uint64_t Taken() const;
    uint64_t Refused() const;

private:
    mutable std::mutex m_lock;
    std::array<Side, kSides> m_sides{};
    uint64_t m_taken = 0;
    uint64_t m_refused = 0;
};

}  // namespace kx520::sim
