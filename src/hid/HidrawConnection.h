#pragma once

#include <atomic>
#include <memory>

#include "hid/HidBackend.h"
#include "hid/HidReportDescriptor.h"
#include "hid/InputReportFilter.h"

namespace kx520::hid {

// One top-level collection of a hidraw node. Every descriptor of a node gets
// every input report of the interface, so reports of other collections are
// dropped here by report id. Every wait is a poll() that also watches an
// eventfd, which is how Cancel wakes a blocked call.
class HidrawConnection : public HidConnection {
public:
    // Takes ownership of `fd`.
    HidrawConnection(int fd, const HidAttributes& attributes,
                     std::shared_ptr<const HidReportDescriptor> descriptor,
                     size_t collectionIndex);
    ~HidrawConnection() override;
    HidrawConnection(const HidrawConnection&) = delete;
    HidrawConnection& operator=(const HidrawConnection&) = delete;

    bool Valid() const { return m_fd >= 0 && m_cancelFd >= 0; }

    const HidAttributes& Attributes() const override { return m_attributes; }
    const HidCollection& Collection() const override { return m_filter.Collection(); }
    HidIoResult Read(std::span<uint8_t> buffer, int timeoutMs) override;
    HidIoResult Write(std::span<const uint8_t> report, int timeoutMs) override;
    // HIDIOCSOUTPUT where the kernel has it (5.11 on), else write().
    HidIoResult SetOutputReport(std::span<const uint8_t> report, int timeoutMs) override;
    void DiscardInput() override;
    void Cancel() override;

private:
    // Ok when the node is ready for `events`, else why not.
    HidIoStatus WaitFor(short events, int timeoutMs);

    int m_fd = -1;
    int m_cancelFd = -1;
    std::atomic<bool> m_cancelled{false};
    HidAttributes m_attributes;
    InputReportFilter m_filter;
};

}  // namespace kx520::hid
