#include "pageactions/SystemPageActions.h"

#include "appwindow/AppWindow.h"
#include "appwindow/NotificationRouter.h"
#include "controls/COptionUI.h"
#include "desktop/DesktopSettingsLauncher.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "ui/Notification.h"

namespace kx520 {

namespace {

// Options of a group act when chosen, not when left.
bool Chosen(const ui::Notification& notification) {
    const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
    return option != nullptr && option->IsSelected();
}

}  // namespace

void SystemPageActions::AddRoutes(NotificationRouter& routes) {
    auto keyboard = [this] { return dynamic_cast<CZentrelKeyboardDevice*>(m_window.CurrentDevice()); };
    routes.Add({ui::notify::kSelectChanged, KeyboardOptionsPanel::kPollingRatePrefix, NameMatch::PrefixNumber,
                [this, keyboard](const ui::Notification& notification, int n) {
                    if (!Chosen(notification)) {
                        return;
                    }
                    if (auto* mouse = dynamic_cast<CZentrelMouseDevice*>(m_window.CurrentDevice())) {
                        mouse->SetReportRate(n);
                    } else if (CZentrelKeyboardDevice* device = keyboard()) {
                        device->TakeOptions();
                    }
                }});
    routes.Add({ui::notify::kSelectChanged, KeyboardOptionsPanel::kRepeatDelayPrefix, NameMatch::PrefixNumber,
                [keyboard](const ui::Notification& notification, int) {
                    CZentrelKeyboardDevice* device = keyboard();
                    if (device != nullptr && Chosen(notification)) {
                        device->TakeOptions();
                    }
                }});
    auto take = [&routes, keyboard](const char* type, const char* name) {
        routes.Add({type, name, NameMatch::CaseInsensitive, [keyboard](const ui::Notification&, int) {
                        if (CZentrelKeyboardDevice* device = keyboard()) {
                            device->TakeOptions();
                        }
                    }});
    };
    for (const char* flag : {KeyboardOptionsPanel::kWinLockOption, KeyboardOptionsPanel::kWFlagOption,
                             KeyboardOptionsPanel::kKey6Option}) {
        take(ui::notify::kSelectChanged, flag);
    }
    take(ui::notify::kValueChanged, KeyboardOptionsPanel::kRepeatRateSlider);
    // The desktop's own keyboard (0) or mouse (1) settings; no other number.
    routes.Add({ui::notify::kClick, "windowdeviceset_", NameMatch::PrefixNumber,
                [this](const ui::Notification&, int n) {
                    if (n != 0 && n != 1) {
                        return;
                    }
                    const auto result = DesktopSettingsLauncher::Open(static_cast<DesktopSettingsCommand::Device>(n));
                    if (!result.textId.isEmpty()) {
                        m_window.Ask(result.textId, 0, result.argument);
                    }
                }});
    routes.Add({ui::notify::kClick, "reset_repeat_btn", NameMatch::CaseInsensitive,
                [keyboard](const ui::Notification&, int) {
                    if (CZentrelKeyboardDevice* device = keyboard()) {
                        device->ResetRepeat();
                    }
                }});
}

}  // namespace kx520
