#include "pages/CKeySetControlUI.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "keycodes/NativeScanCode.h"

#include "controls/CComboUI.h"
#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

using profiles::KeyAction;

// The combo and edits of each kind, by control name.
constexpr const char* kRowCombos[] = {nullptr,
                                      "keyset_mousekey_combo",
                                      nullptr,
                                      nullptr,
                                      "keyset_mousedpi_combo",
                                      nullptr,
                                      nullptr,
                                      "keyset_media_combo",
                                      "keyset_system_combo",
                                      nullptr,
                                      nullptr,
                                      "keyset_combokey_combo"};

struct ScrollNames {
    const char* direction;
    const char* count;
    const char* delay;
    const char* speed;
};
constexpr ScrollNames kSwing{"keyset_mouseswing_combo", "keyset_mouseswing_num_edit",
                             "keyset_mouseswing_delay_edit", "keyset_mouseswing_speed_edit"};
constexpr ScrollNames kWheel{"keyset_mousewheel_combo", "keyset_mousewheel_num_edit",
                             "keyset_mousewheel_delay_edit", "keyset_mousewheel_speed_edit"};

QString ModifierName(int option) {
    return QStringLiteral("key_ComBox_check_%1").arg(option);
}

}  // namespace

CKeySetControlUI::CKeySetControlUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {}

ui::CControlUI* CKeySetControlUI::Part(const char* name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, QLatin1String(name));
}

ui::CComboUI* CKeySetControlUI::Combo(const char* name) const {
    return name == nullptr ? nullptr : dynamic_cast<ui::CComboUI*>(Part(name));
}

ui::CEditUI* CKeySetControlUI::Edit(const char* name) const {
    return dynamic_cast<ui::CEditUI*>(Part(name));
}

QString CKeySetControlUI::EditText(const char* name) const {
    const ui::CEditUI* edit = Edit(name);
    return edit != nullptr ? edit->GetText() : QString();
}

void CKeySetControlUI::SetEditText(const char* name, const std::string& text) {
    if (ui::CEditUI* edit = Edit(name)) {
        edit->SetText(QString::fromStdString(text));
    }
}

void CKeySetControlUI::Build(int deviceKind) {
    m_deviceKind = deviceKind;
    if (ui::CEditUI* key = Edit("keyset_keyboard_text_edit")) {
        key->LineEdit()->installEventFilter(this);
    }
    ui::CComboUI* kinds = Combo("keyset_function_combo");
    if (kinds == nullptr || deviceKind != kKeyboardKind) {
        return;
    }
    for (int i = 0; i < kinds->GetCount(); ++i) {
        bool number = false;
        const int kind = kinds->GetItemUserData(i).toInt(&number);
        if (number && !Offers(deviceKind, kind)) {
            kinds->SetItemVisible(i, false);
        }
    }
}

bool CKeySetControlUI::Offers(int deviceKind, int kind) {
    return deviceKind != kKeyboardKind || (kind != kKindDpi && kind != kKindGun);
}

void CKeySetControlUI::FillMacroCombo(const std::vector<std::string>& names) {
    m_macroCount = names.size();
    ui::CComboUI* macros = Combo("keyset_macro_combo");
    if (macros == nullptr) {
        return;
    }
    macros->RemoveAll();
    for (const std::string& name : names) {
        macros->AddPlainItem(QString::fromStdString(name));
    }
    macros->SelectItem(-1, false);
}

void CKeySetControlUI::AddMacroItem(const std::string& name) {
    if (ui::CComboUI* macros = Combo("keyset_macro_combo")) {
        macros->AddPlainItem(QString::fromStdString(name));
        m_macroCount = static_cast<size_t>(macros->GetCount());
    }
}

void CKeySetControlUI::RemoveMacroItem(int index) {
    if (ui::CComboUI* macros = Combo("keyset_macro_combo"); macros != nullptr && macros->RemoveItem(index)) {
        m_macroCount = static_cast<size_t>(macros->GetCount());
    }
}

void CKeySetControlUI::SetMacroItemText(int index, const std::string& name) {
    if (ui::CComboUI* macros = Combo("keyset_macro_combo")) {
        macros->SetItemText(index, QString::fromStdString(name));
    }
}

void CKeySetControlUI::ShowKey(const profiles::KeyAssignmentEntry& record) {
    m_record = record;
    m_kept = record.assignment;
    if (ui::CControlUI* hint = Part("keyset_pick_hint")) {
        hint->SetVisible(false);
    }
    if (ui::CControlUI* layout = Part("keyset_layout")) {
        layout->SetVisible(true);
    }
    Decode(m_record.assignment);
}

void CKeySetControlUI::ShowDefault() {
    m_kept = m_record.defaultAssignment;
    Decode(m_record.defaultAssignment);
}

