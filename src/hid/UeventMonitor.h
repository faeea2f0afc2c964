#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <thread>

namespace kx520::hid {

// The kernel's and udev's device events over netlink, reduced to "a hidraw
// node came or went": a thread of its own waits on the socket and calls
// `onChange` for each such event. Where netlink cannot be opened (a sandbox)
// it does nothing and the scan's poll finds the change instead.
class UeventMonitor {
public:
    explicit UeventMonitor(std::function<void()> onChange);
    ~UeventMonitor();
    UeventMonitor(const UeventMonitor&) = delete;
    UeventMonitor& operator=(const UeventMonitor&) = delete;

    bool Listening() const { return m_socket >= 0; }

    // Whether one netlink message, kernel's or udev's, names the hidraw
    // subsystem as a whole field ("SUBSYSTEM=hidraw" between NULs).
    static bool IsHidrawEvent(std::span<const uint8_t> message);

private:
    void Run();

    std::function<void()> m_onChange;
    int m_socket = -1;
    int m_stop = -1;  // an eventfd the destructor writes to end the thread
    std::thread m_thread;
};

}  // namespace kx520::hid
