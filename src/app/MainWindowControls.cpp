#include "app/MainWindowControls.h"

#include "headsetui/CZentrelHS6533Device.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "mousepadui/CZentrelMousePadDevice.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CSelectPanelUI.h"
#include "platform/DebugTrace.h"
#include "builder/CDialogBuilder.h"

namespace kx520 {

namespace {

bool IsTag(const QString& tag, const char* wanted) {
    return tag.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
}

// Control trees built from their own files, bound to the window.
struct TreeTag {
    const char* tag;
    const char* file;
};
constexpr TreeTag kTreeTags[] = {
    {"DeviceProfileUI", "XML/CustomControlXML/DeviceProfile.xml"},
    {"LightSetControlUI", "XML/CustomControlXML/LightControl.xml"},
    {"Voice6533SetControlUI", "XML/CustomControlXML/Voice6533Control.xml"},
    {"MagicSetControlUI", "XML/CustomControlXML/MagicControl.xml"},
    {"KeySetControlUI", "XML/CustomControlXML/KeySetControl.xml"},
    {"MacroSetControlUI", "XML/CustomControlXML/MacroControl.xml"},
    {"MouseSensitivityUI", "XML/CustomControlXML/MouseSensitivity.xml"},
    {"MousePointerUI", "XML/CustomControlXML/MousePointer.xml"},
    {"KeyboardSystemUI", "XML/CustomControlXML/KeyboardSystem.xml"},
    {"ShootKeySetControlUI", "XML/CustomControlXML/ShootControl.xml"},
    {"VirtualSetControlUI", "XML/CustomControlXML/VirtualSet.xml"},
};

ui::CControlUI* BuildTree(const char* file, ui::CPaintManagerUI& manager) {
    ui::CDialogBuilder builder;
    QString error;
    ui::CControlUI* control = builder.Create(QLatin1String(file), &manager, nullptr, &error);
    if (control == nullptr) {
        DebugTrace(("control tree not built: " + error).toStdString());
    }
    return control;
}

}  // namespace

ui::CControlUI* CreateMainWindowControl(const QString& tag, hid::HidBackend& backend,
                                        ui::CPaintManagerUI& manager) {
    if (IsTag(tag, "ZentrelKeyboardDevice")) {
        return new CZentrelKeyboardDevice(backend);
    }
    if (IsTag(tag, "ZentrelMouseDevice")) {
        return new CZentrelMouseDevice(backend);
    }
    if (IsTag(tag, "ZentrelHS6533Device")) {
        return new CZentrelHS6533Device(backend);
    }
    if (IsTag(tag, "ZentrelMousePadDevice")) {
        return new CZentrelMousePadDevice(backend);
    }
    if (IsTag(tag, "SelectPanel")) {
        return new CSelectPanelUI();
    }
    if (IsTag(tag, "DeviceKeyButton")) {
        return new CDeviceKeyButtonUI();
    }
    for (const TreeTag& tree : kTreeTags) {
        if (IsTag(tag, tree.tag)) {
            return BuildTree(tree.file, manager);
        }
    }
    return nullptr;
}

}  // namespace kx520
