#include "deviceui/CZentrelUSBDevice.h"

#include "devicebase/DefaultNameLists.h"
#include "devicebase/SyncLightThread.h"
#include "messages/RegisteredMessages.h"
#include "pages/CMpDevicePowerUI.h"

#include <QTimer>

#include "lighting/LightColourControl.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CLightControlUI.h"
#include "pages/CMacroControlUI.h"
#include "deviceui/CDeviceOptionUI.h"
#include "profileui/CDeviceProfileUI.h"
#include "platform/DataFolders.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "windows/CMsgWnd.h"

namespace kx520 {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// "key_12" -> ("key_", 12); nothing without "_" or a number after it.
bool SplitUserData(const QString& data, QString& prefix, int& number) {
    const int underscore = data.lastIndexOf('_');
    if (underscore < 0) {
        return false;
    }
    bool ok = false;
    number = data.mid(underscore + 1).toInt(&ok, 10);
    prefix = data.left(underscore + 1);
    return ok && number >= 0;
}

bool IsWiredClass(uint16_t deviceClass) {
    return deviceClass == KeyboardWired || deviceClass == MouseWired ||
           deviceClass == MousePad || deviceClass == Headset;
}

}  // namespace

CZentrelUSBDevice::CZentrelUSBDevice(hid::HidBackend& backend, QWidget* parent)
    : CZentrelUSBDevice(backend, std::make_unique<DeviceCore>(backend), parent) {}

CZentrelUSBDevice::CZentrelUSBDevice(hid::HidBackend& backend, std::unique_ptr<DeviceCore> core,
                                     QWidget* parent)
    : ui::CHorizontalLayoutUI(parent),
      m_core(std::move(core)),
      m_wiredNotify(backend, [this](uint16_t code) {
          // From the listener's thread to the UI thread.
          QMetaObject::invokeMethod(this, [this, code] { OnNotification(code); },
                                    Qt::QueuedConnection);
      }),
      m_receiverNotify(backend, [this](uint16_t code) {
          QMetaObject::invokeMethod(this, [this, code] { OnReceiverNotification(code); },
                                    Qt::QueuedConnection);
      }),
      m_exchanges(std::make_unique<ExchangeQueue>([this](ExchangeQueue::Job done) {
          // Dropped with the page: nothing runs on a page that is gone.
          QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
      })) {}

CZentrelUSBDevice::~CZentrelUSBDevice() {
    // Threads that call back into this object end before it does; an
    // exchange still waiting for the device is woken by its links closing.
    if (ExchangeBusy()) {
        Channel().CloseLink(protocol::CommandChannel::Link::First);
        Channel().CloseLink(protocol::CommandChannel::Link::Second);
    }
    m_exchanges.reset();
    SetSyncLight(nullptr);  // the synchronisation thread lets go of the frame first
    m_core->StopLightThread();
    m_wiredNotify.Detach();
    m_receiverNotify.Detach();
}

void CZentrelUSBDevice::SetSynchronised(bool on) {
    m_synchronised = on;
    if (m_syncLight == nullptr) {
        return;
    }
    if (on) {
        m_syncLight->Join(*m_core, m_identity.deviceClass == Headset);
    } else {
        m_syncLight->Leave(*m_core);
    }
}

void CZentrelUSBDevice::SetSyncLight(SyncLightThread* sync) {
    if (m_syncLight != nullptr) {
        m_syncLight->Leave(*m_core);
    }
    m_syncLight = sync;
    if (m_syncLight != nullptr && m_synchronised) {
        m_syncLight->Join(*m_core, m_identity.deviceClass == Headset);
    }
}

void CZentrelUSBDevice::SetKindName(const QString& name) {
    m_kindName = name;
    // The kind's template is where a missing profile section comes from.
    ProfileData().SetFallbackPath(DefaultProfilePath().toStdString());
}

void CZentrelUSBDevice::SetIdentity(const DeviceInterfaceEntry& identity) {
    m_identity = identity;
}

