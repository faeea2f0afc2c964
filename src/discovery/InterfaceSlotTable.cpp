#include "discovery/InterfaceSlotTable.h"

namespace kx520 {

namespace {

bool SameInterface(const DeviceInterfaceEntry& a, const DeviceInterfaceEntry& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId &&
           a.interfaceNumber == b.interfaceNumber && a.collectionNumber == b.collectionNumber;
}

bool SameInterfaceAndUsage(const DeviceInterfaceEntry& a, const DeviceInterfaceEntry& b) {
    return SameInterface(a, b) && a.usagePage == b.usagePage && a.usage == b.usage;
}

}  // namespace

InterfaceSlotTable::InterfaceSlotTable() {
    m_slots.reserve(kInterfaceTable.size());
    for (const InterfaceTableRow& row : kInterfaceTable) {
        m_slots.push_back(DeviceInterfaceEntry::FromRow(row));
    }
}

bool InterfaceSlotTable::IsFree(const DeviceInterfaceEntry& slot) {
    return slot.connected == 0 && slot.path.empty();
}

size_t InterfaceSlotTable::Size() const {
    std::lock_guard lock(m_lock);
    return m_slots.size();
}

DeviceInterfaceEntry InterfaceSlotTable::Slot(size_t index) const {
    std::lock_guard lock(m_lock);
    return index < m_slots.size() ? m_slots[index] : DeviceInterfaceEntry{};
}

std::vector<DeviceInterfaceEntry> InterfaceSlotTable::Snapshot() const {
    std::lock_guard lock(m_lock);
    return m_slots;
}

bool InterfaceSlotTable::IsCandidate(const DeviceInterfaceEntry& record) const {
    bool inTable = false;
    for (const InterfaceTableRow& row : kInterfaceTable) {
        inTable = inTable || SameInterface(DeviceInterfaceEntry::FromRow(row), record);
    }
    if (!inTable) {
        return false;
    }
    std::lock_guard lock(m_lock);
    for (const DeviceInterfaceEntry& slot : m_slots) {
        if (IsFree(slot) && SameInterface(slot, record)) {
            return true;
        }
    }
    return false;
}

bool InterfaceSlotTable::HasVendor(uint16_t vendorId) {
    for (const InterfaceTableRow& row : kInterfaceTable) {
        if (row.vendorId == vendorId) {
            return true;
        }
    }
    return false;
}

bool InterfaceSlotTable::AllSlotsClaimed() const {
    std::lock_guard lock(m_lock);
    for (const DeviceInterfaceEntry& slot : m_slots) {
        if (IsFree(slot)) {
            return false;
        }
    }
    return true;
}

bool InterfaceSlotTable::ClaimSlot(DeviceInterfaceEntry& record, int& slot) {
    const InterfaceTableRow* match = nullptr;
    for (const InterfaceTableRow& row : kInterfaceTable) {
        if (SameInterfaceAndUsage(DeviceInterfaceEntry::FromRow(row), record)) {
            match = &row;
            break;
        }
    }
    if (match == nullptr) {
        return false;
    }
    record.deviceClass = match->deviceClass;
    record.linkRole = match->linkRole;
    std::lock_guard lock(m_lock);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        DeviceInterfaceEntry& candidate = m_slots[i];
        if (IsFree(candidate) && SameInterfaceAndUsage(candidate, record)) {
            candidate.connected = 1;
            candidate.path = record.path;
            slot = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

bool InterfaceSlotTable::ReleaseSlot(size_t index) {
    std::lock_guard lock(m_lock);
    if (index >= m_slots.size() || IsFree(m_slots[index])) {
        return false;
    }
    m_slots[index].connected = 0;
    m_slots[index].path.clear();
    return true;
}

std::vector<InterfaceSlotTable::ClaimedSlot> InterfaceSlotTable::ClaimedSlots() const {
    std::lock_guard lock(m_lock);
    std::vector<ClaimedSlot> claimed;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].connected != 0) {
            claimed.push_back(ClaimedSlot{i, m_slots[i].path});
        }
    }
    return claimed;
}

}  // namespace kx520
