#include "sim/VirtualHidBackend.h"

#include "hid/DevicePath.h"
#include "sim/FlashStore.h"
#include "sim/VirtualConnection.h"

namespace kx520::sim {

std::shared_ptr<VirtualDevice> VirtualHidBackend::Plug(std::string_view product) {
    bool added = false;
    auto device = AttachProduct(product, added);
    if (added) {
        m_notifier.Notify();  // outside the lock: the listener may list us
        Observe(std::string(product), true);
    }
    return device;
}

std::shared_ptr<VirtualDevice> VirtualHidBackend::AttachProduct(std::string_view product, bool& added) {
    const VirtualProductSpec* spec = FindVirtualProduct(product);
    if (spec == nullptr) {
        return nullptr;
    }
    std::lock_guard lock(m_lock);
    for (const auto& device : m_devices) {
        if (device->Name() == product && device->Plugged()) {
            return device;
        }
    }
    std::erase_if(m_devices, [product](const auto& d) { return d->Name() == product; });
    auto device = std::make_shared<VirtualDevice>(*spec, m_nextSerial++);
    device->SetTrace(m_trace);
    const std::string name(product);
    auto driver = FirmwareDriver::Attach(device, [this, name] { Unplug(name); });
    if (const auto model = m_models.find(product); model != m_models.end()) {
        driver->Firmware().ApplyModel(model->second, nullptr);
    } else if (m_flash && !FlashStore::KindOf(product).empty()) {
        m_flash->Load(product, driver->Firmware());
        driver->SetFlashSink([flash = m_flash, name](const VirtualFirmware& firmware) {
            flash->Save(name, firmware);
        });
    }
    // Faults waiting for this plug now belong to the device; a later plug
    // is a new device without them.
    if (const auto faults = m_faults.find(product); faults != m_faults.end()) {
        for (const FaultSpec& fault : faults->second) {
            driver->AddFault(fault);
        }
        m_faults.erase(faults);
    }
    m_drivers[device->Serial()] = std::move(driver);
    m_devices.push_back(device);
    added = true;
    return device;
}

void VirtualHidBackend::SetChangeListener(std::function<void()> listener) {
    m_notifier.Set(std::move(listener));
}

std::shared_ptr<FirmwareDriver> VirtualHidBackend::Firmware(std::string_view product) const {
    std::lock_guard lock(m_lock);
    for (const auto& device : m_devices) {
        if (device->Name() == product) {
            const auto driver = m_drivers.find(device->Serial());
            return driver == m_drivers.end() ? nullptr : driver->second;
        }
    }
    return nullptr;
}

void VirtualHidBackend::SetFlashStore(std::shared_ptr<const FlashStore> store) {
    std::lock_guard lock(m_lock);
    m_flash = std::move(store);
}

bool VirtualHidBackend::SetModel(std::string_view product, const Json::Value& model,
                                 std::string* error) {
    const VirtualProductSpec* spec = FindVirtualProduct(product);
    if (spec == nullptr) {
        if (error != nullptr) {
            *error = "no virtual product " + std::string(product);
        }
        return false;
    }
    VirtualFirmware trial(*spec);  // a model is checked before it is kept
    if (!trial.ApplyModel(model, error)) {
        return false;
    }
    std::lock_guard lock(m_lock);
    m_models[std::string(product)] = model;
    return true;
}

bool VirtualHidBackend::ResetFlash(std::string_view product) {
    std::shared_ptr<const FlashStore> flash;
    {
        std::lock_guard lock(m_lock);
        flash = m_flash;
    }
    if (const auto driver = Firmware(product)) {
        driver->Firmware().ResetToFactory();
    }
    return !flash || flash->Remove(product);
}

void VirtualHidBackend::SetTrace(std::shared_ptr<PacketTrace> trace) {
    std::lock_guard lock(m_lock);
    m_trace = std::move(trace);
}

bool VirtualHidBackend::AddFault(std::string_view product, const FaultSpec& fault,
                                 bool onlyWhenPlugged) {
    // Decided under the lock: a plug or an unplug in between cannot send
    // the fault to the wrong device.
    std::lock_guard lock(m_lock);
    for (const auto& device : m_devices) {
        if (device->Name() != product) {
            continue;
        }
        if (const auto driver = m_drivers.find(device->Serial()); driver != m_drivers.end()) {
            driver->second->AddFault(fault);
            return true;
        }
    }
    if (onlyWhenPlugged) {
        return false;
    }
    m_faults[std::string(product)].push_back(fault);
    return true;
}

void VirtualHidBackend::SetPlugObserver(PlugObserver observer) {
    std::lock_guard lock(m_lock);
    m_plugObserver = std::move(observer);
}

void VirtualHidBackend::Observe(const std::string& product, bool plugged) {
    PlugObserver observer;
    {
        std::lock_guard lock(m_lock);
        observer = m_plugObserver;
    }
    if (observer) {
        observer(product, plugged);
    }
}

bool VirtualHidBackend::Unplug(std::string_view product) {
    std::shared_ptr<VirtualDevice> unplugged;
    std::shared_ptr<FirmwareDriver> driver;
    {
        std::lock_guard lock(m_lock);
        for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
            if ((*it)->Name() == product) {
                unplugged = *it;
                m_devices.erase(it);
                break;
            }
        }
        if (unplugged) {
            const auto found = m_drivers.find(unplugged->Serial());
            if (found != m_drivers.end()) {
                driver = std::move(found->second);
                m_drivers.erase(found);
            }
        }
    }
    if (!unplugged) {
        return false;
    }
    unplugged->Unplug();
    m_notifier.Notify();
    Observe(std::string(product), false);
    return true;
}

