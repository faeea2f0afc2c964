#include "catalog/DeviceCatalog.h"

namespace kx520 {

DeviceInterfaceEntry DeviceInterfaceEntry::FromRow(const InterfaceTableRow& row) {
    DeviceInterfaceEntry entry;
    entry.vendorId = row.vendorId;
    entry.productId = row.productId;
    entry.interfaceNumber = row.interfaceNumber;
    entry.collectionNumber = row.collectionNumber;
    entry.deviceClass = row.deviceClass;
    entry.linkRole = row.linkRole;
    entry.usagePage = row.usagePage;
    entry.usage = row.usage;
    entry.paired = row.paired;
    entry.partner = row.partner;
    return entry;
}

int FindCatalogIndex(int32_t vendorId, int32_t productId, int32_t deviceClass, int32_t variant) {
    for (size_t i = 0; i < kDeviceCatalog.size(); ++i) {
        const DeviceCatalogEntry& row = kDeviceCatalog[i];
        if (row.vendorId == vendorId && row.productId == productId &&
            row.deviceClass == deviceClass && row.variant == variant) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool SameIdentity(const DeviceInterfaceEntry& a, const DeviceInterfaceEntry& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId &&
           a.interfaceNumber == b.interfaceNumber && a.collectionNumber == b.collectionNumber &&
           a.deviceClass == b.deviceClass && a.linkRole == b.linkRole &&
           a.usagePage == b.usagePage && a.usage == b.usage;
}

const char* DeviceClassName(uint16_t deviceClass) {
    switch (deviceClass) {
        case KeyboardWired: return "keyboard";
        case MouseWired: return "mouse";
        case MousePad: return "mousepad";
        case MouseReceiver: return "mouse-receiver";
        case Headset: return "headset";
        case KeyboardReceiver: return "keyboard-receiver";
        default: return "unknown";
    }
}

uint16_t DeviceClassFromName(std::string_view name) {
    for (uint16_t deviceClass : {KeyboardWired, MouseWired, MousePad, MouseReceiver, Headset,
                                 KeyboardReceiver}) {
        if (name == DeviceClassName(deviceClass)) {
            return deviceClass;
        }
    }
    return 0;
}

CommandLinkPlan CommandLinkFor(uint16_t deviceClass) {
    switch (deviceClass) {
        case KeyboardWired:
        case MouseWired:
            return {false, 1};
        case KeyboardReceiver:
        case MouseReceiver:
            return {true, 2};
        default:
            return {false, 0};
    }
}

const char* LinkRoleName(uint16_t linkRole) {
    switch (linkRole) {
        case CommandInterface: return "command";
        case NotifyInterface: return "notify";
        default: return "unknown";
    }
}

const char* KindWordOfFolder(std::string_view folder) {
    for (const DeviceKindWord& kind : kDeviceKindWords) {
        if (folder == kind.folder) {
            return kind.word;
        }
    }
    return "";
}

}  // namespace kx520
