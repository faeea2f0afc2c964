#include "app/CMainWnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTimer>

#include "catalog/DeviceCatalog.h"
#include "devicelink/DeviceLinkManager.h"
#include "app/FirmwareUpdater.h"
#include "app/MainWindowControls.h"
#include "app/SettingsWindowLauncher.h"
#include "app/MainWindowMessages.h"
#include "pageactions/KeyPageActions.h"
#include <cstring>
#include "pageactions/LightPageActions.h"
#include "scripting/LightingCommand.h"
#include "pageactions/MacroPageActions.h"
#include "pageactions/HeadsetPageActions.h"
#include "pageactions/MousePageActions.h"
#include "pageactions/ShootPageActions.h"
#include "pageactions/SystemPageActions.h"
#include "pageactions/RecordingCapture.h"
#include "pageactions/ProfileActions.h"
#include "messages/RegisteredMessages.h"
#include "app/TitleBarActions.h"
#include "scripting/DeviceCommand.h"
#include "appwindow/TrayController.h"
#include "discovery/UdevRule.h"
#include "app/WindowStatus.h"
#include "deviceui/CDeviceOptionUI.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "devicebase/SyncLightThread.h"
#include "pages/CKeySetControlUI.h"
#include "profileui/CDeviceProfileUI.h"
#include "platform/DataFolders.h"
#include "platform/DebugTrace.h"
#include "desktop/SettingsStore.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/MessageRegistry.h"
#include "windows/CMsgWnd.h"

namespace kx520 {

CMainWnd::CMainWnd(hid::HidBackend& backend, SettingsStore& settings)
    : m_backend(backend), m_settings(settings), m_options(*this), m_selector(m_options),
      m_language(settings, ShippedDataFolder("DefaultData") + "/Language.config"),
      m_devices(std::make_unique<DeviceLinkManager>(*this, m_selector, m_options)),
      m_titleBar(std::make_unique<TitleBarActions>(*this)),
      m_profileActions(std::make_unique<ProfileActions>(*this)),
      m_keyPageActions(std::make_unique<KeyPageActions>(*this)),
      m_lightPageActions(std::make_unique<LightPageActions>(*this, *m_devices)),
      m_capture(std::make_unique<RecordingCapture>(
          *this, InputCapture::ChoiceFromName(qEnvironmentVariable("KX520_INPUT_CAPTURE").toStdString()))),
      m_macroPageActions(std::make_unique<MacroPageActions>(*this, *m_capture)),
      m_mousePageActions(std::make_unique<MousePageActions>(*this)),
      m_systemPageActions(std::make_unique<SystemPageActions>(*this)),
      m_shootPageActions(std::make_unique<ShootPageActions>(*this)),
      m_headsetPageActions(std::make_unique<HeadsetPageActions>(*this)),
      m_windowMessages(std::make_unique<MainWindowMessages>(*this)),
      m_tray(std::make_unique<TrayController>(*this)),
      m_settingsWindow(std::make_unique<SettingsWindowLauncher>(*this)),
      m_updater(std::make_unique<FirmwareUpdater>(*this)),
      m_syncLight(std::make_unique<SyncLightThread>()) {
    setWindowTitle(QLatin1String(kProductName));
    // Routing order matters where names could overlap: the window's own
    // controls first, then the selector, then the profile list.
    m_titleBar->AddRoutes(m_router);
    m_options.AddRoutes(m_router, m_selector);
    m_profileActions->AddRoutes(m_router, m_timers);
    m_keyPageActions->AddRoutes(m_router);
    m_lightPageActions->AddRoutes(m_router);
    m_macroPageActions->AddRoutes(m_router);
    m_mousePageActions->AddRoutes(m_router);
    m_systemPageActions->AddRoutes(m_router);
    m_shootPageActions->AddRoutes(m_router);
    m_headsetPageActions->AddRoutes(m_router);
    m_windowMessages->AddTo(m_messages, m_timers);
    m_tray->AddMessages(m_messages, m_timers);
    AddMenuItems();
}

CMainWnd::~CMainWnd() {
    Shutdown();
}

void CMainWnd::AddMenuItems() {
    m_tray->AddMenuItem("exit", [this] { Exit(); });
    m_tray->AddMenuItem("about_menu", [this] { OpenAboutWindow(); });
    m_tray->AddMenuItem("setwnd_menu", [this] { OpenSettingsWindow(false); });
    // The macro-action items come with the macro page and its recorder.
}

void CMainWnd::InitWindow() {
    DebugTrace("InitWindow");
    setWindowIcon(QIcon(ui::CResourceManager::Instance().ResolvePath(
        QStringLiteral("common/app_icon.png"))));
    m_tray->CreateIcon();
    // A monitor that changes size or comes and goes refits the window.
    auto displayChanged = [this] { PostMessage(msg::kDisplayChange, 0, 0); };
    connect(qApp, &QGuiApplication::screenAdded, this, displayChanged);
    connect(qApp, &QGuiApplication::screenRemoved, this, displayChanged);
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        connect(primary, &QScreen::geometryChanged, this, displayChanged);
    }
    // Window initialisation runs once the event loop does, as after the
    // first paint; the window stays hidden until the first scan pass.
    QTimer::singleShot(0, this, [this] { OnWindowInit(); });
}

