#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kx520::sim {

struct VirtualInterfaceSpec {
    uint8_t number = 0;
    std::vector<uint8_t> descriptor;
};

// What a virtual product shows of itself on USB: ids, version and the HID
// interfaces with their report descriptors, as the real product has them.
struct VirtualProductSpec {
    std::string name;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;  // bcdDevice
    std::vector<VirtualInterfaceSpec> interfaces;
};

// The product names, in the order "all" plugs them.
// The highest notification code the virtual products can send.
inline constexpr uint16_t kMaxNotificationCode = 0x1FFF;

inline constexpr std::array<std::string_view, 6> kVirtualProductNames{
    "keyboard", "keyboard-receiver", "mouse", "mouse-receiver", "mousepad", "headset"};

const std::vector<VirtualProductSpec>& VirtualProducts();
const VirtualProductSpec* FindVirtualProduct(std::string_view name);

}  // namespace kx520::sim
