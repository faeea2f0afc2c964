#include "discovery/UdevRule.h"

#include <cstdio>
#include <set>
#include <tuple>

#include "catalog/DeviceCatalog.h"

namespace kx520 {

std::string UdevRuleText() {
    // ATTRS keys of one rule must all match on the same parent, and the
    // interface number sits on the USB interface while the ids sit on the USB
    // device above it: the first rule notes the interface number, the others
    // match ids and that note.
    std::string text =
        "# KX520 device access for the logged-in user.\n"
        "# Generated from the interface table by 'kx520ctl udev-rules'; do not edit.\n"
        "# Install as /etc/udev/rules.d/" +
        std::string(kUdevRuleFileName) +
        " (or lib/udev/rules.d).\n"
        "ACTION==\"remove\", GOTO=\"kx520_end\"\n"
        "SUBSYSTEM!=\"hidraw\", GOTO=\"kx520_end\"\n"
        "ATTRS{bInterfaceNumber}==\"?*\", ENV{KX520_USB_INTERFACE}=\"$attr{bInterfaceNumber}\"\n";
    std::set<std::tuple<uint16_t, uint16_t, uint16_t>> seen;
    for (const InterfaceTableRow& row : kInterfaceTable) {
        if (!seen.insert({row.vendorId, row.productId, row.interfaceNumber}).second) {
            continue;
        }
        char line[256];
        std::snprintf(line, sizeof line,
                      "ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\", "
                      "ENV{KX520_USB_INTERFACE}==\"%02x\", TAG+=\"uaccess\"\n",
                      row.vendorId, row.productId, row.interfaceNumber);
        text += line;
    }
    text += "LABEL=\"kx520_end\"\n";
    return text;
}

std::string UdevRuleHint() {
    return std::string("Install the udev rule that gives the logged-in user access, then "
                       "unplug and replug the device:\n"
                       "    kx520ctl udev-rules | sudo tee /etc/udev/rules.d/") +
           kUdevRuleFileName +
           "\n"
           "    sudo udevadm control --reload-rules && sudo udevadm trigger\n";
}

}  // namespace kx520
