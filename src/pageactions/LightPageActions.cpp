#include "pageactions/LightPageActions.h"

#include "appwindow/AppWindow.h"
#include "devicebase/SyncLightThread.h"
#include "devicelink/DeviceLinkManager.h"
#include "appwindow/NotificationRouter.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "lighting/SyncModeTable.h"
#include "pages/CLightControlUI.h"
#include "pages/CSelectPanelUI.h"
#include "controls/COptionUI.h"
#include "ui/Notification.h"

namespace kx520 {

namespace {

using Setting = profiles::LightSetting;
using Audio = profiles::AudioLightSetting;

// A change the user made on the page: the device leaves synchronised
// lighting and takes the setting.
void Apply(CZentrelUSBDevice& device, const Setting& setting) {
    device.SetSynchronised(false);
    device.ApplyLightSetting(setting);
}

bool SenderSelected(const ui::Notification& notification) {
    const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
    return option != nullptr && option->IsSelected();
}

uint8_t Level(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, CLightControlUI::kMaxLevel));
}

}  // namespace

void LightPageActions::AddRoutes(NotificationRouter& routes) {
    using Handler = std::function<void(CZentrelUSBDevice&, CLightControlUI&, const ui::Notification&, int)>;
    auto add = [this, &routes](const char* type, const char* name, NameMatch match, Handler handler) {
        routes.Add({type, name, match, [this, handler](const ui::Notification& notification, int number) {
                        CZentrelUSBDevice* device = m_window.CurrentDevice();
                        if (device != nullptr && device->LightPage() != nullptr) {
                            handler(*device, *device->LightPage(), notification, number);
                        }
                    }});
    };
    const auto name = NameMatch::CaseInsensitive;
    using N = const ui::Notification&;

    add(ui::notify::kItemSelect, "light_combo_modeSelect", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            const int effect = page.SelectedEffect();
            if (effect < 0) {
                return;
            }
            Setting setting = device.CurrentLightSetting();
            setting.mode = static_cast<uint8_t>(effect);
            page.ApplyControlStates();
            Apply(device, setting);
        });
    add(ui::notify::kItemSelect, "light_combo_custommodeSelect", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            if (page.SelectedCustomEffect() < 0) {
                return;
            }
            Setting setting = device.CurrentLightSetting();
            setting.customGroup = static_cast<uint8_t>(page.SelectedCustomEffect());
            device.ApplyLightSetting(setting);
        });
    add(ui::notify::kItemSelect, "light_combo_ZZCCmodeSelect", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            if (page.SelectedZzcc() < 0) {
                return;
            }
            Setting setting = device.CurrentLightSetting();
            setting.zzccLedMode = static_cast<uint8_t>(page.SelectedZzcc());
            device.ApplyLightSetting(setting);
        });
    add(ui::notify::kValueChanged, "deng_light_slider", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            Setting setting = device.CurrentLightSetting();
            setting.brightness = Level(page.Brightness());
            Apply(device, setting);
        });
    add(ui::notify::kValueChanged, "deng_speed_slider", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            Setting setting = device.CurrentLightSetting();
            setting.speed = Level(page.Speed());
            Apply(device, setting);
        });
    add(ui::notify::kSelectChanged, "deng_7color_check", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            Setting setting = device.CurrentLightSetting();
            setting.multiColor = page.MultiColour() ? 1 : 0;
            Apply(device, setting);
        });
    for (const auto& [option, direction] : {std::pair{"deng_FXL_check", CLightControlUI::kLeftDirection},
                                     std::pair{"deng_FXR_check", CLightControlUI::kRightDirection}}) {
        add(ui::notify::kSelectChanged, option, name,
            [direction](CZentrelUSBDevice& device, CLightControlUI&, N notification, int) {
                if (!SenderSelected(notification)) {
                    return;  // the option that was left
                }
                Setting setting = device.CurrentLightSetting();
                setting.direction = static_cast<uint8_t>(direction);
                Apply(device, setting);
            });
    }
    add(ui::notify::kClick, "color_option_", NameMatch::PrefixNumber,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int n) {
            Apply(device, page.TakeColour(device.CurrentLightSetting(), page.PresetColour(n)));
        });
    add(ui::notify::kColorChanged, "deng_Color_Pallet", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            Apply(device, page.TakeColour(device.CurrentLightSetting(), page.PaletteColour()));
        });
    const char* edits[] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
    for (int component = 0; component < 3; ++component) {
        add(ui::notify::kKillFocus, edits[component], name,
            [component](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
                Apply(device, page.TakeEditComponent(device.CurrentLightSetting(), component));
            });
    }
    add(ui::notify::kClick, "custom_bright_color_btn", name,
        [](CZentrelUSBDevice& device, CLightControlUI&, N, int) { device.ColourSelectedKeys(true); });
    add(ui::notify::kClick, "custom_off_color_btn", name,
        [](CZentrelUSBDevice& device, CLightControlUI&, N, int) { device.ColourSelectedKeys(false); });
    add(ui::notify::kClick, "deng_same_mode", name,
        [this](CZentrelUSBDevice&, CLightControlUI&, N, int) { ApplySameMode(); });

    // The music's style and colours.
    auto keep = [](CZentrelUSBDevice& device, CLightControlUI& page, N notification, int) {
        if (notification.type == QLatin1String(ui::notify::kSelectChanged) &&
            notification.sender != nullptr && notification.sender->GetName() != QLatin1String("deng_7audiocolor_check") &&
            !SenderSelected(notification)) {
            return;  // the colour option that was left
        }
        if (const auto audio = page.ReadAudioSetting(false)) {
            device.ApplyAudioLight(*audio);
            page.ShowAudioSetting(*audio);
        }
    };
    add(ui::notify::kItemSelect, "light_combo_audiomodeSelect", name, keep);
    add(ui::notify::kSelectChanged, "deng_7audiocolor_check", name, keep);
    add(ui::notify::kSelectChanged, "audio_BkColor_check", name, keep);
    add(ui::notify::kSelectChanged, "audio_FgColor_check", name, keep);
    add(ui::notify::kColorChanged, "deng_audioColor_Pallet", name,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
            device.ApplyAudioLight(page.TakeAudioColour(device.CurrentAudioLight(), page.AudioPaletteColour(), false));
        });
    add(ui::notify::kClick, "audiocolor_option_", NameMatch::PrefixNumber,
        [](CZentrelUSBDevice& device, CLightControlUI& page, N, int n) {
            device.ApplyAudioLight(page.TakeAudioColour(device.CurrentAudioLight(), page.PresetColour(n), true));
        });
    const char* audioEdits[] = {"deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"};
    for (int component = 0; component < 3; ++component) {
        add(ui::notify::kKillFocus, audioEdits[component], name,
            [component](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
                device.ApplyAudioLight(page.TakeAudioEditComponent(device.CurrentAudioLight(), component));
            });
    }
    add(ui::notify::kClick, "Close_bkColor_btn", name, [](CZentrelUSBDevice& device, CLightControlUI& page, N, int) {
        Audio audio = device.CurrentAudioLight();
        audio.bkRed = audio.bkGreen = audio.bkBlue = 0;
        page.ShowAudioSetting(audio);
        device.ApplyAudioLight(audio);
    });

    // The rubber band on the keyboard's picture.
    routes.Add({CSelectPanelUI::kSelectEnd, "keyboard_select_panel", name, [this](const ui::Notification&, int) {
                    if (auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(m_window.CurrentDevice())) {
                        keyboard->SelectionEnded();
                    }
                }});
}

