#pragma once

#include <json/value.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "hid/ChangeNotifier.h"
#include "hid/HidBackend.h"
#include "sim/FirmwareDriver.h"
#include "sim/PacketTrace.h"
#include "sim/SimFault.h"
#include "sim/VirtualDevice.h"

namespace kx520::sim {

class FlashStore;

// The virtual devices of this process as a HID backend. Paths have the node
// "sim:<product>" and the plug number as instance:
//   sim:keyboard#vid_320f&pid_50c2&mi_01&col04#1
// Products can be plugged and unplugged at any time from any thread.
class VirtualHidBackend : public hid::HidBackend {
public:
    static constexpr std::string_view kNodePrefix = "sim:";

    // Plugs `product` (a name of kVirtualProductNames); the device already
    // plugged under that name if there is one; nullptr for an unknown name.
    std::shared_ptr<VirtualDevice> Plug(std::string_view product);
    // False when nothing of that name was plugged.
    bool Unplug(std::string_view product);
    std::shared_ptr<VirtualDevice> Find(std::string_view product) const;
    // Told after each plug and unplug.
    void SetChangeListener(std::function<void()> listener) override;
    // Told which product was plugged (true) or unplugged, after the change;
    // on the thread that made it.
    using PlugObserver = std::function<void(const std::string& product, bool plugged)>;
    void SetPlugObserver(PlugObserver observer);
    // The firmware behind a plugged product, or nullptr.
    std::shared_ptr<FirmwareDriver> Firmware(std::string_view product) const;

    // Reports of every device plugged from now on go to `trace`.
    void SetTrace(std::shared_ptr<PacketTrace> trace);
    // A fault of the plugged product, which ends with it (unplugged, its
    // faults are gone; a count runs out); for a product not plugged yet, a
    // fault its next plug gets, once, unless `onlyWhenPlugged`. False when
    // the product was not plugged and nothing was added.
    bool AddFault(std::string_view product, const FaultSpec& fault, bool onlyWhenPlugged = false);
    std::vector<std::shared_ptr<VirtualDevice>> Devices() const;

    // From now on products keep their flash in `store` across runs (none:
    // every plug starts from the factory state).
    void SetFlashStore(std::shared_ptr<const FlashStore> store);
    // A keyboard model for every later plug of `product`; such a product
    // keeps no flash. False (nothing kept) for a model that is not one.
    bool SetModel(std::string_view product, const Json::Value& model, std::string* error);
    // The factory state: the kept flash goes and a plugged product starts
    // afresh. False when the flash could not be removed.
    bool ResetFlash(std::string_view product);

    // How often `path` was opened, successfully or not, since start.
    int OpenCount(const std::string& path) const;
    // Opens of any collection of `product` since start.
    int OpenCountOfProduct(std::string_view product) const;

    bool Enumerate(std::vector<std::string>& paths) override;
    bool Owns(const std::string& path) const override;
    hid::HidOpenResult Open(const std::string& path, const hid::HidOpenMode& mode) override;
    bool Probe(const std::string& path) override;

    // The paths of every top-level collection of `device`.
    static std::vector<std::string> PathsOf(const VirtualDevice& device);

private:
    std::shared_ptr<VirtualDevice> DeviceOfPath(const std::string& path) const;
    void Observe(const std::string& product, bool plugged);
    // Plug's work under the lock; `added` when a new device came.
    std::shared_ptr<VirtualDevice> AttachProduct(std::string_view product, bool& added);

    hid::ChangeNotifier m_notifier;
    mutable std::mutex m_lock;
    std::vector<std::shared_ptr<VirtualDevice>> m_devices;
    std::map<uint32_t, std::shared_ptr<FirmwareDriver>> m_drivers;  // by plug number
    // Faults waiting for a product's next plug.
    std::map<std::string, std::vector<FaultSpec>, std::less<>> m_faults;
    std::map<std::string, Json::Value, std::less<>> m_models;
    std::shared_ptr<const FlashStore> m_flash;
    std::shared_ptr<PacketTrace> m_trace;
    std::map<std::string, int> m_openCounts;
    PlugObserver m_plugObserver;
    uint32_t m_nextSerial = 1;
};

}  // namespace kx520::sim
