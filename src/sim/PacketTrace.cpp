#include "sim/PacketTrace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kx520::sim {

std::shared_ptr<PacketTrace> PacketTrace::Open(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error != nullptr) {
            *error = "cannot open trace file " + path + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    return std::shared_ptr<PacketTrace>(new PacketTrace(fd));
}

PacketTrace::PacketTrace(int fd) : m_fd(fd), m_start(std::chrono::steady_clock::now()) {}

PacketTrace::~PacketTrace() {
    ::close(m_fd);
}

void PacketTrace::Record(std::string_view product, bool hostToDevice,
                         std::span<const uint8_t> report) {
    static constexpr char kHex[] = "0123456789abcdef";
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - m_start)
                        .count();
    std::string line = std::to_string(ms);
    line.reserve(line.size() + product.size() + 8 + 2 * report.size());
    line.append(" ").append(product).append(hostToDevice ? " out " : " in ");
    for (uint8_t byte : report) {
        line.push_back(kHex[byte >> 4]);
        line.push_back(kHex[byte & 0x0F]);
    }
    line.push_back('\n');
    [[maybe_unused]] ssize_t written = ::write(m_fd, line.data(), line.size());
}

}  // namespace kx520::sim