ui::CControlUI* CMainWnd::CreateControl(const QString& tag) {
    return CreateMainWindowControl(tag, m_backend, GetPaintManager());
}

void CMainWnd::Notify(const ui::Notification& notification) {
    m_router.Route(notification);
}

qintptr CMainWnd::HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                      bool& handled) {
    const auto outcome = m_messages.Dispatch(message, wParam, lParam, m_awake);
    if (outcome == MessageTable::Outcome::Consumed) {
        handled = true;
    }
    return 0;
}

void CMainWnd::OnTimer(int id) {
    KillTimer(id);
    m_timers.Dispatch(static_cast<uint32_t>(id), 0, 0, true);
}

// --- window initialisation and shutdown ---------------------------------------

void CMainWnd::OnWindowInit() {
    if (m_initialised || m_shutDown) {
        return;
    }
    SendLightState(1, 1);
    ApplyLanguage(GetStartupLanguageIndex());
    // A device's page is built when the device first arrives: building every
    // page here held the window back by half a second.
    hide();
    m_scan = std::make_unique<DeviceScanThread>(m_backend, m_slots, *this);
    m_scan->Start();
    m_workers.Add(*m_scan);
    m_syncLight->Start();
    SetTimer(kFitTimer, 100);
    m_initialised = true;
}

bool CMainWnd::Shutdown() {
    if (m_shutDown) {
        return true;
    }
    m_shutDown = true;
    DebugTrace("退出测试");
    m_macroPageActions->StopRecording(false);  // no capture outlives the window
    hide();
    // The devices outlive this object's members: they let go of it first.
    for (CDeviceOptionUI* option : m_options.Options()) {
        if (option->Device() != nullptr) {
            option->Device()->SetSyncLight(nullptr);
        }
    }
    m_syncLight->Stop();
    const bool inTime = m_workers.StopAll();
    m_tray->HideIcon();
    return inTime;
}

void CMainWnd::Exit() {
    m_exiting = true;
    CloseChildWindows();
    Shutdown();
    QCoreApplication::quit();
}

void CMainWnd::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        WindowImplBase::closeEvent(event);
        return;
    }
    event->ignore();
    HideToTray();
}

void CMainWnd::HideToTray() {
    CloseChildWindows();
    // Without a tray there would be no way back: minimise instead.
    if (m_tray->IconShown()) {
        hide();
    } else {
        showMinimized();
    }
}

// --- scan thread --------------------------------------------------------------

void CMainWnd::OnDeviceArrived(int slot) {
    qintptr result = 0;
    SendMessage(msg::kDeviceArrived, static_cast<quintptr>(slot), 0, m_scan->StopToken(), &result);
}

void CMainWnd::OnDeviceRemoved(int slot) {
    qintptr result = 0;
    SendMessage(msg::kDeviceRemoved, static_cast<quintptr>(slot), 0, m_scan->StopToken(), &result);
}

void CMainWnd::OnOpenFailed(const std::string& path, hid::HidError error) {
    (void)path;
    // On the scan thread: the panel is the UI thread's.
    PostMessage(msg::kDeviceUnusable, static_cast<quintptr>(error), 0);
}