void CZentrelUSBDevice::SetKeyCount(size_t count) {
    if (count != m_keyButtons.size()) {
        m_keyButtons.assign(count, nullptr);
    }
}

void CZentrelUSBDevice::SetLedCount(size_t count) {
    m_ledButtons.assign(count, nullptr);
    m_core->SetLedCount(count);
}

CDeviceKeyButtonUI* CZentrelUSBDevice::KeyButton(size_t index) const {
    return index < m_keyButtons.size() ? m_keyButtons[index] : nullptr;
}

CDeviceKeyButtonUI* CZentrelUSBDevice::PositionButton(size_t position) const {
    CDeviceKeyButtonUI* button = KeyButton(position);
    return button != nullptr ? button : LedButton(position);
}

CDeviceKeyButtonUI* CZentrelUSBDevice::LedButton(size_t index) const {
    return index < m_ledButtons.size() ? m_ledButtons[index] : nullptr;
}

void CZentrelUSBDevice::BuildPage() {
    if (m_pageLayout.isEmpty()) {
        SetKeyCount(0);
        SetLedCount(0);
        return;
    }
    SetUpProfileList();
    m_lightPage = findChild<CLightControlUI*>();
    if (m_lightPage != nullptr) {
        m_lightPage->SetKind(ProfileKind());
        SetLightControl(m_lightPage);
    }
    m_macroPage = findChild<CMacroControlUI*>(QStringLiteral("MacroControlItem"));
    if (m_macroPage != nullptr) {
        m_macroPage->SetFolder(DataFolder().toStdString());
    }
    ui::CControlUI* panel = nullptr;
    for (ui::CControlUI* control : findChildren<ui::CControlUI*>()) {
        if (control->GetClass() == QLatin1String("SelectPanel")) {
            panel = control;
            break;
        }
    }
    if (panel == nullptr) {
        return;  // nothing to bind; effects and frames still run
    }
    for (ui::CControlUI* child : panel->ChildControls()) {
        auto* button = dynamic_cast<CDeviceKeyButtonUI*>(child);
        QString prefix;
        int number = 0;
        if (button == nullptr || !SplitUserData(button->GetUserData(), prefix, number)) {
            continue;
        }
        const auto index = static_cast<size_t>(number);
        if (prefix.compare(QLatin1String("key_"), Qt::CaseInsensitive) == 0 &&
            index < m_keyButtons.size()) {
            m_keyButtons[index] = button;
        } else if (prefix.compare(QLatin1String("light_"), Qt::CaseInsensitive) == 0 &&
                   index < m_ledButtons.size()) {
            m_ledButtons[index] = button;
            button->SetKeyLight(kWhite, 255, button->IsLit());
            button->Invalidate();
        }
    }
}

void CZentrelUSBDevice::SetMultiDevice(bool multi) {
    if (m_lightPage != nullptr) {
        m_lightPage->SetSameAllowed(multi);
    }
    if (!multi) {
        m_synchronised = false;
    }
}

bool CZentrelUSBDevice::StreamFrame() {
    const bool seen = PageSeen();
    if (!m_core->HostLightControl()) {
        return seen;
    }
    const std::vector<LedEntry> frame = m_core->FrameCopy();
    // A running light thread sends each frame it makes; without one the
    // frame goes from here.
    if (!m_core->LightThreadRunning()) {
        m_core->SendFrame(frame);
    }
    // The page's keys follow at most 30 times a second (a mirror of the
    // keyboard's own light needs no more, and each costs a repaint of every
    // lit key) and not at all while nobody sees them: they take the frame
    // when the window is seen again.
    const auto now = std::chrono::steady_clock::now();
    if (!seen || now - m_lastPreview < kPreviewPeriod) {
        return seen;
    }
    m_lastPreview = now;
    std::vector<QWidget*> changed;
    for (size_t i = 0; i < m_ledButtons.size(); ++i) {
        CDeviceKeyButtonUI* button = m_ledButtons[i];
        if (button == nullptr || !button->IsVisible()) {
            continue;
        }
        const int at = FrameIndexOf(i);
        if (at < 0 || static_cast<size_t>(at) >= frame.size()) {
            if (button->IsLit()) {
                button->SetKeyLight(button->GetLightColour(), 0, false);
                changed.push_back(button);
            }
            continue;
        }
        const LedEntry& led = frame[static_cast<size_t>(at)];
        if (button->ShowLed(led.red, led.green, led.blue, led.level, false)) {
            changed.push_back(button);
        }
    }
    m_framePainted = RepaintTogether(changed) || m_framePainted;
    return true;
}

