#include "kx520ctl/ListCommand.h"

#include <json/json.h>

#include <algorithm>
#include <cstdio>

#include "discovery/DeviceScanThread.h"
#include "discovery/InterfaceSlotTable.h"

namespace kx520::ctl {

namespace {

class CollectingReceiver : public DeviceScanReceiver {
public:
    explicit CollectingReceiver(InterfaceListing& listing) : m_listing(listing) {}
    void OnDeviceArrived(int slot) override { m_arrived.push_back(slot); }
    void OnDeviceRemoved(int) override {}
    void OnFirstPassDone() override {}
    void OnOpenFailed(const std::string& path, hid::HidError error) override {
        m_listing.failed.emplace_back(path, error);
    }
    const std::vector<int>& Arrived() const { return m_arrived; }

private:
    InterfaceListing& m_listing;
    std::vector<int> m_arrived;
};

}  // namespace

bool InterfaceListing::PermissionDenied() const {
    return std::any_of(failed.begin(), failed.end(), [](const auto& failure) {
        return failure.second == hid::HidError::AccessDenied;
    });
}

InterfaceListing ListInterfaces(hid::HidBackend& backend) {
    InterfaceListing listing;
    InterfaceSlotTable slots;
    CollectingReceiver receiver(listing);
    DeviceScanThread scan(backend, slots, receiver);
    scan.RunPass();
    std::vector<int> arrived = receiver.Arrived();
    std::sort(arrived.begin(), arrived.end());
    for (int slot : arrived) {
        listing.interfaces.push_back(
            ListedInterface{slot, slots.Slot(static_cast<size_t>(slot))});
    }
    return listing;
}

std::string FormatListingJson(const InterfaceListing& listing) {
    Json::Value root(Json::arrayValue);
    for (const ListedInterface& listed : listing.interfaces) {
        const DeviceInterfaceEntry& e = listed.entry;
        Json::Value item(Json::objectValue);
        item["path"] = e.path;
        item["vendorId"] = e.vendorId;
        item["productId"] = e.productId;
        item["interface"] = e.interfaceNumber;
        item["collection"] = e.collectionNumber;
        item["usagePage"] = e.usagePage;
        item["usage"] = e.usage;
        item["deviceClass"] = e.deviceClass;
        item["product"] = DeviceClassName(e.deviceClass);  // the command line's word for it
        item["linkRole"] = e.linkRole;
        item["role"] = LinkRoleName(e.linkRole);
        item["slot"] = listed.slot;
        root.append(item);
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "  ";
    return Json::writeString(writer, root) + "\n";
}

std::string FormatListingText(const InterfaceListing& listing) {
    if (listing.interfaces.empty()) {
        return "No supported device found.\n";
    }
    std::string text = "SLOT  DEVICE             ROLE     VID:PID    MI  COL  USAGE      PATH\n";
    for (const ListedInterface& listed : listing.interfaces) {
        const DeviceInterfaceEntry& e = listed.entry;
        char line[160];
        std::snprintf(line, sizeof line, "%4d  %-17s  %-7s  %04x:%04x  %02x  %02x   %04x:%04x  ",
                      listed.slot, DeviceClassName(e.deviceClass), LinkRoleName(e.linkRole),
                      e.vendorId, e.productId, e.interfaceNumber, e.collectionNumber,
                      e.usagePage, e.usage);
        text += line;
        text += e.path;
        text += "\n";
    }
    return text;
}

}  // namespace kx520::ctl
