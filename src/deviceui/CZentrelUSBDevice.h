#pragma once

#include <chrono>

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "catalog/DeviceCatalog.h"
#include "devicebase/DefaultNameLists.h"
#include "devicebase/DeviceCore.h"
#include "devicebase/ExchangeQueue.h"
#include "deviceui/KeyAssignmentEditor.h"
#include "lighting/LedEntry.h"
#include "devicebase/NotifyListener.h"
#include "profiles/CBasicProfiledata.h"
#include "profiles/KeyAction.h"
#include "profiles/LightSetting.h"
#include "protocol/CommandChannel.h"
#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

class SyncLightThread;

class CDeviceKeyButtonUI;
class CDeviceOptionUI;
class CDeviceProfileUI;
class CKeySetControlUI;
class CLightControlUI;
class CMacroControlUI;
class LightColourControl;

// The base of the four device kinds as a page (a skin container): it binds
// the page's key and LED buttons, the profile list and the power display to
// the device core (channel, frame, effects, light thread; no widgets) that
// each kind extends, and listens on the two notification links.
class CZentrelUSBDevice : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    static constexpr size_t kMaxFrameLeds = DeviceCore::kMaxFrameLeds;
    // The page function of the mouse's recoil tab (its panel "shoot_panel").
    static constexpr int kRecoilFunction = 9;

    explicit CZentrelUSBDevice(hid::HidBackend& backend, QWidget* parent = nullptr);
    // A kind passes its own core.
    CZentrelUSBDevice(hid::HidBackend& backend, std::unique_ptr<DeviceCore> core,
                      QWidget* parent = nullptr);
    ~CZentrelUSBDevice() override;
    QString GetClass() const override { return QStringLiteral("ZentrelUSBDevice"); }

    // --- operations the kinds refine ---------------------------------------
    // Binds the "key_N" and "light_N" buttons of the page's select panel.
    virtual void BuildPage();
    // Page refresh hook; false in the base.
    virtual bool RefreshPage() { return false; }
    // Paints the LED buttons from the frame and, on the cable, hands the
    // frame to the sender thread unless the light thread does. Nothing when
    // host light control is off. Whether the page is seen (else the UI
    // thread need not tick for it).
    virtual bool StreamFrame();
    // The page is on screen: shown, its tab current, its window not
    // minimised or in the tray.
    bool PageSeen() const;
    // Repaints changed keys with one update per parent; true if any.
    static bool RepaintTogether(const std::vector<QWidget*>& keys);
    virtual void OnConnected() {}
    virtual void OnNotify() {}
    virtual void OnTimer1003() {}
    virtual void OnTimer1004() {}
    virtual void RefreshPower() {}
    // Whether the receiver's device is in reach: the probe (the channel
    // only), then what the kind does about the answer on the UI thread.
    bool ProbeLink() {
        const bool awake = ProbeChannel();
        OnProbed(awake);
        return awake;
    }
    // The same with the probe on the exchange thread; `answered` on the UI thread.
    void ProbeLinkLater(std::function<void(bool awake)> answered);
    virtual bool ProbeChannel() { return true; }
    virtual void OnProbed(bool) {}
    virtual bool LoadProfileToPage() { return false; }
    virtual void ApplyProfileToPage() {}
    virtual void RestoreDefaults() {}
    // Another profile became the current one (chosen, new, reset): the
    // page shows it; the kinds that keep it on the device send it too.
    virtual void ReloadProfile();
    // Key assignments, macros and light records are the kinds' own, with
    // the signatures their records need; the base keeps none.
    virtual void LoadDefaults() {}
    virtual void ShowFunction(int type);
    virtual int GetPageFunction() const { return m_pageFunction; }
    // Profile hooks of the kinds that keep profile files.
    virtual void SetProfilePaths() {}
    // `profile` pointed at the profile list's current profile (its file in
    // the data folder) and the light configuration; that file's path, ""
    // without a current profile.
    QString ComposeProfilePaths(profiles::CBasicProfiledata& profile) const;
    virtual QString ProfilePath() const { return {}; }
    virtual bool SaveProfile() { return SaveProfileData(); }
    // The current profile written to its file; false, and the user told
    // why, when it was not (the setting stays on the page to save again).
    bool SaveProfileData();

    // --- exchanges off the UI thread -------------------------------------------
    // Runs `work` (exchanges with the device and nothing of the page) on the
    // device's exchange thread and `done` on the UI thread after it; the page
    // shows itself busy meanwhile. False, and the user told, while another
    // one has not finished: a second write waits for the first one's result.
    bool RunExchange(std::function<void()> work, std::function<void()> done);
    // A read the page does not wait for (the battery): after the exchanges
    // before it, `done` on the UI thread.
    void RunRead(std::function<void()> work, std::function<void()> done);
    // Timers that would ask the device (power, probes, reads after a
    // notification) wait while this is true.
    bool ExchangeBusy() const;
    // Whether the device took a write, told on the UI thread.
    using Written = std::function<void(bool taken)>;
    // What a record write replaces: only a waiting write of the same slot.
    enum class WriteSlot { kRecord, kKeyColours };
    // A record write (light, stages, key colours) through `send` on the
    // exchange thread. While another write runs the latest one of each slot
    // waits and goes when it ends, replacing one that waited (a slider's
    // steps are never refused); each caller's `written` hears how the write
    // that carried its change went.
    void WriteLatest(WriteSlot slot, std::function<int()> send, Written written);

    // --- telling the user -----------------------------------------------------
    // How the user is told: a message box on the page by default; a script's
    // call takes the text instead, in place of a box it could not answer.
    using Teller = std::function<void(const QString& text)>;
    void SetTeller(Teller teller) { m_teller = std::move(teller); }
    const Teller& GetTeller() const { return m_teller; }
    // The language file's text `textId`, with `argument` for its "%1".
    void Tell(const QString& textId, const QString& argument = QString()) const;
    void SetKindNumber(int kind) { m_core->SetKindNumber(kind); }
    int GetKindNumber() const { return m_core->KindNumber(); }
    profiles::CBasicProfiledata& ProfileData() { return m_core->ProfileData(); }
    // The colour triple, mirrored with the page's lighting control.
    virtual void SetLightColour(int red, int green, int blue);
    virtual void GetLightColour();
    virtual void SetValue(int value) { m_settableValue = value; }
    // The catalogue's extra value (the mouse: the LED the logo shows; -1 none).
    int GetValue() const { return m_settableValue; }
    // The keyboard keeps these (music and host colour); the base does not.
    virtual void SetAudioBands(const int*, size_t) {}
    virtual void SetHostValues(const int*, size_t) {}

    // --- the lighting page (the kinds with lighting refine these) ---------------
    // The page's lighting control, bound by BuildPage; null without one.
    CLightControlUI* LightPage() const { return m_lightPage; }
    virtual profiles::LightSetting CurrentLightSetting() const { return {}; }
    // A changed setting: kept in the profile (saved), run and written to
    // the device; `written` hears whether the device took it. False when
    // the file did not keep it (the user was told) or the base has no
    // lighting of its own.
    virtual bool ApplyLightSetting(const profiles::LightSetting&, Written written = {}) {
        if (written) {
            written(false);
        }
        return false;
    }
    virtual profiles::AudioLightSetting CurrentAudioLight() const { return {}; }
    virtual bool ApplyAudioLight(const profiles::AudioLightSetting&) { return false; }
    // The keys chosen on the picture take the page's colour, or go dark.
    virtual void ColourSelectedKeys(bool) {}
    // More than one device is shown: the lighting page may offer the same
    // effect on all; with one, the device leaves synchronised lighting.
    virtual void SetMultiDevice(bool multi);
    // The synchronised-lighting flag ("the same effect on every device").
    // Joins or leaves synchronised lighting (its thread paints this device
    // while it is joined).
    void SetSynchronised(bool on);
    // The synchronised lighting this device can join; nullptr: none (the
    // flag alone changes).
    void SetSyncLight(SyncLightThread* sync);
    bool Synchronised() const { return m_synchronised; }

    // --- the macro page (the kinds with macros) -----------------------------------
    // Bound by BuildPage to the device's data folder; null without one.
    CMacroControlUI* MacroPage() const { return m_macroPage; }
    // The macro list changed (added, renamed, imported, removed): the key
    // page's macro combo and the keys' names follow it.
    virtual void OnMacrosChanged() {}
    // The keys and the macros they use to the device; the user is told
    // when the device did not take them.
    void WriteKeysToDevice() { SaveKeysToDevice({}); }

    // --- the key assignment page (the kinds with keys) -------------------------
    // Null for the kinds without one.
    KeyAssignmentEditor* KeyEditor() const { return m_keyEditor.get(); }
    CKeySetControlUI* KeyPage() const { return m_keyEditor ? m_keyEditor->Page() : nullptr; }
    // Names every key of the picture after its assignment changed.
    virtual void RefreshKeyLabels() {}
    // A key of the picture clicked.
    virtual void ClickKey(int) {}
    // The keys and the macros they use to the device, the profile saved;
    // the user is told when the device did not take them.
    using KeyWrite = KeyAssignmentEditor::KeyWrite;
    // `finished` gets the outcome on the UI thread once the device answered.
    virtual void SaveKeysToDevice(KeyAssignmentEditor::Finished finished) {
        if (finished) {
            finished(KeyWrite::kFailed);
        }
    }
    // A function for key `position` from a script; "" or why not.
    virtual std::string AssignKey(int position, const WordAssignment& assignment);

    // --- set up by the main window on arrival --------------------------------
    void SetPageLayoutName(const QString& name) { m_pageLayout = name; }
    void SetKindName(const QString& name);
    void SetLightConfigName(const QString& name) { m_lightConfigName = name; }
    void SetIdentity(const DeviceInterfaceEntry& identity);
    const DeviceInterfaceEntry& Identity() const { return m_identity; }
    void SetKeyCount(size_t count);
    void SetLedCount(size_t count);
    size_t KeyCount() const { return m_keyButtons.size(); }
    size_t LedCount() const { return m_core->LedCount(); }
    void SetCatalogIndex(int index) { m_catalogIndex = index; }
    int CatalogIndex() const { return m_catalogIndex; }
    // The device's USB release number (bcdDevice) while its command channel
    // is open, from the link it is open on; 0 otherwise.
    uint16_t FirmwareVersion() {
        if (!Channel().IsOpen()) {
            return 0;
        }
        const uint16_t first = Channel().FirstLink().VersionNumber();
        return first != 0 ? first : Channel().SecondLink().VersionNumber();
    }
    void SetPowerFlag(bool flag) { m_powerFlag = flag; }
    bool PowerFlag() const { return m_powerFlag; }
    // The option in the device selector whose timers drive this device.
    void SetDeviceOption(CDeviceOptionUI* option) { m_option = option; }
    // While set, the option repaints the page on every poll tick.
    void SetRepaintFlag(bool repaint) { m_repaintFlag = repaint; }
    bool RepaintFlag() const { return m_repaintFlag; }
    // Whether StreamFrame painted a changed key since the last call.
    bool TakeFramePainted() { return std::exchange(m_framePainted, false); }
    virtual void SetHostLightControl(bool on) { m_core->SetHostLightControl(on); }
    bool HostLightControl() const { return m_core->HostLightControl(); }
    void SetLightControl(LightColourControl* control) { m_lightControl = control; }
    std::array<int, 3> LightColour() const { return m_lightColour; }

    // Opens the notification interface of a class (wired or receiver) and
    // listens on it; a code 0x401 calls OnNotify on the UI thread after the
    // kind's delay.
    bool AttachNotify(const std::string& path, uint16_t deviceClass);
    void DetachNotify(uint16_t deviceClass);
    bool NotifyAttached(uint16_t deviceClass) const;
    // The battery display in the selector, when the kind has one.
    void SetPowerDisplay(ui::CControlUI* display) { m_powerDisplay = display; }
    ui::CControlUI* PowerDisplay() const { return m_powerDisplay; }
    // The page's profile list, set up by BuildPage; null without one.
    CDeviceProfileUI* ProfileControl() const { return m_profileControl; }
    // The profile list's kind: 1 keyboard, 2 mouse, 3 mouse pad, 7 headset.
    int ProfileKind() const;

    // $XDG_DATA_HOME/KX520 PRO Keyboard/<kind>/ (created), and the shipped
    // DefaultData folder; both end with "/".
    QString DataFolder() const;
    QString DefaultFolder() const;
    QString DefaultProfilePath() const { return DefaultFolder() + m_kindName + ".Json"; }

    DeviceCore& Core() { return *m_core; }
    const DeviceCore& Core() const { return *m_core; }
    protocol::CommandChannel& Channel() { return m_core->Channel(); }
    const protocol::CommandChannel& Channel() const { return m_core->Channel(); }
    const QString& KindName() const { return m_kindName; }
    CDeviceKeyButtonUI* KeyButton(size_t index) const;
    CDeviceKeyButtonUI* LedButton(size_t index) const;
    // The button of a page key position: its key button, else its LED button.
    CDeviceKeyButtonUI* PositionButton(size_t position) const;

