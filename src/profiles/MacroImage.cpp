#include "profiles/MacroImage.h"

namespace kx520::profiles {

namespace {

void Put16(std::vector<uint8_t>& image, size_t at, size_t value) {
    image[at] = static_cast<uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

size_t Get16(std::span<const uint8_t> bytes, size_t at) {
    return bytes[at] | static_cast<size_t>(bytes[at + 1]) << 8;
}

}  // namespace

size_t MacroImage::Length(const std::vector<size_t>& counts) {
    size_t length = kHeaderSize + 6 * counts.size();
    for (const size_t count : counts) {
        length += 4 * count;
    }
    return length;
}

std::vector<uint8_t> MacroImage::Build(const std::vector<std::vector<MacroEventBytes>>& records) {
    std::vector<size_t> counts;
    counts.reserve(records.size());
    for (const auto& record : records) {
        counts.push_back(record.size());
    }
    const size_t length = Length(counts);
    if (length > 0xFFFF) {
        return {};
    }
    std::vector<uint8_t> image(length, 0);
    Put16(image, 0, kMagic);
    Put16(image, 2, length);
    Put16(image, 4, records.size());
    size_t cursor = kHeaderSize + 2 * records.size();
    for (size_t i = 0; i < records.size(); ++i) {
        Put16(image, kHeaderSize + 2 * i, cursor);
        Put16(image, cursor, records[i].size());
        cursor += 4;
        for (const MacroEventBytes& event : records[i]) {
            for (const uint8_t byte : event) {
                image[cursor++] = byte;
            }
        }
    }
    return image;
}

size_t MacroImage::DeclaredLength(std::span<const uint8_t> bytes) {
    if (bytes.size() < 4 || Get16(bytes, 0) != kMagic) {
        return 0;
    }
    const size_t length = Get16(bytes, 2);
    return length >= kHeaderSize ? length : 0;
}

bool MacroImage::IsWellFormed(std::span<const uint8_t> bytes) {
    const size_t length = DeclaredLength(bytes);
    if (length == 0 || length > bytes.size()) {
        return false;
    }
    const size_t count = Get16(bytes, 4);
    size_t cursor = kHeaderSize + 2 * count;
    if (cursor > length) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (Get16(bytes, kHeaderSize + 2 * i) != cursor || cursor + 4 > length) {
            return false;
        }
        cursor += 4 + 4 * Get16(bytes, cursor);
        if (cursor > length) {
            return false;
        }
    }
    return cursor == length;
}

int MacroImage::Overrun(size_t length, size_t capacity) {
    if (length <= capacity) {
        return 0;
    }
    return static_cast<int>((length - capacity) / 4 + 1);
}

}  // namespace kx520::profiles