std::shared_ptr<VirtualDevice> VirtualHidBackend::Find(std::string_view product) const {
    std::lock_guard lock(m_lock);
    for (const auto& device : m_devices) {
        if (device->Name() == product) {
            return device;
        }
    }
    return nullptr;
}

std::vector<std::shared_ptr<VirtualDevice>> VirtualHidBackend::Devices() const {
    std::lock_guard lock(m_lock);
    return m_devices;
}

int VirtualHidBackend::OpenCount(const std::string& path) const {
    std::lock_guard lock(m_lock);
    const auto it = m_openCounts.find(path);
    return it == m_openCounts.end() ? 0 : it->second;
}

int VirtualHidBackend::OpenCountOfProduct(std::string_view product) const {
    const std::string node = std::string(kNodePrefix) + std::string(product);
    std::lock_guard lock(m_lock);
    int total = 0;
    for (const auto& [path, count] : m_openCounts) {
        if (hid::PathNode(path) == node) {
            total += count;
        }
    }
    return total;
}

std::vector<std::string> VirtualHidBackend::PathsOf(const VirtualDevice& device) {
    std::vector<std::string> paths;
    const VirtualProductSpec& spec = device.Spec();
    for (const VirtualInterfaceSpec& interface : spec.interfaces) {
        const auto descriptor = device.Descriptor(interface.number);
        if (!descriptor) {
            continue;
        }
        const hid::DevicePathParts parts{std::string(kNodePrefix) + spec.name,
                                         spec.vendorId,
                                         spec.productId,
                                         interface.number,
                                         0,
                                         std::to_string(device.Serial())};
        hid::AppendCollectionPaths(parts, descriptor->Collections().size(), paths);
    }
    return paths;
}

bool VirtualHidBackend::Enumerate(std::vector<std::string>& paths) {
    for (const auto& device : Devices()) {
        const auto own = PathsOf(*device);
        paths.insert(paths.end(), own.begin(), own.end());
    }
    return true;
}

bool VirtualHidBackend::Owns(const std::string& path) const {
    return hid::PathNode(path).substr(0, kNodePrefix.size()) == kNodePrefix;
}

std::shared_ptr<VirtualDevice> VirtualHidBackend::DeviceOfPath(const std::string& path) const {
    const std::string_view node = hid::PathNode(path);
    if (node.substr(0, kNodePrefix.size()) != kNodePrefix) {
        return nullptr;
    }
    const std::string_view product = node.substr(kNodePrefix.size());
    const auto device = Find(product);
    if (!device || !device->Plugged() ||
        hid::PathInstance(path) != std::to_string(device->Serial())) {
        return nullptr;
    }
    return device;
}

bool VirtualHidBackend::Probe(const std::string& path) {
    return DeviceOfPath(path) != nullptr;
}

hid::HidOpenResult VirtualHidBackend::Open(const std::string& path,
                                           const hid::HidOpenMode& mode) {
    {
        std::lock_guard lock(m_lock);
        ++m_openCounts[path];
    }
    const auto device = DeviceOfPath(path);
    if (!device) {
        return {nullptr, hid::HidError::NotFound};
    }
    const uint16_t interfaceNumber = hid::PathInterfaceNumber(path);
    const auto descriptor =
        interfaceNumber <= 0xFF ? device->Descriptor(static_cast<uint8_t>(interfaceNumber))
                                : nullptr;
    if (!descriptor) {
        return {nullptr, hid::HidError::NotFound};
    }
    const auto collection = descriptor->CollectionIndex(hid::PathCollectionNumber(path));
    if (!collection) {
        return {nullptr, hid::HidError::NotFound};
    }
    auto queue = device->Subscribe(static_cast<uint8_t>(interfaceNumber));
    if (!queue) {
        return {nullptr, hid::HidError::NotFound};
    }
    return {std::make_shared<VirtualConnection>(device, static_cast<uint8_t>(interfaceNumber),
                                                std::move(queue),
                                                *collection, mode),
            hid::HidError::None};
}

}  // namespace kx520::sim
