#include "app/CMainWnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>

#include "app/DeviceCatalog.h"
#include "app/DeviceLinkManager.h"
#include "app/ProfileActions.h"
#include "app/RegisteredMessages.h"
#include "devices/CZentrelUSBDevice.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "devices/CDeviceOptionUI.h"
#include "pages/CSelectPanelUI.h"
#include "platform/DataFolders.h"
#include "platform/DebugTrace.h"
#include "platform/SettingsStore.h"
#include "windows/CMsgWnd.h"
#include "ui/CContainerUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CMenuWnd.h"
#include "ui/COptionUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "ui/MessageRegistry.h"

namespace kx520 {

namespace {

constexpr const char* kMenuLayout = "XML/menu.xml";
constexpr const char* kFontFace = "Verdana Unicode MS";
// Mouse messages of the tray icon, as the tray reports them.
constexpr qintptr kTrayLeftUp = 0x0202;
constexpr qintptr kTrayRightUp = 0x0205;

// Control trees built from their own files, bound to the window.
struct TreeTag {
    const char* tag;
    const char* file;
};
constexpr TreeTag kTreeTags[] = {
    {"DeviceProfileUI", "XML/CustomControlXML/DeviceProfile.xml"},
    {"LightSetControlUI", "XML/CustomControlXML/LightControl.xml"},
    {"Voice6533SetControlUI", "XML/CustomControlXML/Voice6533Control.xml"},
    {"MagicSetControlUI", "XML/CustomControlXML/MagicControl.xml"},
    {"KeySetControlUI", "XML/CustomControlXML/KeySetControl.xml"},
    {"MacroSetControlUI", "XML/CustomControlXML/MacroControl.xml"},
    {"ShootKeySetControlUI", "XML/CustomControlXML/ShootControl.xml"},
    {"VirtualSetControlUI", "XML/CustomControlXML/VirtualSet.xml"},
};

// The font table applied with every language that needs it.
struct FontRow {
    int id;
    int size;
    bool underline;
    bool bold;
};
constexpr FontRow kFontTable[] = {
    {0, 15, false, false}, {-1, 14, false, false}, {1, 14, true, false}, {2, 18, false, false},
    {3, 30, false, false}, {4, 16, false, false},  {5, 20, false, false}, {6, 22, false, false},
    {7, 14, false, false}, {8, 12, false, false},  {9, 11, false, false}, {10, 10, false, false},
    {11, 28, false, false}, {50, 18, false, true},
};

bool RebuildsFonts(int index) {
    return index == -1 || index == 0 || index == 2 || index == 15;
}

}  // namespace

CMainWnd::CMainWnd(hid::HidBackend& backend, SettingsStore& settings)
    : m_backend(backend), m_settings(settings),
      m_devices(std::make_unique<DeviceLinkManager>(*this)),
      m_profileActions(std::make_unique<ProfileActions>(*this)) {
    setWindowTitle(QLatin1String(kProductName));
}

CMainWnd::~CMainWnd() {
    Shutdown();
    delete m_tray;
}

ui::CControlUI* CMainWnd::Control(const char* name) const {
    return FindControl(QLatin1String(name));
}

void CMainWnd::InitWindow() {
    DebugTrace("InitWindow");
    setWindowIcon(QIcon(ui::CResourceManager::Instance().ResolvePath(
        QStringLiteral("common/app_icon.png"))));
    CreateTrayIcon();
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
    // Until the device kinds have their own classes, each kind's page is
    // the device base, which already streams, listens and binds its page.
    static const char* const kDeviceTags[] = {"ZentrelMousePadDevice", "ZentrelHS6533Device",
                                              "ZentrelMouseDevice", "ZentrelKeyboardDevice"};
    for (const char* deviceTag : kDeviceTags) {
        if (tag.compare(QLatin1String(deviceTag), Qt::CaseInsensitive) == 0) {
            return new CZentrelUSBDevice(m_backend);
        }
    }
    if (tag.compare(QLatin1String("SelectPanel"), Qt::CaseInsensitive) == 0) {
        return new CSelectPanelUI();
    }
    if (tag.compare(QLatin1String("DeviceKeyButton"), Qt::CaseInsensitive) == 0) {
        return new CDeviceKeyButtonUI();
    }
    for (const TreeTag& tree : kTreeTags) {
        if (tag.compare(QLatin1String(tree.tag), Qt::CaseInsensitive) == 0) {
            ui::CDialogBuilder builder;
            QString error;
            ui::CControlUI* control = builder.Create(QLatin1String(tree.file), &GetPaintManager(),
                                                     nullptr, &error);
            if (control == nullptr) {
                DebugTrace(("control tree not built: " + error).toStdString());
            }
            return control;
        }
    }
    // Any other tag is the toolkit's own or a registered class.
    return nullptr;
}

// --- window initialisation and shutdown ---------------------------------------

void CMainWnd::OnWindowInit() {
    if (m_initialised || m_shutDown) {
        return;
    }
    SendLightState(1, 1);
    ApplyLanguage(GetStartupLanguageIndex());
    for (int row : {0, 1}) {
        const DeviceCatalogEntry& entry = kDeviceCatalog[static_cast<size_t>(row)];
        const int slot = m_devices->FindPrimarySlot(static_cast<uint16_t>(entry.vendorId),
                                                    static_cast<uint16_t>(entry.productId),
                                                    static_cast<uint16_t>(entry.deviceClass), 0);
        m_devices->CreateDevicePage(slot);
    }
    hide();
    m_scan = std::make_unique<DeviceScanThread>(m_backend, m_slots, *this);
    m_scan->Start();
    SetTimer(kFitTimer, 100);
    m_initialised = true;
}

void CMainWnd::Shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    DebugTrace("退出测试");
    hide();
    if (m_scan) {
        m_scan->Stop();
        DebugTrace("所有对象处于激发状态\n");
    }
    if (m_tray != nullptr) {
        m_tray->hide();
    }
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
    if (m_tray != nullptr && m_tray->isVisible()) {
        hide();
    } else {
        showMinimized();
    }
}

