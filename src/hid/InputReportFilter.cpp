#include "hid/InputReportFilter.h"

#include <cstring>

namespace kx520::hid {

InputReportFilter::InputReportFilter(std::shared_ptr<const HidReportDescriptor> descriptor,
                                     size_t collectionIndex)
    : m_descriptor(std::move(descriptor)), m_collectionIndex(collectionIndex) {}

InputReportFilter::Outcome InputReportFilter::Deliver(std::span<const uint8_t> report,
                                                      std::span<uint8_t> buffer,
                                                      size_t& count) const {
    count = 0;
    if (report.empty()) {
        return Outcome::Skipped;
    }
    if (m_descriptor->UsesReportIds()) {
        if (!Collection().OwnsReport(HidReportType::Input, report[0])) {
            return Outcome::Skipped;
        }
        if (report.size() > buffer.size()) {
            return Outcome::TooLong;
        }
        std::memcpy(buffer.data(), report.data(), report.size());
        count = report.size();
        return Outcome::Delivered;
    }
    if (report.size() + 1 > buffer.size()) {
        return Outcome::TooLong;
    }
    buffer[0] = 0;
    std::memcpy(buffer.data() + 1, report.data(), report.size());
    count = report.size() + 1;
    return Outcome::Delivered;
}

}  // namespace kx520::hid
