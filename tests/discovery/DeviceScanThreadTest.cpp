#include "discovery/DeviceScanThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "discovery/InterfaceSlotTable.h"
#include "hid/DevicePath.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualProducts.h"
#include "support/RecordingScanReceiver.h"

namespace kx520 {
namespace {

using namespace std::chrono_literals;

// The virtual devices, with counts of enumerations and switchable failures.
class TestBackend : public hid::HidBackend {
public:
    bool Enumerate(std::vector<std::string>& paths) override {
        ++enumerations;
        if (failEnumerations > 0) {
            --failEnumerations;
            return false;
        }
        return devices.Enumerate(paths);
    }
    bool Owns(const std::string& path) const override { return devices.Owns(path); }
    hid::HidOpenResult Open(const std::string& path, const hid::HidOpenMode& mode) override {
        if (denyOpens > 0) {
            --denyOpens;
            return {nullptr, hid::HidError::AccessDenied};
        }
        return devices.Open(path, mode);
    }
    bool Probe(const std::string& path) override { return devices.Probe(path); }
    void SetChangeListener(std::function<void()> listener) override {
        listening = static_cast<bool>(listener);
        devices.SetChangeListener(std::move(listener));
    }

    sim::VirtualHidBackend devices;
    std::atomic<bool> listening{false};
    std::atomic<int> enumerations{0};
    std::atomic<int> failEnumerations{0};
    std::atomic<int> denyOpens{0};
};

class DeviceScan : public ::testing::Test {
protected:
    void PlugAll() {
        for (std::string_view name : sim::kVirtualProductNames) {
            backend.devices.Plug(name);
        }
    }

    TestBackend backend;
    InterfaceSlotTable slots;
    test::RecordingScanReceiver receiver{&slots};
    DeviceScanThread scan{backend, slots, receiver};
};

TEST_F(DeviceScan, OnePassClaimsEveryAcceptedInterfaceInEnumerationOrder) {
    PlugAll();
    scan.RunPass();
    // Paths come in collection order: the notification collection (3) of a
    // product before its command collection (4).
    EXPECT_EQ(receiver.arrived, (std::vector<int>{1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 10}));
    EXPECT_TRUE(slots.AllSlotsClaimed());
    const DeviceInterfaceEntry headset = slots.Slot(10);
    EXPECT_EQ(hid::PathCollectionNumber(headset.path), 0);
    EXPECT_EQ(headset.usagePage, 0x000C);
    EXPECT_EQ(receiver.firstPasses.size(), 1u);
}

TEST_F(DeviceScan, OtherCollectionsAndInterfacesAreNeverOpened) {
    PlugAll();
    scan.RunPass();
    int openedPaths = 0;
    for (const auto& device : backend.devices.Devices()) {
        for (const std::string& path : sim::VirtualHidBackend::PathsOf(*device)) {
            const uint16_t collection = hid::PathCollectionNumber(path);
            const bool accepted = device->Name() == "headset" || collection == 3 || collection == 4;
            if (accepted) {
                EXPECT_EQ(backend.devices.OpenCount(path), 1) << path;
                ++openedPaths;
            } else {
                EXPECT_EQ(backend.devices.OpenCount(path), 0) << path;
            }
        }
    }
    EXPECT_EQ(openedPaths, 11);
}

TEST_F(DeviceScan, InstanceMessageComesOnceAfterTheFirstPassEvenWithNothingFound) {
    scan.Start();
    ASSERT_TRUE(receiver.WaitFor(receiver.firstPasses, 1));
    // Let several more passes run.
    while (backend.enumerations.load() < 4) {
        std::this_thread::sleep_for(20ms);
    }
    scan.Stop();
    EXPECT_EQ(receiver.Copy(receiver.firstPasses).size(), 1u);
    EXPECT_TRUE(receiver.Copy(receiver.arrived).empty());
}

TEST_F(DeviceScan, WithEverySlotClaimedOnlyRemovalIsProbedAndSeenQuickly) {
    PlugAll();
    scan.Start();
    ASSERT_TRUE(receiver.WaitFor(receiver.arrived, 11));
    const int enumerationsWhenFull = backend.enumerations.load();
    std::this_thread::sleep_for(350ms);
    EXPECT_EQ(backend.enumerations.load(), enumerationsWhenFull);

    const auto unplugged = std::chrono::steady_clock::now();
    backend.devices.Unplug("mouse");
    ASSERT_TRUE(receiver.WaitFor(receiver.removed, 2));
    // About one period; the bound is generous because the machine is shared.
    EXPECT_LT(std::chrono::steady_clock::now() - unplugged, 1500ms);
    // The unplug may land between the two probes of one pass: the set counts.
    auto removed = receiver.Copy(receiver.removed);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<int>{4, 5}));

