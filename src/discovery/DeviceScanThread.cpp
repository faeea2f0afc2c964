#include "discovery/DeviceScanThread.h"

#include "discovery/InterfaceSlotTable.h"
#include "hid/DevicePath.h"
#include "hid/HidDevice.h"
#include "platform/DebugTrace.h"

namespace kx520 {

DeviceScanThread::DeviceScanThread(hid::HidBackend& backend, InterfaceSlotTable& slots,
                                   DeviceScanReceiver& receiver)
    : m_backend(backend), m_slots(slots), m_receiver(receiver) {}

DeviceScanThread::~DeviceScanThread() {
    Stop();
}

void DeviceScanThread::Start() {
    if (m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_waitLock);
        m_ended = false;
    }
    m_backend.SetChangeListener([this] { OnBackendChanged(); });
    m_listening = true;
    m_thread = std::jthread([this](std::stop_token stop) {
        Run(stop);
        std::lock_guard lock(m_waitLock);
        m_ended = true;
        m_endedSignal.notify_all();
    });
}

void DeviceScanThread::Stop() {
    RequestStop();
    Join();
}

void DeviceScanThread::RequestStop() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
    }
}

bool DeviceScanThread::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_waitLock);
    return m_endedSignal.wait_for(lock, timeout, [this] { return m_ended; });
}

void DeviceScanThread::Join() {
    if (m_listening) {
        m_backend.SetChangeListener(nullptr);  // no call into us once this returns
        m_listening = false;
    }
    if (!m_thread.joinable()) {
        return;
    }
    m_thread.join();
    m_thread = std::jthread();
}

void DeviceScanThread::Run(std::stop_token stop) {
    m_firstPass = true;
    for (;;) {
        if (WaitForStop(stop, std::chrono::milliseconds(1))) {
            DebugTrace("抓取设备线程设定退出");
            return;
        }
        RunPass();
        WaitForStop(stop, kPeriod);
    }
}

bool DeviceScanThread::WaitForStop(std::stop_token stop, std::chrono::milliseconds duration) {
    std::unique_lock lock(m_waitLock);
    m_wake.wait_for(lock, stop, duration, [this] { return m_changed; });
    m_changed = false;
    return stop.stop_requested();
}

void DeviceScanThread::OnBackendChanged() {
    std::lock_guard lock(m_waitLock);
    m_changed = true;
    m_wake.notify_all();
}

void DeviceScanThread::RunPass() {
    if (!m_slots.AllSlotsClaimed()) {
        SearchForArrivals();
    }
    if (m_firstPass) {
        m_firstPass = false;
        m_receiver.OnFirstPassDone();
    }
    ProbeForRemovals();
}

void DeviceScanThread::SearchForArrivals() {
    if (!m_device) {
        m_device = std::make_unique<hid::HidDevice>(m_backend);
    }
    if (!m_device->Enumerate()) {
        // Detection must survive a bad moment of the system: try next pass.
        DebugTrace("HID enumeration failed; trying again on the next pass");
    }
    while (const std::string* listed = m_device->NextPath()) {
        if (listed->empty()) {
            continue;
        }
        const uint16_t vendorId = hid::PathVendorId(*listed);
        if (!InterfaceSlotTable::HasVendor(vendorId)) {
            continue;
        }
        DeviceInterfaceEntry record;
        record.path = *listed;
        record.vendorId = vendorId;
        record.productId = hid::PathProductId(record.path);
        record.interfaceNumber = hid::PathInterfaceNumber(record.path);
        record.collectionNumber = hid::PathCollectionNumber(record.path);
        if (!m_slots.IsCandidate(record)) {
            continue;
        }
        if (!m_device->Open(record.path, true, false, true, false)) {
            m_receiver.OnOpenFailed(record.path, m_device->LastError());
            continue;
        }
        record.vendorId = m_device->VendorId();
        record.productId = m_device->ProductId();
        record.usagePage = m_device->Caps().usagePage;
        record.usage = m_device->Caps().usage;
        int slot = -1;
        if (m_slots.ClaimSlot(record, slot)) {
            m_receiver.OnDeviceArrived(slot);
        }
        m_device->Close();
    }
    m_device->FreePathList();
}

void DeviceScanThread::ProbeForRemovals() {
    for (const InterfaceSlotTable::ClaimedSlot& claimed : m_slots.ClaimedSlots()) {
        if (m_backend.Probe(claimed.path)) {
            continue;
        }
        if (m_slots.ReleaseSlot(claimed.index)) {
            m_receiver.OnDeviceRemoved(static_cast<int>(claimed.index));
        }
    }
}

}  // namespace kx520
