#include "app/ProfileActions.h"

#include "app/CMainWnd.h"
#include "devices/CZentrelUSBDevice.h"
#include "platform/DebugTrace.h"
#include "profiles/CDeviceProfileUI.h"
#include "profiles/ProfileList.h"

namespace kx520 {

ProfileActions::ProfileActions(CMainWnd& window) : m_window(window) {}

bool ProfileActions::OnClick(const QString& name) {
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    CDeviceProfileUI* profiles = device != nullptr ? device->ProfileControl() : nullptr;
    auto is = [&name](const char* wanted) {
        return name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
    };
    if (profiles == nullptr) {
        return false;
    }
    if (is("device_add_btn")) {
        profiles->NewProfile();
    } else if (is("device_sub_btn")) {
        if (profiles->DeleteProfile()) {
            ReloadDeviceProfile();
        }
    } else if (is("device_copy_btn")) {
        profiles->CopyProfile();
    } else if (is("device_export_btn")) {
        const QString path = profiles->GetCurrentIndex() >= 0 ? m_window.AskFile(true) : QString();
        QString error;
        if (!path.isEmpty() && !profiles->ExportProfile(path, &error)) {
            DebugTrace(("export: " + error).toStdString());
            m_window.Ask(QStringLiteral("message_profile_export"), 0);
        }
    } else if (is("device_import_btn")) {
        const QString path = profiles->GetCurrentIndex() >= 0 ? m_window.AskFile(false) : QString();
        QString error;
        if (!path.isEmpty() && !profiles->ImportProfile(path, &error)) {
            DebugTrace(("import: " + error).toStdString());
            m_window.Ask(QStringLiteral("message_profile_import"), 0);
        }
    } else if (is("device_reset_btn")) {
        if (m_window.Ask(QStringLiteral("message_text_22"), 1) != 1) {
            return true;
        }
        if (!profiles->ResetProfile()) {
            m_window.Ask(QStringLiteral("message_profile_reset"), 0);
            return true;
        }
        ReloadDeviceProfile();
    } else if (is("device_profile_edit_save_btn")) {
        const QString edited = profiles->GetNameEditText();
        if (edited.isEmpty()) {
            return true;  // an empty edit starts no rename
        }
        const int result = profiles->RenameProfile(edited);
        if (result == profiles::ProfileList::kRenameInUse) {
            m_window.Ask(QStringLiteral("message_text_5"), 0);
        } else if (result == profiles::ProfileList::kRenameBlank) {
            m_window.Ask(QStringLiteral("message_text_25"), 0);
        } else if (result == profiles::ProfileList::kRenameFailed) {
            m_window.Ask(QStringLiteral("message_profile_save"), 0);
        }
    } else if (name == QLatin1String("profile_fun_spread_btn")) {
        profiles->ToggleExpanded();
    } else {
        return false;
    }
    return true;
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
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    CDeviceProfileUI* profiles = device != nullptr ? device->ProfileControl() : nullptr;
    if (profiles == nullptr || profiles->GetCurrentIndex() < 0) {
        return;
    }
    profiles->SelectProfile(profiles->GetCurrentIndex(), false);
    ReloadDeviceProfile();
}

void ProfileActions::ReloadDeviceProfile() {
    // The device kinds read the selected profile and send it; the base has
    // nothing to send.
    if (CZentrelUSBDevice* device = m_window.CurrentDevice()) {
        device->SetProfilePaths();
        device->LoadProfileToPage();
    }
}

}  // namespace kx520