    // A free slot again: the search resumes and finds the mouse when it returns.
    backend.devices.Plug("mouse");
    ASSERT_TRUE(receiver.WaitFor(receiver.arrived, 13));
    scan.Stop();
    const auto arrived = receiver.Copy(receiver.arrived);
    EXPECT_EQ(arrived[11], 5);
    EXPECT_EQ(arrived[12], 4);
    EXPECT_GT(backend.enumerations.load(), enumerationsWhenFull);
}

TEST_F(DeviceScan, EnumerationFailuresAreRetriedOnLaterPasses) {
    backend.failEnumerations = 3;
    backend.devices.Plug("headset");
    scan.Start();
    ASSERT_TRUE(receiver.WaitFor(receiver.arrived, 1));
    scan.Stop();
    EXPECT_GE(backend.enumerations.load(), 4);
    EXPECT_EQ(receiver.Copy(receiver.arrived), std::vector<int>{10});
}

TEST_F(DeviceScan, AnInterfaceThatCannotBeOpenedIsReportedAndTriedAgain) {
    backend.devices.Plug("headset");
    backend.denyOpens = 1;
    scan.RunPass();
    EXPECT_TRUE(receiver.arrived.empty());
    ASSERT_EQ(receiver.openFailures.size(), 1u);
    EXPECT_EQ(receiver.openFailures[0], static_cast<int>(hid::HidError::AccessDenied));
    scan.RunPass();
    EXPECT_EQ(receiver.arrived, std::vector<int>{10});
}

TEST_F(DeviceScan, ReceiverProductClaimsItsOwnSlotsBesideTheCable) {
    backend.devices.Plug("keyboard-receiver");
    scan.RunPass();
    EXPECT_EQ(receiver.arrived, (std::vector<int>{3, 2}));
    backend.devices.Plug("keyboard");
    scan.RunPass();
    EXPECT_EQ(receiver.arrived, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(slots.Slot(2).deviceClass, KeyboardReceiver);
    EXPECT_EQ(slots.Slot(0).deviceClass, KeyboardWired);
}

TEST_F(DeviceScan, StopEndsTheThreadPromptly) {
    scan.Start();
    ASSERT_TRUE(receiver.WaitFor(receiver.firstPasses, 1));
    const auto start = std::chrono::steady_clock::now();
    scan.Stop();
    EXPECT_FALSE(scan.Running());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

// The scan hears the backend's changes only while it runs: a call after
// Stop would reach a thread that is gone.
TEST_F(DeviceScan, ListensToTheBackendOnlyWhileRunning) {
    EXPECT_FALSE(backend.listening);
    scan.Start();
    EXPECT_TRUE(backend.listening);
    backend.devices.Plug("keyboard");  // a hint the running scan takes
    ASSERT_TRUE(receiver.WaitFor(receiver.arrived, 2));
    scan.Stop();
    EXPECT_FALSE(backend.listening);
    backend.devices.Unplug("keyboard");  // no one to tell: must not crash
}

TEST(InterfaceSlots, CandidateNeedsATableRowAndAFreeSlot) {
    InterfaceSlotTable slots;
    DeviceInterfaceEntry record;
    record.vendorId = 0x320F;
    record.productId = 0x50C2;
    record.interfaceNumber = 1;
    record.collectionNumber = 2;
    EXPECT_FALSE(slots.IsCandidate(record));
    record.collectionNumber = 4;
    EXPECT_TRUE(slots.IsCandidate(record));
    record.interfaceNumber = 0;
    EXPECT_FALSE(slots.IsCandidate(record));

    // Claiming needs usage page and usage too.
    record.interfaceNumber = 1;
    record.path = "p";
    record.usagePage = 0x000C;
    record.usage = 0x01;
    int slot = -1;
    EXPECT_FALSE(slots.ClaimSlot(record, slot));
    record.usagePage = 0xFF1C;
    record.usage = 0x92;
    ASSERT_TRUE(slots.ClaimSlot(record, slot));
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(record.deviceClass, KeyboardWired);
    EXPECT_EQ(record.linkRole, CommandInterface);
    EXPECT_FALSE(slots.IsCandidate(record));
    EXPECT_FALSE(slots.ClaimSlot(record, slot));
    EXPECT_TRUE(slots.ReleaseSlot(0));
    EXPECT_FALSE(slots.ReleaseSlot(0));
    EXPECT_FALSE(slots.ReleaseSlot(99));
    EXPECT_TRUE(slots.IsCandidate(record));
}

}  // namespace
}  // namespace kx520