// One update per parent over the keys' united area: a hundred updates of
// their own cost the repaint manager more than painting them.
bool CZentrelUSBDevice::RepaintTogether(const std::vector<QWidget*>& keys) {
    std::vector<std::pair<QWidget*, QRect>> areas;
    for (QWidget* key : keys) {
        QWidget* parent = key->parentWidget();
        if (parent == nullptr) {
            key->update();
            continue;
        }
        auto area = std::find_if(areas.begin(), areas.end(), [parent](const auto& a) { return a.first == parent; });
        if (area == areas.end()) {
            areas.emplace_back(parent, key->geometry());
        } else {
            area->second |= key->geometry();
        }
    }
    for (const auto& [parent, rect] : areas) {
        parent->update(rect);
    }
    return !keys.empty();
}

bool CZentrelUSBDevice::PageSeen() const {
    const QWidget* top = window();
    return isVisible() && top != nullptr && !top->isMinimized();
}

bool CZentrelUSBDevice::RunExchange(std::function<void()> work, std::function<void()> done) {
    if (m_writesUnfinished > 0) {
        Tell(QStringLiteral("message_device_busy"));
        return false;
    }
    ++m_writesUnfinished;
    setCursor(Qt::BusyCursor);
    m_exchanges->Submit(std::move(work), [this, done = std::move(done)] {
        if (--m_writesUnfinished == 0) {
            unsetCursor();
        }
        if (done) {
            done();
        }
        // A record write that waited goes now, unless `done` started another write.
        if (!m_waitingWrites.empty() && m_writesUnfinished == 0) {
            auto next = m_waitingWrites.begin();
            const WriteSlot slot = next->first;
            WaitingWrite waiting = std::move(next->second);
            m_waitingWrites.erase(next);
            WriteLatest(slot, std::move(waiting.send), std::move(waiting.written));
        }
    });
    return true;
}

void CZentrelUSBDevice::ProbeLinkLater(std::function<void(bool awake)> answered) {
    auto awake = std::make_shared<bool>(false);
    const uint64_t generation = Channel().LinkGeneration();
    RunRead([this, awake] { *awake = ProbeChannel(); },
            [this, awake, generation, answered = std::move(answered)] {
                // An answer about a link that was closed or switched meanwhile says nothing.
                if (Channel().LinkGeneration() != generation || !Channel().IsOpen()) {
                    return;
                }
                OnProbed(*awake);
                if (answered) {
                    answered(*awake);
                }
            });
}

void CZentrelUSBDevice::RunRead(std::function<void()> work, std::function<void()> done) {
    m_exchanges->Submit(std::move(work), std::move(done));
}

bool CZentrelUSBDevice::ExchangeBusy() const {
    return m_exchanges != nullptr && m_exchanges->Busy();  // none once the page is going
}

void CZentrelUSBDevice::WriteLatest(WriteSlot slot, std::function<int()> send, Written written) {
    if (m_writesUnfinished > 0) {
        WaitingWrite& waiting = m_waitingWrites[slot];
        Written earlier = std::move(waiting.written);
        waiting = {std::move(send), [earlier = std::move(earlier), written = std::move(written)](bool taken) {
                              if (earlier) {
                                  earlier(taken);
                              }
                              if (written) {
                                  written(taken);
                              }
                          }};
        return;
    }
    auto result = std::make_shared<int>(protocol::kResultNoReply);
    RunExchange([send = std::move(send), result] { *result = send(); },
                [result, written = std::move(written)] {
                    if (written) {
                        written(*result == protocol::kResultSuccess);
                    }
                });
}

