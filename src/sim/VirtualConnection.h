#pragma once

#include <atomic>
#include <memory>

#include "hid/HidBackend.h"
#include "hid/InputReportFilter.h"
#include "sim/ReportQueue.h"
#include "sim/VirtualDevice.h"

namespace kx520::sim {

// An open top-level collection of a virtual device, behaving as a hidraw
// descriptor does: its own report queue, reports of other collections
// dropped, every wait cut short by Cancel or by unplugging.
class VirtualConnection : public hid::HidConnection {
public:
    VirtualConnection(std::shared_ptr<VirtualDevice> device, uint8_t interfaceNumber,
                      std::shared_ptr<ReportQueue> queue, size_t collectionIndex,
                      const hid::HidOpenMode& mode);
    ~VirtualConnection() override;
    VirtualConnection(const VirtualConnection&) = delete;
    VirtualConnection& operator=(const VirtualConnection&) = delete;

    const hid::HidAttributes& Attributes() const override { return m_attributes; }
    const hid::HidCollection& Collection() const override { return m_filter.Collection(); }
    hid::HidIoResult Read(std::span<uint8_t> buffer, int timeoutMs) override;
    hid::HidIoResult Write(std::span<const uint8_t> report, int timeoutMs) override;
    void DiscardInput() override;
    void Cancel() override;

private:
    std::shared_ptr<VirtualDevice> m_device;
    uint8_t m_interfaceNumber;
    std::shared_ptr<ReportQueue> m_queue;
    hid::InputReportFilter m_filter;
    hid::HidAttributes m_attributes;
    hid::HidOpenMode m_mode;
    std::atomic<bool> m_cancelled{false};
};

}  // namespace kx520::sim
