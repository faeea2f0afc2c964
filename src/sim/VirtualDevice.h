#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "hid/HidReportDescriptor.h"
#include "sim/PacketTrace.h"
#include "sim/ReportQueue.h"
#include "sim/VirtualProducts.h"

namespace kx520::sim {

// One plugged virtual product. Its interfaces deliver input reports to every
// open descriptor, as hidraw nodes do, and hand output reports to the
// product's firmware. Used from several threads at once.
class VirtualDevice {
public:
    // Host-to-device reports, report id first (0 for unnumbered reports).
    // False when the device did not take the report (the host's write fails).
    using OutputHandler =
        std::function<bool(VirtualDevice& device, uint8_t interfaceNumber,
                           std::span<const uint8_t> report)>;

    VirtualDevice(const VirtualProductSpec& spec, uint32_t serial);

    const VirtualProductSpec& Spec() const { return m_spec; }
    const std::string& Name() const { return m_spec.name; }
    uint32_t Serial() const { return m_serial; }
    bool Plugged() const { return m_plugged.load(); }
    // Takes the device away: every open descriptor fails from now on.
    void Unplug();

    bool HasInterface(uint8_t interfaceNumber) const;
    // The parsed descriptor of an interface; nullptr for an unknown one.
    std::shared_ptr<const hid::HidReportDescriptor> Descriptor(uint8_t interfaceNumber) const;

    // A new open descriptor of the interface; nullptr when unplugged or unknown.
    std::shared_ptr<ReportQueue> Subscribe(uint8_t interfaceNumber);
    void Unsubscribe(const std::shared_ptr<ReportQueue>& queue);

    // Device-to-host report as on the wire: id first when the interface's
    // reports are numbered, the bare data otherwise.
    void SendInput(uint8_t interfaceNumber, std::span<const uint8_t> report);
    // False when unplugged.
    bool ReceiveOutput(uint8_t interfaceNumber, std::span<const uint8_t> report);
    void SetOutputHandler(OutputHandler handler);
    // Every report in and out is written to `trace` when one is set.
    void SetTrace(std::shared_ptr<PacketTrace> trace);

private:
    struct Interface {
        uint8_t number = 0;
        std::shared_ptr<const hid::HidReportDescriptor> descriptor;
        std::vector<std::shared_ptr<ReportQueue>> readers;
    };
    Interface* Find(uint8_t interfaceNumber);
    const Interface* Find(uint8_t interfaceNumber) const;

    const VirtualProductSpec& m_spec;
    const uint32_t m_serial;
    std::atomic<bool> m_plugged{true};
    mutable std::mutex m_lock;
    std::vector<Interface> m_interfaces;
    std::shared_ptr<OutputHandler> m_outputHandler;
    std::shared_ptr<PacketTrace> m_trace;
};

}  // namespace kx520::sim