bool CZentrelUSBDevice::SaveProfileData() {
    if (ProfileData().Save()) {
        return true;
    }
    Tell(QStringLiteral("message_profile_not_saved"), QString::fromStdString(ProfileData().SaveError()));
    return false;
}

void CZentrelUSBDevice::Tell(const QString& textId, const QString& argument) const {
    QString text = ui::CResourceManager::Instance().GetText(textId);
    if (!argument.isEmpty()) {
        text = text.arg(argument);
    }
    if (m_teller) {
        m_teller(text);
        return;
    }
    ShowMessageBox(window(), {}, text, logicalDpiX(), 0, 0);
}

void CZentrelUSBDevice::SetLightColour(int red, int green, int blue) {
    m_lightColour = {red, green, blue};
    if (m_lightControl != nullptr) {
        m_lightControl->SetColour(red, green, blue);
    }
}

void CZentrelUSBDevice::GetLightColour() {
    if (m_lightControl != nullptr) {
        m_lightControl->Colour(m_lightColour[0], m_lightColour[1], m_lightColour[2]);
    }
}

void CZentrelUSBDevice::ReloadProfile() {
    SetProfilePaths();
    if (!LoadProfileToPage()) {
        return;
    }
    ApplyProfileToPage();
    if (m_keyEditor) {
        m_keyEditor->PutAway();  // another profile: no key being assigned
    }
}

void CZentrelUSBDevice::ShowPowerStatus() {
    if (ExchangeBusy()) {
        return;  // asked again on the next round, never waited for
    }
    // Asked on the exchange thread: a silent device never holds the window.
    auto status = std::make_shared<std::optional<DeviceCore::PowerStatus>>();
    RunRead([core = m_core.get(), status] { *status = core->ReadPower(); },
            [this, status] {
                if (!*status) {
                    return;
                }
                if (auto* power = dynamic_cast<CMpDevicePowerUI*>(PowerDisplay())) {
                    power->UpdatePower(**status);
                }
                if (DeviceOption() != nullptr) {
                    DeviceOption()->Post(msg::kDeviceState, (**status)[4], 0);
                }
            });
}

std::string CZentrelUSBDevice::AssignKey(int, const WordAssignment&) {
    return "this device has no keys to assign";
}

void CZentrelUSBDevice::ShowFunction(int type) {
    m_pageFunction = type;
    auto* functions = dynamic_cast<ui::CTabLayoutUI*>(
        ui::CPaintManagerUI::FindSubControlByName(this, QStringLiteral("device_function_switch")));
    auto* keyFunctions = dynamic_cast<ui::CTabLayoutUI*>(ui::CPaintManagerUI::FindSubControlByName(
        this, QStringLiteral("device_key_function_switch")));
    auto select = [](ui::CTabLayoutUI* tabs, int index) {
        if (tabs != nullptr) {
            tabs->SelectItem(index);
        }
    };
    const uint16_t deviceClass = m_identity.deviceClass;
    if (type == 4 && deviceClass != KeyboardWired && deviceClass != MouseWired) {
        type = 7;
    }
    switch (type) {
        case 2:
        case 6:
            select(functions, 0);
            select(keyFunctions, 1);
            break;
        case 3:
        case 8:
            select(functions, 1);
            break;
        case 4:
            select(functions, 3);
            break;
        case 5:
            select(functions, 2);
            break;
        case 7:
            select(functions, 0);
            select(keyFunctions, 2);
            break;
        case kRecoilFunction:
            if (functions != nullptr) {
                functions->SelectItem(ui::CPaintManagerUI::FindSubControlByName(functions, QStringLiteral("shoot_panel")));
            }
            break;
        default:
            select(functions, 0);
            select(keyFunctions, 0);
            break;
    }
}