bool LightPageActions::ApplySameMode() {
    CZentrelUSBDevice* current = m_window.CurrentDevice();
    if (current == nullptr) {
        return false;
    }
    const Setting shared = current->CurrentLightSetting();
    const std::optional<int> type = SyncModeTable::SyncTypeOf(current->ProfileKind(), shared.mode);
    if (!type) {
        return false;
    }
    SyncLightState state;
    state.type = *type;
    state.brightness = shared.brightness;
    state.speed = shared.speed;
    state.direction = shared.direction;
    state.multiColor = shared.multiColor != 0;
    state.colour = Rgb{shared.red, shared.green, shared.blue};
    m_window.SyncLight().SetState(state);
    for (auto kind : {DeviceLinkManager::Keyboards, DeviceLinkManager::Mice, DeviceLinkManager::MousePads,
                      DeviceLinkManager::Headsets}) {
        for (CZentrelUSBDevice* device : m_devices.DevicesOf(kind)) {
            const std::optional<int> mode = SyncModeTable::ModeOf(device->ProfileKind(), *type);
            if (!mode || !device->Channel().IsOpen() || device->LightPage() == nullptr) {
                continue;
            }
            Setting setting = device->CurrentLightSetting();
            setting.mode = static_cast<uint8_t>(*mode);
            setting.brightness = shared.brightness;
            setting.speed = shared.speed;
            setting.direction = shared.direction;
            setting.multiColor = shared.multiColor;
            setting.red = shared.red;
            setting.green = shared.green;
            setting.blue = shared.blue;
            device->SetSynchronised(true);
            device->LightPage()->ShowSetting(setting);
            device->ApplyLightSetting(setting);
        }
    }
    return true;
}

}  // namespace kx520
