#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalog/DeviceCatalog.h"
#include "hid/HidBackend.h"

namespace kx520::ctl {

struct ListedInterface {
    int slot = -1;
    DeviceInterfaceEntry entry;
};

struct InterfaceListing {
    std::vector<ListedInterface> interfaces;
    // Supported interfaces that could not be opened, with the reason.
    std::vector<std::pair<std::string, hid::HidError>> failed;

    bool PermissionDenied() const;
};

// One pass of the device scan over `backend`: the accepted interfaces that
// are present, in slot order.
InterfaceListing ListInterfaces(hid::HidBackend& backend);

std::string FormatListingJson(const InterfaceListing& listing);
std::string FormatListingText(const InterfaceListing& listing);

}  // namespace kx520::ctl
