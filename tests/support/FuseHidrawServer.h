#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct fuse_session;

namespace kx520::sim {
class ReportQueue;
class VirtualDevice;
}  // namespace kx520::sim

namespace kx520::test {

// Serves interfaces of virtual devices as hidraw nodes through FUSE, so the
// real hidraw backend (open, poll, read, write, time-outs, cancel) can be
// run against them: each open gets its own report queue, reads without data
// are parked or answer EAGAIN, poll notifies when a report arrives. Needs
// root and /dev/fuse.
class FuseHidrawServer {
public:
    FuseHidrawServer();
    ~FuseHidrawServer();
    FuseHidrawServer(const FuseHidrawServer&) = delete;
    FuseHidrawServer& operator=(const FuseHidrawServer&) = delete;

    // Why FUSE cannot be used here, or empty when it can.
    static std::string Unavailable();

    bool Mount(const std::string& directory);
    void Unmount();

    void AddNode(const std::string& name, std::shared_ptr<sim::VirtualDevice> device,
                 uint8_t interfaceNumber);
    void RemoveNode(const std::string& name);
    // Opens of `name` fail with EACCES, as a node without the udev rule does.
    void DenyOpen(const std::string& name, bool deny);
    int OpenCount(const std::string& name) const;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kx520::test
