#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kx520::fuzz {

// The fuzzer's bytes read as a stream of choices, so that one input steers a
// generator (a structured fuzzer) instead of being parsed as it is. Reads
// past the end give zeros: every input, even an empty one, is a whole case.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data, size) {}

    bool Empty() const { return m_at >= m_data.size(); }
    uint8_t Byte();
    uint16_t Word();
    uint32_t Uint32();
    // A number below `bound` (bound > 0).
    uint32_t Below(uint32_t bound);
    bool Flag() { return (Byte() & 1) != 0; }
    // One of the values that break arithmetic most often, or any 32 bits.
    int32_t Extreme();
    // Up to `most` bytes as they come.
    std::vector<uint8_t> Bytes(size_t most);
    std::string Text(size_t most);
    // Whatever is left.
    std::span<const uint8_t> Rest();

private:
    std::span<const uint8_t> m_data;
    size_t m_at = 0;
};

}  // namespace kx520::fuzz
