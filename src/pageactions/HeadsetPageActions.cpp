#include "pageactions/HeadsetPageActions.h"

#include "appwindow/AppWindow.h"
#include "appwindow/NotificationRouter.h"
#include "controls/COptionUI.h"
#include "headsetui/CZentrelHS6533Device.h"
#include "ui/Notification.h"

namespace kx520 {

namespace {

using N = const ui::Notification&;

bool Checked(N notification) {
    const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
    return option != nullptr && option->IsSelected();
}

}  // namespace

CZentrelHS6533Device* HeadsetPageActions::Headset() const {
    return dynamic_cast<CZentrelHS6533Device*>(m_window.CurrentDevice());
}

void HeadsetPageActions::AddRoutes(NotificationRouter& routes) {
    using Handler = std::function<void(HeadsetSound&, CZentrelHS6533Device&, N, int)>;
    auto add = [this, &routes](const char* type, const char* name, NameMatch match, Handler handler) {
        routes.Add({type, name, match, [this, handler](N notification, int number) {
                        if (CZentrelHS6533Device* headset = Headset()) {
                            handler(headset->Sound(), *headset, notification, number);
                        }
                    }});
    };
    constexpr NameMatch kNumbered = NameMatch::PrefixNumber;
    constexpr NameMatch kWhole = NameMatch::CaseInsensitive;
    // Options of a group act when chosen, not when left.
    add(ui::notify::kSelectChanged, "6533_eq_option_", kNumbered, [](HeadsetSound& sound, CZentrelHS6533Device&, N n, int preset) {
        if (Checked(n)) {
            sound.ApplyPreset(preset);
        }
    });
    add(ui::notify::kValueChanged, "6533_eq_hz_slider_", kNumbered,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N, int band) { sound.BandChanged(band); });
    add(ui::notify::kItemSelect, "custom_eq_name_combo", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N, int) { sound.ApplyCustomCurve(); });
    add(ui::notify::kClick, "hs_EQ_btn_save", kWhole, [](HeadsetSound& sound, CZentrelHS6533Device& headset, N, int) {
        if (sound.SaveCustomCurve() == 0) {
            headset.Tell(QStringLiteral("message_text_5"));
        }
    });
    add(ui::notify::kClick, "hs_EQ_btn_delete", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N, int) { sound.DeleteCustomCurve(); });
    add(ui::notify::kSelectChanged, "6533_MicIn_option", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N n, int) { sound.ToggleMicMute(Checked(n)); });
    add(ui::notify::kSelectChanged, "6533_MicMoniter_option", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N n, int) { sound.ToggleMonitorMute(Checked(n)); });
    add(ui::notify::kValueChanged, "6533_MicIn_slider", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N, int) { sound.SetMicLevel(); });
    add(ui::notify::kValueChanged, "6533_MicMoniter_slider", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N, int) { sound.SetMonitorLevel(); });
    add(ui::notify::kSelectChanged, "magic_enable_option", kWhole,
        [](HeadsetSound& sound, CZentrelHS6533Device&, N, int) { sound.SetVoiceChanger(); });
    add(ui::notify::kSelectChanged, "magic_option_", kNumbered, [](HeadsetSound& sound, CZentrelHS6533Device&, N n, int voice) {
        if (Checked(n)) {
            sound.SelectVoice(voice);
        }
    });
}

}  // namespace kx520
