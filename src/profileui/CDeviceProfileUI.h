#pragma once

#include <QString>
#include <memory>

#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

namespace profiles {
class ProfileList;
}
namespace ui {
class CComboUI;
}

// The profile list of a device page: the combo of the device's profiles,
// the name edit, the add, copy, delete, reset, import and export actions,
// and the editor tabs the device kind has. Over the Qt-free ProfileList,
// with the combo kept in step with it (item i is entry i). It never talks
// to the device: the main window hands a selection or a reset on.
class CDeviceProfileUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    static constexpr int kTabCount = 9;

    explicit CDeviceProfileUI(QWidget* parent = nullptr);
    ~CDeviceProfileUI() override;
    QString GetClass() const override { return QStringLiteral("DeviceProfile"); }

    // 1 keyboard, 2 mouse, 3 mouse pad, 7 headset.
    void SetDeviceKind(int kind) { m_kind = kind; }
    int GetDeviceKind() const { return m_kind; }
    void SetFolders(const QString& deviceFolder, const QString& templatePath);
    // Reads the list (making "profile1" on a first run), fills the combo,
    // selects the stored profile and shows the kind's tabs.
    bool InitList();

    // Selects tab `index` (0-7) and unselects the others.
    void SelectTab(int index);
    void SelectProfile(int index, bool notify);
    int GetCurrentIndex() const;
    QString GetCurrentProfileId() const;
    // The name of the profile at `index`; empty outside the list.
    QString GetNameAt(int index) const;
    QString GetNameEditText() const;
    void SetNameEditText(const QString& text);
    void ShowProfileMenu(bool visible);
    bool IsProfileMenuVisible() const;
    void ToggleExpanded() { ShowProfileMenu(!IsProfileMenuVisible()); }
    int GetProfileCount() const;
    QString GetProfilePathAt(int index) const;

    // Adds a profile and selects it.
    bool NewProfile();
    bool CopyProfile();
    // 1 renamed, 2 blank, 0 in use (or no combo).
    int RenameProfile(const QString& name);
    bool DeleteProfile();
    bool ResetProfile();
    bool ImportProfile(const QString& path, QString* error = nullptr);
    bool ExportProfile(const QString& path, QString* error = nullptr);

    profiles::ProfileList* List() const { return m_list.get(); }

private:
    ui::CComboUI* Combo() const;
    ui::CControlUI* Part(const char* name) const;
    // The combo rebuilt from the list, showing the selected profile.
    void FillCombo();
    void ApplyTabVisibility();

    int m_kind = 0;
    std::unique_ptr<profiles::ProfileList> m_list;
};

}  // namespace kx520
