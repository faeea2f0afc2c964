#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "lighting/AudioCopyData.h"
#include "lighting/SpectrumBands.h"
#include "devicelink/DeviceOptionList.h"
#include "discovery/DeviceScanThread.h"
#include "discovery/DeviceSelector.h"
#include "discovery/InterfaceSlotTable.h"
#include "app/FileChooser.h"
#include "app/StagePalette.h"
#include "app/LanguageSwitcher.h"
#include "messages/MessageTable.h"
#include "appwindow/NotificationRouter.h"
#include "discovery/WorkerSlots.h"
#include "appwindow/AppWindow.h"

namespace kx520 {

class CZentrelUSBDevice;
class DeviceLinkManager;
class MainWindowMessages;
class ProfileActions;
class KeyPageActions;
class LightPageActions;
class MacroPageActions;
class MousePageActions;
class SystemPageActions;
class ShootPageActions;
class HeadsetPageActions;
class RecordingCapture;
class SettingsStore;
class SettingsWindowLauncher;
class FirmwareUpdater;
class SyncLightThread;
class TitleBarActions;
class TrayController;

namespace hid {
class HidBackend;
}

// The application's window: its life (creation, initialisation, showing,
// fitting to the monitor, shutdown) and the state other parts read. What it
// receives is delegated: notifications to the routing rows, messages and
// timers to the message rows, device selection to the selector, arrival and
// removal to DeviceLinkManager, the tray and menus to the tray controller.
// Closing it hides it to the tray; the tray menu's "exit" ends the program.
class CMainWnd : public AppWindow, public DeviceScanReceiver {
    Q_OBJECT

public:
    static constexpr int kFitTimer = 1011;

    // The modal questions the window asks: a message box by text id (1 when
    // confirmed) and a file dialog (an empty path when cancelled). Tests
    // answer them instead of a user.
    using AskUser = std::function<int(const QString& textId, int buttons)>;
    using AskPath = std::function<QString(bool save, const QString& filter)>;

    CMainWnd(hid::HidBackend& backend, SettingsStore& settings);
    ~CMainWnd() override;

    QString GetWindowClassName() const override { return QStringLiteral("MainWnd"); }
    QString GetSkinFile() const override { return QStringLiteral("XML/XML_MAIN.xml"); }
    void InitWindow() override;
    void Notify(const ui::Notification& notification) override;
    qintptr HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                bool& handled) override;
    ui::CControlUI* CreateControl(const QString& tag) override;

    // --- what the window delegates to ------------------------------------------
    DeviceSelector& Selector() override { return m_selector; }
    const DeviceSelector& Selector() const { return m_selector; }
    const DeviceOptionList& Options() const { return m_options; }
    std::vector<CDeviceOptionUI*> DeviceOptions() const override { return m_options.Options(); }
    // The device of the current option; nullptr when none is shown.
    CZentrelUSBDevice* CurrentDevice() const override;
    NotificationRouter& Router() { return m_router; }
    MessageTable& Messages() { return m_messages; }
    TrayController& Tray() override { return *m_tray; }
    // Macro recording's input capture, and what starts and stops it.
    RecordingCapture& Capture() { return *m_capture; }
    MacroPageActions& MacroActions() { return *m_macroPageActions; }
    // The device selector and the current device's profile list take input
    // (`touchSelector`) when `free`; the key page's save buttons the other
    // way round. Locked while a recording runs.
    void SetEditButtonsEnabled(bool touchSelector, bool free) override;
    bool SelectorFree() const { return m_selectorFree; }
    InterfaceSlotTable& Slots() override { return m_slots; }
    DeviceLinkManager& Devices() { return *m_devices; }
    hid::HidBackend& Backend() { return m_backend; }

