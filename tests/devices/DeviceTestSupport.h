#pragma once

#include <string_view>

namespace kx520 {
class CZentrelUSBDevice;
namespace sim {
class VirtualHidBackend;
}
}  // namespace kx520

namespace kx520::test {

// Plugs `product` and opens its command interface on `device`'s channel as
// the main window does, with the device's identity set to the product's
// class. False when it could not be opened.
bool ConnectVirtual(CZentrelUSBDevice& device, sim::VirtualHidBackend& backend,
                    std::string_view product);

}  // namespace kx520::test