void CKeySetControlUI::ShowCurrent() {
    m_kept = m_record.assignment;
    Decode(m_record.assignment);
}

void CKeySetControlUI::HidePage() {
    if (ui::CControlUI* layout = Part("keyset_layout")) {
        layout->SetVisible(false);
    }
    if (ui::CControlUI* hint = Part("keyset_pick_hint")) {
        hint->SetVisible(true);
    }
}

bool CKeySetControlUI::IsShowingKey() const {
    const ui::CControlUI* layout = Part("keyset_layout");
    return layout != nullptr && layout->IsVisible();
}

void CKeySetControlUI::EnableEdits(bool enabled) {
    for (const char* name : {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"}) {
        if (ui::CControlUI* button = Part(name)) {
            button->SetEnabled(enabled);
        }
    }
}

bool CKeySetControlUI::EditsEnabled() const {
    const ui::CControlUI* save = Part("key_butt_prosave");
    return save != nullptr && save->IsEnabled();
}

profiles::KeyAssignmentEntry CKeySetControlUI::BuildCode() {
    const KeyAction built = KeyAssignmentCodec::Encode(ReadForm(), m_kept, m_record, m_macroCount);
    m_record.assignment = built;
    m_kept = built;
    return m_record;
}

KeyForm CKeySetControlUI::ReadForm() const {
    KeyForm form;
    const ui::CComboUI* kinds = Combo("keyset_function_combo");
    if (kinds != nullptr && kinds->GetCurSel() >= 0) {
        bool ok = false;
        const int kind = kinds->GetItemUserData(kinds->GetCurSel()).toInt(&ok);
        form.kind = ok ? kind : -1;
    }
    if (form.kind >= 0 && form.kind < static_cast<int>(std::size(kRowCombos))) {
        if (const ui::CComboUI* rows = Combo(kRowCombos[form.kind])) {
            form.row = rows->GetCurSel();
        }
    }
    const ScrollNames& scroll = form.kind == kKindWheel ? kWheel : kSwing;
    if (const ui::CComboUI* direction = Combo(scroll.direction)) {
        form.direction = direction->GetCurSel() == 1 ? 1 : 0;
    }
    form.count = EditText(scroll.count).toStdString();
    form.delay = EditText(scroll.delay).toStdString();
    form.speed = EditText(scroll.speed).toStdString();
    form.interval = EditText("keyset_mousefire_interval_edit").toStdString();
    form.fireCount = EditText("keyset_mousefire_num_edit").toStdString();
    form.modifier = SelectedModifier();
    form.keyText = EditText("keyset_keyboard_text_edit").isEmpty() ? std::string() : m_keyName;
    if (const ui::CComboUI* macros = Combo("keyset_macro_combo")) {
        form.macro = macros->GetCount() > 0 ? macros->GetCurSel() : -1;
    }
    if (const ui::CComboUI* mode = Combo("keyset_macro_over_combo")) {
        form.macroMode = mode->GetCurSel();
    }
    form.repeat = EditText("keyset_macro_cycle_edit").toStdString();
    if (const ui::CComboUI* guns = Combo("keyset_gunkey_combo")) {
        form.gun = guns->GetCurSel();
    }
    return form;
}

void CKeySetControlUI::Decode(const KeyAction& half) {
    KeyForm form = ReadForm();
    KeyAssignmentCodec::Decode(half, m_record.defaultAssignment, m_macroCount, form, m_kept);
    ShowForm(form);
}

void CKeySetControlUI::ShowForm(const KeyForm& form) {
    if (form.kind < 0 || ComboOfKind(form.kind) < 0) {
        HidePage();  // a code of no kind is not shown as a wrong one
        return;
    }
    if (form.kind < static_cast<int>(std::size(kRowCombos))) {
        if (ui::CComboUI* rows = Combo(kRowCombos[form.kind])) {
            rows->SelectItem(form.row, false);
        }
    }
    if (form.kind == kKindSwing || form.kind == kKindWheel) {
        const ScrollNames& scroll = form.kind == kKindWheel ? kWheel : kSwing;
        if (ui::CComboUI* direction = Combo(scroll.direction)) {
            direction->SelectItem(form.direction, false);
        }
        SetEditText(scroll.count, form.count);
        SetEditText(scroll.delay, form.delay);
        SetEditText(scroll.speed, form.speed);
    }
    if (form.kind == kKindFire) {
        SetEditText("keyset_mousefire_interval_edit", form.interval);
        SetEditText("keyset_mousefire_num_edit", form.fireCount);
    }
    if (form.kind == kKindKey) {
        SelectModifier(form.modifier);
        m_keyName = form.keyText;
        const QString text = form.keyText.empty()
                                 ? QString()
                                 : ui::CResourceManager::Instance().GetText(QString::fromStdString(form.keyText));
        if (ui::CEditUI* edit = Edit("keyset_keyboard_text_edit")) {
            edit->SetText(text);
        }
    }
    if (form.kind == kKindMacro) {
        if (ui::CComboUI* macros = Combo("keyset_macro_combo")) {
            macros->SelectItem(form.macro, false);
        }
        if (ui::CComboUI* mode = Combo("keyset_macro_over_combo")) {
            mode->SelectItem(form.macroMode, false);
        }
        if (ui::CControlUI* repeat = Part("keyset_macro_cycle_layout")) {
            repeat->SetVisible(form.repeatShown);
        }
        SetEditText("keyset_macro_cycle_edit", form.repeat);
    }
    if (form.kind == kKindGun) {
        if (ui::CComboUI* guns = Combo("keyset_gunkey_combo")) {
            guns->SelectItem(form.gun, false);
        }
    }
    ShowKind(form.kind);
}

int CKeySetControlUI::ComboOfKind(int kind) const {
    const ui::CComboUI* kinds = Combo("keyset_function_combo");
    if (kinds == nullptr) {
        return -1;
    }
    for (int i = 0; i < kinds->GetCount(); ++i) {
        if (kinds->GetItemUserData(i) == QString::number(kind)) {
            return i;
        }
    }
    return -1;
}

void CKeySetControlUI::ShowKind(int kind) {
    if (ui::CControlUI* layout = Part("keyset_layout")) {
        layout->SetVisible(true);
    }
    if (ui::CComboUI* kinds = Combo("keyset_function_combo")) {
        kinds->SelectItem(ComboOfKind(kind), false);
    }
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(Part("function_switch_tablayout"))) {
        tabs->SelectItem(kind);
    }
}

