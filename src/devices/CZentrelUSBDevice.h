#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "app/DeviceCatalog.h"
#include "devices/DeviceWorker.h"
#include "devices/FrameSender.h"
#include "devices/KeyLevels.h"
#include "devices/LedEntry.h"
#include "devices/NotifyListener.h"
#include "devices/SoftwareEffects.h"
#include "profiles/CBasicProfiledata.h"
#include "profiles/KeyAction.h"
#include "profiles/LightSetting.h"
#include "protocol/CommandChannel.h"
#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

class CDeviceKeyButtonUI;
class CDeviceOptionUI;
class CDeviceProfileUI;
class LightColourControl;

// The base of the four device kinds: at once the device's page (a skin
// container) and the owner of what talks to the device: its command channel,
// its two notification links, its LED frame and software effects, and the
// thread that streams its frames. Frame logic lives in plain classes
// (SoftwareEffects, KeyLevels, FrameSender, NotifyListener); this class
// binds them to the page.
class CZentrelUSBDevice : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    static constexpr size_t kMaxFrameLeds = 170;

    explicit CZentrelUSBDevice(hid::HidBackend& backend, QWidget* parent = nullptr);
    ~CZentrelUSBDevice() override;
    QString GetClass() const override { return QStringLiteral("ZentrelUSBDevice"); }

    // --- operations the kinds refine ---------------------------------------
    // Binds the "key_N" and "light_N" buttons of the page's select panel.
    virtual void BuildPage();
    // Page refresh hook; false in the base.
    virtual bool RefreshPage() { return false; }
    virtual void EffectBreathe();
    virtual void EffectBreatheFour();
    virtual void EffectStatic();
    virtual void EffectSpectrum();
    virtual void EffectBlink();
    virtual void EffectBlinkFour();
    virtual void EffectOff();
    // Paints the LED buttons from the frame and, on the cable, hands the
    // frame to the sender thread. Nothing when host light control is off.
    virtual void StreamFrame();
    virtual void SetLed(int index, const LedEntry& entry);
    virtual LedEntry GetLed(int index) const;
    virtual void OnConnected() {}
    virtual void OnNotify() {}
    virtual void OnTimer1003() {}
    virtual void OnTimer1004() {}
    virtual void RefreshPower() {}
    virtual bool ProbeLink() { return true; }
    virtual bool LoadProfileToPage() { return false; }
    virtual void ApplyProfileToPage() {}
    virtual void RestoreDefaults() {}
    // Key assignments, macros and light records: the kinds that keep them
    // read and write them (a write answers 1 when it reached the device);
    // the base has none.
    virtual std::vector<profiles::KeyAssignmentEntry> ReadKeyList() { return {}; }
    virtual int WriteKeys(const std::vector<profiles::KeyAssignmentEntry>&) { return 0; }
    virtual int WriteCurrentKeys(int) { return 0; }
    // `macros`: macro numbers in the order the key table refers to them.
    virtual int WriteMacros(const std::vector<int>& /*macros*/) { return 0; }
    // The kinds take what their record needs: the keyboard (index, value),
    // the mouse (profile, value, a, b, c), the headset (index).
    virtual int WriteLightConfig(int /*index*/, int /*value*/ = 0, int /*a*/ = 0, int /*b*/ = 0,
                                 int /*c*/ = 0) {
        return 0;
    }
    virtual void LoadDefaults() {}
    // Key position maps kept for the kinds (page key position -> device
    // index, 255 = none); the kinds replace the third with this.
    virtual void SetKeyMap(std::vector<uint8_t> map) { m_keyMaps[2] = std::move(map); }
    virtual void DecayKey(size_t index, int mode) { m_keyLevels.DecayKey(index, mode); }
    virtual void LightRingKeys() { m_keyLevels.LightRingKeys(); }
    virtual void RotateRing(bool forward) { m_keyLevels.RotateRing(forward); }
    virtual void ClearKeyLevels() { m_keyLevels.ClearKeyLevels(); }
    virtual void ShowFunction(int type);
    virtual int GetPageFunction() const { return m_pageFunction; }
    // Profile hooks of the kinds that keep profile files.
    virtual void SetProfilePaths() {}
    virtual QString ProfilePath() const { return {}; }
    virtual void SaveProfile() {}
    // Every file keeps its section at index 0, so a new kind number resets it.
    virtual void SetKindNumber(int kind) {
        m_kindNumber = kind;
        ProfileData().SetDeviceIndex(0);
    }
    // The device's profile data; the kinds with sections of their own
    // return their derived object.
    virtual profiles::CBasicProfiledata& ProfileData() { return m_profileData; }
    virtual int GetKindNumber() const { return m_kindNumber; }
    virtual void SetLightBytes(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
    // The colour triple, mirrored with the page's lighting control.
    virtual void SetLightColour(int red, int green, int blue);
    virtual void GetLightColour();
    virtual void SetValue(int value) { m_settableValue = value; }
    // The keyboard keeps these (music and host colour); the base does not.
    virtual void SetAudioBands(const int*, size_t) {}
    virtual void SetHostValues(const int*, size_t) {}

    // --- set up by the main window on arrival --------------------------------
    void SetPageLayoutName(const QString& name) { m_pageLayout = name; }
    void SetKindName(const QString& name);
    void SetLightConfigName(const QString& name) { m_lightConfigName = name; }
    void SetIdentity(const DeviceInterfaceEntry& identity);
    const DeviceInterfaceEntry& Identity() const { return m_identity; }
    void SetKeyCount(size_t count);
    void SetLedCount(size_t count);
    size_t KeyCount() const { return m_keyButtons.size(); }
    size_t LedCount() const;
    void SetCatalogIndex(int index) { m_catalogIndex = index; }
    void SetPowerFlag(bool flag) { m_powerFlag = flag; }
    bool PowerFlag() const { return m_powerFlag; }
    // The option in the device selector whose timers drive this device.
    void SetDeviceOption(CDeviceOptionUI* option) { m_option = option; }
    // While set, the option repaints the page on every poll tick.
    void SetRepaintFlag(bool repaint) { m_repaintFlag = repaint; }
    bool RepaintFlag() const { return m_repaintFlag; }
    // Whether StreamFrame painted a changed key since the last call.
    bool TakeFramePainted() { return std::exchange(m_framePainted, false); }
    void SetHostLightControl(bool on) { m_hostLightControl = on; }
    bool HostLightControl() const { return m_hostLightControl; }
    // The running software effect's setting.
    void SetCurrentEffect(const EffectSetting& setting);
    EffectSetting CurrentEffect() const;
    // One light setting per LED (zeroed when the LED count changes).
    void SetLedSetting(size_t index, const profiles::LightSetting& setting);
    profiles::LightSetting LedSetting(size_t index) const;
    void SetLightControl(LightColourControl* control) { m_lightControl = control; }
    std::array<int, 3> LightColour() const { return m_lightColour; }
    const std::vector<uint8_t>& KeyMap(size_t which) const { return m_keyMaps.at(which); }

    // The light thread: `body` runs until its stop token is set; a running
    // one is stopped first. Stopping waits for the body's current step.
    void StartLightThread(DeviceWorker::Body body) { m_lightThread.Start(std::move(body)); }
    bool StopLightThread() { return m_lightThread.Stop(); }
    bool LightThreadRunning() const { return m_lightThread.Running(); }

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

    protocol::CommandChannel& Channel() { return m_channel; }
    const protocol::CommandChannel& Channel() const { return m_channel; }
    const QString& KindName() const { return m_kindName; }
    FrameSender& Sender() { return m_sender; }
    CDeviceKeyButtonUI* KeyButton(size_t index) const;
    CDeviceKeyButtonUI* LedButton(size_t index) const;
    std::vector<LedEntry> FrameCopy() const;
    KeyLevels& Keys() { return m_keyLevels; }

protected:
    // Delay between a settings notification and OnNotify (keyboard and
    // mouse 50 ms, pad and headset 500 ms).
    virtual int NotifyDelayMs() const;
    void FillFrame(void (SoftwareEffects::*effect)(const EffectSetting&, std::span<LedEntry>));

private:
    NotifyListener& ListenerFor(uint16_t deviceClass);
    // The profile list of the page: kind, folders, list, first tab.
    void SetUpProfileList();
    const NotifyListener& ListenerFor(uint16_t deviceClass) const;
    void HandleNotification(uint16_t code);

    protocol::CommandChannel m_channel;
    NotifyListener m_wiredNotify;
    NotifyListener m_receiverNotify;
    FrameSender m_sender;
    QString m_pageLayout;
    QString m_kindName;
    QString m_lightConfigName;
    DeviceInterfaceEntry m_identity;
    int m_catalogIndex = -1;
    int m_settableValue = -1;
    int m_pageFunction = 1;
    int m_kindNumber = 0;
    bool m_powerFlag = false;
    bool m_hostLightControl = true;
    bool m_repaintFlag = true;
    bool m_framePainted = false;
    CDeviceOptionUI* m_option = nullptr;
    ui::CControlUI* m_powerDisplay = nullptr;
    CDeviceProfileUI* m_profileControl = nullptr;
    std::vector<CDeviceKeyButtonUI*> m_keyButtons;
    std::vector<CDeviceKeyButtonUI*> m_ledButtons;
    // The light thread writes the frame while the UI reads it: both under this lock.
    mutable std::mutex m_frameLock;
    std::vector<LedEntry> m_frame;
    EffectSetting m_setting;
    uint32_t m_lightWords[4] = {};
    mutable std::mutex m_lightListLock;
    std::vector<profiles::LightSetting> m_ledSettings;
    std::array<std::vector<uint8_t>, 3> m_keyMaps;
    LightColourControl* m_lightControl = nullptr;
    std::array<int, 3> m_lightColour{};
    // Declared last: stops before the state its body uses goes away.
    DeviceWorker m_lightThread{std::chrono::milliseconds(1000)};
    SoftwareEffects m_effects;
    KeyLevels m_keyLevels;
    profiles::CBasicProfiledata m_profileData;
};

}  // namespace kx520
