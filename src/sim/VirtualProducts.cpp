#include "sim/VirtualProducts.h"

#include "hid/HidDescriptorBuilder.h"

namespace kx520::sim {

namespace {

using hid::HidDescriptorBuilder;
using B = HidDescriptorBuilder;

constexpr uint16_t kMakerVendorId = 0x320F;
constexpr uint16_t kHeadsetVendorId = 0x0C76;

// The maker's command collection: report id 4, 63 data bytes each way.
void VendorCommandCollection(B& b) {
    b.UsagePage(0xFF1C).Usage(0x92).Collection(B::kApplication)
        .ReportId(4).LogicalMinimum(0).LogicalMaximum(255).ReportSize(8).ReportCount(63)
        .Usage(0x01).Input(B::kData | B::kVariable | B::kAbsolute)
        .Usage(0x02).Output(B::kData | B::kVariable | B::kAbsolute)
        .EndCollection();
}

// Consumer control collection on which the firmware also sends its own
// notification codes (0x401 and up, profile switches 0x10xx and 0x11xx),
// as one 16-bit usage array.
void ConsumerNotifyCollection(B& b) {
    b.UsagePage(0x0C).Usage(0x01).Collection(B::kApplication)
        .ReportId(3).LogicalMinimum(0).LogicalMaximum(kMaxNotificationCode).UsageMinimum(0)
        .UsageMaximum(kMaxNotificationCode)
        .ReportSize(16).ReportCount(1).Input(B::kData | B::kArray | B::kAbsolute)
        .EndCollection();
}

void SystemControlCollection(B& b) {
    b.UsagePage(0x01).Usage(0x80).Collection(B::kApplication)
        .ReportId(2).UsageMinimum(0x81).UsageMaximum(0x83).LogicalMinimum(0).LogicalMaximum(1)
        .ReportSize(1).ReportCount(3).Input(B::kData | B::kVariable | B::kAbsolute)
        .ReportCount(5).Input(B::kConstant)
        .EndCollection();
}

void MouseCollection(B& b, int reportId) {
    b.UsagePage(0x01).Usage(0x02).Collection(B::kApplication);
    if (reportId != 0) {
        b.ReportId(static_cast<uint32_t>(reportId));
    }
    b.Usage(0x01).Collection(B::kPhysical)
        .UsagePage(0x09).UsageMinimum(1).UsageMaximum(5).LogicalMinimum(0).LogicalMaximum(1)
        .ReportSize(1).ReportCount(5).Input(B::kData | B::kVariable | B::kAbsolute)
        .ReportCount(3).Input(B::kConstant)
        .UsagePage(0x01).Usage(0x30).Usage(0x31).LogicalMinimum(-32767).LogicalMaximum(32767)
        .ReportSize(16).ReportCount(2).Input(B::kData | B::kVariable | B::kRelative)
        .Usage(0x38).LogicalMinimum(-127).LogicalMaximum(127).ReportSize(8).ReportCount(1)
        .Input(B::kData | B::kVariable | B::kRelative)
        .EndCollection()
        .EndCollection();
}

// A boot-style keyboard: modifiers, reserved byte, LEDs out, six key slots.
void KeyboardCollection(B& b, int reportId) {
    b.UsagePage(0x01).Usage(0x06).Collection(B::kApplication);
    if (reportId != 0) {
        b.ReportId(static_cast<uint32_t>(reportId));
    }
    b.UsagePage(0x07).UsageMinimum(0xE0).UsageMaximum(0xE7).LogicalMinimum(0).LogicalMaximum(1)
        .ReportSize(1).ReportCount(8).Input(B::kData | B::kVariable | B::kAbsolute)
        .ReportSize(8).ReportCount(1).Input(B::kConstant)
        .UsagePage(0x08).UsageMinimum(1).UsageMaximum(5).ReportSize(1).ReportCount(5)
        .Output(B::kData | B::kVariable | B::kAbsolute)
        .ReportSize(3).ReportCount(1).Output(B::kConstant)
        .UsagePage(0x07).UsageMinimum(0).UsageMaximum(0xFF).LogicalMinimum(0)
        .LogicalMaximum(0xFF).ReportSize(8).ReportCount(6).Input(B::kData | B::kArray)
        .EndCollection();
}

// Full key roll-over bitmap of the gaming keyboards.
void KeyBitmapCollection(B& b, int reportId) {
    b.UsagePage(0x01).Usage(0x06).Collection(B::kApplication)
        .ReportId(static_cast<uint32_t>(reportId))
        .UsagePage(0x07).UsageMinimum(0x00).UsageMaximum(0x77).LogicalMinimum(0)
        .LogicalMaximum(1).ReportSize(1).ReportCount(120)
        .Input(B::kData | B::kVariable | B::kAbsolute)
        .EndCollection();
}

// The firmware updater's channel on interface 0 of the pad.
void UpdaterCollection(B& b) {
    b.UsagePage(0xFF00).Usage(0x01).Collection(B::kApplication)
        .LogicalMinimum(0).LogicalMaximum(255).ReportSize(8).ReportCount(64)
        .Usage(0x01).Input(B::kData | B::kVariable).Usage(0x02).Output(B::kData | B::kVariable)
        .EndCollection();
}

std::vector<uint8_t> KeyboardInterface0() {
    B b;
    KeyboardCollection(b, 0);
    return b.Bytes();
}

std::vector<uint8_t> KeyboardInterface1() {
    B b;
    MouseCollection(b, 1);
    SystemControlCollection(b);
    ConsumerNotifyCollection(b);
    VendorCommandCollection(b);
    KeyBitmapCollection(b, 6);
    return b.Bytes();
}

std::vector<uint8_t> MouseInterface0() {
    B b;
    MouseCollection(b, 0);
    return b.Bytes();
}

std::vector<uint8_t> MouseInterface1() {
    B b;
    KeyboardCollection(b, 1);
    SystemControlCollection(b);
    ConsumerNotifyCollection(b);
    VendorCommandCollection(b);
    return b.Bytes();
}

std::vector<uint8_t> PadInterface0() {
    B b;
    UpdaterCollection(b);
    return b.Bytes();
}

// The headset's HID interface is one consumer control collection: volume and
// mute keys (report 1), the firmware's notifications (report 3), the command
// reports (report 4) and the LED output report (0xFF, 16 bytes).
std::vector<uint8_t> HeadsetInterface3() {
    B b;
    b.UsagePage(0x0C).Usage(0x01).Collection(B::kApplication)
        .ReportId(1).LogicalMinimum(0).LogicalMaximum(1).ReportSize(1)
        .Usage(0xE9).Usage(0xEA).Usage(0xE2).Usage(0xCD).ReportCount(4)
        .Input(B::kData | B::kVariable | B::kAbsolute)
        .ReportCount(4).Input(B::kConstant)
        .ReportId(3).LogicalMinimum(0).LogicalMaximum(kMaxNotificationCode).UsageMinimum(0)
        .UsageMaximum(kMaxNotificationCode)
        .ReportSize(16).ReportCount(1).Input(B::kData | B::kArray | B::kAbsolute)
        .ReportId(4).UsagePage(0xFF1C).LogicalMinimum(0).LogicalMaximum(255).ReportSize(8).ReportCount(63)
        .Usage(0x01).Input(B::kData | B::kVariable | B::kAbsolute)
        .Usage(0x02).Output(B::kData | B::kVariable | B::kAbsolute)
        .ReportId(0xFF).ReportCount(16)
        .Usage(0x03).Output(B::kData | B::kVariable | B::kAbsolute)
        .EndCollection();
    return b.Bytes();
}

std::vector<VirtualProductSpec> MakeProducts() {
    return {
        {"keyboard", kMakerVendorId, 0x50C2, 0x0105,
         {{0, KeyboardInterface0()}, {1, KeyboardInterface1()}}},
        {"keyboard-receiver", kMakerVendorId, 0x50C3, 0x0102,
         {{0, KeyboardInterface0()}, {1, KeyboardInterface1()}}},
        {"mouse", kMakerVendorId, 0x221C, 0x0103,
         {{0, MouseInterface0()}, {1, MouseInterface1()}}},
        {"mouse-receiver", kMakerVendorId, 0x221D, 0x0102,
         {{0, MouseInterface0()}, {1, MouseInterface1()}}},
        {"mousepad", kMakerVendorId, 0x1004, 0x0101,
         {{0, PadInterface0()}, {1, MouseInterface1()}}},
        {"headset", kHeadsetVendorId, 0x1630, 0x0100, {{3, HeadsetInterface3()}}},
    };
}

}  // namespace

const std::vector<VirtualProductSpec>& VirtualProducts() {
    static const std::vector<VirtualProductSpec> products = MakeProducts();
    return products;
}

const VirtualProductSpec* FindVirtualProduct(std::string_view name) {
    for (const VirtualProductSpec& product : VirtualProducts()) {
        if (product.name == name) {
            return &product;
        }
    }
    return nullptr;
}

}  // namespace kx520::sim