void CKeySetControlUI::OnKindChosen() {
    const KeyForm form = ReadForm();
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(Part("function_switch_tablayout"))) {
        tabs->SelectItem(form.kind);
    }
    if (form.kind == kKindKey) {
        m_keyName.clear();
        SetEditText("keyset_keyboard_text_edit", {});
        SelectModifier(-1);
    }
    // The macro function starts on the first macro, not on none.
    ui::CComboUI* macros = Combo("keyset_macro_combo");
    if (form.kind == kKindMacro && macros != nullptr && macros->GetCount() > 0 && macros->GetCurSel() < 0) {
        macros->SelectItem(0, false);
    }
}

bool CKeySetControlUI::MacroMissing() const {
    const KeyForm form = ReadForm();
    return form.kind == kKindMacro && form.macro < 0;
}

void CKeySetControlUI::OnMacroModeChosen() {
    const ui::CComboUI* mode = Combo("keyset_macro_over_combo");
    if (ui::CControlUI* repeat = Part("keyset_macro_cycle_layout")) {
        repeat->SetVisible(mode != nullptr && mode->GetCurSel() == KeyAssignmentCodec::kRepeatModeItem);
    }
}

void CKeySetControlUI::SelectModifier(int option) {
    for (int i = 0; i < kModifierOptions; ++i) {
        if (auto* box = dynamic_cast<ui::COptionUI*>(Part(ModifierName(i).toLatin1().constData()))) {
            box->Selected(i == option, false);
        }
    }
}

int CKeySetControlUI::SelectedModifier() const {
    for (int i = 0; i < kModifierOptions; ++i) {
        const auto* box = dynamic_cast<ui::COptionUI*>(Part(ModifierName(i).toLatin1().constData()));
        if (box != nullptr && box->IsSelected()) {
            return i;
        }
    }
    return -1;
}

bool CKeySetControlUI::eventFilter(QObject* watched, QEvent* event) {
    const ui::CEditUI* key = Edit("keyset_keyboard_text_edit");
    if (!m_capturing || key == nullptr || watched != key->LineEdit() ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) {
        return ui::CHorizontalLayoutUI::eventFilter(watched, event);
    }
    const auto* press = static_cast<QKeyEvent*>(event);
    const uint32_t evdev = EvdevFromNative(press->nativeScanCode());
    if (IsLockKey(evdev)) {
        return false;
    }
    if (event->type() == QEvent::KeyPress && !press->isAutoRepeat()) {
        if (const auto set1 = Set1FromEvdev(evdev); set1 && CaptureKey(set1->scan, set1->extended)) {
            SendNotify(QString::fromLatin1(kKeyCaptured), 0, 0);
        }
    }
    return true;
}

bool CKeySetControlUI::CaptureKey(uint8_t scan, bool extended) {
    KeyForm form = ReadForm();
    form.kind = kKindKey;
    if (!KeyAssignmentCodec::CaptureKey(scan, extended, m_record, m_macroCount, form, m_kept)) {
        return false;
    }
    ShowForm(form);
    return true;
}

}  // namespace kx520
