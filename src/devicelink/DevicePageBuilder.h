#pragma once

#include "catalog/DeviceCatalog.h"
#include "discovery/InterfaceSlotTable.h"

namespace kx520 {

class AppWindow;
class CZentrelUSBDevice;

// A device's page, power display and selector option built from their
// layouts and put into the main window: the page into "device_switch", the
// power display into the catalogue row's power container, the option
// (hidden until the device answers) into "device_select_layout".
class DevicePageBuilder {
public:
    struct Request {
        int catalogIndex = 0;
        uint16_t deviceClass = 0;        // the catalogue's class
        DeviceInterfaceEntry slot;       // the slot the device came on
        int slotIndex = 0;
        DeviceInterfaceEntry identity;   // what the page talks to
        int optionIndex = 0;             // the option's place in the selector
    };
    // The page, or nullptr when a layout or a container of the window is
    // missing (nothing is added then).
    static CZentrelUSBDevice* Build(AppWindow& window, const Request& request);
};

}  // namespace kx520