void CMainWnd::SetVirtualDevicesHandler(std::function<void()> handler) {
    m_virtualDevices = std::move(handler);
    if (ui::CControlUI* button = FindControl(QStringLiteral("no_device_simulate_btn"))) {
        button->SetVisible(m_virtualDevices != nullptr && !m_permissionHintShown);
    }
}

void CMainWnd::ShowVirtualDevices() {
    if (m_virtualDevices) {
        m_virtualDevices();
    }
}

void CMainWnd::ShowPermissionHint() {
    if (m_permissionHintShown) {
        return;
    }
    m_permissionHintShown = true;
    // The two commands of the hint kx520ctl prints, without its sentence.
    QStringList commands;
    for (const QString& line : QString::fromStdString(UdevRuleHint()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("    "))) {
            commands << line.trimmed();
        }
    }
    if (ui::CControlUI* fix = FindControl(QStringLiteral("no_device_fix"))) {
        fix->SetText(commands.join(QLatin1Char('\n')));
        fix->SetVisible(true);
    }
    for (const auto& [name, shown] : {std::pair{"no_device_reason", true},
                                      std::pair{"no_device_hint", false},
                                      std::pair{"no_device_simulate_btn", false}}) {
        if (ui::CControlUI* control = FindControl(QLatin1String(name))) {
            control->SetVisible(shown);
        }
    }
}

void CMainWnd::OnFirstPassDone() {
    PostMessage(ui::RegisterWindowMessage(QLatin1String(kInstanceMessage.registration)), 0, 0);
}

// --- what the message rows run ------------------------------------------------

void CMainWnd::OnInstanceMessage(uint32_t message, quintptr wParam, qintptr lParam) {
    DebugTrace(QStringLiteral("软件标示 %1，%2%3")
                   .arg(message)
                   .arg(wParam, 0, 16)
                   .arg(lParam, 0, 16)
                   .toStdString());
    ++m_instanceMessages;
    RestoreAndRaise();
    if (!m_firstPassShown) {
        m_firstPassShown = true;
        emit shownAfterFirstPass();
    }
}

void CMainWnd::OnPowerBroadcast(quintptr event) {
    if (event == msg::kPowerResume) {
        m_awake = true;
        SetLightControl(m_lightControlEnabled);
    } else if (event == msg::kPowerSuspend) {
        m_awake = false;
        SetLightControl(false);
    }
}

void CMainWnd::OnDisplayChange() {
    m_displayChanged = true;
    FitToMonitor();
}

bool CMainWnd::PostFromOutside(const QString& name, quint32 wParam, qint64 lParam) {
    const RegisteredMessage* message = FindRegisteredMessage(name.toStdString());
    if (message == nullptr) {
        return false;
    }
    const uint32_t number = ui::RegisterWindowMessage(QLatin1String(message->registration));
    const MessageRule* rule = m_messages.Find(number);
    if (rule == nullptr || !rule->fromOtherPrograms) {
        return false;
    }
    PostMessage(number, wParam, static_cast<qintptr>(lParam));
    return true;
}

bool CMainWnd::AcceptCopyData(quint32 kind, const QByteArray& data) {
    if (!m_audioData.Accept(kind, data.constData(), static_cast<size_t>(data.size()))) {
        return false;
    }
    const auto& keyboards = m_devices->DevicesOf(DeviceLinkManager::Keyboards);
    CZentrelUSBDevice* keyboard = keyboards.empty() ? nullptr : keyboards.front();
    if (kind == AudioCopyData::kSpectrum) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(m_audioData.Spectrum().data());
        const auto bands = m_spectrum.Take(std::span<const uint8_t>(bytes, SpectrumBands::kFrameBytes));
        if (bands && keyboard != nullptr) {
            keyboard->SetAudioBands(bands->data(), bands->size());
        }
        return true;
    }
    // The music state: six 32-bit values at its start.
    std::array<int, 6> values{};
    std::memcpy(values.data(), m_audioData.State().data(), sizeof values);
    if (keyboard != nullptr) {
        keyboard->SetHostValues(values.data(), values.size());
    }
    return true;
}

// --- dialogs --------------------------------------------------------------------

