#pragma once

namespace kx520 {

// What the device selector reads and changes of its options and of the
// window around them. The main window implements it over its widgets; tests
// implement it over plain values. Indices are option positions, in creation
// order.
class DeviceSelectorView {
public:
    virtual ~DeviceSelectorView() = default;

    virtual int OptionCount() const = 0;
    virtual bool IsShown(int index) const = 0;
    // The option's "device_select" is selected.
    virtual bool IsCurrent(int index) const = 0;
    // The option's "synchro_device_select" is selected.
    virtual bool IsSynchronised(int index) const = 0;
    virtual int DeviceClassOf(int index) const = 0;
    virtual int VariantOf(int index) const = 0;

    virtual void SetShown(int index, bool shown) = 0;
    virtual void SetCurrent(int index, bool current) = 0;
    virtual void ClearSynchronised(int index) = 0;
    // Selects the option's page in its tab container; false when it has no
    // page to show.
    virtual bool ShowPage(int index) = 0;
    // Shows the option's power display, or hides its power container when
    // the device has none.
    virtual void ShowPowerDisplay(int index) = 0;
    // The "no device" panel; when shown, the page and power tabs go back to
    // their first page.
    virtual void ShowNoDevice(bool noDevice) = 0;
    // More than one option is shown.
    virtual void SetMultiDevice(bool multi) = 0;
    virtual void CloseChildWindows() = 0;
};

}  // namespace kx520
