#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx520::test {

// One line of a report trace file.
struct TraceLine {
    long ms = 0;
    std::string product;
    bool out = false;  // host to device
    std::vector<uint8_t> report;

    uint8_t Command() const { return report.size() > 3 ? report[3] : 0; }
    uint8_t Length() const { return report.size() > 4 ? report[4] : 0; }
    uint16_t Offset() const {
        return report.size() > 6 ? static_cast<uint16_t>(report[5] | (report[6] << 8)) : 0;
    }
};

// Reads a trace file; a malformed line fails the test that reads it.
std::vector<TraceLine> ReadTrace(const std::string& path);
// The host-to-device command packets of `lines` only.
std::vector<TraceLine> Requests(const std::vector<TraceLine>& lines);
// The writes of `command` to `product` in the trace at `path`, laid into
// one memory image in the order they were sent (a later write covers an
// earlier one); at least `size` bytes, zeros where nothing was written.
std::vector<uint8_t> WrittenImage(const std::string& path, const std::string& product, uint8_t command,
                                  size_t size = 0);

}  // namespace kx520::test
