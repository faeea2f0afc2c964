#include "pageactions/ProfileActions.h"

#include "appwindow/AppWindow.h"
#include "messages/MessageTable.h"
#include "appwindow/NotificationRouter.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "platform/DebugTrace.h"
#include "profileui/CDeviceProfileUI.h"
#include "profiles/ProfileList.h"
#include "controls/COptionUI.h"

namespace kx520 {

namespace {

// The editor tabs in their order: tab 1 is the lighting page, 9 the mouse's recoil page.
constexpr const char* kEditorTabs[] = {"deng_Op_tab",   "key_Op_tab",    "macro_Op_tab",
                                       "system_Op_tab", "cursor_Op_tab", "6533_voice_Op_tab",
                                       "magic_Op_tab",  "Virtual7.1_Op_tab", "recoil_Op_tab"};

}  // namespace

ProfileActions::ProfileActions(AppWindow& window) : m_window(window) {}

CDeviceProfileUI* ProfileActions::Profiles() const {
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    return device != nullptr ? device->ProfileControl() : nullptr;
}

void ProfileActions::AddProfileRoute(NotificationRouter& routes, const char* name, bool exact,
                                     void (ProfileActions::*action)(CDeviceProfileUI&)) {
    routes.Add({ui::notify::kClick, name, exact ? NameMatch::Exact : NameMatch::CaseInsensitive,
                [this, action](const ui::Notification&, int) {
                    if (CDeviceProfileUI* profiles = Profiles()) {
                        (this->*action)(*profiles);
                    }
                }});
}

void ProfileActions::AddRoutes(NotificationRouter& routes, MessageTable& timers) {
    AddProfileRoute(routes, "device_add_btn", false, &ProfileActions::Add);
    AddProfileRoute(routes, "device_sub_btn", false, &ProfileActions::Delete);
    AddProfileRoute(routes, "device_copy_btn", false, &ProfileActions::Copy);
    AddProfileRoute(routes, "device_export_btn", false, &ProfileActions::Export);
    AddProfileRoute(routes, "device_import_btn", false, &ProfileActions::Import);
    AddProfileRoute(routes, "device_reset_btn", false, &ProfileActions::Reset);
    AddProfileRoute(routes, "device_profile_edit_save_btn", false, &ProfileActions::Rename);
    AddProfileRoute(routes, "profile_fun_spread_btn", true, &ProfileActions::ToggleExpanded);
    // Enter in the name edit applies the name as the check button does.
    routes.Add({"return", "device_profile_name_edit", NameMatch::CaseInsensitive,
                [this](const ui::Notification&, int) {
                    if (CDeviceProfileUI* profiles = Profiles()) {
                        Rename(*profiles);
                    }
                }});

    routes.Add({ui::notify::kItemSelect, "device_profile_combo", NameMatch::CaseInsensitive,
                [this](const ui::Notification&, int) {
                    m_window.SetTimer(kProfileSwitchTimer, 400);
                }});
    timers.Add({kProfileSwitchTimer, false, false, false,
                [this](uintptr_t, intptr_t) { SwitchProfile(); }});

    for (int tab = 1; tab <= static_cast<int>(std::size(kEditorTabs)); ++tab) {
        routes.Add({ui::notify::kSelectChanged, kEditorTabs[tab - 1], NameMatch::CaseInsensitive,
                    [this, tab](const ui::Notification& notification, int) {
                        // Only the tab being selected acts, not the one left.
                        auto* option = dynamic_cast<ui::COptionUI*>(notification.sender);
                        if (option != nullptr && option->IsSelected()) {
                            OnEditorTab(tab);
                        }
                    }});
    }
}

void ProfileActions::Add(CDeviceProfileUI& profiles) {
    // The new profile is the one shown and sent, as the list now stores it.
    if (profiles.NewProfile()) {
        ReloadDeviceProfile();
    }
}

void ProfileActions::Copy(CDeviceProfileUI& profiles) {
    if (profiles.CopyProfile()) {
        ReloadDeviceProfile();
    }
}

void ProfileActions::ToggleExpanded(CDeviceProfileUI& profiles) {
    profiles.ToggleExpanded();
}

void ProfileActions::Delete(CDeviceProfileUI& profiles) {
    // The profile and its file go for good: ask first, naming it.
    const int current = profiles.GetCurrentIndex();
    if (current < 0 ||
        m_window.Ask(QStringLiteral("message_profile_delete"), 1, profiles.GetNameAt(current)) != 1) {
        return;
    }
    if (profiles.DeleteProfile()) {
        ReloadDeviceProfile();
    }
}

void ProfileActions::Export(CDeviceProfileUI& profiles) {
    const int current = profiles.GetCurrentIndex();
    const QString path =
        current >= 0 ? m_window.AskFile(true, profiles.GetNameAt(current) + QStringLiteral(".json"))
                     : QString();
    QString error;
    if (!path.isEmpty() && !profiles.ExportProfile(path, &error)) {
        DebugTrace(("export: " + error).toStdString());
        m_window.Ask(QStringLiteral("message_profile_export"), 0);
    }
}

void ProfileActions::Import(CDeviceProfileUI& profiles) {
    const QString path = profiles.GetCurrentIndex() >= 0 ? m_window.AskFile(false) : QString();
    QString error;
    if (!path.isEmpty() && !profiles.ImportProfile(path, &error)) {
        DebugTrace(("import: " + error).toStdString());
        m_window.Ask(QStringLiteral("message_profile_import"), 0);
    }
}

void ProfileActions::Reset(CDeviceProfileUI& profiles) {
    if (m_window.Ask(QStringLiteral("message_text_22"), 1) != 1) {
        return;
    }
    if (!profiles.ResetProfile()) {
        m_window.Ask(QStringLiteral("message_profile_reset"), 0);
        return;
    }
    ReloadDeviceProfile();
}

void ProfileActions::Rename(CDeviceProfileUI& profiles) {
    const QString edited = profiles.GetNameEditText();
    if (edited.isEmpty()) {
        return;  // an empty edit starts no rename
    }
    const int result = profiles.RenameProfile(edited);
    if (result == profiles::ProfileList::kRenameInUse) {
        m_window.Ask(QStringLiteral("message_text_5"), 0);
    } else if (result == profiles::ProfileList::kRenameBlank) {
        m_window.Ask(QStringLiteral("message_text_25"), 0);
    } else if (result == profiles::ProfileList::kRenameFailed) {
        m_window.Ask(QStringLiteral("message_profile_save"), 0);
    }
}

void ProfileActions::OnEditorTab(int tab) {
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    if (device == nullptr) {
        return;
    }
    device->ShowFunction(tab);
    if (CDeviceProfileUI* profiles = device->ProfileControl()) {
        profiles->SelectTab(tab - 1);
    }
}

void ProfileActions::SwitchProfile() {
    CDeviceProfileUI* profiles = Profiles();
    if (profiles == nullptr || profiles->GetCurrentIndex() < 0) {
        return;
    }
    profiles->SelectProfile(profiles->GetCurrentIndex(), false);
    ReloadDeviceProfile();
}

void ProfileActions::ReloadDeviceProfile() {
    // The device kinds read the selected profile, show it and send it.
    if (CZentrelUSBDevice* device = m_window.CurrentDevice()) {
        device->ReloadProfile();
    }
}

}  // namespace kx520
