#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/CommandChannel.h"
#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520::test {

// A virtual product with its command channel open as the application opens
// it, and every report traced to a private file.
class VirtualChannel {
public:
    explicit VirtualChannel(std::string_view product,
                            const std::vector<sim::FaultSpec>& faults = {});

    protocol::CommandChannel& Channel() { return *m_channel; }
    sim::VirtualHidBackend& Backend() { return m_backend; }
    std::shared_ptr<sim::FirmwareDriver> Firmware() { return m_backend.Firmware(m_product); }
    const std::string& Path() const { return m_path; }
    bool Connected() const { return m_connected; }

    std::vector<TraceLine> Trace() const { return ReadTrace(m_tracePath); }
    std::vector<TraceLine> Requests() const { return test::Requests(Trace()); }

    // Plugs the product in again (after an unplug) and reopens the channel.
    bool Reconnect();

private:
    TempDir m_temp;
    std::string m_tracePath;
    std::string m_product;
    sim::VirtualHidBackend m_backend;
    std::unique_ptr<protocol::CommandChannel> m_channel;
    std::string m_path;
    bool m_connected = false;
};

}  // namespace kx520::test
