#include "sim/FirmwareDriver.h"

#include <algorithm>

#include "protocol/CommandChannel.h"

namespace kx520::sim {

namespace {

using namespace std::chrono_literals;
using protocol::Packet;

constexpr auto kUsbFrame = 1ms;

// A reply id that is neither the request's nor the receiver's own.
uint8_t StrayId(uint8_t command) {
    uint8_t stray = static_cast<uint8_t>(command + 1);
    if (stray == protocol::kReceiverAnswer) {
        ++stray;
    }
    return stray;
}

bool OwnsReport(const VirtualDevice& device, uint8_t interfaceNumber, hid::HidReportType type,
                uint8_t reportId) {
    const auto descriptor = device.Descriptor(interfaceNumber);
    if (!descriptor) {
        return false;
    }
    return std::any_of(descriptor->Collections().begin(), descriptor->Collections().end(),
                       [&](const hid::HidCollection& c) { return c.OwnsReport(type, reportId); });
}

}  // namespace

std::shared_ptr<FirmwareDriver> FirmwareDriver::Attach(std::shared_ptr<VirtualDevice> device,
                                                       UnplugRequest unplug) {
    std::shared_ptr<FirmwareDriver> driver(new FirmwareDriver(device, std::move(unplug)));
    std::weak_ptr<FirmwareDriver> weak = driver;
    device->SetOutputHandler(
        [weak](VirtualDevice&, uint8_t interfaceNumber, std::span<const uint8_t> report) {
            const auto alive = weak.lock();
            return alive ? alive->OnOutput(interfaceNumber, report) : false;
        });
    return driver;
}

FirmwareDriver::FirmwareDriver(std::shared_ptr<VirtualDevice> device, UnplugRequest unplug)
    : m_device(std::move(device)), m_unplug(std::move(unplug)), m_firmware(m_device->Spec()) {
    for (const VirtualInterfaceSpec& interface : m_device->Spec().interfaces) {
        if (OwnsReport(*m_device, interface.number, hid::HidReportType::Output,
                       protocol::kReportId)) {
            m_commandInterface = interface.number;
        }
        // The headset's one collection carries its notifications too.
        const bool alone = m_firmware.GetKind() == VirtualFirmware::Kind::Headset;
        if (OwnsReport(*m_device, interface.number, hid::HidReportType::Input, 3) &&
            (alone || m_device->Descriptor(interface.number)->Collections().size() > 1)) {
            m_notifyInterface = interface.number;
        }
    }
    m_worker = std::jthread([this](std::stop_token stop) { Run(stop); });
}

FirmwareDriver::~FirmwareDriver() {
    m_worker.request_stop();
    m_queueChanged.notify_all();
}

void FirmwareDriver::AddFault(const FaultSpec& fault) {
    std::lock_guard lock(m_faultLock);
    m_faults.push_back(fault);
}

void FirmwareDriver::ClearFaults() {
    std::lock_guard lock(m_faultLock);
    m_faults.clear();
}

std::vector<FaultSpec> FirmwareDriver::Faults() const {
    std::lock_guard lock(m_faultLock);
    return m_faults;
}

bool FirmwareDriver::Active(SimFault fault) const {
    std::lock_guard lock(m_faultLock);
    return std::any_of(m_faults.begin(), m_faults.end(), [fault](const FaultSpec& spec) {
        return spec.fault == fault && spec.count != 0;
    });
}

bool FirmwareDriver::Take(SimFault fault) {
    std::lock_guard lock(m_faultLock);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->fault == fault && it->count != 0) {
            if (it->count > 0 && --it->count == 0) {
                m_faults.erase(it);  // used up
            }
            return true;
        }
    }
    return false;
}

FirmwareDriver::Clock::duration FirmwareDriver::LateDelay() const {
    const int timeout = m_firmware.IsReceiver() ? protocol::CommandChannel::kReceiverTimeoutMs
                                                : protocol::CommandChannel::kCableTimeoutMs;
    return 2 * std::chrono::milliseconds(timeout) + kLateMargin;
}

bool FirmwareDriver::OnOutput(uint8_t interfaceNumber, std::span<const uint8_t> report) {
    const bool headset = m_firmware.GetKind() == VirtualFirmware::Kind::Headset;
    if (headset && interfaceNumber == m_commandInterface && !report.empty() &&
        report[0] == HeadsetLedMemory::kReportId) {
        if (Active(SimFault::UsbTiming)) {
            WaitForOutSlot();  // an output report takes its bus frame like any write
        }
        return m_headsetLeds.Take(report);
    }
    if (interfaceNumber != m_commandInterface || report.empty() ||
        report[0] != protocol::kReportId) {
        return true;  // other reports (keyboard LEDs) are taken and ignored
    }
    bool vanish = false;
    {
        std::lock_guard lock(m_faultLock);
        ++m_requests;
        for (const FaultSpec& spec : m_faults) {
            // Unplug with a count serves that many requests first.
            vanish = vanish || (spec.fault == SimFault::Unplug &&
                                (spec.count == FaultSpec::kEvery ||
                                 m_requests > static_cast<uint64_t>(spec.count)));
        }
    }
    if (vanish) {
        // Gone before this request: the host's write fails.
        if (m_unplug) {
            m_unplug();
        }
        return false;
    }
    const bool timing = Active(SimFault::UsbTiming);
    Clock::time_point arrived = timing ? WaitForOutSlot() : Clock::now();
    if (Take(SimFault::NoReply)) {
        return true;  // lost on the way: not carried out, never answered
    }
    std::optional<Packet> reply;
    const bool statusFF = Take(SimFault::StatusFF);
    const bool statusFE = !statusFF && Take(SimFault::StatusFE);
    if (Take(SimFault::Asleep)) {
        reply = VirtualFirmware::ReceiverAnswer();
    } else if (statusFF || statusFE) {
        // The device refuses the request and leaves its state alone.
        reply = Packet{};
        (*reply)[0] = protocol::kReportId;
        (*reply)[protocol::kCommandByte] = report.size() > protocol::kCommandByte
                                               ? report[protocol::kCommandByte]
                                               : 0;
        (*reply)[protocol::kStatusByte] =
            statusFF ? protocol::kStatusErrorFF : protocol::kStatusErrorFE;
    } else {
        reply = m_firmware.Handle(report);
        if (m_flashSink && m_firmware.TakeFlashChanged()) {
            m_flashSink(m_firmware);
        }
    }
    if (!reply) {
        return true;
    }
    Clock::time_point due = arrived;
    if (timing) {
        due += kUsbFrame;
    }
    if (Take(SimFault::StrayReply)) {
        Packet stray = *reply;
        stray[protocol::kCommandByte] = StrayId((*reply)[protocol::kCommandByte]);
        Send(due, stray);
    }
    if (Take(SimFault::LateReply)) {
        due += LateDelay();
    }
    Send(due, *reply);
    return true;
}

