#include "pageactions/MousePageActions.h"

#include "appwindow/AppWindow.h"
#include "appwindow/NotificationRouter.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "controls/COptionUI.h"
#include "ui/Notification.h"

namespace kx520 {

CZentrelMouseDevice* MousePageActions::Mouse() const {
    return dynamic_cast<CZentrelMouseDevice*>(m_window.CurrentDevice());
}

void MousePageActions::AddRoutes(NotificationRouter& routes) {
    using Handler = std::function<void(CZentrelMouseDevice&, const ui::Notification&, int)>;
    auto add = [this, &routes](const char* type, const char* prefix, Handler handler) {
        routes.Add({type, prefix, NameMatch::PrefixNumber,
                    [this, handler](const ui::Notification& notification, int stage) {
                        if (CZentrelMouseDevice* mouse = Mouse()) {
                            handler(*mouse, notification, stage);
                        }
                    }});
    };
    using N = const ui::Notification&;
    add(ui::notify::kValueChanged, "DPI_slider_", [](CZentrelMouseDevice& mouse, N, int stage) {
        mouse.TakeSlider(stage);
    });
    add(ui::notify::kMoveValueChanged, "DPI_slider_", [](CZentrelMouseDevice& mouse, N, int stage) {
        mouse.PreviewSlider(stage);
    });
    add(ui::notify::kKillFocus, "DPI_edit_", [](CZentrelMouseDevice& mouse, N, int stage) {
        mouse.TakeEdit(stage);
    });
    add(ui::notify::kSelectChanged, "DPI_enable_check_", [](CZentrelMouseDevice& mouse, N notification, int stage) {
        const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
        if (option != nullptr) {
            mouse.SetStageEnabled(stage, option->IsSelected());
        }
    });
    // Options of a group act when chosen, not when left.
    auto chosen = [](N notification) {
        const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
        return option != nullptr && option->IsSelected();
    };
    add(ui::notify::kSelectChanged, "DPI_select_check_", [chosen](CZentrelMouseDevice& mouse, N notification, int stage) {
        if (chosen(notification)) {
            mouse.SelectStage(stage);
        }
    });
    add(ui::notify::kSelectChanged, "mouse_device_seting_option_",
        [chosen](CZentrelMouseDevice& mouse, N notification, int n) {
            if (chosen(notification)) {
                mouse.ShowSettingsPanel(n);
            }
        });
    add(ui::notify::kClick, "DPI_color_option_", [this](CZentrelMouseDevice&, N, int stage) {
        m_window.OpenPaletteWindow(stage);
    });
    auto exact = [this, &routes](const char* type, const char* name) {
        routes.Add({type, name, NameMatch::CaseInsensitive, [this](const ui::Notification&, int) {
                        if (CZentrelMouseDevice* mouse = Mouse()) {
                            mouse->TakePointerSettings();
                        }
                    }});
    };
    for (const char* slider : {"pointer_speed_slider", "scroll_speed_slider", "double_click_slider"}) {
        exact(ui::notify::kValueChanged, slider);
    }
    for (const char* check : {"pointer_precision_check", "scrolls_page_check"}) {
        exact(ui::notify::kSelectChanged, check);
    }
}

}  // namespace kx520
