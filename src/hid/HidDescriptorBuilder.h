#pragma once

#include <cstdint>
#include <vector>

namespace kx520::hid {

// Writes HID report descriptors item by item, choosing the shortest encoding
// for each value. The virtual products and the tests describe their
// interfaces with it instead of hand-made byte strings.
class HidDescriptorBuilder {
public:
    // Data flags of Input, Output and Feature items.
    static constexpr uint32_t kData = 0x00;
    static constexpr uint32_t kConstant = 0x01;
    static constexpr uint32_t kArray = 0x00;
    static constexpr uint32_t kVariable = 0x02;
    static constexpr uint32_t kAbsolute = 0x00;
    static constexpr uint32_t kRelative = 0x04;
    static constexpr uint32_t kNullState = 0x40;

    static constexpr uint32_t kPhysical = 0x00;
    static constexpr uint32_t kApplication = 0x01;
    static constexpr uint32_t kLogical = 0x02;

    HidDescriptorBuilder& UsagePage(uint32_t page) { return Unsigned(0x04, page); }
    HidDescriptorBuilder& LogicalMinimum(int32_t value) { return Signed(0x14, value); }
    HidDescriptorBuilder& LogicalMaximum(int32_t value) { return Signed(0x24, value); }
    HidDescriptorBuilder& PhysicalMinimum(int32_t value) { return Signed(0x34, value); }
    HidDescriptorBuilder& PhysicalMaximum(int32_t value) { return Signed(0x44, value); }
    HidDescriptorBuilder& UnitExponent(int32_t value) { return Signed(0x54, value); }
    HidDescriptorBuilder& Unit(uint32_t value) { return Unsigned(0x64, value); }
    HidDescriptorBuilder& ReportSize(uint32_t bits) { return Unsigned(0x74, bits); }
    HidDescriptorBuilder& ReportId(uint32_t id) { return Unsigned(0x84, id); }
    HidDescriptorBuilder& ReportCount(uint32_t count) { return Unsigned(0x94, count); }
    HidDescriptorBuilder& Push() { return Item(0xA4, 0, 0); }
    HidDescriptorBuilder& Pop() { return Item(0xB4, 0, 0); }

    HidDescriptorBuilder& Usage(uint32_t usage) { return Unsigned(0x08, usage); }
    HidDescriptorBuilder& UsageMinimum(uint32_t usage) { return Unsigned(0x18, usage); }
    HidDescriptorBuilder& UsageMaximum(uint32_t usage) { return Unsigned(0x28, usage); }

    HidDescriptorBuilder& Input(uint32_t flags) { return Unsigned(0x80, flags); }
    HidDescriptorBuilder& Output(uint32_t flags) { return Unsigned(0x90, flags); }
    HidDescriptorBuilder& Feature(uint32_t flags) { return Unsigned(0xB0, flags); }
    HidDescriptorBuilder& Collection(uint32_t kind) { return Unsigned(0xA0, kind); }
    HidDescriptorBuilder& EndCollection() { return Item(0xC0, 0, 0); }

    // Raw bytes, for malformed descriptors in tests.
    HidDescriptorBuilder& Raw(std::initializer_list<uint8_t> bytes);

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    HidDescriptorBuilder& Unsigned(uint8_t prefix, uint32_t value);
    HidDescriptorBuilder& Signed(uint8_t prefix, int32_t value);
    HidDescriptorBuilder& Item(uint8_t prefix, uint32_t value, int size);

    std::vector<uint8_t> m_bytes;
};

}  // namespace kx520::hid
