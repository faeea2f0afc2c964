#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "catalog/DeviceCatalog.h"

namespace kx520 {

class CDeviceOptionUI;
class AppWindow;
class DeviceOptionList;
class DeviceSelector;
class CZentrelUSBDevice;
class DeviceLock;

// The main window's side of device arrival and removal: builds a device's
// page, option and power display on its first arrival, opens and closes its
// command link, hands notification interfaces to it, and moves a keyboard
// or mouse between cable and receiver while both are present. Device
// objects are never destroyed while the window lives. UI thread only.
class DeviceLinkManager {
public:
    enum Kind { Keyboards, Mice, MousePads, Headsets, kKindCount };

    // The options a device's arrival and removal show and hide are the
    // selector's; the window builds pages and hears of presence changes.
    DeviceLinkManager(AppWindow& window, DeviceSelector& selector, DeviceOptionList& options);
    ~DeviceLinkManager();

    int FindPrimarySlot(uint16_t vendorId, uint16_t productId, uint16_t deviceClass,
                        uint16_t linkRole) const;
    bool HasDeviceOption(int slot) const;
    void OnDeviceArrived(int slot);
    void OnDeviceRemoved(int slot);
    // The page, option and power display of the device of primary slot `d`.
    CZentrelUSBDevice* CreateDevicePage(int d);
    void ConnectDevice(int slot);
    void DisconnectDevice(int slot);
    void SwitchLink(int slot);
    bool PartnerConnected(int slot) const;
    // With the twin link present, an arrival or removal of the cable
    // switches the device's link; true when the twin took the event.
    bool HandedToPartner(int slot);
    void AttachNotifyInterface(int slot);
    void DetachNotifyInterface(int slot);

    const std::vector<CZentrelUSBDevice*>& DevicesOf(Kind kind) const { return m_devices[kind]; }
    std::vector<CZentrelUSBDevice*> AllDevices() const;
    static bool KindOfClass(uint16_t deviceClass, Kind& kind);
    CDeviceOptionUI* OptionOf(const CZentrelUSBDevice* device) const;
    int OptionIndexOf(const CZentrelUSBDevice* device) const;

private:
    DeviceInterfaceEntry SlotCopy(int slot) const;
    bool ValidSlot(int slot) const;
    // Slot a, or the partner of a paired receiver slot: the identity a
    // device object carries.
    DeviceInterfaceEntry IdentityFor(int slot) const;
    CZentrelUSBDevice* FindDevice(Kind kind, const DeviceInterfaceEntry& identity) const;
    // The power display follows the link: the cable, or a battery to come.
    static void ShowLinkOnPower(CZentrelUSBDevice& device);
    void TakeDeviceLock(Kind kind);
    void ReleaseDeviceLockIfIdle(Kind kind);
    // Probes the receiver for at most about 1.5 s; the option's link check
    // carries on from there.
    void ProbeReceiver(CZentrelUSBDevice& device);

    AppWindow& m_window;
    DeviceSelector& m_selector;
    DeviceOptionList& m_options;
    std::array<std::vector<CZentrelUSBDevice*>, kKindCount> m_devices;
    std::array<std::unique_ptr<DeviceLock>, kKindCount> m_locks;
};

}  // namespace kx520
