#include "hid/HidCollection.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace kx520::hid {

namespace {

struct PagedUsage {
    uint16_t page;
    uint16_t usage;
};

uint32_t UsageCount(const HidField& field) {
    uint32_t total = 0;
    for (const HidUsageRange& range : field.usages) {
        total += static_cast<uint32_t>(range.max - range.min) + 1;
    }
    return total;
}

// The usage of element `index`; variables repeat their last usage for the
// remaining elements, arrays have none past their list.
std::optional<PagedUsage> UsageAt(const HidField& field, uint32_t index, bool repeatLast) {
    if (field.usages.empty()) {
        return std::nullopt;
    }
    for (const HidUsageRange& range : field.usages) {
        const uint32_t size = static_cast<uint32_t>(range.max - range.min) + 1;
        if (index < size) {
            return PagedUsage{range.page, static_cast<uint16_t>(range.min + index)};
        }
        index -= size;
    }
    if (!repeatLast) {
        return std::nullopt;
    }
    const HidUsageRange& last = field.usages.back();
    return PagedUsage{last.page, last.max};
}

// Element `index` of `field`, read little-endian bit by bit after the id byte.
uint32_t ExtractBits(const HidField& field, uint32_t index, std::span<const uint8_t> report) {
    const uint32_t start = field.bitOffset + index * field.bitSize;
    uint32_t value = 0;
    for (uint32_t bit = 0; bit < field.bitSize && bit < 32; ++bit) {
        const uint32_t at = start + bit;
        const size_t byte = 1 + at / 8;
        if (byte >= report.size()) {
            break;
        }
        if ((report[byte] >> (at % 8)) & 1u) {
            value |= 1u << bit;
        }
    }
    return value;
}

int32_t SignExtend(uint32_t raw, uint16_t bits) {
    if (bits == 0 || bits >= 32) {
        return static_cast<int32_t>(raw);
    }
    const uint32_t sign = 1u << (bits - 1);
    return static_cast<int32_t>((raw ^ sign) - sign);
}

bool FieldHasPage(const HidField& field, uint16_t page) {
    return std::any_of(field.usages.begin(), field.usages.end(),
                       [page](const HidUsageRange& r) { return r.page == page; });
}

// Where `usage` sits in a value field: the first element that carries it.
std::optional<uint32_t> ElementOf(const HidField& field, uint16_t page, uint16_t usage) {
    uint32_t index = 0;
    for (const HidUsageRange& range : field.usages) {
        if (range.page == page && usage >= range.min && usage <= range.max) {
            index += usage - range.min;
            return index < field.count ? std::optional<uint32_t>(index) : std::nullopt;
        }
        index += static_cast<uint32_t>(range.max - range.min) + 1;
    }
    return std::nullopt;
}

}  // namespace

bool HidCollection::OwnsReport(HidReportType type, uint8_t reportId) const {
    const auto& ids = m_reportIds[Index(type)];
    return std::find(ids.begin(), ids.end(), reportId) != ids.end();
}

uint16_t HidCollection::ReportByteLength(HidReportType type, uint8_t reportId) const {
    if (!OwnsReport(type, reportId)) {
        return 0;
    }
    return static_cast<uint16_t>(1 + (m_reportBits[Index(type)][reportId] + 7) / 8);
}

uint32_t HidCollection::MaxUsageListLength(HidReportType type, uint16_t usagePage) const {
    if (usagePage == 0) {
        return m_anyPageUsageListLength[Index(type)];
    }
    const auto& lengths = m_usageListLengths[Index(type)];
    const auto found = std::lower_bound(
        lengths.begin(), lengths.end(), usagePage,
        [](const std::pair<uint16_t, uint32_t>& entry, uint16_t page) { return entry.first < page; });
    return found != lengths.end() && found->first == usagePage ? found->second : 0;
}

HidCollection::DecodeCost HidCollection::Cost(HidReportType type) const {
    DecodeCost cost;
    for (const HidButtonCaps& caps : m_buttonCaps[Index(type)]) {
        ++cost.entries;
        cost.usageListEntries += MaxUsageListLength(type, caps.usagePage);
    }
    for (const HidValueCaps& caps : m_valueCaps[Index(type)]) {
        cost.entries += caps.isRange ? uint64_t{caps.usageMax} - caps.usageMin + 1 : 1;
    }
    return cost;
}