void CMainWnd::CreateTrayIcon() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    m_tray = new QSystemTrayIcon(windowIcon());
    m_tray->setToolTip(QLatin1String(kProductName));
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const qintptr mouse =
                    reason == QSystemTrayIcon::Context ? kTrayRightUp : kTrayLeftUp;
                SendMessage(msg::kTrayIcon, 107, mouse);
            });
    m_tray->show();
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

void CMainWnd::OnFirstPassDone() {
    PostMessage(ui::RegisterWindowMessage(QLatin1String(kInstanceMessage.registration)), 0, 0);
}

// --- notifications --------------------------------------------------------------

void CMainWnd::Notify(const ui::Notification& notification) {
    const QString name = notification.sender != nullptr ? notification.sender->GetName() : QString();
    auto is = [&name](const char* wanted) {
        return name.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0;
    };
    if (notification.type == QLatin1String(ui::notify::kClick)) {
        if (is("closebtn")) {
            HideToTray();
        } else if (is("nodevice_ok_btn")) {
            hide();
        } else if (is("control_light_status")) {
            ToggleLightControl();
        } else if (is("setbtn")) {
            OpenSettingsWindow(true);
        } else if (is("minbtn")) {
            showMinimized();
        } else if (is("device_select_prev")) {
            SelectPreviousDevice();
        } else if (is("device_select_next")) {
            SelectNextDevice();
        } else {
            m_profileActions->OnClick(name);
        }
        return;
    }
    if (notification.type == QLatin1String(ui::notify::kItemSelect) &&
        is("device_profile_combo")) {
        SetTimer(kProfileSwitchTimer, 400);
        return;
    }
    if (notification.type == QLatin1String(ui::notify::kSelectChanged)) {
        if (is("device_select") || is("device_option")) {
            OnDeviceOptionSelected();
            return;
        }
        static const char* const kTabs[] = {"deng_Op_tab",   "key_Op_tab",   "macro_Op_tab",
                                            "system_Op_tab", "cursor_Op_tab", "6533_voice_Op_tab",
                                            "magic_Op_tab",  "Virtual7.1_Op_tab"};
        for (int tab = 0; tab < 8; ++tab) {
            auto* option = dynamic_cast<ui::COptionUI*>(notification.sender);
            if (is(kTabs[tab]) && option != nullptr && option->IsSelected()) {
                m_profileActions->OnEditorTab(tab + 1);
            }
        }
        return;
    }
    if (notification.type == QLatin1String(ui::notify::kWindowSize) && is("root")) {
        m_displayChanged = false;
    }
}

