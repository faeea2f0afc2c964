#include "app/MousePageActions.h"

#include "app/CMainWnd.h"
#include "app/NotificationRouter.h"
#include "devices/CZentrelMouseDevice.h"
#include "ui/COptionUI.h"
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
    add(ui::notify::kKillFocus, "DPI_edit_", [](CZentrelMouseDevice& mouse, N, int stage) {
        mouse.TakeEdit(stage);
    });
    add(ui::notify::kSelectChanged, "DPI_enable_check_", [](CZentrelMouseDevice& mouse, N notification, int stage) {
        const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
        if (option != nullptr) {
            mouse.SetStageEnabled(stage, option->IsSelected());
        }
    });
    add(ui::notify::kSelectChanged, "DPI_select_check_", [](CZentrelMouseDevice& mouse, N notification, int stage) {
        const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
        if (option != nullptr && option->IsSelected()) {
            mouse.SelectStage(stage);
        }
    });
}

}  // namespace kx520
