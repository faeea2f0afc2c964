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

    // The number of top-level collections, walking the items only: what the
    // paths of a node whose descriptor Parse refuses are numbered by. Nothing
    // for a truncated descriptor or one without collections.
    static std::optional<size_t> CountTopLevelCollections(std::span<const uint8_t> bytes);

    const std::vector<HidCollection>& Collections() const { return m_collections; }
    // True when the reports carry a report id byte on the wire.
    bool UsesReportIds() const { return m_usesReportIds; }
    // Index of the collection a path's "&colNN" number names: number 0 (no
    // "&col" part) names the only collection of a single-collection interface.
    std::optional<size_t> CollectionIndex(uint16_t collectionNumber) const;
    // The collection that owns input report `reportId`, or -1.
    int CollectionOfInputReport(uint8_t reportId) const;

    // The budget of one descriptor. A device chooses its descriptor, so what
    // parsing and decoding it may cost is bounded here: a descriptor beyond
    // any of these is refused (an interface that cannot be used). Real
    // devices stay far below: a full keyboard needs tens of entries.
    static constexpr size_t kMaxCollectionDepth = 32;
    static constexpr size_t kMaxPushDepth = 16;
    static constexpr size_t kMaxFields = 4096;
    // Usage ranges of one main item, and of all of them together.
    static constexpr size_t kMaxUsageRanges = 1024;
    static constexpr size_t kMaxStoredUsageRanges = 65536;
    // Collections of every level, and top-level ones (paths number them in
    // two hex digits).
    static constexpr size_t kMaxCollections = 4096;
    static constexpr size_t kMaxTopLevelCollections = 255;
    // Decoded entries of one report type of one collection, and the usage
    // list slots they need together (2 bytes each).
    static constexpr uint64_t kMaxDataEntries = 4096;
    static constexpr uint64_t kMaxUsageListEntries = uint64_t{1} << 18;

private:
    std::vector<HidCollection> m_collections;
    bool m_usesReportIds = false;
};

}  // namespace kx520::hid
