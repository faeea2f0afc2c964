#include "hid/UeventMonitor.h"

#include <linux/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>
#include <string_view>

namespace kx520::hid {

namespace {

// The kernel's own events and those udev sends once its rules have run
// (device permissions set): the second is when an open can succeed.
constexpr uint32_t kKernelGroup = 1;
constexpr uint32_t kUdevGroup = 2;

int OpenUeventSocket() {
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
    if (fd < 0) {
        return -1;
    }
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = kKernelGroup | kUdevGroup;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

UeventMonitor::UeventMonitor(std::function<void()> onChange) : m_onChange(std::move(onChange)) {
    m_socket = OpenUeventSocket();
    if (m_socket < 0) {
        return;
    }
    m_stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stop < 0) {
        ::close(m_socket);
        m_socket = -1;
        return;
    }
    m_thread = std::thread([this] { Run(); });
}

UeventMonitor::~UeventMonitor() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        (void)!::write(m_stop, &one, sizeof one);
        m_thread.join();
    }
    if (m_socket >= 0) {
        ::close(m_socket);
    }
    if (m_stop >= 0) {
        ::close(m_stop);
    }
}

bool UeventMonitor::IsHidrawEvent(std::span<const uint8_t> message) {
    constexpr std::string_view kField = "SUBSYSTEM=hidraw";
    const std::string_view text(reinterpret_cast<const char*>(message.data()), message.size());
    for (size_t at = text.find(kField); at != std::string_view::npos; at = text.find(kField, at + 1)) {
        const size_t end = at + kField.size();
        const bool startsField = at == 0 || text[at - 1] == '\0';
        const bool endsField = end == text.size() || text[end] == '\0';
        if (startsField && endsField) {
            return true;
        }
    }
    return false;
}

void UeventMonitor::Run() {
    std::array<uint8_t, 8192> buffer{};
    for (;;) {
        std::array<pollfd, 2> waits{{{m_socket, POLLIN, 0}, {m_stop, POLLIN, 0}}};
        if (::poll(waits.data(), waits.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (waits[1].revents != 0) {
            return;
        }
        bool changed = false;
        for (;;) {
            const ssize_t size = ::recv(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (size <= 0) {
                break;  // drained, or an overrun (ENOBUFS): the poll looks anyway
            }
            changed = changed || IsHidrawEvent({buffer.data(), static_cast<size_t>(size)});
        }
        if (changed) {
            m_onChange();
        }
    }
}

}  // namespace kx520::hid
