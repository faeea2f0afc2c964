#include "pageactions/KeyPageActions.h"

#include "appwindow/AppWindow.h"
#include "appwindow/NotificationRouter.h"
#include "messages/RegisteredMessages.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CKeySetControlUI.h"
#include "ui/Notification.h"

namespace kx520 {

namespace {

constexpr const char* kApplyingCombos[] = {
    "keyset_mousekey_combo", "keyset_mouseswing_combo", "keyset_mousewheel_combo",
    "keyset_mousedpi_combo", "keyset_media_combo",      "keyset_system_combo",
    "keyset_macro_combo",    "keyset_gunkey_combo",     "keyset_combokey_combo"};

constexpr const char* kApplyingEdits[] = {
    "keyset_mouseswing_num_edit",     "keyset_mouseswing_delay_edit", "keyset_mouseswing_speed_edit",
    "keyset_mousewheel_num_edit",     "keyset_mousewheel_delay_edit", "keyset_mousewheel_speed_edit",
    "keyset_mousefire_interval_edit", "keyset_mousefire_num_edit",    "keyset_macro_cycle_edit"};

}  // namespace

CZentrelUSBDevice* KeyPageActions::Device() const {
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    return device != nullptr && device->KeyPage() != nullptr ? device : nullptr;
}

void KeyPageActions::AddRoutes(NotificationRouter& routes) {
    using Handler = std::function<void(CZentrelUSBDevice&, KeyAssignmentEditor&, CKeySetControlUI&, int)>;
    auto add = [this, &routes](const char* type, const char* name, NameMatch match, Handler handler) {
        routes.Add({type, name, match, [this, handler](const ui::Notification&, int number) {
                        if (CZentrelUSBDevice* device = Device()) {
                            handler(*device, *device->KeyEditor(), *device->KeyPage(), number);
                        }
                    }});
    };
    const auto exact = NameMatch::CaseInsensitive;
    auto apply = [](CZentrelUSBDevice&, KeyAssignmentEditor& editor, CKeySetControlUI&, int) { editor.Apply(); };
    add(ui::notify::kItemSelect, "keyset_function_combo", exact,
        [](CZentrelUSBDevice&, KeyAssignmentEditor& editor, CKeySetControlUI& page, int) {
            page.OnKindChosen();
            editor.Apply();
        });
    add(ui::notify::kItemSelect, "keyset_macro_over_combo", exact,
        [](CZentrelUSBDevice&, KeyAssignmentEditor& editor, CKeySetControlUI& page, int) {
            page.OnMacroModeChosen();
            editor.Apply();
        });
    for (const char* combo : kApplyingCombos) {
        add(ui::notify::kItemSelect, combo, exact, apply);
    }
    for (const char* edit : kApplyingEdits) {
        add(ui::notify::kKillFocus, edit, exact, apply);
    }
    add(ui::notify::kSelectChanged, "key_ComBox_check_", NameMatch::PrefixNumber,
        [](CZentrelUSBDevice&, KeyAssignmentEditor& editor, CKeySetControlUI& page, int option) {
            if (option < CKeySetControlUI::kModifierOptions) {
                page.SelectModifier(option);
                editor.Apply();
            }
        });
    add(CKeySetControlUI::kKeyCaptured, "KeySetControlItem", exact, apply);
    // The key field captures while it has the focus: the hook control
    // message starts and stops it.
    add(ui::notify::kSetFocus, "keyset_keyboard_text_edit", exact,
        [this](CZentrelUSBDevice&, KeyAssignmentEditor&, CKeySetControlUI&, int) {
            m_window.SendMessage(msg::kHookControl, 1, 0);
        });
    add(ui::notify::kKillFocus, "keyset_keyboard_text_edit", exact,
        [this](CZentrelUSBDevice&, KeyAssignmentEditor&, CKeySetControlUI&, int) {
            m_window.SendMessage(msg::kHookControl, 0, 0);
        });
    add(ui::notify::kClick, "key_butt_keysave", exact, apply);
    add(ui::notify::kClick, "key_butt_keydefalut", exact,
        [](CZentrelUSBDevice&, KeyAssignmentEditor& editor, CKeySetControlUI&, int) { editor.ShowDefault(); });
    add(ui::notify::kClick, "key_butt_keycancel", exact,
        [](CZentrelUSBDevice&, KeyAssignmentEditor& editor, CKeySetControlUI&, int) { editor.Cancel(); });
    add(ui::notify::kClick, "key_butt_prosave", exact,
        [](CZentrelUSBDevice& device, KeyAssignmentEditor&, CKeySetControlUI&, int) { device.SaveKeysToDevice({}); });
    // A key of the picture: the key to assign, or one to colour.
    add(ui::notify::kClick, "key_", NameMatch::PrefixNumber,
        [](CZentrelUSBDevice& device, KeyAssignmentEditor&, CKeySetControlUI&, int position) {
            device.ClickKey(position);
        });
}

}  // namespace kx520