void HidCollection::CountUsageListLengths(HidReportType type) {
    std::vector<std::pair<uint16_t, uint32_t>> lengths;
    uint64_t anyPage = 0;
    std::vector<uint16_t> pages;
    for (const HidField& field : m_fields[Index(type)]) {
        if (!field.IsButton()) {
            continue;
        }
        const uint32_t most = field.IsVariable() ? std::min<uint32_t>(field.count, UsageCount(field))
                                                 : field.count;
        anyPage += most;
        pages.clear();
        for (const HidUsageRange& range : field.usages) {
            pages.push_back(range.page);
        }
        std::sort(pages.begin(), pages.end());
        pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
        for (uint16_t page : pages) {
            lengths.emplace_back(page, most);
        }
    }
    // Merge the per-field rows into one sum per page, saturating at 32 bits.
    std::sort(lengths.begin(), lengths.end());
    auto& merged = m_usageListLengths[Index(type)];
    merged.clear();
    for (const auto& [page, most] : lengths) {
        if (merged.empty() || merged.back().first != page) {
            merged.emplace_back(page, 0);
        }
        merged.back().second = static_cast<uint32_t>(
            std::min<uint64_t>(uint64_t{merged.back().second} + most, UINT32_MAX));
    }
    m_anyPageUsageListLength[Index(type)] = static_cast<uint32_t>(std::min<uint64_t>(anyPage, UINT32_MAX));
}

uint32_t HidCollection::CheckReport(HidReportType type, uint16_t usagePage, bool buttons,
                                    std::span<const uint8_t> report) const {
    if (report.empty()) {
        return kHidpStatusInvalidReportLength;
    }
    bool pageFound = false;
    bool idFound = false;
    for (const HidField& field : m_fields[Index(type)]) {
        if (field.IsButton() != buttons || !FieldHasPage(field, usagePage)) {
            continue;
        }
        pageFound = true;
        idFound = idFound || field.reportId == report[0];
    }
    if (!pageFound) {
        return kHidpStatusUsageNotFound;
    }
    if (!idFound) {
        return kHidpStatusIncompatibleReportId;
    }
    if (report.size() < ReportByteLength(type, report[0])) {
        return kHidpStatusInvalidReportLength;
    }
    return kHidpStatusSuccess;
}

uint32_t HidCollection::GetUsages(HidReportType type, uint16_t usagePage,
                                  std::span<uint16_t> list, uint32_t& count,
                                  std::span<const uint8_t> report) const {
    const uint32_t room = std::min<uint32_t>(count, static_cast<uint32_t>(list.size()));
    count = 0;
    const uint32_t status = CheckReport(type, usagePage, true, report);
    if (status != kHidpStatusSuccess) {
        return status;
    }
    uint32_t found = 0;
    auto take = [&](const std::optional<PagedUsage>& usage) {
        // Usage 0 means "nothing" in arrays and is never reported.
        if (!usage || usage->page != usagePage || usage->usage == 0) {
            return;
        }
        if (found < room) {
            list[found] = usage->usage;
        }
        ++found;
    };
    for (const HidField& field : m_fields[Index(type)]) {
        if (!field.IsButton() || field.reportId != report[0] || field.IsConstant()) {
            continue;
        }
        for (uint32_t i = 0; i < field.count; ++i) {
            const uint32_t raw = ExtractBits(field, i, report);
            if (field.IsVariable()) {
                if (raw != 0) {
                    take(UsageAt(field, i, true));
                }
                continue;
            }
            // 64 bits: a logical minimum of INT32_MIN leaves no room in 32.
            const int64_t value = field.logicalMin < 0 ? SignExtend(raw, field.bitSize)
                                                       : static_cast<int64_t>(raw);
            if (value < field.logicalMin || value > field.logicalMax) {
                continue;
            }
            const int64_t index = value - field.logicalMin;
            if (index > UINT32_MAX) {
                continue;
            }
            take(UsageAt(field, static_cast<uint32_t>(index), false));
        }
    }
    count = std::min(found, room);
    return found > room ? kHidpStatusBufferTooSmall : kHidpStatusSuccess;
}

const HidField* HidCollection::FindValue(HidReportType type, uint16_t usagePage, uint16_t usage,
                                         uint8_t reportId, uint32_t& element) const {
    for (const HidField& field : m_fields[Index(type)]) {
        if (field.IsButton() || field.reportId != reportId) {
            continue;
        }
        if (const auto at = ElementOf(field, usagePage, usage)) {
            element = *at;
            return &field;
        }
    }
    return nullptr;
}

uint32_t HidCollection::GetUsageValue(HidReportType type, uint16_t usagePage, uint16_t usage,
                                      uint32_t& value, std::span<const uint8_t> report) const {
    value = 0;
    const uint32_t status = CheckReport(type, usagePage, false, report);
    if (status != kHidpStatusSuccess) {
        return status;
    }
    uint32_t element = 0;
    const HidField* field = FindValue(type, usagePage, usage, report[0], element);
    if (field == nullptr) {
        return kHidpStatusUsageNotFound;
    }
    value = ExtractBits(*field, element, report);
    return kHidpStatusSuccess;
}

