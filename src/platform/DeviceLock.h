#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace kx520 {

// Says, across processes, which program talks to a device kind: the
// application holds the lock of a kind while it has that device open, and
// tools that would talk to the same device refuse while they cannot take it.
// An flock() on $XDG_RUNTIME_DIR/kx520/<kind>.lock (or /tmp/kx520-<uid>/),
// so a crashed holder never leaves a stale lock behind.
class DeviceLock {
public:
    // The lock's kind for a product: cable and receiver share the device.
    static std::string KindOf(std::string_view product);
    static std::string LockPath(std::string_view kind);

    // The lock, or nullptr when another process holds it or it cannot be
    // made; `error` says which.
    static std::unique_ptr<DeviceLock> TryAcquire(std::string_view kind, std::string* error);

    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    explicit DeviceLock(int fd) : m_fd(fd) {}
    int m_fd;
};

}  // namespace kx520
