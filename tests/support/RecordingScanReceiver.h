#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "discovery/DeviceScanThread.h"

namespace kx520 {
class InterfaceSlotTable;
}

namespace kx520::test {

// Records what a device scan reports, from any thread, and lets a test wait
// for it. With a slot table it also checks that a slot is already claimed
// (or released) when its handler runs, which handlers rely on.
class RecordingScanReceiver : public DeviceScanReceiver {
public:
    explicit RecordingScanReceiver(const InterfaceSlotTable* slots = nullptr) : m_slots(slots) {}

    void OnDeviceArrived(int slot) override;
    void OnDeviceRemoved(int slot) override;
    void OnFirstPassDone() override;
    void OnOpenFailed(const std::string& path, hid::HidError error) override;

    // Waits until `events` holds at least `count` entries.
    bool WaitFor(const std::vector<int>& events, size_t count,
                 std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::vector<int> Copy(const std::vector<int>& events);

    std::vector<int> arrived;
    std::vector<int> removed;
    std::vector<int> firstPasses;
    std::vector<int> openFailures;  // HidError values

private:
    void Record(std::vector<int>& events, int value);

    const InterfaceSlotTable* m_slots;
    std::mutex m_lock;
    std::condition_variable m_changed;
};

}  // namespace kx520::test
