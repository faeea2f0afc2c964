#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hid/ChangeNotifier.h"
#include "hid/HidBackend.h"
#include "hid/UeventMonitor.h"

namespace kx520::hid {

// The machine's HID interfaces through Linux hidraw. Walks
// <sysfs>/class/hidraw: each node's HID device gives the ids and the report
// descriptor, its USB interface the interface number and its USB device the
// version (bcdDevice). Every top-level collection of a node becomes a path.
// What a node yields is kept until its sysfs link changes (the link names
// the HID device instance, new at every plug) or its inode does, so a pass
// over unchanged nodes reads the directory and nothing else.
class HidrawBackend : public HidBackend {
public:
    HidrawBackend(std::string sysfsRoot, std::string devRoot);
    HidrawBackend(HidrawBackend&& other) noexcept;
    ~HidrawBackend() override;
    // Roots from KX520_SYSFS_ROOT and KX520_DEV_ROOT, else /sys and /dev.
    static HidrawBackend FromEnvironment();

    // What sysfs says of one hidraw node.
    struct NodeInfo {
        std::string name;      // "hidraw3"
        std::string devNode;   // "<dev root>/hidraw3"
        std::string instance;  // the HID device's sysfs name, "0003:320F:50C2.000A"
        uint16_t bus = 0;
        HidAttributes attributes;
        uint16_t interfaceNumber = 0;
        std::vector<uint8_t> descriptor;
    };
    std::optional<NodeInfo> ReadNode(const std::string& name) const;

    struct HidId {
        uint16_t bus = 0;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
    };
    // The HID_ID line of a HID device's uevent text; nothing without one.
    static std::optional<HidId> ParseHidId(std::string_view uevent);

    bool Enumerate(std::vector<std::string>& paths) override;
    bool Owns(const std::string& path) const override;
    HidOpenResult Open(const std::string& path, const HidOpenMode& mode) override;
    bool Probe(const std::string& path) override;
    // Follows udev's and the kernel's hidraw events on /sys (not on a fake
    // tree) while a listener is set.
    void SetChangeListener(std::function<void()> listener) override;

    const std::string& SysfsRoot() const { return m_sysfsRoot; }
    const std::string& DevRoot() const { return m_devRoot; }

private:
    struct CachedNode {
        std::string link;
        ino_t inode = 0;
        std::vector<std::string> paths;
    };
    struct ListedNode {
        std::string name;
        ino_t inode = 0;
    };

    CachedNode TakeOrReadNode(const ListedNode& entry);

    // "hidrawN" of a path of ours, or empty.
    std::string NodeName(const std::string& path) const;
    std::string NodeLink(const std::string& name) const;
    std::vector<std::string> PathsOfNode(const std::string& name) const;

    std::string m_sysfsRoot;
    std::string m_devRoot;
    std::mutex m_cacheLock;
    std::map<std::string, CachedNode> m_cache;
    ChangeNotifier m_notifier;
    std::unique_ptr<UeventMonitor> m_monitor;
};

}  // namespace kx520::hid
