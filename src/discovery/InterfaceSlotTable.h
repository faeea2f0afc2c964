#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "catalog/DeviceCatalog.h"

namespace kx520 {

// The interface slots: one per row of the interface table, in table order. A
// slot is free (not connected, no path) or claimed (connected, path set). The
// scan thread claims and releases; everybody else reads copies. Every call
// takes the table's lock, so readers on other threads never see half a change.
class InterfaceSlotTable {
public:
    InterfaceSlotTable();

    size_t Size() const;
    DeviceInterfaceEntry Slot(size_t index) const;
    std::vector<DeviceInterfaceEntry> Snapshot() const;

    // Some table row has the record's ids, interface and collection, and a
    // slot with those four values is free.
    bool IsCandidate(const DeviceInterfaceEntry& record) const;
    // Whether any interface of the table has this vendor: the cheap first
    // look at a listed path, as most of a desktop's nodes are other makers'.
    static bool HasVendor(uint16_t vendorId);
    bool AllSlotsClaimed() const;
    // Finds the row that also matches usage page and usage, copies its class
    // and role into `record` and claims the first free slot like it.
    bool ClaimSlot(DeviceInterfaceEntry& record, int& slot);
    // Frees a claimed slot; false when it was free already.
    bool ReleaseSlot(size_t index);

    struct ClaimedSlot {
        size_t index;
        std::string path;
    };
    std::vector<ClaimedSlot> ClaimedSlots() const;

private:
    static bool IsFree(const DeviceInterfaceEntry& slot);

    mutable std::mutex m_lock;
    std::vector<DeviceInterfaceEntry> m_slots;
};

}  // namespace kx520