int CMainWnd::Ask(const QString& textId, int buttons, const QString& argument) {
    if (m_askUser) {
        return m_askUser(textId, buttons);
    }
    if (argument.isEmpty()) {
        return ShowMessageBox(this, {}, textId, ScreenDpi(), 1, buttons);
    }
    const QString text = ui::CResourceManager::Instance().GetText(textId).arg(argument);
    return ShowMessageBox(this, {}, text, ScreenDpi(), 0, buttons);
}

int CMainWnd::AskTitled(const QString& titleId, const QString& textId, int buttons) {
    if (m_askUser) {
        return m_askUser(textId, buttons);
    }
    return ShowMessageBox(this, titleId, textId, ScreenDpi(), 1, buttons);
}

void CMainWnd::EndRecording() {
    m_macroPageActions->StopRecording(false);
}

void CMainWnd::OpenPaletteWindow(int stage) {
    m_palette.Open(this, dynamic_cast<CZentrelMouseDevice*>(CurrentDevice()), stage, ScreenDpi());
}

QString CMainWnd::AskFile(bool save, const QString& suggested, FileKind kind) {
    const FileChooser::Kind chosen = kind == FileKind::kMacro   ? FileChooser::Kind::kMacro
                                     : kind == FileKind::kShoot ? FileChooser::Kind::kShoot
                                                                : FileChooser::Kind::kProfile;
    return m_files.Ask(this, save, suggested, chosen);
}

void CMainWnd::OpenSettingsWindow(bool centred) {
    m_settingsWindow->Open(centred);
}

bool CMainWnd::UpdaterFlag() const {
    return m_updater->Flag();
}

void CMainWnd::OpenAboutWindow() {
    // The about window lands with its own page.
}

void CMainWnd::OpenAudioStyleWindow() {
    // The audio-style window lands with the audio services.
}

void CMainWnd::CloseChildWindows() {
    m_tray->CloseMenu();
    m_settingsWindow->Close();
    // The palette runs modally and closes with its own loop; the about and
    // audio-style windows come with their own pages.
}

// --- devices and lighting ---------------------------------------------------------

void CMainWnd::SetEditButtonsEnabled(bool touchSelector, bool free) {
    CZentrelUSBDevice* device = CurrentDevice();
    if (touchSelector) {
        if (ui::CControlUI* selector = FindControl(QStringLiteral("device_select_layout"))) {
            selector->SetEnabled(free);
        }
        // The profile list and what changes it; the editor tabs stay, and
        // leaving the macro page ends its recording.
        for (const char* name : {"device_profile_combo", "profile_fun_spread_btn", "device_add_btn",
                                 "device_sub_btn", "device_copy_btn", "device_export_btn", "device_import_btn",
                                 "device_reset_btn", "device_profile_edit_save_btn"}) {
            ui::CControlUI* control =
                device != nullptr && device->ProfileControl() != nullptr
                    ? ui::CPaintManagerUI::FindSubControlByName(device->ProfileControl(), QLatin1String(name))
                    : nullptr;
            if (control != nullptr) {
                control->SetEnabled(free);
            }
        }
    }
    if (device != nullptr && device->KeyPage() != nullptr) {
        device->KeyPage()->EnableEdits(!free);
    }
    m_selectorFree = free;
}

CZentrelUSBDevice* CMainWnd::CurrentDevice() const {
    const CDeviceOptionUI* option = m_options.OptionAt(m_selector.CurrentIndex());
    return option != nullptr ? option->Device() : nullptr;
}

void CMainWnd::SetMultiDevice(bool multi) {
    for (auto kind : {DeviceLinkManager::Keyboards, DeviceLinkManager::Mice, DeviceLinkManager::MousePads,
                      DeviceLinkManager::Headsets}) {
        for (CZentrelUSBDevice* device : m_devices->DevicesOf(kind)) {
            device->SetMultiDevice(multi);
            if (!multi) {
                device->SetSynchronised(false);  // one device has nothing to be in step with
            }
        }
    }
}

void CMainWnd::SetLightControl(bool enabled) {
    for (auto kind : {DeviceLinkManager::Mice, DeviceLinkManager::MousePads,
                      DeviceLinkManager::Keyboards}) {
        for (CZentrelUSBDevice* device : m_devices->DevicesOf(kind)) {
            device->SetHostLightControl(enabled);
        }
    }
}

