#include "hid/HidrawConnection.h"

#include <linux/hidraw.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

namespace kx520::hid {

namespace {

// hidraw hands out at most HID_MAX_BUFFER_SIZE bytes per report.
constexpr size_t kMaxReportSize = 4096;
// Enough to empty any kernel report queue without spinning for ever.
constexpr int kMaxDiscardedReports = 256;

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

HidrawConnection::HidrawConnection(int fd, const HidAttributes& attributes,
                                   std::shared_ptr<const HidReportDescriptor> descriptor,
                                   size_t collectionIndex)
    : m_fd(fd),
      m_cancelFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      m_attributes(attributes),
      m_filter(std::move(descriptor), collectionIndex) {}

HidrawConnection::~HidrawConnection() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (m_cancelFd >= 0) {
        ::close(m_cancelFd);
    }
}

HidIoStatus HidrawConnection::WaitFor(short events, int timeoutMs) {
    if (m_cancelled.load()) {
        return HidIoStatus::Cancelled;
    }
    pollfd fds[2] = {{m_fd, events, 0}, {m_cancelFd, POLLIN, 0}};
    int ready = 0;
    do {
        ready = ::poll(fds, 2, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return HidIoStatus::Failed;
    }
    if (fds[1].revents != 0 || m_cancelled.load()) {
        return HidIoStatus::Cancelled;
    }
    if (ready == 0) {
        return HidIoStatus::TimedOut;
    }
    if ((fds[0].revents & events) != 0) {
        return HidIoStatus::Ok;
    }
    return HidIoStatus::Failed;  // POLLERR, POLLHUP, POLLNVAL: the device went away
}

HidIoResult HidrawConnection::Read(std::span<uint8_t> buffer, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    uint8_t data[kMaxReportSize];
    for (;;) {
        const int wait = timeoutMs < 0 ? kInfiniteTimeout : RemainingMs(deadline);
        const HidIoStatus ready = WaitFor(POLLIN, wait);
        if (ready != HidIoStatus::Ok) {
            return {ready, 0};
        }
        const ssize_t n = ::read(m_fd, data, sizeof data);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            return {HidIoStatus::Failed, 0};
        }
        size_t count = 0;
        switch (m_filter.Deliver({data, static_cast<size_t>(n)}, buffer, count)) {
            case InputReportFilter::Outcome::Delivered:
                return {HidIoStatus::Ok, count};
            case InputReportFilter::Outcome::TooLong:
                return {HidIoStatus::Failed, 0};
            case InputReportFilter::Outcome::Skipped:
                break;
        }
    }
}

HidIoResult HidrawConnection::Write(std::span<const uint8_t> report, int timeoutMs) {
    const HidIoStatus ready = WaitFor(POLLOUT, timeoutMs);
    if (ready != HidIoStatus::Ok) {
        return {ready, 0};
    }
    // The report id byte leads, 0 for unnumbered reports, as hidraw wants it.
    ssize_t n = 0;
    do {
        n = ::write(m_fd, report.data(), report.size());
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return {HidIoStatus::Failed, 0};
    }
    return {HidIoStatus::Ok, static_cast<size_t>(n)};
}

HidIoResult HidrawConnection::SetOutputReport(std::span<const uint8_t> report, int timeoutMs) {
    if (m_cancelled.load()) {
        return {HidIoStatus::Cancelled, 0};
    }
#ifdef HIDIOCSOUTPUT
    if (!report.empty() && report.size() <= kMaxReportSize) {
        // The ioctl writes nothing back, but takes a writable buffer.
        std::array<uint8_t, kMaxReportSize> copy{};
        std::copy(report.begin(), report.end(), copy.begin());
        int done = 0;
        do {
            done = ::ioctl(m_fd, HIDIOCSOUTPUT(report.size()), copy.data());
        } while (done < 0 && errno == EINTR);
        if (done >= 0) {
            return {HidIoStatus::Ok, report.size()};
        }
        if (errno != ENOTTY && errno != EINVAL && errno != ENOSYS) {
            return {HidIoStatus::Failed, 0};
        }
    }
#endif
    return Write(report, timeoutMs);  // a kernel without the ioctl
}

void HidrawConnection::DiscardInput() {
    uint8_t data[kMaxReportSize];
    for (int i = 0; i < kMaxDiscardedReports; ++i) {
        if (WaitFor(POLLIN, 0) != HidIoStatus::Ok) {
            return;
        }
        if (::read(m_fd, data, sizeof data) <= 0) {
            return;
        }
    }
}

void HidrawConnection::Cancel() {
    m_cancelled.store(true);
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(m_cancelFd, &one, sizeof one);
}

}  // namespace kx520::hid
