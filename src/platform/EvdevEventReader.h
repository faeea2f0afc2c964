#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/CapturedInput.h"

namespace kx520 {

// Reads an input device's event records and keeps what recording hears.
// After the kernel says it dropped events, everything up to the next
// report is skipped (it may be half of a press). The same code reads a
// device and a recorded stream.
class EvdevEventReader {
public:
    // What `fd` has now (it does not block). False when the device is gone.
    bool ReadAvailable(int fd, std::vector<CapturedInput>& out);
    // Bytes of event records; a record cut short waits for its rest.
    void Feed(const uint8_t* data, size_t size, std::vector<CapturedInput>& out);

private:
    void Take(uint16_t type, uint16_t code, int32_t value, std::vector<CapturedInput>& out);

    std::vector<uint8_t> m_pending;
    bool m_dropping = false;
};

}  // namespace kx520
