#include "sim/MachineBackends.h"

#include <cstdlib>

#include "sim/PacketTrace.h"
#include "sim/SimFault.h"

namespace kx520::sim {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

MachineBackends::MachineBackends() : m_hidraw(hid::HidrawBackend::FromEnvironment()) {
    m_all.Add(m_hidraw);
    m_all.Add(m_virtual);
}

std::unique_ptr<MachineBackends> MachineBackends::Create(
    const std::vector<std::string>& simulated, std::string* error) {
    std::unique_ptr<MachineBackends> backends(new MachineBackends());
    const std::string tracePath = Variable("KX520_SIM_TRACE");
    if (!tracePath.empty()) {
        auto trace = PacketTrace::Open(tracePath, error);
        if (!trace) {
            return nullptr;
        }
        backends->m_virtual.SetTrace(std::move(trace));
    }
    std::string faultError;
    const auto faults = ParseSimFaults(Variable("KX520_SIM_FAULTS"), &faultError);
    if (!faults) {
        if (error != nullptr) {
            *error = "KX520_SIM_FAULTS: " + faultError;
        }
        return nullptr;
    }
    for (const auto& [product, specs] : *faults) {
        for (const FaultSpec& spec : specs) {
            backends->m_virtual.AddFault(product, spec);
        }
    }
    for (const std::string& product : simulated) {
        backends->m_virtual.Plug(product);
    }
    return backends;
}

}  // namespace kx520::sim