// --- messages -------------------------------------------------------------------

qintptr CMainWnd::HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                      bool& handled) {
    if (HandleRegistered(message, wParam, lParam)) {
        return 0;
    }
    if (message == msg::kPowerBroadcast) {
        OnPowerBroadcast(wParam);
        return 0;
    }
    // Arrivals and removals are always handled: the scan has already
    // changed the slots, and dropping them would leave devices half-known.
    if (message == msg::kDeviceArrived) {
        m_devices->OnDeviceArrived(static_cast<int>(wParam));
        return 0;
    }
    if (message == msg::kDeviceRemoved) {
        m_devices->OnDeviceRemoved(static_cast<int>(wParam));
        return 0;
    }
    if (!m_awake) {
        return 0;
    }
    switch (message) {
        case msg::kDisplayChange:
            DebugTrace("显示器分辨率发生变化");
            m_displayChanged = true;
            FitToMonitor();
            break;
        case ui::kMsgTimer:
            OnTimer(static_cast<int>(wParam));
            break;
        case msg::kTrayIcon:
            OnTrayMessage(lParam);
            break;
        case msg::kMenuClick: {
            handled = true;
            const auto* command = reinterpret_cast<const ui::MenuCommand*>(wParam);
            if (command != nullptr) {
                OnMenuClick(command->name);
            }
            break;
        }
        case msg::kDpiNotice:
            DebugTrace("界面 DPI 1发生变化");
            break;
        case msg::kShowSettingProgress:
            if (ui::CControlUI* progress = Control("setting_progress")) {
                progress->SetVisible(true);
            }
            break;
        case msg::kLanguageChanged:
            ApplyLanguage(static_cast<int>(wParam));
            break;
        case msg::kOpenSettings:
            OpenSettingsWindow(true);
            break;
        case msg::kClearSettingsBadge:
            if (ui::CControlUI* settings = Control("setbtn")) {
                settings->SetAttribute(QStringLiteral("foreimage"), QString());
            }
            break;
        case msg::kDevicePresence:
            if (lParam == 0) {
                HideDeviceOption(static_cast<int>(wParam));
                DebugTrace("2.4gcesvdfherhue 1");
            } else {
                const auto options = DeviceOptions();
                if (wParam < options.size() && !options[wParam]->IsOptionVisible()) {
                    int first = -1;
                    int shown = 0;
                    CountShownOptions(first, shown);
                    ShowDeviceOption(static_cast<int>(wParam), true, shown == 0);
                }
            }
            break;
        default:
            break;
    }
    return 0;
}

bool CMainWnd::HandleRegistered(uint32_t message, quintptr wParam, qintptr lParam) {
    const QString name = ui::RegisteredMessageName(message);
    if (name.isEmpty()) {
        return false;
    }
    if (name == QLatin1String(kInstanceMessage.registration)) {
        DebugTrace(QStringLiteral("软件标示 %1，%2%3").arg(message).arg(wParam, 0, 16).arg(lParam, 0, 16).toStdString());
        ++m_instanceMessages;
        RestoreAndRaise();
        if (!m_firstPassShown) {
            m_firstPassShown = true;
            emit shownAfterFirstPass();
        }
        return true;
    }
    if (name == QLatin1String(kLightCommandMessage.registration)) {
        if (wParam == 1) {
            if (lParam == 0) {
                m_lightControlEnabled = false;
                SetText("control_light_status", QStringLiteral("不控制灯光"));
            } else if (lParam == 1) {
                m_lightControlEnabled = true;
                SetText("control_light_status", QStringLiteral("控制灯光"));
            }
            SetLightControl(m_lightControlEnabled);
        }
        return true;
    }
    // The settings relay, the work tool's query, the input hook's messages
    // and the game events go to the settings window, the background
    // services and the macro pages, which come with their own issues; until
    // then they are taken and change nothing here.
    return true;
}

