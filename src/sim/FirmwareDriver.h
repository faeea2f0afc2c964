#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "protocol/CommandPacket.h"
#include "sim/SimFault.h"
#include "sim/VirtualDevice.h"
#include "sim/HeadsetLedMemory.h"
#include "sim/VirtualFirmware.h"

namespace kx520::sim {

// Runs a virtual product's firmware behind its command interface: takes the
// command packets the host writes, lets the firmware answer them and sends
// the replies back, late, twice, wrong or not at all as the injected faults
// say, and at the bus's pace of one report per millisecond each way when
// USB timing is on. Delayed replies go out from a thread of its own.
class FirmwareDriver : public std::enable_shared_from_this<FirmwareDriver> {
public:
    using UnplugRequest = std::function<void()>;
    using FlashSink = std::function<void(const VirtualFirmware&)>;

    // A late reply comes this long after the host's read time-out, for both
    // of the host's reads.
    static constexpr std::chrono::milliseconds kLateMargin{200};

    // `unplug` takes the product away (the backend's unplug).
    static std::shared_ptr<FirmwareDriver> Attach(std::shared_ptr<VirtualDevice> device,
                                                  UnplugRequest unplug);
    ~FirmwareDriver();
    FirmwareDriver(const FirmwareDriver&) = delete;
    FirmwareDriver& operator=(const FirmwareDriver&) = delete;

    VirtualFirmware& Firmware() { return m_firmware; }
    // What a headset kept of its LED output reports.
    const HeadsetLedMemory& HeadsetLeds() const { return m_headsetLeds; }
    const std::shared_ptr<VirtualDevice>& Device() const { return m_device; }

    void AddFault(const FaultSpec& fault);
    void ClearFaults();
    // Faults with requests left to affect.
    std::vector<FaultSpec> Faults() const;

    // Sends a firmware notification code (0x401: settings changed on the
    // device) on the notification collection, then its release. False for a
    // product without one.
    bool SendNotification(uint16_t code);
    // The device's own profile switched, as its buttons do, without telling
    // the host; kept as its flash. False for a profile its records cannot hold.
    bool SwitchProfile(uint8_t profile);
    // Called with the firmware whenever a transaction that changed its
    // flash has ended; set before the host can reach the device.
    void SetFlashSink(FlashSink sink) { m_flashSink = std::move(sink); }

private:
    using Clock = std::chrono::steady_clock;
    // Sleeps until the next free bus frame for a host-to-device report; when it starts.
    Clock::time_point WaitForOutSlot();

    struct Pending {
        Clock::time_point due;
        uint64_t sequence;
        protocol::Packet report;
    };

    FirmwareDriver(std::shared_ptr<VirtualDevice> device, UnplugRequest unplug);
    bool OnOutput(uint8_t interfaceNumber, std::span<const uint8_t> report);
    // True when `fault` is active; uses up one of its requests.
    bool Take(SimFault fault);
    bool Active(SimFault fault) const;
    Clock::duration LateDelay() const;
    void Send(Clock::time_point due, const protocol::Packet& report);
    void Run(std::stop_token stop);

    std::shared_ptr<VirtualDevice> m_device;
    UnplugRequest m_unplug;
    FlashSink m_flashSink;
    VirtualFirmware m_firmware;
    uint8_t m_commandInterface = 0;
    int m_notifyInterface = -1;

    mutable std::mutex m_faultLock;
    std::vector<FaultSpec> m_faults;
    uint64_t m_requests = 0;

    std::mutex m_queueLock;
    std::condition_variable_any m_queueChanged;
    std::deque<Pending> m_queue;  // ordered by due time, then sequence
    uint64_t m_nextSequence = 0;
    // The bus's frames are 1 ms long from here, as its start-of-frame marks them.
    const Clock::time_point m_busEpoch = Clock::now();
    Clock::time_point m_nextOutSlot{};
    Clock::time_point m_nextInSlot{};
    HeadsetLedMemory m_headsetLeds;
    std::jthread m_worker;
};

}  // namespace kx520::sim
