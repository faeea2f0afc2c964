#include "sim/MachineBackends.h"

namespace kx520::sim {

MachineBackends::MachineBackends(const std::vector<std::string>& simulated)
    : m_hidraw(hid::HidrawBackend::FromEnvironment()) {
    m_all.Add(m_hidraw);
    m_all.Add(m_virtual);
    for (const std::string& product : simulated) {
        m_virtual.Plug(product);
    }
}

}  // namespace kx520::sim
