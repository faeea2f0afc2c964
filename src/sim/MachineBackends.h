#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hid/HidBackendSet.h"
#include "hid/HidrawBackend.h"
#include "sim/VirtualHeadsetSound.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::sim {

// The HID interfaces a program sees: the machine's hidraw nodes (roots from
// the environment) together with the virtual devices it was asked to
// simulate, enumerated as one.
class MachineBackends {
public:
    // Plugs the `simulated` products with the faults of KX520_SIM_FAULTS and
    // the trace of KX520_SIM_TRACE. Nothing (and `error` set) when either
    // variable is unusable.
    static std::unique_ptr<MachineBackends> Create(const std::vector<std::string>& simulated,
                                                   std::string* error);
    MachineBackends(const MachineBackends&) = delete;
    MachineBackends& operator=(const MachineBackends&) = delete;

    hid::HidBackend& Backend() { return m_all; }
    hid::HidrawBackend& Hidraw() { return m_hidraw; }
    VirtualHidBackend& Virtual() { return m_virtual; }

private:
    MachineBackends();

    hid::HidrawBackend m_hidraw;
    // Before the devices: they are unplugged (and its devices asked away)
    // before it ends.
    std::unique_ptr<VirtualHeadsetSound> m_headsetSound;
    VirtualHidBackend m_virtual;
    hid::HidBackendSet m_all;
};

}  // namespace kx520::sim
