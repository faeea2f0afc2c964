#pragma once

#include <functional>

#include "deviceui/CZentrelUSBDevice.h"
#include "keycodes/KeyAssignmentWords.h"
#include "keyboard/KeyboardCore.h"
#include "keyboardui/KeyboardOptionsPanel.h"

namespace kx520 {

class CKeySetControlUI;
class KeyRepeatDesktop;

// The keyboard's page over its core: the connection's exchange, profile
// loading and saving, the power display, the keyboard's notifications and
// the system options shown on the page.
class CZentrelKeyboardDevice : public CZentrelUSBDevice {
    Q_OBJECT

public:
    // The page key that the Fn layer may switch off.
    static constexpr size_t kFnSwitchedKey = 110;

    explicit CZentrelKeyboardDevice(hid::HidBackend& backend, QWidget* parent = nullptr);
    ~CZentrelKeyboardDevice() override;
    QString GetClass() const override { return QStringLiteral("ZentrelKeyboardDevice"); }

    KeyboardCore& Keyboard() { return *m_keyboard; }

    void BuildPage() override;
    // The profile's light setting becomes the one the light engine runs.
    bool RefreshPage() override;
    void OnConnected() override;
    void OnNotify() override;
    void RefreshPower() override;
    bool ProbeChannel() override { return m_keyboard->ProbeLink(); }
    void SetProfilePaths() override;
    QString ProfilePath() const override;
    bool LoadProfileToPage() override;
    void ApplyProfileToPage() override;
    // Another profile chosen: its key repeat goes to the desktop when it differs.
    void ReloadProfile() override;
    bool SaveProfile() override;
    void LoadDefaults() override;
    void OnMacrosChanged() override;
    void ShowFunction(int type) override;
    void SetHostLightControl(bool on) override;

    // Names every key of the picture: the legend on its cap (its own name),
    // its tool-tip (own name, then what it does now) and the mark of a key
    // that does not do what its name says. After a profile is applied, an
    // assignment changes, a macro is renamed or the language changes.
    void RefreshKeyLabels() override;

    // Writes a key list to the keyboard: the macros it uses, then the key
    // table (left unwritten when the macros could not be). On a failure the
    // user is told why; the profile is not touched.
    KeyWrite WriteKeyList(const std::vector<profiles::KeyAssignmentEntry>& list);

    // --- the key assignment page ------------------------------------------------
    int SelectedKey() const { return KeyEditor()->Selected(); }
    // Key `position` of the picture is chosen for assignment.
    void SelectKey(int position) { KeyEditor()->Select(position); }
    // Macros and key table to the keyboard, then the profile to its file.
    void SaveKeysToDevice(KeyAssignmentEditor::Finished finished) override;
    // A new light setting: kept in the profile (saved), run by the page's
    // engine and written to the keyboard's onboard profile. False when the
    // keyboard did not take the record (the profile keeps it).
    bool ApplyLightSetting(const profiles::LightSetting& setting, Written written = {}) override;
    profiles::LightSetting CurrentLightSetting() const override { return m_keyboard->Light(); }
    profiles::AudioLightSetting CurrentAudioLight() const override;
    // The music's colours and style: kept in the profile (saved) and run.
    bool ApplyAudioLight(const profiles::AudioLightSetting& audio) override;
    // The keys chosen for their own colours (mode 19) take the page's
    // colour, or go dark, in the profile's selected colour layout; the
    // keyboard gets its colour table again.
    void ColourSelectedKeys(bool lit) override;
    // A key of the picture clicked: on the keys tab it is the key to
    // assign; on the lighting tab with the keys' own colours it joins or
    // leaves the keys to colour.
    void ClickKey(int position) override;
    // The rubber band chose keys: kept only where keys are coloured one by
    // one; elsewhere the key being assigned stays the only one marked.
    void SelectionEnded();
    std::vector<int> SelectedLightKeys() const;
    void SetAudioBands(const int* levels, size_t count) override;
    // The audio-capture program's music state; the first three values'
    // low bytes are the app colour (mode 30).
    void SetHostValues(const int* values, size_t count) override;

    // A function for page key `position` from a script, through the page's
    // encoder, applied as the page applies it; "" or why not.
    std::string AssignKey(int position, const WordAssignment& assignment) override;

    // The six option values shown on the page, and read back from it.
    void ShowOptions(const profiles::KeyboardSystemSettings& options) { Options().Show(options); }
    profiles::KeyboardSystemSettings ReadOptions() const { return Options().Read(m_keyboard->Options()); }
    // Changed options (from the system panel or a script): shown, kept in
    // the profile (saved) and written with the light record; a changed key
    // repeat goes to the desktop too. False when the file did not keep them
    // (the user was told); `written` hears whether the keyboard took them.
    bool ChangeOptions(const profiles::KeyboardSystemSettings& options, Written written = {});
    // What the system panel's controls now say, changed as above.
    bool TakeOptions() { return ChangeOptions(ReadOptions()); }
    // The repeat rate and delay back to the profile template's.
    bool ResetRepeat();
    // What the desktop made of the last repeat given to it; "" before any.
    const QString& RepeatStatus() const { return m_repeatStatus; }
    bool RepeatBusy() const;

protected:
    void OnNotification(uint16_t code) override;
    // Page position -> its LED through the keyboard's key map; an unmapped
    // key has none and stays dark.
    int FrameIndexOf(size_t button) const override;

private:
    // The lighting page shows the keyboard's effects and its setting.
    void ShowLightPage();
    bool ColouringKeys() const;
    KeyboardOptionsPanel Options() const { return KeyboardOptionsPanel(*this); }
    void GiveRepeatToDesktop();

    KeyboardCore* m_keyboard;  // owned by the base, as its core
    QString m_profilePath;
    KeyRepeatDesktop* m_repeatDesktop;
    QString m_repeatStatus;
};

}  // namespace kx520