protected:
    // Delay between a settings notification and OnNotify (keyboard and
    // mouse 50 ms, pad and headset 500 ms).
    virtual int NotifyDelayMs() const;
    // The frame entry that LED button `button` shows; -1: none (dark).
    virtual int FrameIndexOf(size_t button) const { return static_cast<int>(button); }
    CDeviceOptionUI* DeviceOption() const { return m_option; }
    // A notification code, on the UI thread; the base acts on 0x401 only.
    virtual void OnNotification(uint16_t code);
    // A code from the receiver's notification interface; the same as the
    // cable's unless the kind says otherwise.
    virtual void OnReceiverNotification(uint16_t code) { OnNotification(code); }
    // Starts OnNotify after the kind's delay.
    void ScheduleNotify();
    // The battery from the device's status to the power display, and its
    // charge state to the main window (the keyboard's and mouse's power).
    void ShowPowerStatus();
    // The lighting page (when the page has one) lists the kind's effects and
    // shows `light`.
    void ShowEffectsAndSetting(const DefaultNameLists& names, const profiles::LightSetting& light) const;
    // The kinds with keys give their key page's editor.
    void SetKeyEditor(std::unique_ptr<KeyAssignmentEditor> editor) { m_keyEditor = std::move(editor); }

private:
    NotifyListener& ListenerFor(uint16_t deviceClass);
    // The profile list of the page: kind, folders, list, first tab.
    void SetUpProfileList();
    const NotifyListener& ListenerFor(uint16_t deviceClass) const;

    // Declared first: the page's listeners and bindings go before the core.
    std::unique_ptr<DeviceCore> m_core;
    CLightControlUI* m_lightPage = nullptr;
    CMacroControlUI* m_macroPage = nullptr;
    std::unique_ptr<KeyAssignmentEditor> m_keyEditor;
    bool m_synchronised = false;
    SyncLightThread* m_syncLight = nullptr;
    NotifyListener m_wiredNotify;
    NotifyListener m_receiverNotify;
    QString m_pageLayout;
    QString m_kindName;
    QString m_lightConfigName;
    DeviceInterfaceEntry m_identity;
    int m_catalogIndex = -1;
    int m_settableValue = -1;
    int m_pageFunction = 1;
    bool m_powerFlag = false;
    bool m_repaintFlag = true;
    bool m_framePainted = false;
    CDeviceOptionUI* m_option = nullptr;
    ui::CControlUI* m_powerDisplay = nullptr;
    CDeviceProfileUI* m_profileControl = nullptr;
    std::vector<CDeviceKeyButtonUI*> m_keyButtons;
    std::vector<CDeviceKeyButtonUI*> m_ledButtons;
    static constexpr std::chrono::milliseconds kPreviewPeriod{33};
    std::chrono::steady_clock::time_point m_lastPreview;
    LightColourControl* m_lightControl = nullptr;
    std::array<int, 3> m_lightColour{};
    Teller m_teller;
    struct WaitingWrite {
        std::function<int()> send;
        Written written;
    };
    std::map<WriteSlot, WaitingWrite> m_waitingWrites;
    int m_writesUnfinished = 0;  // on the UI thread only
    // After the listeners: its thread is ended first of all, in the destructor.
    std::unique_ptr<ExchangeQueue> m_exchanges;
};

}  // namespace kx520