void CMainWnd::ToggleLightControl() {
    m_lightControlEnabled = !m_lightControlEnabled;
    SendLightState(1, m_lightControlEnabled ? 1 : 0);
    SetText("control_light_status",
            m_lightControlEnabled ? QStringLiteral("控制灯光") : QStringLiteral("不控制灯光"));
    SetLightControl(m_lightControlEnabled);
}

bool CMainWnd::PostFromOutside(const QString& name, quint32 wParam, qint64 lParam) {
    const RegisteredMessage* message = FindRegisteredMessage(name.toStdString());
    if (message == nullptr || !message->fromOutside) {
        return false;
    }
    PostMessage(ui::RegisterWindowMessage(QLatin1String(message->registration)), wParam,
                static_cast<qintptr>(lParam));
    return true;
}

bool CMainWnd::AcceptCopyData(quint32 kind, const QByteArray& data) {
    const auto size = static_cast<size_t>(data.size());
    if (size == 0) {
        return false;
    }
    // The music pages that read these buffers come with the audio services.
    if (kind == 1 && size <= m_audioData.size()) {
        std::copy(data.begin(), data.end(), m_audioData.begin());
        return true;
    }
    if (kind == 2 && size <= m_audioState.size()) {
        std::copy(data.begin(), data.end(), m_audioState.begin());
        return true;
    }
    return false;
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

void CMainWnd::OnTimer(int id) {
    KillTimer(id);
    if (id == kFitTimer) {
        FitToMonitor();
        update();
    } else if (id == kTrayMenuTimer) {
        ShowTrayMenu();
    } else if (id == kProfileSwitchTimer) {
        m_profileActions->SwitchProfile();
    }
}

int CMainWnd::Ask(const QString& textId, int buttons) {
    if (m_askUser) {
        return m_askUser(textId, buttons);
    }
    return ShowMessageBox(this, {}, textId, m_dpi, 1, buttons);
}

QString CMainWnd::AskFile(bool save) {
    const QString filter = ui::CResourceManager::Instance().GetText(QStringLiteral("profile_files")) +
                           QStringLiteral(" (*.json *.JSON *.Json)");
    if (m_askPath) {
        return m_askPath(save, filter);
    }
    return save ? QFileDialog::getSaveFileName(this, QString(), QString(), filter)
                : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
}

void CMainWnd::OnTrayMessage(qintptr mouseMessage) {
    if (mouseMessage == kTrayRightUp) {
        SetTimer(kTrayMenuTimer, 10);
        return;
    }
    if (mouseMessage != kTrayLeftUp) {
        return;
    }
    int first = -1;
    int shown = 0;
    CountShownOptions(first, shown);
    if (shown == 0) {
        ShowNoDeviceHint(true);
    }
    CloseChildWindows();
    if (isVisible() && !isMinimized()) {
        hide();
        return;
    }
    FitToMonitor();
    RestoreAndRaise();
}

void CMainWnd::ShowTrayMenu() {
    if (m_trayMenu) {
        m_trayMenu->close();
    }
    QString error;
    m_trayMenu = ui::CMenuWnd::Show(this, QLatin1String(kMenuLayout), QCursor::pos(),
                                    ui::CMenuWnd::kAlignLeft | ui::CMenuWnd::kAlignBottom, &error);
    if (!m_trayMenu) {
        DebugTrace(("tray menu not built: " + error).toStdString());
    }
}

void CMainWnd::OnMenuClick(const QString& item) {
    if (item == QLatin1String("exit")) {
        Exit();
    } else if (item == QLatin1String("about_menu")) {
        OpenAboutWindow();
    } else if (item == QLatin1String("setwnd_menu")) {
        OpenSettingsWindow(false);
    }
    // The macro-action items belong to the macro page and its recorder.
}

void CMainWnd::OpenSettingsWindow(bool centred) {
    // The settings window lands with its own page.
    (void)centred;
}

void CMainWnd::OpenAboutWindow() {
    // The about window lands with its own page.
}

void CMainWnd::OpenAudioStyleWindow() {
    // The audio-style window lands with the audio services.
}

void CMainWnd::OpenPaletteWindow(int optionIndex) {
    // The colour palette lands with the lighting page.
    (void)optionIndex;
}

void CMainWnd::SetText(const char* control, const QString& text) {
    if (ui::CControlUI* found = Control(control)) {
        found->SetText(text);
    }
}

void CMainWnd::SendLightState(quint32 wParam, qint64 lParam) {
    if (m_lightStateSink) {
        m_lightStateSink(wParam, lParam);
    }
}

// --- device selection ---------------------------------------------------------

std::vector<CDeviceOptionUI*> CMainWnd::DeviceOptions() const {
    std::vector<CDeviceOptionUI*> options;
    auto* selector = dynamic_cast<ui::CContainerUI*>(Control("device_select_layout"));
    for (int i = 0; selector != nullptr && i < selector->GetCount(); ++i) {
        if (auto* option = dynamic_cast<CDeviceOptionUI*>(selector->GetItemAt(i))) {
            options.push_back(option);
        }
    }
    return options;
}

int CMainWnd::CurrentOptionIndex() const {
    const auto options = DeviceOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i]->IsOptionVisible() && options[i]->IsSelected()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CZentrelUSBDevice* CMainWnd::CurrentDevice() const {
    const int index = CurrentOptionIndex();
    return index < 0 ? nullptr : DeviceOptions()[static_cast<size_t>(index)]->Device();
}

void CMainWnd::CountShownOptions(int& firstIndex, int& count) const {
    firstIndex = -1;
    count = 0;
    const auto options = DeviceOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i]->IsOptionVisible()) {
            if (count == 0) {
                firstIndex = static_cast<int>(i);
            }
            ++count;
        }
    }
}

