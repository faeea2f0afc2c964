#pragma once

#include <cstdint>
#include <vector>

namespace kx520::hid {

// Status codes of report decoding, with the values callers and traces know.
inline constexpr uint32_t kHidpStatusSuccess = 0x00110000;
inline constexpr uint32_t kHidpStatusNull = 0x80110001;
inline constexpr uint32_t kHidpStatusInvalidReportLength = 0xC0110003;
inline constexpr uint32_t kHidpStatusUsageNotFound = 0xC0110004;
inline constexpr uint32_t kHidpStatusValueOutOfRange = 0xC0110005;
inline constexpr uint32_t kHidpStatusBadLogPhyValues = 0xC0110006;
inline constexpr uint32_t kHidpStatusBufferTooSmall = 0xC0110007;
inline constexpr uint32_t kHidpStatusIncompatibleReportId = 0xC011000A;

enum class HidReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };
inline constexpr int kHidReportTypeCount = 3;

// A run of usages on one page; a single usage has min == max.
struct HidUsageRange {
    uint16_t page = 0;
    uint16_t min = 0;
    uint16_t max = 0;
};

// One Input, Output or Feature main item: where its bits sit in the report
// and which usages they carry. Offsets count from the first byte after the
// report id byte (always present on the wire here, 0 for unnumbered reports).
struct HidField {
    HidReportType type = HidReportType::Input;
    uint8_t reportId = 0;
    uint32_t flags = 0;
    uint32_t bitOffset = 0;
    uint16_t bitSize = 0;
    uint16_t count = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    int8_t unitExponent = 0;
    uint32_t unit = 0;
    uint16_t linkCollection = 0;
    std::vector<HidUsageRange> usages;

    bool IsConstant() const { return (flags & 0x01) != 0; }
    bool IsVariable() const { return (flags & 0x02) != 0; }
    bool IsRelative() const { return (flags & 0x04) != 0; }
    bool HasNullState() const { return (flags & 0x40) != 0; }
    // Arrays and one-bit variables are buttons, the rest values.
    bool IsButton() const { return !IsVariable() || bitSize == 1; }
};

struct HidButtonCaps {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
    bool isRange = false;
    uint16_t usageMin = 0;  // the usage itself when not a range
    uint16_t usageMax = 0;
    bool isAbsolute = true;
    uint16_t linkCollection = 0;
    uint16_t fieldIndex = 0;
};

struct HidValueCaps {
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
    bool isRange = false;
    uint16_t usageMin = 0;  // the usage itself when not a range
    uint16_t usageMax = 0;
    bool isAbsolute = true;
    bool hasNull = false;
    uint16_t bitSize = 0;
    uint16_t reportCount = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    int8_t unitExponent = 0;
    uint32_t units = 0;
    uint16_t linkCollection = 0;
    uint16_t fieldIndex = 0;
};

// The summary of one top-level collection. Report byte lengths include the
// report id byte and are 0 when the collection has no report of that type.
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    uint16_t numberLinkCollectionNodes = 0;
    uint16_t numberInputButtonCaps = 0;
    uint16_t numberInputValueCaps = 0;
    uint16_t numberOutputButtonCaps = 0;
    uint16_t numberOutputValueCaps = 0;
    uint16_t numberFeatureButtonCaps = 0;
    uint16_t numberFeatureValueCaps = 0;
};

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

}  // namespace kx520::hid
