#include "support/VirtualChannel.h"

#include "kx520ctl/ProductChannel.h"
#include "sim/PacketTrace.h"

namespace kx520::test {

VirtualChannel::VirtualChannel(std::string_view product,
                               const std::vector<sim::FaultSpec>& faults)
    : m_tracePath(m_temp.Path() + "/trace"), m_product(product) {
    m_backend.SetTrace(sim::PacketTrace::Open(m_tracePath, nullptr));
    for (const sim::FaultSpec& fault : faults) {
        m_backend.AddFault(product, fault);
    }
    Reconnect();
}

bool VirtualChannel::Reconnect() {
    m_backend.Plug(m_product);
    m_channel = std::make_unique<protocol::CommandChannel>(m_backend);
    m_connected = ctl::ConnectProduct(*m_channel, m_backend, m_product, &m_path) ==
                  ctl::ConnectResult::Connected;
    return m_connected;
}

}  // namespace kx520::test
