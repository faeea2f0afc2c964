#include "kx520ctl/ProductChannel.h"

#include "catalog/DeviceCatalog.h"
#include "hid/DevicePath.h"
#include "kx520ctl/ListCommand.h"

namespace kx520::ctl {

namespace {

const InterfaceTableRow* CommandRowOf(uint16_t deviceClass) {
    for (const InterfaceTableRow& row : kInterfaceTable) {
        if (row.deviceClass == deviceClass && row.linkRole == CommandInterface) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

ConnectResult ConnectProduct(protocol::CommandChannel& channel, hid::HidBackend& backend,
                             std::string_view product, std::string* path) {
    const uint16_t deviceClass = DeviceClassFromName(product);
    const InterfaceListing listing = ListInterfaces(backend);
    for (const ListedInterface& listed : listing.interfaces) {
        if (listed.entry.deviceClass != deviceClass ||
            listed.entry.linkRole != CommandInterface) {
            continue;
        }
        if (path != nullptr) {
            *path = listed.entry.path;
        }
        const CommandLinkPlan plan = CommandLinkFor(deviceClass);
        const auto link = plan.secondLink ? protocol::CommandChannel::Link::Second
                                          : protocol::CommandChannel::Link::First;
        if (!channel.OpenLink(link, listed.entry.path)) {
            return ConnectResult::OpenFailed;
        }
        if (plan.mode != 0) {
            channel.SetMode(plan.mode);
        }
        channel.SetOpen(true);
        return ConnectResult::Connected;
    }
    // Present but closed to this user: say so rather than "not attached".
    for (const auto& [failedPath, error] : listing.failed) {
        const InterfaceTableRow* row = CommandRowOf(deviceClass);
        if (row != nullptr && hid::PathVendorId(failedPath) == row->vendorId &&
            hid::PathProductId(failedPath) == row->productId &&
            hid::PathCollectionNumber(failedPath) == row->collectionNumber) {
            if (path != nullptr) {
                *path = failedPath;
            }
            switch (error) {
                case hid::HidError::AccessDenied: return ConnectResult::AccessDenied;
                case hid::HidError::Unusable: return ConnectResult::Unusable;
                default: return ConnectResult::OpenFailed;
            }
        }
    }
    return ConnectResult::NotAttached;
}

}  // namespace kx520::ctl