    // --- devices and lighting --------------------------------------------------
    void SetMultiDevice(bool multi) override;
    void SetLightControl(bool enabled);
    // Sets the lighting flag and the title bar's text for it.
    void SetLightControlEnabled(bool enabled);
    // The title bar's lighting switch: flips the flag, tells other programs
    // (LightStateMessage) and the devices.
    void ToggleLightControl();
    void SetAttention(bool attention);
    void ShowNoDeviceHint(bool show) override;
    void CloseChildWindows() override;
    // The child windows. Each comes with its own page; until then opening
    // one does nothing visible.
    void OpenSettingsWindow(bool centred);
    SettingsWindowLauncher& SettingsWindow() { return *m_settingsWindow; }
    // What MSG_START_FIRMWARE_UPDATE asks for, and whether an updater is at work.
    FirmwareUpdater& Updater() { return *m_updater; }
    bool UpdaterFlag() const override;
    SyncLightThread& SyncLight() override { return *m_syncLight; }
    SettingsStore& Settings() { return m_settings; }
    void OpenAboutWindow();
    void OpenAudioStyleWindow();

    // --- showing and hiding ------------------------------------------------
    void RestoreAndRaise() override;
    void HideToTray();
    void FitToMonitor() override;
    int Dpi() const { return m_dpi; }
    // The monitor rule: above 1500 x 960 physical pixels is DPI 144.
    static int DpiForScreen(QSize physicalSize);
    // The DPI of the screen the window is on (a dialog opened before the
    // window was fitted to it takes this too).
    int ScreenDpi() const;

    // --- language ------------------------------------------------------------
    int GetStartupLanguageIndex() { return m_language.StartupIndex(); }
    void ApplyLanguage(int index);
    int LanguageIndex() const { return m_language.Index(); }
    const std::optional<LanguageConfig>& Languages() { return m_language.Config(); }

    // --- what the message rows run ---------------------------------------------
    // Another start of the program, or the first scan pass: show the window.
    void OnInstanceMessage(uint32_t message, quintptr wParam, qintptr lParam);
    void OnPowerBroadcast(quintptr event);
    void OnDisplayChange();
    void OnRootResized() { m_displayChanged = false; }
    // Timer `id` fired: it is one-shot, so it is killed before its row runs.
    void OnTimer(int id);

    // --- application -----------------------------------------------------------
    // Window initialisation: language, device pages, the scan. Runs once the
    // event loop runs.
    void OnWindowInit();
    // Ends the program: child windows, workers, then the event loop.
    void Exit();
    // Exit was asked for (the tray's "exit", a declined firmware update, Quit).
    bool Exiting() const { return m_exiting; }
    // Stops the workers; safe to call twice. False when one overran its
    // bounded wait (it is joined all the same).
    bool Shutdown();
    bool Initialised() const { return m_initialised; }
    bool Awake() const { return m_awake; }
    bool LightControlEnabled() const { return m_lightControlEnabled; }
    // Whether the window was shown after the first scan pass.
    bool FirstPassShown() const { return m_firstPassShown; }
    // How often the window was asked to show itself (scan, second starts).
    int InstanceMessages() const { return m_instanceMessages; }
    // A JSON summary of the window and its devices (for scripts and tests).
    QString StatusJson() const;
    // What the application holds for the device of kind `kind` (the command
    // line's word), as JSON; empty when there is none.
    QString DeviceJson(const QString& kind) const;
    // The keyboard's key functions from other programs; "" or why not.
    // kind: "keyboard" or "mouse".
    QString AssignKey(const QString& kind, uint position, const QStringList& words);
    // These wait for the device off the UI thread, and answer through
    // `reply` ("" or why not).
    void SaveKeys(const QString& kind, std::function<void(const QString&)> reply);
    void SetLighting(const QString& kind, const QStringList& words, std::function<void(const QString&)> reply);
    // A registered message from another program; false when not accepted.
    bool PostFromOutside(const QString& name, quint32 wParam, qint64 lParam);
    // Copy-data from the audio-capture program: only the sizes its kind
    // holds are taken (kind 1 up to 4200 bytes, kind 2 up to 156).
    bool AcceptCopyData(quint32 kind, const QByteArray& data);
    // The light state other programs hear (wParam, lParam); empty handler: none.
    void SetLightStateSink(std::function<void(quint32, qint64)> sink) {
        m_lightStateSink = std::move(sink);
    }

