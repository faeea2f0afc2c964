#include "devicelink/DevicePageBuilder.h"

#include <memory>

#include "appwindow/AppWindow.h"
#include "builder/CDialogBuilder.h"
#include "deviceui/CDeviceOptionUI.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CMpDevicePowerUI.h"
#include "platform/DebugTrace.h"
#include "ui/CContainerUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

constexpr const char* kPowerLayout = "XML/CustomControlXML/MpDevicePower.xml";

}  // namespace

CZentrelUSBDevice* DevicePageBuilder::Build(AppWindow& window, const Request& request) {
    const DeviceCatalogEntry& row = kDeviceCatalog[static_cast<size_t>(request.catalogIndex)];
    const DevicePageEntry& page = kDevicePageTable[static_cast<size_t>(request.catalogIndex)];

    auto& manager = window.GetPaintManager();
    auto build = [&](const char* file) {
        ui::CDialogBuilder builder;
        QString error;
        ui::CControlUI* control =
            builder.Create(QString::fromLatin1(file), &manager, &window, &error);
        if (control == nullptr) {
            DebugTrace(("device page not built: " + error).toStdString());
        }
        return control;
    };
    std::unique_ptr<ui::CControlUI> powerControl(build(kPowerLayout));
    std::unique_ptr<ui::CControlUI> optionControl(build(row.optionLayout));
    std::unique_ptr<ui::CControlUI> pageControl(build(page.pageLayout));
    auto* power = dynamic_cast<CMpDevicePowerUI*>(powerControl.get());
    auto* option = dynamic_cast<CDeviceOptionUI*>(optionControl.get());
    auto* device = dynamic_cast<CZentrelUSBDevice*>(pageControl.get());
    auto* powerSwitch = dynamic_cast<ui::CContainerUI*>(
        window.FindControl(QLatin1String(row.powerContainer)));
    auto* pages = dynamic_cast<ui::CTabLayoutUI*>(window.FindControl(QStringLiteral("device_switch")));
    auto* selector = dynamic_cast<ui::CContainerUI*>(
        window.FindControl(QStringLiteral("device_select_layout")));
    if (power == nullptr || option == nullptr || device == nullptr || powerSwitch == nullptr ||
        pages == nullptr || selector == nullptr) {
        return nullptr;
    }

    powerSwitch->Add(powerControl.release());
    power->SetKind(request.deviceClass, 0);
    const int powerIndex = powerSwitch->GetCount() - 1;

    device->SetPageLayoutName(QLatin1String(page.pageLayout));
    device->SetKeyCount(static_cast<size_t>(page.keyCount));
    device->SetLedCount(static_cast<size_t>(page.lightSlotCount));
    if (request.deviceClass != Headset) {
        device->SetCatalogIndex(request.catalogIndex);
    }
    device->SetPowerFlag(page.powerDisplay != 0);
    if (request.deviceClass == MouseWired || request.deviceClass == MouseReceiver) {
        device->SetValue(page.extra);
    }
    device->SetKindName(QLatin1String(row.folderName));
    device->SetSyncLight(&window.SyncLight());
    device->SetPowerDisplay(power);
    device->SetIdentity(request.identity);
    device->SetKindNumber(row.kindNumber);
    device->SetLightConfigName(QLatin1String(page.lightConfigName));
    pages->Add(pageControl.release());
    device->BuildPage();

    selector->Add(optionControl.release());
    // The selector lines its options up from the left.
    if (auto* spacer = ui::CPaintManagerUI::FindSubControlByName(
            selector, QStringLiteral("device_select_spacer"))) {
        selector->MoveToEnd(spacer);
    }
    option->Select(false);
    option->BindTab(QStringLiteral("device_switch"), pages->GetCount() - 1);
    option->BindPower(QLatin1String(row.powerContainer), powerIndex);
    option->SetKind(row.deviceClass, row.variant);
    option->SetDeviceName(ui::CResourceManager::Instance().GetText(option->NameKey()));
    option->SetVisible(false);
    option->SetIdentity(QString::fromStdString(request.slot.path), request.slotIndex);
    option->AttachDevice(device, device);
    option->SetMainWindow(&window, request.optionIndex);
    return device;
}

}  // namespace kx520
