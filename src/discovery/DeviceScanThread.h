#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "discovery/StoppableWorker.h"
#include "hid/HidBackend.h"

namespace kx520 {

class InterfaceSlotTable;

namespace hid {
class HidDevice;
}

// Where the scan reports what it found. Every call comes on the scan
// thread, and the scan goes on only after it returns: a handler that hands
// the event to another thread must wait until it has been handled there
// (and stop waiting once the scan's stop is requested).
class DeviceScanReceiver {
public:
    virtual ~DeviceScanReceiver() = default;
    virtual void OnDeviceArrived(int slot) = 0;
    virtual void OnDeviceRemoved(int slot) = 0;
    // Once, after the first complete pass, whatever it found.
    virtual void OnFirstPassDone() = 0;
    // A candidate interface that could not be opened; tried again next pass.
    virtual void OnOpenFailed(const std::string& path, hid::HidError error) {
        (void)path;
        (void)error;
    }
};

// Polls the HID interfaces every 100 ms, and at once when the backend says
// they changed: claims a free slot for each
// accepted interface that appears and releases the slots whose interfaces
// are gone. While every slot is claimed it only probes for removals.
class DeviceScanThread : public StoppableWorker {
public:
    static constexpr std::chrono::milliseconds kPeriod{100};

    DeviceScanThread(hid::HidBackend& backend, InterfaceSlotTable& slots,
                     DeviceScanReceiver& receiver);
    ~DeviceScanThread() override;
    DeviceScanThread(const DeviceScanThread&) = delete;
    DeviceScanThread& operator=(const DeviceScanThread&) = delete;

    void Start();
    // Asks the thread to stop, wakes its waits and joins it.
    void Stop();
    // StoppableWorker: the same in steps, for a bounded wait.
    void RequestStop() override;
    bool WaitForEnd(std::chrono::milliseconds timeout) override;
    void Join() override;
    bool Running() const { return m_thread.joinable(); }
    std::stop_token StopToken() const { return m_thread.get_stop_token(); }

    // One pass on the calling thread (tools, tests, benchmarks); not while
    // the thread runs.
    void RunPass();

private:
    void Run(std::stop_token stop);
    void SearchForArrivals();
    void ProbeForRemovals();
    // The backend's hint that interfaces came or went: the wait ends early.
    void OnBackendChanged();
    // True when the stop was requested before `duration` ran out (or a
    // change cut the wait short).
    bool WaitForStop(std::stop_token stop, std::chrono::milliseconds duration);

    hid::HidBackend& m_backend;
    InterfaceSlotTable& m_slots;
    DeviceScanReceiver& m_receiver;
    // Shared by all passes, created on first use.
    std::unique_ptr<hid::HidDevice> m_device;
    bool m_firstPass = true;
    std::mutex m_waitLock;
    std::condition_variable_any m_wake;
    bool m_changed = false;  // under m_waitLock
    bool m_listening = false;  // the backend's change listener is ours
    // Set under m_waitLock when the thread function has returned.
    bool m_ended = true;
    std::condition_variable m_endedSignal;
    std::jthread m_thread;
};

}  // namespace kx520
