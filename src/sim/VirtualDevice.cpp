#include "sim/VirtualDevice.h"

#include <algorithm>

namespace kx520::sim {

VirtualDevice::VirtualDevice(const VirtualProductSpec& spec, uint32_t serial)
    : m_spec(spec), m_serial(serial) {
    for (const VirtualInterfaceSpec& interface : spec.interfaces) {
        auto descriptor = hid::HidReportDescriptor::Parse(interface.descriptor);
        if (!descriptor) {
            continue;  // a product table error; the interface simply is not there
        }
        m_interfaces.push_back(Interface{
            interface.number,
            std::make_shared<const hid::HidReportDescriptor>(std::move(*descriptor)), {}});
    }
}

VirtualDevice::Interface* VirtualDevice::Find(uint8_t interfaceNumber) {
    for (Interface& interface : m_interfaces) {
        if (interface.number == interfaceNumber) {
            return &interface;
        }
    }
    return nullptr;
}

const VirtualDevice::Interface* VirtualDevice::Find(uint8_t interfaceNumber) const {
    return const_cast<VirtualDevice*>(this)->Find(interfaceNumber);
}

bool VirtualDevice::HasInterface(uint8_t interfaceNumber) const {
    return Find(interfaceNumber) != nullptr;
}

std::shared_ptr<const hid::HidReportDescriptor> VirtualDevice::Descriptor(
    uint8_t interfaceNumber) const {
    const Interface* interface = Find(interfaceNumber);
    return interface != nullptr ? interface->descriptor : nullptr;
}

void VirtualDevice::Unplug() {
    std::vector<std::shared_ptr<ReportQueue>> readers;
    {
        std::lock_guard lock(m_lock);
        m_plugged.store(false);
        for (Interface& interface : m_interfaces) {
            readers.insert(readers.end(), interface.readers.begin(), interface.readers.end());
            interface.readers.clear();
        }
    }
    for (const auto& queue : readers) {
        queue->Close();
    }
}

std::shared_ptr<ReportQueue> VirtualDevice::Subscribe(uint8_t interfaceNumber) {
    std::lock_guard lock(m_lock);
    Interface* interface = Find(interfaceNumber);
    if (interface == nullptr || !m_plugged.load()) {
        return nullptr;
    }
    auto queue = std::make_shared<ReportQueue>();
    interface->readers.push_back(queue);
    return queue;
}

void VirtualDevice::Unsubscribe(const std::shared_ptr<ReportQueue>& queue) {
    std::lock_guard lock(m_lock);
    for (Interface& interface : m_interfaces) {
        std::erase(interface.readers, queue);
    }
}

void VirtualDevice::SendInput(uint8_t interfaceNumber, std::span<const uint8_t> report) {
    std::vector<std::shared_ptr<ReportQueue>> readers;
    std::shared_ptr<PacketTrace> trace;
    {
        std::lock_guard lock(m_lock);
        const Interface* interface = Find(interfaceNumber);
        if (interface == nullptr || !m_plugged.load()) {
            return;
        }
        readers = interface->readers;
        trace = m_trace;
    }
    if (trace) {
        trace->Record(Name(), false, report);
    }
    for (const auto& queue : readers) {
        queue->Push(std::vector<uint8_t>(report.begin(), report.end()));
    }
}

bool VirtualDevice::ReceiveOutput(uint8_t interfaceNumber, std::span<const uint8_t> report) {
    std::shared_ptr<OutputHandler> handler;
    std::shared_ptr<PacketTrace> trace;
    {
        std::lock_guard lock(m_lock);
        if (!m_plugged.load() || Find(interfaceNumber) == nullptr) {
            return false;
        }
        handler = m_outputHandler;
        trace = m_trace;
    }
    if (trace) {
        trace->Record(Name(), true, report);
    }
    // Outside the lock: the firmware answers through SendInput.
    if (handler && *handler) {
        return (*handler)(*this, interfaceNumber, report);
    }
    return true;
}

void VirtualDevice::SetTrace(std::shared_ptr<PacketTrace> trace) {
    std::lock_guard lock(m_lock);
    m_trace = std::move(trace);
}

void VirtualDevice::SetOutputHandler(OutputHandler handler) {
    std::lock_guard lock(m_lock);
    m_outputHandler = std::make_shared<OutputHandler>(std::move(handler));
}

}  // namespace kx520::sim
