#pragma once

#include <QString>

namespace kx520 {

namespace hid {
class HidBackend;
}
namespace ui {
class CControlUI;
class CPaintManagerUI;
}  // namespace ui

// The controls of the main window's skin that are not the toolkit's own:
// the device pages, the selection panel, the key buttons and the control
// trees built from their own layout files. nullptr for any other tag.
ui::CControlUI* CreateMainWindowControl(const QString& tag, hid::HidBackend& backend,
                                        ui::CPaintManagerUI& manager);

}  // namespace kx520