void CMainWnd::OnDeviceOptionSelected() {
    const auto options = DeviceOptions();
    for (CDeviceOptionUI* option : options) {
        if (!option->IsSelected()) {
            continue;
        }
        auto* powers = dynamic_cast<ui::CTabLayoutUI*>(FindControl(option->PowerContainer()));
        if (powers != nullptr) {
            powers->SetVisible(option->PowerIndex() >= 0);
            if (option->PowerIndex() >= 0) {
                powers->SelectItem(option->PowerIndex());
            }
        }
        if (auto* pages = dynamic_cast<ui::CTabLayoutUI*>(FindControl(option->BoundTab()))) {
            pages->SelectItem(option->BoundTabIndex());
        }
        return;
    }
}

void CMainWnd::ShowDeviceOption(int index, bool show, bool makeCurrent) {
    const auto options = DeviceOptions();
    if (index >= 0 && static_cast<size_t>(index) < options.size()) {
        CDeviceOptionUI* option = options[static_cast<size_t>(index)];
        option->SetVisible(show);
        if (makeCurrent) {
            auto* pages = dynamic_cast<ui::CTabLayoutUI*>(FindControl(option->BoundTab()));
            if (pages == nullptr || option->BoundTabIndex() < 0) {
                return;
            }
            pages->SelectItem(option->BoundTabIndex());
            for (CDeviceOptionUI* other : options) {
                if (other != option) {
                    other->Select(false);
                }
            }
        }
        option->Select(makeCurrent);
        if (makeCurrent) {
            OnDeviceOptionSelected();
        }
    }
    int shown = 0;
    int synchronised = 0;
    for (CDeviceOptionUI* option : options) {
        if (option->IsOptionVisible()) {
            ++shown;
            synchronised += option->IsSynchroSelected() ? 1 : 0;
        }
    }
    ShowNoDeviceHint(shown == 0);
    if (shown == 0) {
        if (auto* powers = dynamic_cast<ui::CTabLayoutUI*>(Control("device_power_switch"))) {
            powers->SelectItem(0);
        }
        if (auto* pages = dynamic_cast<ui::CTabLayoutUI*>(Control("device_switch"))) {
            pages->SelectItem(0);
        }
    }
    SetMultiDevice(shown >= 2);
    if (synchronised < 2) {
        for (CDeviceOptionUI* option : options) {
            option->SetSynchroSelected(false);
        }
    }
}

