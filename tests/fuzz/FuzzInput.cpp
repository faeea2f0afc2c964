#include "fuzz/FuzzInput.h"

#include <algorithm>
#include <array>
#include <climits>

namespace kx520::fuzz {

uint8_t FuzzInput::Byte() {
    return Empty() ? 0 : m_data[m_at++];
}

uint16_t FuzzInput::Word() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
}

uint32_t FuzzInput::Uint32() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
}

uint32_t FuzzInput::Below(uint32_t bound) {
    return bound <= 256 ? Byte() % bound : Uint32() % bound;
}

int32_t FuzzInput::Extreme() {
    static constexpr std::array<int32_t, 15> kValues{
        0, 1, -1, 127, 128, -128, 255, 256, 32767, -32768, 65535, 65536, INT32_MAX, INT32_MIN,
        INT32_MIN + 1};
    const uint8_t pick = Byte();
    if (pick < kValues.size() * 16) {
        return kValues[pick % kValues.size()];
    }
    return static_cast<int32_t>(Uint32());
}

std::vector<uint8_t> FuzzInput::Bytes(size_t most) {
    const size_t count = std::min(most, m_data.size() - std::min(m_at, m_data.size()));
    std::vector<uint8_t> bytes(m_data.begin() + static_cast<std::ptrdiff_t>(m_at),
                               m_data.begin() + static_cast<std::ptrdiff_t>(m_at + count));
    m_at += count;
    return bytes;
}

std::string FuzzInput::Text(size_t most) {
    const std::vector<uint8_t> bytes = Bytes(most);
    return std::string(bytes.begin(), bytes.end());
}

std::span<const uint8_t> FuzzInput::Rest() {
    const size_t at = std::min(m_at, m_data.size());
    m_at = m_data.size();
    return m_data.subspan(at);
}

}  // namespace kx520::fuzz
