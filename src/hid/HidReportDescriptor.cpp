#include "hid/HidReportDescriptor.h"

#include <array>

namespace kx520::hid {

namespace {

struct GlobalState {
    uint16_t usagePage = 0;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    int8_t unitExponent = 0;
    uint32_t unit = 0;
    uint32_t reportSize = 0;
    uint8_t reportId = 0;
    uint32_t reportCount = 0;
};

struct LocalState {
    std::vector<HidUsageRange> usages;
    std::optional<uint32_t> usageMin;  // extended (page << 16 | usage)
    std::optional<uint32_t> usageMax;
};

struct Item {
    uint8_t type = 0;  // 0 main, 1 global, 2 local
    uint8_t tag = 0;
    uint8_t size = 0;
    uint32_t value = 0;
};

int32_t SignedValue(const Item& item) {
    switch (item.size) {
        case 1:
            return static_cast<int8_t>(item.value);
        case 2:
            return static_cast<int16_t>(item.value);
        default:
            return static_cast<int32_t>(item.value);
    }
}

// Usage items of one or two bytes take the current usage page; four-byte
// ones carry their own in the high half.
uint32_t ExtendedUsage(const Item& item, uint16_t page) {
    if (item.size == 4) {
        return item.value;
    }
    return (static_cast<uint32_t>(page) << 16) | (item.value & 0xFFFF);
}

// Reads the item at `at` and moves past it; false (and `error`) when the
// descriptor ends inside it.
bool ReadNextItem(std::span<const uint8_t> bytes, size_t& at, Item& item, std::string& error) {
    const uint8_t prefix = bytes[at++];
    if (prefix == 0xFE) {
        // Long item: size byte, tag byte, data; nothing here uses them.
        if (at + 2 > bytes.size()) {
            error = "truncated long item";
            return false;
        }
        const size_t size = bytes[at];
        at += 2;
        if (at + size > bytes.size()) {
            error = "truncated long item";
            return false;
        }
        at += size;
        item.type = 3;
        return true;
    }
    static constexpr std::array<uint8_t, 4> kSizes{0, 1, 2, 4};
    item.size = kSizes[prefix & 0x03];
    item.type = (prefix >> 2) & 0x03;
    item.tag = prefix >> 4;
    if (at + item.size > bytes.size()) {
        error = "truncated item at byte " + std::to_string(at - 1);
        return false;
    }
    item.value = 0;
    for (uint8_t i = 0; i < item.size; ++i) {
        item.value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    }
    at += item.size;
    return true;
}

}  // namespace

class HidDescriptorParser {
public:
    explicit HidDescriptorParser(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    bool Run(std::vector<HidCollection>& collections, bool& usesReportIds) {
        size_t at = 0;
        while (at < m_bytes.size()) {
            Item item;
            if (!ReadItem(at, item)) {
                return false;
            }
            if (!Apply(item)) {
                return false;
            }
        }
        if (m_depth != 0) {
            return Fail("collection not closed at end of descriptor");
        }
        for (HidCollection& collection : m_collections) {
            collection.m_reportBits = m_reportBits;
            collection.Finish();
            if (!WithinDecodeBudget(collection)) {
                return false;
            }
        }
        collections = std::move(m_collections);
        usesReportIds = m_usesReportIds;
        return true;
    }

    const std::string& Error() const { return m_error; }

private:
    bool WithinDecodeBudget(const HidCollection& collection) {
        uint64_t usageListEntries = 0;
        for (int t = 0; t < kHidReportTypeCount; ++t) {
            const HidCollection::DecodeCost cost = collection.Cost(static_cast<HidReportType>(t));
            if (cost.entries > HidReportDescriptor::kMaxDataEntries) {
                return Fail("over budget: " + std::to_string(cost.entries) + " data entries");
            }
            usageListEntries += cost.usageListEntries;
        }
        if (usageListEntries > HidReportDescriptor::kMaxUsageListEntries) {
            return Fail("over budget: usage lists of " + std::to_string(usageListEntries) +
                        " entries");
        }
        return true;
    }

    bool Fail(std::string text) {
        m_error = std::move(text);
        return false;
    }

    bool ReadItem(size_t& at, Item& item) {
        std::string error;
        return ReadNextItem(m_bytes, at, item, error) || Fail(std::move(error));
    }

    bool Apply(const Item& item) {
        switch (item.type) {
            case 0:
                return ApplyMain(item);
            case 1:
                return ApplyGlobal(item);
            case 2:
                return ApplyLocal(item);
            default:
                return true;  // reserved and long items are skipped
        }
    }

    bool ApplyGlobal(const Item& item) {
        switch (item.tag) {
            case 0x0: m_global.usagePage = static_cast<uint16_t>(item.value); break;
            case 0x1: m_global.logicalMin = SignedValue(item); break;
            case 0x2:
                // A maximum is read unsigned when the minimum is not negative,
                // as parsers do for "0x00 .. 0xFF" written in one byte.
                m_global.logicalMax = m_global.logicalMin >= 0 ? static_cast<int32_t>(item.value)
                                                               : SignedValue(item);
                break;
            case 0x3: m_global.physicalMin = SignedValue(item); break;
            case 0x4:
                m_global.physicalMax = m_global.physicalMin >= 0
                                           ? static_cast<int32_t>(item.value)
                                           : SignedValue(item);
                break;
            case 0x5: {
                // The exponent is a four-bit signed nibble when written in one byte.
                int32_t exponent = SignedValue(item);
                if (item.size == 1 && (item.value & 0xF0) == 0) {
                    exponent = (item.value & 0x08) != 0 ? static_cast<int32_t>(item.value) - 16
                                                        : static_cast<int32_t>(item.value);
                }
                m_global.unitExponent = static_cast<int8_t>(exponent);
                break;
            }
            case 0x6: m_global.unit = item.value; break;
            case 0x7:
                if (item.value == 0 || item.value > 32) {
                    return Fail("report size " + std::to_string(item.value) + " out of range");
                }
                m_global.reportSize = item.value;
                break;
            case 0x8:
                if (item.value == 0 || item.value > 255) {
                    return Fail("report id " + std::to_string(item.value) + " out of range");
                }
                m_global.reportId = static_cast<uint8_t>(item.value);
                m_usesReportIds = true;
                break;
            case 0x9:
                if (item.value > 0xFFFF) {
                    return Fail("report count out of range");
                }
                m_global.reportCount = item.value;
                break;
            case 0xA:
                if (m_stack.size() >= HidReportDescriptor::kMaxPushDepth) {
                    return Fail("push nested too deeply");
                }
                m_stack.push_back(m_global);
                break;
            case 0xB:
                if (m_stack.empty()) {
                    return Fail("pop without push");
                }
                m_global = m_stack.back();
                m_stack.pop_back();
                break;
            default:
                break;
        }
        return true;
    }

    bool ApplyLocal(const Item& item) {
        if (m_local.usages.size() >= HidReportDescriptor::kMaxUsageRanges) {
            return Fail("too many usages");
        }
        switch (item.tag) {
            case 0x0: {
                const uint32_t usage = ExtendedUsage(item, m_global.usagePage);
                m_local.usages.push_back(HidUsageRange{static_cast<uint16_t>(usage >> 16),
                                                       static_cast<uint16_t>(usage),
                                                       static_cast<uint16_t>(usage)});
                break;
            }
            case 0x1:
                m_local.usageMin = ExtendedUsage(item, m_global.usagePage);
                CloseUsageRange();
                break;
            case 0x2:
                m_local.usageMax = ExtendedUsage(item, m_global.usagePage);
                CloseUsageRange();
                break;
            default:
                break;  // designators, strings and delimiters carry nothing we use
        }
        return true;
    }

    void CloseUsageRange() {
        if (!m_local.usageMin || !m_local.usageMax) {
            return;
        }
        const uint32_t min = *m_local.usageMin;
        uint32_t max = *m_local.usageMax;
        // A range never crosses pages; a reversed one is taken as its minimum.
        if ((max >> 16) != (min >> 16) || (max & 0xFFFF) < (min & 0xFFFF)) {
            max = min;
        }
        m_local.usages.push_back(HidUsageRange{static_cast<uint16_t>(min >> 16),
                                               static_cast<uint16_t>(min),
                                               static_cast<uint16_t>(max)});
        m_local.usageMin.reset();
        m_local.usageMax.reset();
    }

    bool ApplyMain(const Item& item) {
        bool ok = true;
        switch (item.tag) {
            case 0x8: ok = AddField(HidReportType::Input, item.value); break;
            case 0x9: ok = AddField(HidReportType::Output, item.value); break;
            case 0xB: ok = AddField(HidReportType::Feature, item.value); break;
            case 0xA: ok = OpenCollection(); break;
            case 0xC:
                if (m_depth == 0) {
                    ok = Fail("end collection without collection");
                    break;
                }
                --m_depth;
                m_linkStack.pop_back();
                break;
            default:
                break;
        }
        m_local = LocalState{};
        return ok;
    }

    bool OpenCollection() {
        if (m_depth >= HidReportDescriptor::kMaxCollectionDepth) {
            return Fail("collections nested too deeply");
        }
        if (++m_collectionCount > HidReportDescriptor::kMaxCollections) {
            return Fail("over budget: more than " +
                        std::to_string(HidReportDescriptor::kMaxCollections) + " collections");
        }
        if (m_depth == 0 && m_collections.size() >= HidReportDescriptor::kMaxTopLevelCollections) {
            return Fail("over budget: more than " +
                        std::to_string(HidReportDescriptor::kMaxTopLevelCollections) +
                        " top-level collections");
        }
        if (m_depth == 0) {
            HidCollection collection;
            if (!m_local.usages.empty()) {
                collection.m_caps.usagePage = m_local.usages.front().page;
                collection.m_caps.usage = m_local.usages.front().min;
            }
            m_collections.push_back(std::move(collection));
            m_linkNodes = 0;
        }
        HidCollection& top = m_collections.back();
        m_linkStack.push_back(m_linkNodes++);
        top.m_caps.numberLinkCollectionNodes = m_linkNodes;
        ++m_depth;
        return true;
    }

    bool AddField(HidReportType type, uint32_t flags) {
        if (m_global.reportSize == 0 && m_global.reportCount != 0) {
            return Fail("main item without report size");
        }
        const uint64_t bits = uint64_t{m_global.reportSize} * m_global.reportCount;
        uint32_t& total = m_reportBits[static_cast<size_t>(type)][m_global.reportId];
        if (total + bits > 0xFFFF * 8) {
            return Fail("report longer than 65535 bytes");
        }
        HidField field;
        field.type = type;
        field.reportId = m_global.reportId;
        field.flags = flags;
        field.bitOffset = total;
        field.bitSize = static_cast<uint16_t>(m_global.reportSize);
        field.count = static_cast<uint16_t>(m_global.reportCount);
        field.logicalMin = m_global.logicalMin;
        field.logicalMax = m_global.logicalMax;
        field.physicalMin = m_global.physicalMin;
        field.physicalMax = m_global.physicalMax;
        field.unitExponent = m_global.unitExponent;
        field.unit = m_global.unit;
        field.linkCollection = m_linkStack.empty() ? 0 : m_linkStack.back();
        if (m_local.usageMin && !m_local.usageMax) {
            m_local.usageMax = m_local.usageMin;
            CloseUsageRange();
        }
        field.usages = m_local.usages;
        total += static_cast<uint32_t>(bits);
        // Items outside any collection still take their bits but belong to none.
        if (m_depth == 0 || bits == 0) {
            return true;
        }
        if (++m_fieldCount > HidReportDescriptor::kMaxFields) {
            return Fail("too many fields");
        }
        m_storedRanges += field.usages.size();
        if (m_storedRanges > HidReportDescriptor::kMaxStoredUsageRanges) {
            return Fail("over budget: more than " +
                        std::to_string(HidReportDescriptor::kMaxStoredUsageRanges) +
                        " usage ranges");
        }
        m_collections.back().AddField(std::move(field));
        return true;
    }

    std::span<const uint8_t> m_bytes;
    GlobalState m_global;
    LocalState m_local;
    std::vector<GlobalState> m_stack;
    std::vector<uint16_t> m_linkStack;
    uint16_t m_linkNodes = 0;
    size_t m_depth = 0;
    size_t m_fieldCount = 0;
    size_t m_collectionCount = 0;
    size_t m_storedRanges = 0;
    bool m_usesReportIds = false;
    std::array<std::array<uint32_t, 256>, kHidReportTypeCount> m_reportBits{};
    std::vector<HidCollection> m_collections;
    std::string m_error;
};

std::optional<HidReportDescriptor> HidReportDescriptor::Parse(std::span<const uint8_t> bytes,
                                                              std::string* error) {
    HidDescriptorParser parser(bytes);
    HidReportDescriptor descriptor;
    if (!parser.Run(descriptor.m_collections, descriptor.m_usesReportIds)) {
        if (error != nullptr) {
            *error = parser.Error();
        }
        return std::nullopt;
    }
    return descriptor;
}

std::optional<size_t> HidReportDescriptor::CountTopLevelCollections(
    std::span<const uint8_t> bytes) {
    size_t at = 0;
    size_t depth = 0;
    size_t count = 0;
    std::string error;
    while (at < bytes.size()) {
        Item item;
        if (!ReadNextItem(bytes, at, item, error)) {
            return std::nullopt;
        }
        if (item.type != 0) {
            continue;
        }
        if (item.tag == 0xA) {
            count += depth++ == 0 ? 1 : 0;
        } else if (item.tag == 0xC && depth > 0) {
            --depth;
        }
    }
    if (count == 0 || count > kMaxTopLevelCollections) {
        return std::nullopt;
    }
    return count;
}

std::optional<size_t> HidReportDescriptor::CollectionIndex(uint16_t collectionNumber) const {
    if (collectionNumber == 0) {
        return m_collections.size() == 1 ? std::optional<size_t>(0) : std::nullopt;
    }
    if (collectionNumber > m_collections.size()) {
        return std::nullopt;
    }
    return collectionNumber - 1u;
}

int HidReportDescriptor::CollectionOfInputReport(uint8_t reportId) const {
    for (size_t i = 0; i < m_collections.size(); ++i) {
        if (m_collections[i].OwnsReport(HidReportType::Input, reportId)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace kx520::hid
