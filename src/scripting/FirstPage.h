#pragma once

#include "appwindow/AppWindow.h"
#include "deviceui/CDeviceOptionUI.h"

namespace kx520 {

// The first device page of kind `Page` the window holds, or null.
template <typename Page>
Page* FirstPage(AppWindow& window) {
    for (CDeviceOptionUI* option : window.DeviceOptions()) {
        if (auto* page = dynamic_cast<Page*>(option->Device())) {
            return page;
        }
    }
    return nullptr;
}

}  // namespace kx520
