#include "profileui/CDeviceProfileUI.h"

#include "profiles/ProfileList.h"
#include "controls/CComboUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {

namespace {

constexpr const char* kTabs[CDeviceProfileUI::kTabCount] = {
    "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
    "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "recoil_Op_tab"};

struct TabRule {
    int kind;
    std::initializer_list<const char*> hidden;
    std::initializer_list<const char*> shown;
};

const TabRule kTabRules[] = {
    {1, {"cursor_Op_tab"}, {}},
    {2, {}, {"recoil_Op_tab"}},
    {3, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
    {5, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
    {4, {"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"}, {}},
    // No page gives the headset's virtual surround any controls: its tab stays hidden.
    {7, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab", "Virtual7.1_Op_tab"},
     {"6533_voice_Op_tab", "magic_Op_tab"}},
};

// Tabs whose pages are built, by profile kind: enabled, their "later"
// tool-tip gone. The others stay disabled until their pages land.
struct BuiltTabs {
    int kind;
    std::initializer_list<const char*> tabs;
};
const BuiltTabs kBuiltTabs[] = {
    {1, {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab"}},
    {2, {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab", "recoil_Op_tab"}},
    {3, {"deng_Op_tab"}},
    {7, {"deng_Op_tab", "6533_voice_Op_tab", "magic_Op_tab"}},
};

// A name from a file can be of any length: the combo shows the start of it.
QString ShownName(const std::string& name) {
    constexpr qsizetype kShown = static_cast<qsizetype>(profiles::ProfileList::kMaxNameCharacters);
    const QString text = QString::fromStdString(name.substr(0, 4 * kShown + 4));
    return text.size() > kShown ? text.left(kShown) + QChar(0x2026) : text;
}

std::string Std(const QString& text) {
    return text.toStdString();
}

}  // namespace

CDeviceProfileUI::CDeviceProfileUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {}

CDeviceProfileUI::~CDeviceProfileUI() = default;

ui::CControlUI* CDeviceProfileUI::Part(const char* name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, QString::fromLatin1(name));
}

ui::CComboUI* CDeviceProfileUI::Combo() const {
    return dynamic_cast<ui::CComboUI*>(Part("device_profile_combo"));
}

void CDeviceProfileUI::SetFolders(const QString& deviceFolder, const QString& templatePath) {
    m_list = std::make_unique<profiles::ProfileList>(Std(deviceFolder), Std(templatePath), m_kind);
}

bool CDeviceProfileUI::InitList() {
    if (!m_list) {
        return false;
    }
    const bool ok = m_list->Init();
    FillCombo();
    if (m_list->Selected() >= 0) {
        SelectProfile(m_list->Selected(), false);
    }
    ApplyTabVisibility();
    return ok;
}

void CDeviceProfileUI::FillCombo() {
    ui::CComboUI* combo = Combo();
    if (combo == nullptr || !m_list) {
        return;
    }
    combo->RemoveAll();
    for (const auto& entry : m_list->Entries()) {
        combo->AddPlainItem(ShownName(entry.name), QString::fromStdString(entry.id));
    }
    if (m_list->Selected() >= 0) {
        combo->SelectItem(m_list->Selected(), false);
    }
}

void CDeviceProfileUI::ApplyTabVisibility() {
    // Each page's tabs are a group of their own: choosing the keyboard's
    // lighting tab must not unselect the mouse's.
    const QString group = QStringLiteral("op_tab_%1").arg(m_kind);
    for (const char* name : kTabs) {
        if (auto* tab = dynamic_cast<ui::COptionUI*>(Part(name))) {
            tab->SetGroup(group);
        }
    }
    for (const BuiltTabs& built : kBuiltTabs) {
        for (const char* name : built.tabs) {
            if (ui::CControlUI* tab = Part(name); tab != nullptr && built.kind == m_kind) {
                tab->SetEnabled(true);
                tab->SetToolTip(QString());
            }
        }
    }
    for (const TabRule& rule : kTabRules) {
        if (rule.kind != m_kind) {
            continue;
        }
        for (const char* name : rule.hidden) {
            if (ui::CControlUI* tab = Part(name)) {
                tab->SetVisible(false);
            }
        }
        for (const char* name : rule.shown) {
            if (ui::CControlUI* tab = Part(name)) {
                tab->SetVisible(true);
            }
        }
    }
}

void CDeviceProfileUI::SelectTab(int index) {
    if (index < 0 || index >= kTabCount) {
        return;
    }
    for (int i = 0; i < kTabCount; ++i) {
        if (auto* tab = dynamic_cast<ui::COptionUI*>(Part(kTabs[i]))) {
            tab->Selected(i == index, false);
        }
    }
}

void CDeviceProfileUI::SelectProfile(int index, bool notify) {
    if (!m_list) {
        return;
    }
    if (ui::CComboUI* combo = Combo()) {
        combo->SelectItem(index, notify);
    }
    if (!m_list->Select(index)) {
        return;
    }
    SetNameEditText(QString::fromStdString(
        profiles::ProfileList::BoundedName(m_list->Entries()[static_cast<size_t>(index)].name)));
}

int CDeviceProfileUI::GetCurrentIndex() const {
    const ui::CComboUI* combo = Combo();
    return combo != nullptr ? combo->GetCurSel() : -1;
}

QString CDeviceProfileUI::GetCurrentProfileId() const {
    return m_list ? QString::fromStdString(m_list->CurrentId()) : QString();
}

QString CDeviceProfileUI::GetNameAt(int index) const {
    if (!m_list || index < 0 || static_cast<size_t>(index) >= m_list->Entries().size()) {
        return {};
    }
    return QString::fromStdString(m_list->Entries()[static_cast<size_t>(index)].name);
}

QString CDeviceProfileUI::GetNameEditText() const {
    const ui::CControlUI* edit = Part("device_profile_name_edit");
    return edit != nullptr ? edit->GetText() : QString();
}

void CDeviceProfileUI::SetNameEditText(const QString& text) {
    if (ui::CControlUI* edit = Part("device_profile_name_edit")) {
        edit->SetText(text);
    }
}

void CDeviceProfileUI::ShowProfileMenu(bool visible) {
    if (ui::CControlUI* menu = Part("profile_menu_layout")) {
        menu->SetVisible(visible);
    }
}

bool CDeviceProfileUI::IsProfileMenuVisible() const {
    const ui::CControlUI* menu = Part("profile_menu_layout");
    return menu != nullptr && menu->IsVisible();
}

int CDeviceProfileUI::GetProfileCount() const {
    return m_list ? static_cast<int>(m_list->Entries().size()) : 0;
}

QString CDeviceProfileUI::GetProfilePathAt(int index) const {
    if (!m_list || index < 0 || static_cast<size_t>(index) >= m_list->Entries().size()) {
        return {};
    }
    return QString::fromStdString(m_list->ProfilePath(m_list->Entries()[static_cast<size_t>(index)].id));
}

bool CDeviceProfileUI::NewProfile() {
    if (!m_list || !m_list->NewProfile()) {
        return false;
    }
    FillCombo();
    // Shown, selected and stored as selected: the page and the list agree.
    SelectProfile(static_cast<int>(m_list->Entries().size()) - 1, false);
    return true;
}

bool CDeviceProfileUI::CopyProfile() {
    if (!m_list || !m_list->CopyProfile()) {
        return false;
    }
    FillCombo();
    // The copy is the one the user goes on with, as a new profile is.
    SelectProfile(static_cast<int>(m_list->Entries().size()) - 1, false);
    return true;
}

int CDeviceProfileUI::RenameProfile(const QString& name) {
    if (!m_list || Combo() == nullptr) {
        return profiles::ProfileList::kRenameInUse;
    }
    const auto result = m_list->RenameProfile(Std(name));
    if (result == profiles::ProfileList::kRenamed) {
        FillCombo();
        SetNameEditText(name);
    }
    return result;
}

bool CDeviceProfileUI::DeleteProfile() {
    if (!m_list || !m_list->DeleteProfile()) {
        return false;
    }
    FillCombo();
    SetNameEditText(QString::fromStdString(profiles::ProfileList::BoundedName(
        m_list->Entries()[static_cast<size_t>(m_list->Selected())].name)));
    return true;
}

bool CDeviceProfileUI::ResetProfile() {
    return m_list && m_list->ResetProfile();
}

bool CDeviceProfileUI::ImportProfile(const QString& path, QString* error) {
    std::string reason;
    if (!m_list || !m_list->ImportProfile(Std(path), &reason)) {
        if (error != nullptr) {
            *error = QString::fromStdString(reason);
        }
        return false;
    }
    FillCombo();
    return true;
}

bool CDeviceProfileUI::ExportProfile(const QString& path, QString* error) {
    std::string reason;
    if (!m_list || !m_list->ExportProfile(Std(path), &reason)) {
        if (error != nullptr) {
            *error = QString::fromStdString(reason);
        }
        return false;
    }
    return true;
}

}  // namespace kx520
