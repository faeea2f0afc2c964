#include "support/RecordingScanReceiver.h"

#include <gtest/gtest.h>

#include "discovery/InterfaceSlotTable.h"

namespace kx520::test {

void RecordingScanReceiver::OnDeviceArrived(int slot) {
    if (m_slots != nullptr) {
        const DeviceInterfaceEntry entry = m_slots->Slot(static_cast<size_t>(slot));
        EXPECT_EQ(entry.connected, 1);
        EXPECT_FALSE(entry.path.empty());
    }
    Record(arrived, slot);
}

void RecordingScanReceiver::OnDeviceRemoved(int slot) {
    if (m_slots != nullptr) {
        EXPECT_EQ(m_slots->Slot(static_cast<size_t>(slot)).connected, 0);
    }
    Record(removed, slot);
}

void RecordingScanReceiver::OnFirstPassDone() {
    Record(firstPasses, 0);
}

void RecordingScanReceiver::OnOpenFailed(const std::string&, hid::HidError error) {
    Record(openFailures, static_cast<int>(error));
}

bool RecordingScanReceiver::WaitFor(const std::vector<int>& events, size_t count,
                                    std::chrono::milliseconds limit) {
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, limit, [&] { return events.size() >= count; });
}

std::vector<int> RecordingScanReceiver::Copy(const std::vector<int>& events) {
    std::lock_guard lock(m_lock);
    return events;
}

void RecordingScanReceiver::Record(std::vector<int>& events, int value) {
    {
        std::lock_guard lock(m_lock);
        events.push_back(value);
    }
    m_changed.notify_all();
}

}  // namespace kx520::test
