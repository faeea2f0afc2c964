#pragma once

#include <QString>
#include <memory>
#include <string_view>

namespace kx520 {
class CZentrelUSBDevice;
namespace hid {
class HidBackend;
}
namespace sim {
class VirtualHidBackend;
}
}  // namespace kx520

namespace kx520::test {

// Plugs `product` and opens its command interface on `device`'s channel as
// the main window does, with the device's identity set to the product's
// class. False when it could not be opened.
// Runs the UI thread's events until the device's exchange thread has nothing
// left (its results shown); false after 5 s.
bool Settle(CZentrelUSBDevice& device);
bool ConnectVirtual(CZentrelUSBDevice& device, sim::VirtualHidBackend& backend,
                    std::string_view product);

class RecordingWindow;

// A shipped device page (its file in XML/DeviceXml) built with the
// application's controls, in a shown window, its page bound.
class ShippedPage {
public:
    ShippedPage(hid::HidBackend& backend, const char* layout, size_t leds = 126);
    ~ShippedPage();
    CZentrelUSBDevice* Device() const { return m_device; }
    const QString& Error() const { return m_error; }

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    CZentrelUSBDevice* m_device = nullptr;
    QString m_error;
};

}  // namespace kx520::test
