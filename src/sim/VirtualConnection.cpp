#include "sim/VirtualConnection.h"

#include <chrono>

namespace kx520::sim {

VirtualConnection::VirtualConnection(std::shared_ptr<VirtualDevice> device,
                                     uint8_t interfaceNumber, std::shared_ptr<ReportQueue> queue,
                                     size_t collectionIndex, const hid::HidOpenMode& mode)
    : m_device(std::move(device)),
      m_interfaceNumber(interfaceNumber),
      m_queue(std::move(queue)),
      m_filter(m_device->Descriptor(interfaceNumber), collectionIndex),
      m_attributes{m_device->Spec().vendorId, m_device->Spec().productId,
                   m_device->Spec().version},
      m_mode(mode) {}

VirtualConnection::~VirtualConnection() {
    m_device->Unsubscribe(m_queue);
}

hid::HidIoResult VirtualConnection::Read(std::span<uint8_t> buffer, int timeoutMs) {
    if (!m_mode.read) {
        return {hid::HidIoStatus::Failed, 0};  // as a descriptor opened write-only
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::vector<uint8_t> report;
    for (;;) {
        int wait = hid::kInfiniteTimeout;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
        const hid::HidIoStatus status = m_queue->Pop(report, wait);
        if (status != hid::HidIoStatus::Ok) {
            return {status, 0};
        }
        size_t count = 0;
        switch (m_filter.Deliver(report, buffer, count)) {
            case hid::InputReportFilter::Outcome::Delivered:
                return {hid::HidIoStatus::Ok, count};
            case hid::InputReportFilter::Outcome::TooLong:
                return {hid::HidIoStatus::Failed, 0};
            case hid::InputReportFilter::Outcome::Skipped:
                break;
        }
    }
}

hid::HidIoResult VirtualConnection::Write(std::span<const uint8_t> report, int /*timeoutMs*/) {
    if (m_cancelled.load()) {
        return {hid::HidIoStatus::Cancelled, 0};
    }
    if (!m_mode.write || report.empty() ||
        !m_device->ReceiveOutput(m_interfaceNumber, report)) {
        return {hid::HidIoStatus::Failed, 0};
    }
    return {hid::HidIoStatus::Ok, report.size()};
}

void VirtualConnection::DiscardInput() {
    m_queue->Clear();
}

void VirtualConnection::Cancel() {
    m_cancelled.store(true);
    m_queue->Cancel();
}

}  // namespace kx520::sim
