#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "profiles/MacroStore.h"

namespace kx520::profiles {

// The image a device's macro (or recoil pattern) memory takes: a 16-byte
// header (0x55AA, total length, record count, 10 reserved bytes), a table
// of record offsets, then per record its event count, 2 reserved bytes and
// its 4-byte events. Values are little-endian; records follow the table
// in order without gaps.
class MacroImage {
public:
    static constexpr size_t kHeaderSize = 16;
    static constexpr uint16_t kMagic = 0x55AA;

    // Bytes of the image of records holding `counts` events.
    static size_t Length(const std::vector<size_t>& counts);
    // The image; empty when it would not fit its 16-bit length field.
    static std::vector<uint8_t> Build(const std::vector<std::vector<MacroEventBytes>>& records);
    // By how many 4-byte events an image of `length` bytes overruns
    // `capacity` bytes, plus one; 0 when it fits.
    static int Overrun(size_t length, size_t capacity);
    // The length an image's header declares, or 0 without a valid header.
    static size_t DeclaredLength(std::span<const uint8_t> bytes);
    // True when `bytes` hold one whole image: magic, length, count, record
    // offsets in order without gaps, event counts that end at the length.
    static bool IsWellFormed(std::span<const uint8_t> bytes);
};

}  // namespace kx520::profiles
