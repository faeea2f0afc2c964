#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kx520::hid {

// Device paths keep the form the scan parses on every backend:
//   <node>#vid_320f&pid_50c2&mi_01&col04#<instance>
// <node> tells the backend where the interface lives ("/dev/hidraw3",
// "sim:keyboard"), <instance> names the physical device it belonged to when
// it was listed (sysfs HID id, virtual plug number) so that a reused node
// number never passes for the old device. "&colNN" appears only when the
// interface has more than one top-level collection.
struct DevicePathParts {
    std::string node;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;  // 0: the interface has one top-level collection
    std::string instance;
};

// The hexadecimal number right after `marker` (searched case-insensitively),
// read as "%x" reads it and truncated to 16 bits; 0 when the marker is absent.
uint16_t ParsePathNumber(std::string_view path, std::string_view marker);

uint16_t PathVendorId(std::string_view path);
uint16_t PathProductId(std::string_view path);
uint16_t PathInterfaceNumber(std::string_view path);
uint16_t PathCollectionNumber(std::string_view path);

std::string FormatDevicePath(const DevicePathParts& parts);
// Appends the path of each of an interface's `collections` top-level
// collections ("&colNN" only when there are several).
void AppendCollectionPaths(DevicePathParts parts, size_t collections,
                           std::vector<std::string>& paths);

// The <node> and <instance> parts of a path made by FormatDevicePath; empty
// strings for a path of another form.
std::string_view PathNode(std::string_view path);
std::string_view PathInstance(std::string_view path);

}  // namespace kx520::hid
