#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx520::sim {
struct VirtualProductSpec;
}

namespace kx520::test {

// One hidraw node as sysfs shows it.
struct FakeHidNode {
    std::string name;      // "hidraw3"
    std::string instance;  // HID device name, "0003:320F:50C2.0001"
    uint16_t bus = 3;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    uint8_t interfaceNumber = 0;
    std::vector<uint8_t> descriptor;
    std::string usbDevice = "1-2";  // USB device name the interface hangs under
};

// Lays out a sysfs tree as the kernel does: USB device (idVendor, idProduct,
// bcdDevice), USB interface (bInterfaceNumber), HID device (uevent,
// report_descriptor), hidraw/hidrawN, and the /class/hidraw links, with
// relative symlinks like the real ones.
class FakeSysfs {
public:
    explicit FakeSysfs(std::string root);

    const std::string& Root() const { return m_root; }
    void AddNode(const FakeHidNode& node);
    void RemoveNode(const std::string& name);

    // The node of `interfaceNumber` of a virtual product.
    static FakeHidNode NodeOf(const sim::VirtualProductSpec& product, uint8_t interfaceNumber,
                              const std::string& name, int instanceNumber,
                              const std::string& usbDevice);

private:
    std::string m_root;
    int m_removed = 0;
};

}  // namespace kx520::test
