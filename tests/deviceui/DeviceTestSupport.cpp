#include "DeviceTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>

#include "../ui/UiTestSupport.h"
#include "app/MainWindowControls.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "builder/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"
#include "kx520ctl/ProductChannel.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::test {

bool Settle(CZentrelUSBDevice& device) {
    QElapsedTimer waited;
    waited.start();
    while (device.ExchangeBusy()) {
        if (waited.elapsed() > 5000) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

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

namespace {

// The application's controls of a shipped page.
class PageControls : public ui::IDialogBuilderCallback {
public:
    explicit PageControls(hid::HidBackend& backend) : m_backend(backend) {}
    ui::CControlUI* CreateControl(const QString& tag) override {
        return CreateMainWindowControl(tag, m_backend, m_manager);
    }

private:
    hid::HidBackend& m_backend;
    ui::CPaintManagerUI m_manager;
};

}  // namespace

struct ShippedPage::Parts {
    explicit Parts(hid::HidBackend& backend) : controls(backend) {}
    PageControls controls;
    RecordingWindow window{QStringLiteral("XML/CustomControlXML/MpDevicePower.xml")};
};

ShippedPage::ShippedPage(hid::HidBackend& backend, const char* layout, size_t leds)
    : m_parts(std::make_unique<Parts>(backend)) {
    RecordingWindow& window = m_parts->window;
    if (!window.Create()) {
        m_error = QStringLiteral("the window was not created");
        return;
    }
    ui::CDialogBuilder builder;
    m_device = dynamic_cast<CZentrelUSBDevice*>(
        builder.Create(QStringLiteral("XML/DeviceXml/") + QLatin1String(layout),
                       &window.GetPaintManager(), &m_parts->controls, &m_error));
    if (m_device == nullptr) {
        return;
    }
    m_device->SetLedCount(leds);
    m_device->SetKeyCount(leds);
    window.GetPaintManager().GetRoot()->setParent(nullptr);
    m_device->setParent(&window);
    m_device->SetManager(&window.GetPaintManager());
    m_device->resize(980, 420);
    m_device->SetPageLayoutName(QLatin1String(layout));
    m_device->BuildPage();
    window.resize(1000, 440);
    window.show();
    QApplication::processEvents();
}

ShippedPage::~ShippedPage() = default;

}  // namespace kx520::test