    // A message box by text id (1 when confirmed), its text given `argument`
    // for a "%1" in it; the test seam hears the id.
    int Ask(const QString& textId, int buttons, const QString& argument = {}) override;
    // The same question under the title `titleId` rather than the box's own.
    int AskTitled(const QString& titleId, const QString& textId, int buttons);
    // The colour palette for sensitivity stage `stage` of the current mouse:
    // confirmed, the stage takes the colour (saved and written). One at a time.
    void OpenPaletteWindow(int stage) override;
    void EndRecording() override;
    // A file dialog (empty when cancelled), or what the test seam or
    // automation answers. It starts in the folder used last (the home folder
    // at first) with `suggested` as the name; a saved name without an
    // extension gets the kind's.
    QString AskFile(bool save, const QString& suggested = {}, FileKind kind = FileKind::kProfile) override;
    // The next file dialog returns `path` without showing ("" cancels it).
    void AnswerNextFileDialog(const QString& path) { m_files.AnswerNext(path); }
    void SetDialogs(AskUser askUser, AskPath askPath) {
        m_askUser = std::move(askUser);
        m_files.SetAsker(std::move(askPath));
    }

    // DeviceScanReceiver: called on the scan thread.
    void OnDeviceArrived(int slot) override;
    void OnDeviceRemoved(int slot) override;
    void OnFirstPassDone() override;
    void OnOpenFailed(const std::string& path, hid::HidError error) override;

    // What the "no device" panel offers when nothing is attached: the
    // virtual devices (empty handler: the button stays hidden).
    void SetVirtualDevicesHandler(std::function<void()> handler);
    void ShowVirtualDevices();
    // A supported device is attached but may not be opened by this user:
    // the panel says so and shows the command that installs the rule.
    void ShowPermissionHint();

signals:
    // The window showed itself after the first scan pass.
    void shownAfterFirstPass();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // On another monitor the monitor rule may choose another DPI: refit.
    void ScreenChanged() override;

private:
    void AddMenuItems();
    void SendLightState(quint32 wParam, qint64 lParam);

    hid::HidBackend& m_backend;
    SettingsStore& m_settings;
    InterfaceSlotTable m_slots;
    DeviceOptionList m_options;
    DeviceSelector m_selector;
    NotificationRouter m_router;
    MessageTable m_messages;
    MessageTable m_timers;
    LanguageSwitcher m_language;
    std::unique_ptr<DeviceLinkManager> m_devices;
    std::unique_ptr<TitleBarActions> m_titleBar;
    std::unique_ptr<ProfileActions> m_profileActions;
    std::unique_ptr<KeyPageActions> m_keyPageActions;
    std::unique_ptr<LightPageActions> m_lightPageActions;
    std::unique_ptr<RecordingCapture> m_capture;
    std::unique_ptr<MacroPageActions> m_macroPageActions;
    std::unique_ptr<MousePageActions> m_mousePageActions;
    std::unique_ptr<SystemPageActions> m_systemPageActions;
    std::unique_ptr<ShootPageActions> m_shootPageActions;
    std::unique_ptr<HeadsetPageActions> m_headsetPageActions;
    std::unique_ptr<MainWindowMessages> m_windowMessages;
    std::unique_ptr<TrayController> m_tray;
    std::unique_ptr<SettingsWindowLauncher> m_settingsWindow;
    std::unique_ptr<FirmwareUpdater> m_updater;
    std::unique_ptr<SyncLightThread> m_syncLight;
    std::unique_ptr<DeviceScanThread> m_scan;
    WorkerSlots m_workers;
    std::function<void(quint32, qint64)> m_lightStateSink;
    std::function<void()> m_virtualDevices;
    bool m_permissionHintShown = false;
    AskUser m_askUser;
    FileChooser m_files;
    StagePalette m_palette;
    int m_dpi = 96;  // the window's, once fitted to its screen
    bool m_lightControlEnabled = true;
    bool m_windowActive = false;
    bool m_userAttention = false;
    bool m_displayChanged = false;
    bool m_initialised = false;
    bool m_awake = true;
    bool m_selectorFree = true;
    bool m_firstPassShown = false;
    bool m_shutDown = false;
    bool m_exiting = false;
    int m_instanceMessages = 0;
    AudioCopyData m_audioData;
    SpectrumBands m_spectrum;
};

}  // namespace kx520
