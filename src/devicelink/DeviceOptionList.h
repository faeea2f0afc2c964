#pragma once

#include <vector>

#include "discovery/DeviceSelectorView.h"

namespace kx520 {

class CDeviceOptionUI;
class AppWindow;
class DeviceSelector;
class NotificationRouter;

// The device selector's widgets: the options in "device_select_layout" of
// the main window's skin, the page and power tabs they are bound to and the
// "No_device_Link" panel.
class DeviceOptionList : public DeviceSelectorView {
public:
    explicit DeviceOptionList(AppWindow& window) : m_window(window) {}

    // The options in creation order.
    std::vector<CDeviceOptionUI*> Options() const;
    // nullptr outside the list.
    CDeviceOptionUI* OptionAt(int index) const;
    // The selector's rows: previous and next, and the user's selection.
    void AddRoutes(NotificationRouter& routes, DeviceSelector& selector);

    int OptionCount() const override;
    bool IsShown(int index) const override;
    bool IsCurrent(int index) const override;
    bool IsSynchronised(int index) const override;
    int DeviceClassOf(int index) const override;
    int VariantOf(int index) const override;
    void SetShown(int index, bool shown) override;
    void SetCurrent(int index, bool current) override;
    void ClearSynchronised(int index) override;
    bool ShowPage(int index) override;
    void ShowPowerDisplay(int index) override;
    void ShowNoDevice(bool noDevice) override;
    void SetMultiDevice(bool multi) override;
    void CloseChildWindows() override;

private:
    AppWindow& m_window;
};

}  // namespace kx520
