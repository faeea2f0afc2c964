#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "hid/HidCaps.h"

namespace kx520::hid {

// One top-level collection of a report descriptor: its capabilities, its
// fields and the decoding of its reports. This is what a path opens.
class HidCollection {
public:
    const HidCaps& Caps() const { return m_caps; }
    const std::vector<HidField>& Fields(HidReportType type) const { return m_fields[Index(type)]; }
    const std::vector<HidButtonCaps>& ButtonCaps(HidReportType type) const {
        return m_buttonCaps[Index(type)];
    }
    const std::vector<HidValueCaps>& ValueCaps(HidReportType type) const {
        return m_valueCaps[Index(type)];
    }
    // Report ids of the reports of `type` this collection owns.
    const std::vector<uint8_t>& ReportIds(HidReportType type) const {
        return m_reportIds[Index(type)];
    }
    bool OwnsReport(HidReportType type, uint8_t reportId) const;
    // Bytes of report `reportId` of `type`, the id byte included; 0 if unknown.
    uint16_t ReportByteLength(HidReportType type, uint8_t reportId) const;

    // The most usages of `usagePage` (0: any page) that one report of `type`
    // can carry.
    uint32_t MaxUsageListLength(HidReportType type, uint16_t usagePage) const;

    // What decoding reports of `type` costs a reader that keeps one entry per
    // button capability and per value usage, each button entry with a usage
    // list of its page's MaxUsageListLength.
    struct DecodeCost {
        uint64_t entries = 0;
        uint64_t usageListEntries = 0;
    };
    DecodeCost Cost(HidReportType type) const;

    // The usages of `usagePage` that are on in `report` (report id first).
    // `count` holds the list's room on entry and the number found on return.
    uint32_t GetUsages(HidReportType type, uint16_t usagePage, std::span<uint16_t> list,
                       uint32_t& count, std::span<const uint8_t> report) const;
    uint32_t GetUsageValue(HidReportType type, uint16_t usagePage, uint16_t usage,
                           uint32_t& value, std::span<const uint8_t> report) const;
    uint32_t GetScaledUsageValue(HidReportType type, uint16_t usagePage, uint16_t usage,
                                 int32_t& value, std::span<const uint8_t> report) const;

private:
    friend class HidDescriptorParser;

    static constexpr size_t Index(HidReportType type) { return static_cast<size_t>(type); }
    void AddField(HidField field);
    void Finish();
    void CountUsageListLengths(HidReportType type);
    // Checks the report against the fields of `usagePage`; success or the
    // status that rules the report out.
    uint32_t CheckReport(HidReportType type, uint16_t usagePage, bool buttons,
                         std::span<const uint8_t> report) const;
    // The value field of `report`'s id that carries `usage`, and the element
    // that holds it; nullptr when there is none.
    const HidField* FindValue(HidReportType type, uint16_t usagePage, uint16_t usage,
                              uint8_t reportId, uint32_t& element) const;

    HidCaps m_caps;
    std::array<std::vector<HidField>, kHidReportTypeCount> m_fields;
    std::array<std::vector<HidButtonCaps>, kHidReportTypeCount> m_buttonCaps;
    std::array<std::vector<HidValueCaps>, kHidReportTypeCount> m_valueCaps;
    std::array<std::vector<uint8_t>, kHidReportTypeCount> m_reportIds;
    // MaxUsageListLength by page, worked out once: readers ask for it per
    // button capability, and a page's fields can be many.
    std::array<std::vector<std::pair<uint16_t, uint32_t>>, kHidReportTypeCount> m_usageListLengths;
    std::array<uint32_t, kHidReportTypeCount> m_anyPageUsageListLength{};
    // Bits of each report id (index) and type, as counted over the whole descriptor.
    std::array<std::array<uint32_t, 256>, kHidReportTypeCount> m_reportBits{};
};

}  // namespace kx520::hid
