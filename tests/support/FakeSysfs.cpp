#include "support/FakeSysfs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sim/VirtualProducts.h"

namespace fs = std::filesystem;

namespace kx520::test {

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string Hex(unsigned value, int digits, bool upper) {
    char text[16];
    std::snprintf(text, sizeof text, upper ? "%0*X" : "%0*x", digits, value);
    return text;
}

}  // namespace

FakeSysfs::FakeSysfs(std::string root) : m_root(std::move(root)) {
    fs::create_directories(m_root + "/class/hidraw");
}

void FakeSysfs::AddNode(const FakeHidNode& node) {
    const fs::path usb = fs::path(m_root) / "devices/pci0000:00/0000:00:14.0/usb1" / node.usbDevice;
    const fs::path interface =
        usb / (node.usbDevice + ":1." + std::to_string(node.interfaceNumber));
    const fs::path hid = interface / node.instance;
    const fs::path hidraw = hid / "hidraw" / node.name;
    fs::create_directories(hidraw);
    WriteFile(usb / "idVendor", Hex(node.vendorId, 4, false) + "\n");
    WriteFile(usb / "idProduct", Hex(node.productId, 4, false) + "\n");
    WriteFile(usb / "bcdDevice", Hex(node.version, 4, false) + "\n");
    WriteFile(interface / "bInterfaceNumber", Hex(node.interfaceNumber, 2, false) + "\n");
    WriteFile(hid / "uevent", "DRIVER=hid-generic\nHID_ID=" + Hex(node.bus, 4, true) + ":" +
                                  Hex(node.vendorId, 8, true) + ":" +
                                  Hex(node.productId, 8, true) +
                                  "\nHID_NAME=Fake device\nHID_PHYS=usb-0000:00:14.0-2/input" +
                                  std::to_string(node.interfaceNumber) + "\n");
    WriteFile(hid / "report_descriptor",
              std::string(node.descriptor.begin(), node.descriptor.end()));
    WriteFile(hidraw / "dev", "241:0\n");
    const fs::path device = hidraw / "device";
    fs::remove(device);
    fs::create_directory_symlink("../../../" + node.instance, device);
    const fs::path link = fs::path(m_root) / "class/hidraw" / node.name;
    fs::remove(link);
    fs::create_directory_symlink(fs::relative(hidraw, link.parent_path()), link);
}

void FakeSysfs::RemoveNode(const std::string& name) {
    const fs::path link = fs::path(m_root) / "class/hidraw" / name;
    std::error_code error;
    const fs::path target = fs::canonical(link, error);
    // Kept aside, not removed: its inode stays taken, so a node added next
    // gets another one, as the kernel gives a replugged node (a file system
    // that hands a freed inode straight back would make it look unchanged).
    const fs::path aside = fs::path(m_root) / ".removed";
    fs::create_directories(aside, error);
    fs::rename(link, aside / (name + "." + std::to_string(m_removed++)), error);
    if (!target.empty()) {
        // The HID device folder goes with its node.
        fs::remove_all(target.parent_path().parent_path(), error);
    }
}

FakeHidNode FakeSysfs::NodeOf(const sim::VirtualProductSpec& product, uint8_t interfaceNumber,
                              const std::string& name, int instanceNumber,
                              const std::string& usbDevice) {
    FakeHidNode node;
    node.name = name;
    node.instance = "0003:" + Hex(product.vendorId, 4, true) + ":" +
                    Hex(product.productId, 4, true) + "." +
                    Hex(static_cast<unsigned>(instanceNumber), 4, true);
    node.vendorId = product.vendorId;
    node.productId = product.productId;
    node.version = product.version;
    node.interfaceNumber = interfaceNumber;
    node.usbDevice = usbDevice;
    for (const sim::VirtualInterfaceSpec& interface : product.interfaces) {
        if (interface.number == interfaceNumber) {
            node.descriptor = interface.descriptor;
        }
    }
    return node;
}

}  // namespace kx520::test
