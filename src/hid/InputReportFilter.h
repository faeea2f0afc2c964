#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "hid/HidBackend.h"
#include "hid/HidReportDescriptor.h"

namespace kx520::hid {

// Turns the input reports of a whole interface, as a node hands them out,
// into the reports of one of its top-level collections: reports of other
// collections are dropped by report id, and unnumbered reports get a 0 id
// byte in front so callers always find the id first.
class InputReportFilter {
public:
    InputReportFilter(std::shared_ptr<const HidReportDescriptor> descriptor,
                      size_t collectionIndex);

    const HidCollection& Collection() const {
        return m_descriptor->Collections()[m_collectionIndex];
    }

    enum class Outcome { Delivered, Skipped, TooLong };
    // Copies `report` into `buffer` when it belongs to the collection; the
    // byte count goes to `count`.
    Outcome Deliver(std::span<const uint8_t> report, std::span<uint8_t> buffer,
                    size_t& count) const;

private:
    std::shared_ptr<const HidReportDescriptor> m_descriptor;
    size_t m_collectionIndex;
};

}  // namespace kx520::hid
