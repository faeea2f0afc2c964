#include "hid/HidDescriptorBuilder.h"

namespace kx520::hid {

HidDescriptorBuilder& HidDescriptorBuilder::Raw(std::initializer_list<uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

HidDescriptorBuilder& HidDescriptorBuilder::Unsigned(uint8_t prefix, uint32_t value) {
    if (value <= 0xFF) {
        return Item(prefix, value, 1);
    }
    if (value <= 0xFFFF) {
        return Item(prefix, value, 2);
    }
    return Item(prefix, value, 4);
}

HidDescriptorBuilder& HidDescriptorBuilder::Signed(uint8_t prefix, int32_t value) {
    if (value >= -128 && value <= 127) {
        return Item(prefix, static_cast<uint32_t>(value), 1);
    }
    if (value >= -32768 && value <= 32767) {
        return Item(prefix, static_cast<uint32_t>(value), 2);
    }
    return Item(prefix, static_cast<uint32_t>(value), 4);
}

HidDescriptorBuilder& HidDescriptorBuilder::Item(uint8_t prefix, uint32_t value, int size) {
    const uint8_t sizeCode = size == 4 ? 3 : static_cast<uint8_t>(size);
    m_bytes.push_back(static_cast<uint8_t>(prefix | sizeCode));
    for (int i = 0; i < size; ++i) {
        m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    return *this;
}

}  // namespace kx520::hid
