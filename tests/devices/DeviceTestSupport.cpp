#include "DeviceTestSupport.h"

#include "devices/CZentrelUSBDevice.h"
#include "kx520ctl/ProductChannel.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::test {

bool ConnectVirtual(CZentrelUSBDevice& device, sim::VirtualHidBackend& backend,
                    std::string_view product) {
    backend.Plug(product);
    if (ctl::ConnectProduct(device.Channel(), backend, product, nullptr) !=
        ctl::ConnectResult::Connected) {
        return false;
    }
    DeviceInterfaceEntry identity;
    identity.deviceClass = DeviceClassFromName(product);
    device.SetIdentity(identity);
    return true;
}

}  // namespace kx520::test