void CMainWnd::HideDeviceOption(int index) {
    const auto options = DeviceOptions();
    if (index < 0 || static_cast<size_t>(index) >= options.size()) {
        return;
    }
    CDeviceOptionUI* option = options[static_cast<size_t>(index)];
    int other = -1;
    if (option->IsOptionVisible() && option->IsSelected()) {
        CloseChildWindows();
        for (size_t i = 0; i < options.size(); ++i) {
            if (static_cast<int>(i) != index && options[i]->IsOptionVisible()) {
                other = static_cast<int>(i);
                break;
            }
        }
    }
    ShowDeviceOption(index, false, false);
    if (other >= 0) {
        ShowDeviceOption(other, true, true);
    }
}

void CMainWnd::SelectPreviousDevice() {
    const auto options = DeviceOptions();
    int remembered = -1;
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i]->IsOptionVisible() && options[i]->IsSelected()) {
            if (remembered >= 0) {
                ShowDeviceOption(remembered, true, true);
            }
            return;
        }
        if (options[i]->IsOptionVisible()) {
            remembered = static_cast<int>(i);
        }
    }
}

void CMainWnd::SelectNextDevice() {
    const auto options = DeviceOptions();
    const int current = CurrentOptionIndex();
    if (current < 0) {
        return;
    }
    for (size_t i = static_cast<size_t>(current) + 1; i < options.size(); ++i) {
        if (options[i]->IsOptionVisible()) {
            ShowDeviceOption(static_cast<int>(i), true, true);
            return;
        }
    }
}

void CMainWnd::SetMultiDevice(bool multi) {
    // Synchronised lighting and the headset's lighting page take this flag;
    // both come with their own pages.
    (void)multi;
}

void CMainWnd::SetLightControl(bool enabled) {
    for (auto kind : {DeviceLinkManager::Mice, DeviceLinkManager::MousePads,
                      DeviceLinkManager::Keyboards}) {
        for (CZentrelUSBDevice* device : m_devices->DevicesOf(kind)) {
            device->SetHostLightControl(enabled);
        }
    }
}

void CMainWnd::SetAttention(bool attention) {
    // The device kinds that slow their effects while unattended take this.
    m_userAttention = attention;
}

void CMainWnd::CloseChildWindows() {
    if (m_trayMenu) {
        m_trayMenu->close();
    }
    // The settings, about, palette and audio-style windows come with their
    // own pages; none can be open yet.
}

void CMainWnd::ShowNoDeviceHint(bool show) {
    if (ui::CControlUI* hint = Control("No_device_Link")) {
        hint->SetVisible(show);
    }
}

// --- showing and hiding -------------------------------------------------------

