#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx520 {

// Device classes carried by the interface table and every device object.
enum DeviceClass : uint16_t {
    KeyboardWired = 1,
    MouseWired = 2,
    MousePad = 3,
    MouseReceiver = 6,
    Headset = 7,
    KeyboardReceiver = 9,
};

// The headset's USB ids (its sound devices carry them too).
inline constexpr uint16_t kHeadsetVendorId = 0x0C76;
inline constexpr uint16_t kHeadsetProductId = 0x1630;

// What an accepted interface is for.
enum LinkRole : uint16_t {
    CommandInterface = 0,
    NotifyInterface = 255,
};

// One row of the interface table, as constant data.
struct InterfaceTableRow {
    uint16_t vendorId;
    uint16_t productId;
    uint16_t interfaceNumber;
    uint16_t collectionNumber;
    uint16_t deviceClass;
    uint16_t linkRole;
    uint16_t usagePage;
    uint16_t usage;
    uint16_t paired;
    uint16_t partner;
};

// An interface record at run time: a row of the table, a slot, or what the
// scan learnt of an enumerated path.
struct DeviceInterfaceEntry {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t deviceClass = 0;
    uint16_t linkRole = 0;
    uint16_t connected = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t paired = 0;
    uint16_t partner = 0;
    std::string path;

    static DeviceInterfaceEntry FromRow(const InterfaceTableRow& row);
};

// The accepted interfaces; the row index is the slot index everywhere.
inline constexpr std::array<InterfaceTableRow, 11> kInterfaceTable{{
    {0x320F, 0x50C2, 1, 4, KeyboardWired, CommandInterface, 0xFF1C, 0x92, 1, 2},
    {0x320F, 0x50C2, 1, 3, KeyboardWired, NotifyInterface, 0x000C, 0x01, 1, 3},
    {0x320F, 0x50C3, 1, 4, KeyboardReceiver, CommandInterface, 0xFF1C, 0x92, 1, 0},
    {0x320F, 0x50C3, 1, 3, KeyboardReceiver, NotifyInterface, 0x000C, 0x01, 1, 1},
    {0x320F, 0x221C, 1, 4, MouseWired, CommandInterface, 0xFF1C, 0x92, 1, 6},
    {0x320F, 0x221C, 1, 3, MouseWired, NotifyInterface, 0x000C, 0x01, 1, 7},
    {0x320F, 0x221D, 1, 4, MouseReceiver, CommandInterface, 0xFF1C, 0x92, 1, 4},
    {0x320F, 0x221D, 1, 3, MouseReceiver, NotifyInterface, 0x000C, 0x01, 1, 5},
    {0x320F, 0x1004, 1, 4, MousePad, CommandInterface, 0xFF1C, 0x92, 0, 0},
    {0x320F, 0x1004, 1, 3, MousePad, NotifyInterface, 0x000C, 0x01, 0, 0},
    {kHeadsetVendorId, kHeadsetProductId, 3, 0, Headset, CommandInterface, 0x000C, 0x01, 0, 0},
}};

// One row per product kind; the row index is the catalogue index.
struct DeviceCatalogEntry {
    const char* optionLayout;
    const char* tabContainer;
    const char* powerContainer;
    const char* folderName;
    int32_t kindNumber;
    int32_t vendorId;
    int32_t productId;
    int32_t deviceClass;
    int32_t variant;
};

inline constexpr const char* kDeviceOptionLayout = "XML/CustomControlXML/DeviceOption.xml";

inline constexpr std::array<DeviceCatalogEntry, 4> kDeviceCatalog{{
    {kDeviceOptionLayout, "tab_header_device", "device_power_switch", "mouse", 1, 0x320F, 0x221C,
     MouseWired, 0},
    {kDeviceOptionLayout, "tab_header_device", "device_power_switch", "keyboard", 0, 0x320F,
     0x50C2, KeyboardWired, 0},
    {kDeviceOptionLayout, "tab_header_device", "device_power_switch", "MousePad", 2, 0x320F,
     0x1004, MousePad, 0},
    {kDeviceOptionLayout, "tab_header_device", "device_power_switch", "HD", 3, kHeadsetVendorId, kHeadsetProductId,
     Headset, 0},
}};

// Parallel to the catalogue.
struct DevicePageEntry {
    int32_t lightSlotCount;
    int32_t keyCount;
    int32_t powerDisplay;
    int32_t extra;
    const char* pageLayout;
    const char* lightConfigName;
};

inline constexpr std::array<DevicePageEntry, 4> kDevicePageTable{{
    {15, 11, 1, -1, "XML/DeviceXml/mousedevice.xml", "pelmo_light"},
    {170, 170, 1, -1, "XML/DeviceXml/keyboarddevice.xml", "pelmo_light"},
    {15, 0, 0, -1, "XML/DeviceXml/mousepaddevice.xml", "pelmo_light"},
    {13, 0, 0, -1, "XML/DeviceXml/hs6533device.xml", "pelmo_light"},
}};

// The identities under which the products and the application are checked
// for updates; the current version is filled at run time.
struct FirmwareIdEntry {
    int32_t updateKind;
    int32_t enabled;
    int32_t currentVersion;
    const char* brand;
    const char* projectCode;
    const char* typeCode;
    const char* typeCode2;
    const char* versionText;
};

inline constexpr std::array<FirmwareIdEntry, 4> kFirmwareIdTable{{
    {1, 1, 0, "PELMO", "QD70M02A", "MS", "MS", ""},
    {1, 1, 0, "PELMO", "QD70M01A", "KB", "KB", ""},
    {2, 1, 0, "PELMO", "QD70M03A", "KX520", "KX520", ""},
    {0, 1, 0, "PELMO", "ALL", "KX520", "KX520", "V1.0.0.0"},
}};

// First catalogue row with these four keys, or -1.
int FindCatalogIndex(int32_t vendorId, int32_t productId, int32_t deviceClass, int32_t variant);

// Equal on ids, interface, collection, class, role, usage page and usage;
// flags, partner and path do not count.
bool SameIdentity(const DeviceInterfaceEntry& a, const DeviceInterfaceEntry& b);

// "keyboard", "keyboard-receiver", "mouse", "mouse-receiver", "mousepad",
// "headset": the names of the products on the command line.
const char* DeviceClassName(uint16_t deviceClass);
// The class of a product name; 0 for an unknown name.
uint16_t DeviceClassFromName(std::string_view name);

// How a device's command channel uses an interface of this class: keyboard
// and mouse take their cable on the first link (mode 1, 56-byte chunks) and
// their receiver on the second (mode 2, 24-byte chunks); the mouse pad and
// the headset take the first link and are given no mode (24-byte chunks).
struct CommandLinkPlan {
    bool secondLink = false;
    int mode = 0;  // 0: SetMode is not called
};
CommandLinkPlan CommandLinkFor(uint16_t deviceClass);
const char* LinkRoleName(uint16_t linkRole);

// A device kind: its word on the command line and in JSON, its data folder
// (the folder names stay as stored files have them) and its cabled class.
struct DeviceKindWord {
    const char* word;
    const char* folder;
    uint16_t deviceClass;
};
inline constexpr std::array<DeviceKindWord, 4> kDeviceKindWords{{
    {"keyboard", "keyboard", KeyboardWired},
    {"mouse", "mouse", MouseWired},
    {"mousepad", "MousePad", MousePad},
    {"headset", "HD", Headset},
}};
// The word of a kind's folder name; "" for no kind.
const char* KindWordOfFolder(std::string_view folder);

}  // namespace kx520
