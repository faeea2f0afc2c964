#include "devicelink/DeviceLinkManager.h"

#include <chrono>
#include <thread>

#include "appwindow/AppWindow.h"
#include "devicelink/DeviceOptionList.h"
#include "devicelink/DevicePageBuilder.h"
#include "discovery/DeviceSelector.h"
#include "discovery/InterfaceSlotTable.h"
#include "pages/CMacroControlUI.h"
#include "messages/RegisteredMessages.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "deviceui/CDeviceOptionUI.h"
#include "pages/CMpDevicePowerUI.h"
#include "platform/DebugTrace.h"
#include "platform/DeviceLock.h"
#include "protocol/CommandSet.h"

namespace kx520 {

namespace {

using Link = protocol::CommandChannel::Link;

constexpr const char* kLockKinds[] = {"keyboard", "mouse", "mousepad", "headset"};

bool IsReceiverClass(uint16_t deviceClass) {
    return deviceClass == MouseReceiver || deviceClass == KeyboardReceiver;
}

bool IsCableClass(uint16_t deviceClass) {
    return deviceClass == MouseWired || deviceClass == KeyboardWired;
}

// The class the catalogue knows a product by: a receiver is its device's.
uint16_t CatalogClass(uint16_t deviceClass) {
    if (deviceClass == MouseReceiver) {
        return MouseWired;
    }
    if (deviceClass == KeyboardReceiver) {
        return KeyboardWired;
    }
    return deviceClass;
}

void TraceByClass(uint16_t deviceClass, const char* keyboard, const char* mouse,
                  const char* pad) {
    if (deviceClass == KeyboardWired || deviceClass == KeyboardReceiver) {
        DebugTrace(keyboard);
    } else if (deviceClass == MouseWired || deviceClass == MouseReceiver) {
        DebugTrace(mouse);
    } else if (deviceClass == MousePad && pad != nullptr) {
        DebugTrace(pad);
    }
}

}  // namespace

DeviceLinkManager::DeviceLinkManager(AppWindow& window, DeviceSelector& selector,
                                     DeviceOptionList& options)
    : m_window(window), m_selector(selector), m_options(options) {}

DeviceLinkManager::~DeviceLinkManager() = default;

bool DeviceLinkManager::KindOfClass(uint16_t deviceClass, Kind& kind) {
    switch (deviceClass) {
        case KeyboardWired:
        case KeyboardReceiver:
            kind = Keyboards;
            return true;
        case MouseWired:
        case MouseReceiver:
            kind = Mice;
            return true;
        case MousePad:
            kind = MousePads;
            return true;
        case Headset:
            kind = Headsets;
            return true;
        default:
            return false;
    }
}

std::vector<CZentrelUSBDevice*> DeviceLinkManager::AllDevices() const {
    std::vector<CZentrelUSBDevice*> all;
    for (const auto& list : m_devices) {
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

bool DeviceLinkManager::ValidSlot(int slot) const {
    return slot >= 0 && static_cast<size_t>(slot) < m_window.Slots().Size();
}

DeviceInterfaceEntry DeviceLinkManager::SlotCopy(int slot) const {
    return ValidSlot(slot) ? m_window.Slots().Slot(static_cast<size_t>(slot))
                           : DeviceInterfaceEntry{};
}

int DeviceLinkManager::FindPrimarySlot(uint16_t vendorId, uint16_t productId,
                                       uint16_t deviceClass, uint16_t linkRole) const {
    const auto table = m_window.Slots().Snapshot();
    for (size_t i = 0; i < table.size(); ++i) {
        const DeviceInterfaceEntry& s = table[i];
        if (s.vendorId == vendorId && s.productId == productId && s.deviceClass == deviceClass &&
            s.linkRole == linkRole) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

DeviceInterfaceEntry DeviceLinkManager::IdentityFor(int slot) const {
    DeviceInterfaceEntry r = SlotCopy(slot);
    if (r.linkRole == NotifyInterface) {
        const int primary = FindPrimarySlot(r.vendorId, r.productId, r.deviceClass, 0);
        if (primary < 0) {
            return r;
        }
        r = SlotCopy(primary);
        if (r.paired != 0 && IsReceiverClass(r.deviceClass)) {
            r = SlotCopy(r.partner);
        }
        return r;
    }
    if (IsReceiverClass(r.deviceClass) && r.paired != 0 &&
        SlotCopy(r.partner).partner == static_cast<uint16_t>(slot)) {
        r = SlotCopy(r.partner);
    }
    return r;
}

bool DeviceLinkManager::HasDeviceOption(int slot) const {
    const DeviceInterfaceEntry r = IdentityFor(slot);
    for (CDeviceOptionUI* option : m_options.Options()) {
        if (option->Device() != nullptr && SameIdentity(option->Device()->Identity(), r)) {
            return true;
        }
    }
    return false;
}

CZentrelUSBDevice* DeviceLinkManager::FindDevice(Kind kind,
                                                 const DeviceInterfaceEntry& identity) const {
    for (CZentrelUSBDevice* device : m_devices[kind]) {
        if (SameIdentity(device->Identity(), identity)) {
            return device;
        }
    }
    return nullptr;
}

CDeviceOptionUI* DeviceLinkManager::OptionOf(const CZentrelUSBDevice* device) const {
    for (CDeviceOptionUI* option : m_options.Options()) {
        if (option->Device() == device) {
            return option;
        }
    }
    return nullptr;
}

int DeviceLinkManager::OptionIndexOf(const CZentrelUSBDevice* device) const {
    const auto options = m_options.Options();
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i]->Device() == device) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void DeviceLinkManager::OnDeviceArrived(int slot) {
    if (!ValidSlot(slot)) {
        return;
    }
    const DeviceInterfaceEntry s = SlotCopy(slot);
    Kind kind{};
    if (!KindOfClass(s.deviceClass, kind)) {
        return;
    }
    const int primary = FindPrimarySlot(s.vendorId, s.productId, s.deviceClass, 0);
    const bool known = HasDeviceOption(slot);
    TraceByClass(s.deviceClass, "添加一个键盘设备", "添加一个鼠标设备", "添加一个鼠标垫设备");
    if (!known) {
        CreateDevicePage(primary);
    }
    ConnectDevice(slot);
    m_window.RestoreAndRaise();
}

void DeviceLinkManager::OnDeviceRemoved(int slot) {
    if (!ValidSlot(slot)) {
        return;
    }
    const DeviceInterfaceEntry s = SlotCopy(slot);
    TraceByClass(s.deviceClass, "删除一个键盘设备", "删除一个鼠标设备", "删除一个鼠标垫设备");
    DisconnectDevice(slot);
}

CZentrelUSBDevice* DeviceLinkManager::CreateDevicePage(int d) {
    if (!ValidSlot(d)) {
        return nullptr;
    }
    const DeviceInterfaceEntry s = SlotCopy(d);
    uint16_t vendorId = s.vendorId;
    uint16_t productId = s.productId;
    if (IsReceiverClass(s.deviceClass) && s.paired != 0) {
        const DeviceInterfaceEntry partner = SlotCopy(s.partner);
        vendorId = partner.vendorId;
        productId = partner.productId;
    }
    const uint16_t deviceClass = CatalogClass(s.deviceClass);
    const int k = FindCatalogIndex(vendorId, productId, deviceClass, 0);
    Kind kind{};
    if (k < 0 || !KindOfClass(deviceClass, kind)) {
        return nullptr;
    }
    DevicePageBuilder::Request request;
    request.catalogIndex = k;
    request.deviceClass = deviceClass;
    request.slot = s;
    request.slotIndex = d;
    request.identity = IdentityFor(d);
    request.optionIndex = static_cast<int>(m_options.Options().size());
    CZentrelUSBDevice* device = DevicePageBuilder::Build(m_window, request);
    if (device != nullptr) {
        m_devices[kind].push_back(device);
    }
    return device;
}

void DeviceLinkManager::ConnectDevice(int slot) {
    const DeviceInterfaceEntry s = SlotCopy(slot);
    if (s.linkRole == NotifyInterface) {
        AttachNotifyInterface(slot);
        return;
    }
    Kind kind{};
    if (HandedToPartner(slot) || !KindOfClass(s.deviceClass, kind)) {
        return;
    }
    const DeviceInterfaceEntry identity = IdentityFor(slot);
    CZentrelUSBDevice* device = FindDevice(kind, identity);
    if (device == nullptr || device->Channel().IsOpen()) {
        return;
    }
    auto& channel = device->Channel();
    {
        std::lock_guard lock(channel.IoLock());
        const CommandLinkPlan plan = CommandLinkFor(s.deviceClass);
        if (!channel.OpenLink(plan.secondLink ? Link::Second : Link::First, s.path)) {
            DebugTrace("device link not opened: " + s.path);
            return;
        }
        channel.SetOpen(true);
        if (plan.mode != 0) {
            channel.SetMode(plan.mode);
        }
        device->SetIdentity(identity);
    }
    TakeDeviceLock(kind);
    ShowLinkOnPower(*device);
    const int index = OptionIndexOf(device);
    if (index < 0) {
        return;
    }
    if (!IsReceiverClass(s.deviceClass)) {
        m_selector.Show(index, true, m_selector.ShownCount() == 0);
    }
    m_options.OptionAt(index)->StartConnect();
}

void DeviceLinkManager::DisconnectDevice(int slot) {
    const DeviceInterfaceEntry s = SlotCopy(slot);
    if (s.linkRole == NotifyInterface) {
        DetachNotifyInterface(slot);
        return;
    }
    if (s.deviceClass == MouseWired || s.deviceClass == MouseReceiver) {
        DebugTrace("鼠标设备丢失");
    } else if (s.deviceClass == KeyboardWired || s.deviceClass == KeyboardReceiver) {
        DebugTrace("键盘设备丢失");
    }
    Kind kind{};
    if (HandedToPartner(slot) || !KindOfClass(s.deviceClass, kind)) {
        return;
    }
    CZentrelUSBDevice* device = FindDevice(kind, IdentityFor(slot));
    if (device == nullptr) {
        return;
    }
    auto& channel = device->Channel();
    // Closed before the link lock is taken: closing wakes an exchange that
    // waits on the gone device, and a closed channel starts no other, so the
    // window never waits behind a queue of exchanges nobody will answer.
    channel.SetOpen(false);
    channel.CloseLink(Link::First);
    if (kind == Mice || kind == Keyboards) {
        channel.CloseLink(Link::Second);
    }
    ReleaseDeviceLockIfIdle(kind);
    // A recording on the device ends with it: no capture outlives its page.
    if (device->MacroPage() != nullptr && device->MacroPage()->Recording()) {
        m_window.EndRecording();
    }
    m_selector.Hide(OptionIndexOf(device));
}

bool DeviceLinkManager::HandedToPartner(int slot) {
    if (!PartnerConnected(slot)) {
        return false;
    }
    // The cable takes precedence: its coming and going moves the device;
    // the receiver's changes nothing while the cable is there.
    if (IsCableClass(SlotCopy(slot).deviceClass)) {
        SwitchLink(slot);
    }
    return true;
}

bool DeviceLinkManager::PartnerConnected(int slot) const {
    const DeviceInterfaceEntry s = SlotCopy(slot);
    if (s.paired == 0 || !ValidSlot(s.partner)) {
        return false;
    }
    const DeviceInterfaceEntry p = SlotCopy(s.partner);
    return p.partner == static_cast<uint16_t>(slot) && p.connected != 0 && !p.path.empty();
}

void DeviceLinkManager::SwitchLink(int slot) {
    const DeviceInterfaceEntry s = SlotCopy(slot);
    const DeviceInterfaceEntry p = SlotCopy(s.partner);
    CZentrelUSBDevice* device = nullptr;
    CDeviceOptionUI* option = nullptr;
    for (CDeviceOptionUI* candidate : m_options.Options()) {
        CZentrelUSBDevice* owner = candidate->Device();
        if (owner != nullptr &&
            (SameIdentity(owner->Identity(), s) || SameIdentity(owner->Identity(), p))) {
            device = owner;
            option = candidate;
            break;
        }
    }
    if (device == nullptr) {
        return;
    }
    auto& channel = device->Channel();
    const bool onReceiver = channel.ReceiverMode();
    const std::string path = onReceiver ? s.path : p.path;
    bool opened = false;
    {
        // Closed first, so no queued exchange takes the locks meanwhile. The
        // light lock then (the order every exchange takes them in): no frame
        // is half sent while the link changes under it.
        channel.SetOpen(false);
        std::lock_guard light(channel.LightLock());
        std::lock_guard lock(channel.IoLock());
        const Link link = onReceiver ? Link::First : Link::Second;
        channel.CloseLink(link);
        opened = channel.OpenLink(link, path);
    }
    if (!opened) {
        return;
    }
    channel.SetOpen(true);
    if (!onReceiver) {
        channel.SetMode(2);
        ShowLinkOnPower(*device);
        if (device->PowerFlag()) {
            ProbeReceiver(*device);
            device->RefreshPower();
        }
        option->StartTimer(CDeviceOptionUI::kLinkCheckTimer, 2000);
        return;
    }
    channel.SetMode(1);
    ShowLinkOnPower(*device);
    option->StartConnect();
    m_window.SendMessage(msg::kDevicePresence, static_cast<quintptr>(OptionIndexOf(device)), 1);
    if (device->PowerFlag()) {
        device->RefreshPower();
    }
}

void DeviceLinkManager::ProbeReceiver(CZentrelUSBDevice& device) {
    // On the device's exchange thread, bounded to about 1.5 s: the window
    // never waits for the receiver, and timer 1007 does the rest.
    device.RunRead(
        [channel = &device.Channel()] {
            constexpr int kAttempts = 26;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
            for (int attempt = 0; attempt < kAttempts; ++attempt) {
                // The bound holds inside each probe too: one unanswered probe
                // would otherwise wait 2 x 5 s.
                if (protocol::CMD_RECEIVER_PROBE(*channel, deadline)) {
                    break;
                }
                if (attempt < kAttempts - 1) {
                    DebugTrace("获取2.4G模式失败");
                }
                if (std::chrono::steady_clock::now() + std::chrono::milliseconds(50) > deadline) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            DebugTrace("获取2");
        },
        {});
}

void DeviceLinkManager::AttachNotifyInterface(int slot) {
    const DeviceInterfaceEntry s = SlotCopy(slot);
    Kind kind{};
    if (!KindOfClass(s.deviceClass, kind)) {
        return;
    }
    const DeviceInterfaceEntry identity = IdentityFor(slot);
    for (CZentrelUSBDevice* device : m_devices[kind]) {
        const DeviceInterfaceEntry& id = device->Identity();
        if (device->NotifyAttached(s.deviceClass) || id.vendorId != identity.vendorId ||
            id.productId != identity.productId || id.deviceClass != identity.deviceClass) {
            continue;
        }
        device->AttachNotify(s.path, s.deviceClass);
        return;
    }
}

void DeviceLinkManager::DetachNotifyInterface(int slot) {
    const DeviceInterfaceEntry s = SlotCopy(slot);
    Kind kind{};
    if (!KindOfClass(s.deviceClass, kind)) {
        return;
    }
    const DeviceInterfaceEntry identity = IdentityFor(slot);
    for (CZentrelUSBDevice* device : m_devices[kind]) {
        const DeviceInterfaceEntry& id = device->Identity();
        if (device->NotifyAttached(s.deviceClass) && id.vendorId == identity.vendorId &&
            id.productId == identity.productId && id.deviceClass == identity.deviceClass) {
            device->DetachNotify(s.deviceClass);
        }
    }
}

void DeviceLinkManager::ShowLinkOnPower(CZentrelUSBDevice& device) {
    auto* power = dynamic_cast<CMpDevicePowerUI*>(device.PowerDisplay());
    if (power == nullptr) {
        return;
    }
    // A battery is only read through the receiver; on the cable there is
    // no level to show.
    if (device.PowerFlag() && device.Channel().ReceiverMode()) {
        power->ShowBatteryPending();
    } else {
        power->ShowCable();
    }
}

void DeviceLinkManager::TakeDeviceLock(Kind kind) {
    if (m_locks[kind]) {
        return;
    }
    std::string error;
    m_locks[kind] = DeviceLock::TryAcquire(kLockKinds[kind], &error);
    if (!m_locks[kind]) {
        // A tool in the middle of a short exchange; the application goes on.
        DebugTrace("device lock not taken: " + error);
    }
}

void DeviceLinkManager::ReleaseDeviceLockIfIdle(Kind kind) {
    for (CZentrelUSBDevice* device : m_devices[kind]) {
        if (device->Channel().IsOpen()) {
            return;
        }
    }
    m_locks[kind].reset();
}

}  // namespace kx520