void CMainWnd::RestoreAndRaise() {
    int first = -1;
    int shown = 0;
    CountShownOptions(first, shown);
    ShowNoDeviceHint(shown == 0);
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

void CMainWnd::FitToMonitor() {
    const bool visible = isVisible() && !isMinimized();
    QScreen* monitor = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    int dpi = 96;
    if (monitor != nullptr) {
        dpi = DpiForScreen(monitor->geometry().size() * monitor->devicePixelRatio());
    }
    m_dpi = dpi;
    SetDPI(96);
    SetLayoutSize(QSize(1000, 640));
    SetDPI(m_dpi);
    CenterWindow();
    setVisible(visible);
}

// --- language -------------------------------------------------------------------

int CMainWnd::GetStartupLanguageIndex() const {
    const auto config = LanguageConfig::Load(ShippedDataFolder("DefaultData") + "/Language.config");
    if (!config) {
        return 0;
    }
    return config->IndexOf(m_settings.LanguageId());
}

void CMainWnd::ApplyLanguage(int index) {
    if (index == m_languageIndex) {
        return;
    }
    auto& manager = GetPaintManager();
    if (RebuildsFonts(index) || RebuildsFonts(m_languageIndex)) {
        // The face the skin was drawn with stands in for the original's.
        const QString face = QFont(QLatin1String(kFontFace)).exactMatch()
                                 ? QLatin1String(kFontFace)
                                 : QStringLiteral("DejaVu Sans");
        manager.RemoveAllFonts();
        for (const FontRow& row : kFontTable) {
            if (row.id < 0) {
                manager.SetDefaultFont(face, row.size);
            } else {
                manager.AddFont(row.id, face, row.size, row.bold, false, row.underline);
            }
        }
    }
    m_languageIndex = index;
    const auto config = LanguageConfig::Load(ShippedDataFolder("DefaultData") + "/Language.config");
    auto& resources = ui::CResourceManager::Instance();
    if (config) {
        const LanguageEntry entry = config->At(index);
        QString error;
        if (!resources.LoadLanguage(QString::fromStdString(entry.file), &error)) {
            DebugTrace(("language not loaded: " + error).toStdString());
        }
        // An unreadable list stores nothing, rather than a made-up id.
        m_settings.SaveLanguageId(entry.id);
    }
    resources.ReloadText();
    for (CDeviceOptionUI* option : DeviceOptions()) {
        option->SetDeviceName(resources.GetText(option->NameKey()));
    }
    update();
}

// --- status -----------------------------------------------------------------------

QString CMainWnd::StatusJson() const {
    QJsonArray options;
    const auto all = DeviceOptions();
    const int current = CurrentOptionIndex();
    for (size_t i = 0; i < all.size(); ++i) {
        const CZentrelUSBDevice* device = all[i]->Device();
        QJsonObject option;
        option[QStringLiteral("index")] = static_cast<int>(i);
        // The command line's word for the kind ("mousepad", not the folder "MousePad").
        option[QStringLiteral("kind")] =
            device != nullptr ? QString::fromLatin1(KindWordOfFolder(device->KindName().toStdString()))
                              : QString();
        option[QStringLiteral("shown")] = all[i]->IsOptionVisible();
        option[QStringLiteral("current")] = static_cast<int>(i) == current;
        const bool open = device != nullptr && device->Channel().IsOpen();
        option[QStringLiteral("connected")] = open;
        option[QStringLiteral("link")] =
            !open ? QStringLiteral("none")
                  : (device->Channel().ReceiverMode() ? QStringLiteral("receiver")
                                                 : QStringLiteral("cable"));
        options.append(option);
    }
    const ui::CControlUI* hint = Control("No_device_Link");
    QJsonObject status;
    status[QStringLiteral("visible")] = isVisible();
    status[QStringLiteral("initialised")] = m_initialised;
    status[QStringLiteral("shown_after_first_pass")] = m_firstPassShown;
    status[QStringLiteral("awake")] = m_awake;
    status[QStringLiteral("instance_messages")] = m_instanceMessages;
    status[QStringLiteral("light_control")] = m_lightControlEnabled;
    status[QStringLiteral("no_device_link")] = hint != nullptr && hint->IsVisible();
    status[QStringLiteral("language_index")] = m_languageIndex;
    status[QStringLiteral("dpi")] = m_dpi;
    status[QStringLiteral("width")] = width();
    status[QStringLiteral("height")] = height();
    status[QStringLiteral("options")] = options;
    return QString::fromUtf8(QJsonDocument(status).toJson(QJsonDocument::Compact));
}

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