FirmwareDriver::Clock::time_point FirmwareDriver::WaitForOutSlot() {
    // The write goes out in the bus frame it arrives in (one write a
    // frame), done when that frame ends; a reply comes in the next.
    std::unique_lock lock(m_queueLock);
    const Clock::time_point arrived = Clock::now();
    const auto frameEnd = m_busEpoch + ((arrived - m_busEpoch) / kUsbFrame + 1) * kUsbFrame;
    const auto slot = std::max(frameEnd, m_nextOutSlot);
    m_nextOutSlot = slot + kUsbFrame;
    lock.unlock();
    std::this_thread::sleep_until(slot);
    return slot;
}

void FirmwareDriver::Send(Clock::time_point due, const Packet& report) {
    std::unique_lock lock(m_queueLock);
    if (Active(SimFault::UsbTiming)) {
        // One report per frame towards the host too.
        due = std::max(due, m_nextInSlot);
        m_nextInSlot = due + kUsbFrame;
    }
    if (m_queue.empty() && due <= Clock::now()) {
        lock.unlock();
        m_device->SendInput(m_commandInterface, report);
        return;
    }
    const Pending pending{due, m_nextSequence++, report};
    const auto at = std::upper_bound(
        m_queue.begin(), m_queue.end(), pending, [](const Pending& a, const Pending& b) {
            return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
        });
    m_queue.insert(at, pending);
    lock.unlock();
    m_queueChanged.notify_all();
}

void FirmwareDriver::Run(std::stop_token stop) {
    std::unique_lock lock(m_queueLock);
    while (!stop.stop_requested()) {
        if (m_queue.empty()) {
            m_queueChanged.wait(lock, stop, [this] { return !m_queue.empty(); });
            continue;
        }
        const auto due = m_queue.front().due;
        if (Clock::now() < due) {
            m_queueChanged.wait_until(lock, stop, due, [] { return false; });
            continue;
        }
        const Packet report = m_queue.front().report;
        m_queue.pop_front();
        lock.unlock();
        m_device->SendInput(m_commandInterface, report);
        lock.lock();
    }
}

bool FirmwareDriver::SwitchProfile(uint8_t profile) {
    if (profile > VirtualFirmware::kHighestProfile) {
        return false;
    }
    m_firmware.SwitchProfile(profile);
    if (m_flashSink && m_firmware.TakeFlashChanged()) {
        m_flashSink(m_firmware);
    }
    return true;
}

bool FirmwareDriver::SendNotification(uint16_t code) {
    // 0 is the release report itself; above the usage range the report
    // could not carry the code.
    if (m_notifyInterface < 0 || code == 0 || code > kMaxNotificationCode) {
        return false;
    }
    const unsigned high = code >> 8;
    if (m_firmware.GetKind() == VirtualFirmware::Kind::Keyboard && (high == 0x10 || high == 0x11)) {
        m_firmware.SwitchProfile(static_cast<uint8_t>(code & 0x0F));  // switched on the keyboard
    }
    // The mouse's buttons switch the profile (low 4 bits) and, with 0x11,
    // the stage (bits 4-7).
    if (m_firmware.GetKind() == VirtualFirmware::Kind::Mouse && high == 0x10) {
        m_firmware.SwitchProfile(static_cast<uint8_t>(code & 0x0F));
    } else if (m_firmware.GetKind() == VirtualFirmware::Kind::Mouse && high == 0x11) {
        m_firmware.SwitchStage(static_cast<uint8_t>(code & 0x0F), static_cast<uint8_t>((code >> 4) & 0x0F));
    }
    if (m_flashSink && m_firmware.TakeFlashChanged()) {
        m_flashSink(m_firmware);
    }
    const auto interfaceNumber = static_cast<uint8_t>(m_notifyInterface);
    const uint8_t press[] = {0x03, static_cast<uint8_t>(code & 0xFF),
                             static_cast<uint8_t>(code >> 8)};
    const uint8_t release[] = {0x03, 0x00, 0x00};
    m_device->SendInput(interfaceNumber, press);
    m_device->SendInput(interfaceNumber, release);
    return true;
}

}  // namespace kx520::sim
