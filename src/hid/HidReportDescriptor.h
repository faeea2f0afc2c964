#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hid/HidCollection.h"

namespace kx520::hid {

// A parsed HID report descriptor: one HidCollection per top-level
// collection, in descriptor order (collection number = index + 1).
class HidReportDescriptor {
public:
    // Nothing (and `error` set) for a descriptor that is truncated, unbalanced
    // or beyond the limits below; bad input never crashes the parser.
    static std::optional<HidReportDescriptor> Parse(std::span<const uint8_t> bytes,
                                                    std::string* error = nullptr);

    const std::vector<HidCollection>& Collections() const { return m_collections; }
    // True when the reports carry a report id byte on the wire.
    bool UsesReportIds() const { return m_usesReportIds; }
    // Index of the collection a path's "&colNN" number names: number 0 (no
    // "&col" part) names the only collection of a single-collection interface.
    std::optional<size_t> CollectionIndex(uint16_t collectionNumber) const;
    // The collection that owns input report `reportId`, or -1.
    int CollectionOfInputReport(uint8_t reportId) const;

    static constexpr size_t kMaxCollectionDepth = 32;
    static constexpr size_t kMaxPushDepth = 16;
    static constexpr size_t kMaxFields = 4096;
    static constexpr size_t kMaxUsageRanges = 1024;

private:
    std::vector<HidCollection> m_collections;
    bool m_usesReportIds = false;
};

}  // namespace kx520::hid