NotifyListener& CZentrelUSBDevice::ListenerFor(uint16_t deviceClass) {
    return IsWiredClass(deviceClass) ? m_wiredNotify : m_receiverNotify;
}

void CZentrelUSBDevice::ShowEffectsAndSetting(const DefaultNameLists& names, const profiles::LightSetting& light) const {
    if (m_lightPage == nullptr) {
        return;
    }
    m_lightPage->FillEffects(names.EffectNames(), names.EffectVisible());
    m_lightPage->ShowSetting(light);
}

QString CZentrelUSBDevice::ComposeProfilePaths(profiles::CBasicProfiledata& profile) const {
    const QString id = m_profileControl != nullptr ? m_profileControl->GetCurrentProfileId() : QString();
    const QString path = id.isEmpty() ? QString() : DataFolder() + id + QStringLiteral(".Json");
    profile.SetProfilePath(path.toStdString());
    profile.SetLightConfigPath((DataFolder() + QString::fromLatin1(DefaultNameLists::kLightConfigFile)).toStdString());
    return path;
}

int CZentrelUSBDevice::ProfileKind() const {
    switch (m_identity.deviceClass) {
        case KeyboardWired:
        case KeyboardReceiver:
            return 1;
        case MouseWired:
        case MouseReceiver:
            return 2;
        default:
            return m_identity.deviceClass;
    }
}

void CZentrelUSBDevice::SetUpProfileList() {
    m_profileControl = findChild<CDeviceProfileUI*>();
    if (m_profileControl == nullptr) {
        return;
    }
    m_profileControl->SetDeviceKind(ProfileKind());
    m_profileControl->SetFolders(DataFolder(), DefaultProfilePath());
    m_profileControl->InitList();
    m_profileControl->SelectTab(1);
}

const NotifyListener& CZentrelUSBDevice::ListenerFor(uint16_t deviceClass) const {
    return IsWiredClass(deviceClass) ? m_wiredNotify : m_receiverNotify;
}

bool CZentrelUSBDevice::NotifyAttached(uint16_t deviceClass) const {
    return ListenerFor(deviceClass).IsAttached();
}

bool CZentrelUSBDevice::AttachNotify(const std::string& path, uint16_t deviceClass) {
    return ListenerFor(deviceClass).Attach(path);
}

void CZentrelUSBDevice::DetachNotify(uint16_t deviceClass) {
    ListenerFor(deviceClass).Detach();
}

int CZentrelUSBDevice::NotifyDelayMs() const {
    const uint16_t deviceClass = m_identity.deviceClass;
    const bool fast = deviceClass == KeyboardWired || deviceClass == KeyboardReceiver ||
                      deviceClass == MouseWired || deviceClass == MouseReceiver;
    return fast ? 50 : 500;
}

void CZentrelUSBDevice::OnNotification(uint16_t code) {
    if (code == NotifyListener::kSettingsChanged) {
        ScheduleNotify();
    }
}

void CZentrelUSBDevice::ScheduleNotify() {
    // The record is read once the exchange that runs has ended.
    if (m_option != nullptr) {
        m_option->StartTimer(CDeviceOptionUI::kNotifyTimer, NotifyDelayMs());
        return;
    }
    QTimer::singleShot(NotifyDelayMs(), this, [this] {
        if (ExchangeBusy()) {
            ScheduleNotify();
            return;
        }
        OnNotify();
    });
}

QString CZentrelUSBDevice::DataFolder() const {
    return QString::fromStdString(DeviceDataFolder(m_kindName.toStdString()));
}

QString CZentrelUSBDevice::DefaultFolder() const {
    return QString::fromStdString(ShippedDataFolder("DefaultData")) + '/';
}

}  // namespace kx520
