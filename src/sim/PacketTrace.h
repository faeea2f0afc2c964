#pragma once

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace kx520::sim {

// The report trace of the virtual devices: one line per report,
//   <ms> <product> <out|in> <hex>
// with ms counted from when the trace was opened (at program start), "out"
// host to device, and the whole report in lower-case hex, report id first.
// Every line is one write() on an O_APPEND descriptor, so the lines of
// several threads and processes never mix.
class PacketTrace {
public:
    // Nothing when the file cannot be opened; `error` says why.
    static std::shared_ptr<PacketTrace> Open(const std::string& path, std::string* error);
    ~PacketTrace();
    PacketTrace(const PacketTrace&) = delete;
    PacketTrace& operator=(const PacketTrace&) = delete;

    void Record(std::string_view product, bool hostToDevice, std::span<const uint8_t> report);

private:
    explicit PacketTrace(int fd);

    int m_fd;
    std::chrono::steady_clock::time_point m_start;
};

}  // namespace kx520::sim
