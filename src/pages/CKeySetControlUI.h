#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keycodes/KeyAssignmentCodec.h"
#include "profiles/KeyAction.h"
#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

namespace ui {
class CComboUI;
class CEditUI;
}  // namespace ui

// The key assignment page: what one key of the keyboard (or button of the
// mouse) does, by function kind, each kind's controls on its tab. It keeps
// the record of the key being edited; the device hands keys in and takes
// the built record back. The main window's routing calls it.
class CKeySetControlUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    static constexpr int kKeyboardKind = 1;
    // Sent by the page when the key field captured a key (the routing
    // applies it, as after any change).
    static constexpr const char* kKeyCaptured = "keycaptured";
    static constexpr int kModifierOptions = 5;

    explicit CKeySetControlUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("KeySetControl"); }

    // The kinds the device offers: a keyboard has no DPI and no recoil.
    void Build(int deviceKind);
    // Whether the page offers function `kind` on a device of `deviceKind`
    // (a keyboard has no DPI or recoil functions).
    static bool Offers(int deviceKind, int kind);
    void FillMacroCombo(const std::vector<std::string>& names);
    // The macro editor's changes, one at a time.
    void AddMacroItem(const std::string& name);
    void RemoveMacroItem(int index);
    void SetMacroItemText(int index, const std::string& name);
    // Keeps `record` and shows its current half.
    void ShowKey(const profiles::KeyAssignmentEntry& record);
    void ShowDefault();
    void ShowCurrent();
    // The kept record with its current half built from the controls.
    profiles::KeyAssignmentEntry BuildCode();
    void HidePage();
    bool IsShowingKey() const;
    void EnableEdits(bool enabled);
    bool EditsEnabled() const;

    // The function combo chose a kind: its tab, a fresh key field, and for
    // the macro function the first macro.
    void OnKindChosen();
    // The macro function chosen with no macro to give the key.
    bool MacroMissing() const;
    // The macro mode combo: the repeat count only for its last item.
    void OnMacroModeChosen();
    void SelectModifier(int option);
    int SelectedModifier() const;
    // Key capture on or off (the main window's hook control message, sent
    // when the key field gains and loses the focus): only while it is on do
    // the field's keys stop there.
    void SetCapturing(bool on) { m_capturing = on; }
    bool Capturing() const { return m_capturing; }
    // A key pressed in the key field (set-1 scan code); false when it
    // cannot be assigned.
    bool CaptureKey(uint8_t scan, bool extended);

    const profiles::KeyAssignmentEntry& Record() const { return m_record; }
    KeyForm ReadForm() const;

protected:
    // While the key field has the focus, keys are captured, not typed:
    // every key but the three lock keys stops there.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Decode(const profiles::KeyAction& half);
    void ShowForm(const KeyForm& form);
    void ShowKind(int kind);
    int ComboOfKind(int kind) const;
    ui::CControlUI* Part(const char* name) const;
    ui::CComboUI* Combo(const char* name) const;
    ui::CEditUI* Edit(const char* name) const;
    QString EditText(const char* name) const;
    void SetEditText(const char* name, const std::string& text);

    profiles::KeyAssignmentEntry m_record;
    profiles::KeyAction m_kept;
    int m_deviceKind = 0;
    size_t m_macroCount = 0;
    std::string m_keyName;  // the key field's name id
    bool m_capturing = false;
};

}  // namespace kx520