uint32_t HidCollection::GetScaledUsageValue(HidReportType type, uint16_t usagePage,
                                            uint16_t usage, int32_t& value,
                                            std::span<const uint8_t> report) const {
    value = 0;
    const uint32_t status = CheckReport(type, usagePage, false, report);
    if (status != kHidpStatusSuccess) {
        return status;
    }
    uint32_t element = 0;
    const HidField* field = FindValue(type, usagePage, usage, report[0], element);
    if (field == nullptr) {
        return kHidpStatusUsageNotFound;
    }
    int64_t physMin = field->physicalMin;
    int64_t physMax = field->physicalMax;
    if (physMin == 0 && physMax == 0) {
        physMin = field->logicalMin;
        physMax = field->logicalMax;
    }
    if (field->logicalMin >= field->logicalMax || physMin >= physMax) {
        return kHidpStatusBadLogPhyValues;
    }
    const uint32_t bits = ExtractBits(*field, element, report);
    const int64_t raw = field->logicalMin < 0 ? SignExtend(bits, field->bitSize)
                                              : static_cast<int64_t>(bits);
    if (raw < field->logicalMin || raw > field->logicalMax) {
        return field->HasNullState() ? kHidpStatusNull : kHidpStatusValueOutOfRange;
    }
    // Both spans reach 2^32 with full 32-bit ranges: their product needs 128 bits.
    const __int128 logicalSpan = static_cast<__int128>(field->logicalMax) - field->logicalMin;
    const __int128 offset = static_cast<__int128>(raw) - field->logicalMin;
    const __int128 scaled = physMin + offset * (physMax - physMin) / logicalSpan;
    value = static_cast<int32_t>(scaled);
    return kHidpStatusSuccess;
}

void HidCollection::AddField(HidField field) {
    auto& ids = m_reportIds[Index(field.type)];
    if (std::find(ids.begin(), ids.end(), field.reportId) == ids.end()) {
        ids.push_back(field.reportId);
    }
    m_fields[Index(field.type)].push_back(std::move(field));
}

void HidCollection::Finish() {
    for (int t = 0; t < kHidReportTypeCount; ++t) {
        const auto type = static_cast<HidReportType>(t);
        CountUsageListLengths(type);
        auto& fields = m_fields[Index(type)];
        for (size_t f = 0; f < fields.size(); ++f) {
            const HidField& field = fields[f];
            if (field.IsConstant()) {
                continue;
            }
            for (const HidUsageRange& range : field.usages) {
                const bool isRange = range.min != range.max;
                if (field.IsButton()) {
                    m_buttonCaps[Index(type)].push_back(HidButtonCaps{
                        range.page, field.reportId, isRange, range.min, range.max,
                        !field.IsRelative(), field.linkCollection, static_cast<uint16_t>(f)});
                    continue;
                }
                HidValueCaps caps;
                caps.usagePage = range.page;
                caps.reportId = field.reportId;
                caps.isRange = isRange;
                caps.usageMin = range.min;
                caps.usageMax = range.max;
                caps.isAbsolute = !field.IsRelative();
                caps.hasNull = field.HasNullState();
                caps.bitSize = field.bitSize;
                caps.reportCount = isRange || field.usages.size() == 1
                                       ? field.count
                                       : static_cast<uint16_t>(1);
                caps.logicalMin = field.logicalMin;
                caps.logicalMax = field.logicalMax;
                caps.physicalMin = field.physicalMin;
                caps.physicalMax = field.physicalMax;
                caps.unitExponent = field.unitExponent;
                caps.units = field.unit;
                caps.linkCollection = field.linkCollection;
                caps.fieldIndex = static_cast<uint16_t>(f);
                m_valueCaps[Index(type)].push_back(caps);
            }
        }
        uint16_t length = 0;
        for (uint8_t id : m_reportIds[Index(type)]) {
            length = std::max(length, ReportByteLength(type, id));
        }
        const auto buttons = static_cast<uint16_t>(m_buttonCaps[Index(type)].size());
        const auto values = static_cast<uint16_t>(m_valueCaps[Index(type)].size());
        switch (type) {
            case HidReportType::Input:
                m_caps.inputReportByteLength = length;
                m_caps.numberInputButtonCaps = buttons;
                m_caps.numberInputValueCaps = values;
                break;
            case HidReportType::Output:
                m_caps.outputReportByteLength = length;
                m_caps.numberOutputButtonCaps = buttons;
                m_caps.numberOutputValueCaps = values;
                break;
            case HidReportType::Feature:
                m_caps.featureReportByteLength = length;
                m_caps.numberFeatureButtonCaps = buttons;
                m_caps.numberFeatureValueCaps = values;
                break;
        }
    }
}

}  // namespace kx520::hid
