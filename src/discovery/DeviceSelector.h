#pragma once

namespace kx520 {

class DeviceSelectorView;

// The main window's device selector as logic: which options are shown,
// which one is current, and what follows from it (the page, the power
// display, the "no device" panel). Exactly one shown option is current while
// any is shown; when the current one goes, the first other shown option
// takes its place. UI thread only.
class DeviceSelector {
public:
    // The option last selected: its position, device class and variant.
    struct CurrentOption {
        int index = 0;
        int deviceClass = 0;
        int variant = 0;
    };

    explicit DeviceSelector(DeviceSelectorView& view) : m_view(view) {}

    // The first shown option whose "device_select" is selected; -1 for none.
    int CurrentIndex() const;
    // Number of shown options and the position of the first one (-1: none).
    void CountShown(int& firstIndex, int& count) const;
    int ShownCount() const;

    // Shows or hides option `index`; makeCurrent makes it the current one,
    // false deselects it. Then the panel, the multi-device flag and the
    // synchronised set follow the shown options.
    void Show(int index, bool show, bool makeCurrent);
    // Hides option `index`; when it was current, the first other shown
    // option becomes current (child windows are closed first).
    void Hide(int index);
    // Shows option `index` when it is hidden, current when no other is shown.
    void Reveal(int index);
    void SelectPrevious();
    void SelectNext();
    // The user selected an option: the first selected one is stored and
    // its page and power display are shown.
    void OnSelected();

    const CurrentOption& StoredOption() const { return m_stored; }

private:
    bool Valid(int index) const;

    DeviceSelectorView& m_view;
    CurrentOption m_stored;
};

}  // namespace kx520