void CMainWnd::SetLightControlEnabled(bool enabled) {
    m_lightControlEnabled = enabled;
    if (ui::CControlUI* status = FindControl(QStringLiteral("control_light_status"))) {
        status->SetText(enabled ? QStringLiteral("main_light_control_on")
                                : QStringLiteral("main_light_control_off"));
    }
}

void CMainWnd::ToggleLightControl() {
    SetLightControlEnabled(!m_lightControlEnabled);
    SendLightState(1, m_lightControlEnabled ? 1 : 0);
    SetLightControl(m_lightControlEnabled);
}

void CMainWnd::SendLightState(quint32 wParam, qint64 lParam) {
    if (m_lightStateSink) {
        m_lightStateSink(wParam, lParam);
    }
}

void CMainWnd::SetAttention(bool attention) {
    // The device kinds that slow their effects while unattended take this.
    m_userAttention = attention;
}

void CMainWnd::ShowNoDeviceHint(bool show) {
    if (ui::CControlUI* hint = FindControl(QStringLiteral("No_device_Link"))) {
        hint->SetVisible(show);
    }
}

// --- showing and hiding -------------------------------------------------------

void CMainWnd::RestoreAndRaise() {
    ShowNoDeviceHint(m_selector.ShownCount() == 0);
    if (isMinimized()) {
        showNormal();
    }
    show();
    // Headless platforms have no stacking order to change.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }
}

int CMainWnd::DpiForScreen(QSize physicalSize) {
    return physicalSize.width() > 1500 && physicalSize.height() > 960 ? 144 : 96;
}

int CMainWnd::ScreenDpi() const {
    const QScreen* monitor = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return monitor != nullptr ? DpiForScreen(monitor->geometry().size() * monitor->devicePixelRatio()) : 96;
}

void CMainWnd::FitToMonitor() {
    const bool visible = isVisible() && !isMinimized();
    m_dpi = ScreenDpi();
    SetDPI(96);
    SetLayoutSize(QSize(1000, 640));
    SetDPI(m_dpi);
    CenterWindow();
    setVisible(visible);
}

void CMainWnd::ScreenChanged() {
    PostMessage(msg::kDisplayChange, 0, 0);
}

void CMainWnd::ApplyLanguage(int index) {
    if (!m_language.Apply(index, GetPaintManager())) {
        return;
    }
    auto& resources = ui::CResourceManager::Instance();
    for (CDeviceOptionUI* option : m_options.Options()) {
        option->SetDeviceName(resources.GetText(option->NameKey()));
        // Keys' tool-tips are texts of the language, made when they were named.
        if (auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(option->Device())) {
            keyboard->RefreshKeyLabels();
        }
    }
    ReloadTitle();
    update();
    m_settingsWindow->LanguageApplied();
}

QString CMainWnd::StatusJson() const {
    return WindowStatusJson(*this);
}

QString CMainWnd::DeviceJson(const QString& kind) const {
    return DeviceStatusJson(*this, kind);
}

QString CMainWnd::AssignKey(const QString& kind, uint position, const QStringList& words) {
    return DeviceCommand::AssignKey(*this, kind, position, words);
}

void CMainWnd::SetLighting(const QString& kind, const QStringList& words,
                           std::function<void(const QString&)> reply) {
    DeviceCommand::SetLighting(*this, kind, words, std::move(reply));
}

void CMainWnd::SaveKeys(const QString& kind, std::function<void(const QString&)> reply) {
    DeviceCommand::SaveKeys(*this, kind, std::move(reply));
}

// --- attention ----------------------------------------------------------------

void CMainWnd::changeEvent(QEvent* event) {
    WindowImplBase::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        m_windowActive = isActiveWindow();
        m_userAttention = m_windowActive;
        SetAttention(m_userAttention);
    }
}

void CMainWnd::enterEvent(QEnterEvent* event) {
    WindowImplBase::enterEvent(event);
    DebugTrace("鼠标移入");
    if (!m_windowActive) {
        SetAttention(true);
    }
}

void CMainWnd::leaveEvent(QEvent* event) {
    WindowImplBase::leaveEvent(event);
    DebugTrace("鼠标移出");
    if (!m_windowActive) {
        SetAttention(false);
    }
}

}  // namespace kx520
