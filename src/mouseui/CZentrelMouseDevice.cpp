#include "mouseui/CZentrelMouseDevice.h"

#include "mouseui/MousePointerPanel.h"
#include "mouseui/MouseStagePanel.h"

#include <algorithm>

#include "catalog/DeviceCatalog.h"
#include "keycodes/KeyLabels.h"
#include "platform/DebugTrace.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CKeySetControlUI.h"
#include "pages/CLightControlUI.h"
#include "pages/CShootControlUI.h"
#include "profileui/CDeviceProfileUI.h"
#include "ui/CControlUI.h"
#include "builder/CListUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>

namespace kx520 {

namespace {

constexpr int kMouseKind = 2;
constexpr int kKeysFunction = 2;
constexpr int kSystemFunction = 4;
constexpr uint16_t kFadeReactionCode = 0x403;

QString Resolved(const std::string& id) {
    return ui::CResourceManager::Instance().GetText(QString::fromStdString(id));
}

}  // namespace

CZentrelMouseDevice::CZentrelMouseDevice(hid::HidBackend& backend, QWidget* parent)
    : CZentrelUSBDevice(backend, std::make_unique<MouseCore>(backend), parent),
      m_mouse(&static_cast<MouseCore&>(Core())),
      m_recoil(*this, *m_mouse) {
    SetKeyEditor(std::make_unique<KeyAssignmentEditor>(*this, kMouseButtonDefaults, kMouseKind));
    DeviceInterfaceEntry identity = Identity();
    identity.deviceClass = MouseWired;
    SetIdentity(identity);
}

CZentrelMouseDevice::~CZentrelMouseDevice() = default;

void CZentrelMouseDevice::BuildPage() {
    CZentrelUSBDevice::BuildPage();
    m_mouse->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    LoadDefaults();  // the effects and macros are known before any mouse connects
    // The page puts a damaged gun back as it reads them; without one the core does.
    if (const std::string why = m_recoil.Bind(findChild<CShootControlUI*>(QStringLiteral("ShootControlItem")),
                                              DataFolder().toStdString(), DefaultFolder().toStdString());
        !why.empty()) {
        DebugTrace(why);
    }
    LoadProfileToPage();
    KeyEditor()->Bind(findChild<CKeySetControlUI*>());
    KeyEditor()->Reset(m_mouse->Names().MacroNames());
    if (KeyPage() != nullptr) {
        ShowFunction(kKeysFunction);  // the keys tab is the one selected at first
    }
    // The profile's stages, settings and light, before any mouse answers.
    ShowStages();
    ShowSystemSettings();
    ShowLightPage();
    m_mouse->LoadCustomEffect();
    m_mouse->StartLight();
    m_buttonList.Attach(dynamic_cast<ui::CListUI*>(Part(QStringLiteral("device_setkeyinfo_list"))));
    m_logo = nullptr;
    for (CDeviceKeyButtonUI* button : findChildren<CDeviceKeyButtonUI*>()) {
        if (button->GetUserData() == QLatin1String("logo")) {
            m_logo = button;
        }
    }
    RefreshKeyLabels();
}

bool CZentrelMouseDevice::StreamFrame() {
    const int led = GetValue();
    if (m_logo != nullptr && led >= 0 && HostLightControl()) {
        const LedEntry entry = Core().GetLed(led);
        m_logo->ShowLed(entry.red, entry.green, entry.blue, entry.level);
    }
    return CZentrelUSBDevice::StreamFrame();
}

void CZentrelMouseDevice::SetProfilePaths() {
    m_mouse->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    m_profilePath = ComposeProfilePaths(m_mouse->Profile());
}

bool CZentrelMouseDevice::LoadProfileToPage() {
    SetProfilePaths();
    if (m_profilePath.isEmpty()) {
        return false;
    }
    auto& profile = m_mouse->Profile();
    profile.LoadSection(m_profilePath.toStdString());
    profile.GetKeyList();
    profile.GetDPIStages();
    profile.GetSystemStages();
    profile.GetCorrections();
    m_mouse->SetLight(profile.GetLightInfo());
    profile.LoadLightConfig(profile.GetLightConfigPath());
    return true;
}

void CZentrelMouseDevice::ApplyProfileToPage() {
    LoadDefaults();
    const profiles::LightSetting& light = m_mouse->Light();
    SetLightColour(light.red, light.green, light.blue);
    ShowStages();
    ShowSystemSettings();
    ShowLightPage();
    // The mouse's own switches and settings notices come here too: the
    // button being assigned stays on the page, shown afresh.
    KeyEditor()->MacrosChanged(m_mouse->Names().MacroNames());
    RefreshKeyLabels();
    update();
}

ui::CControlUI* CZentrelMouseDevice::Part(const QString& name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

profiles::DpiStage* CZentrelMouseDevice::Stage(std::vector<profiles::DpiStage>& stages, int stage) const {
    if (stage < 0 || stage >= MouseCore::kStages) {
        return nullptr;
    }
    if (stages.size() <= static_cast<size_t>(stage)) {
        stages.resize(static_cast<size_t>(stage) + 1);
    }
    return &stages[static_cast<size_t>(stage)];
}

void CZentrelMouseDevice::ShowStages() {
    MouseStagePanel(*this).Show(m_mouse->Scale(), m_mouse->Profile().Stages(),
                                MouseSensitivity::ClampStage(m_mouse->Profile().GetActiveStage()));
}

bool CZentrelMouseDevice::WriteStages(Written written) {
    auto& profile = m_mouse->Profile();
    profile.SetDPIStages(profile.Stages());
    profile.SetActiveStage(MouseSensitivity::ClampStage(profile.GetActiveStage()));
    // A record the file did not keep is not sent: the mouse would hold what
    // the next start reads over the profile.
    if (!SaveProfile()) {
        return false;
    }
    WriteRecord(std::move(written));
    return true;
}

void CZentrelMouseDevice::WriteRecord(Written written) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen != nullptr ? screen->size() : QSize();
    m_recordPending = true;  // until the mouse says it took it
    WriteLatest(WriteSlot::kRecord,
                m_mouse->LightConfigWrite(m_mouse->OnboardProfile(), 0, 1, static_cast<uint16_t>(size.width()),
                                          static_cast<uint16_t>(size.height())),
                [this, written = std::move(written)](bool taken) {
                    m_recordPending = !taken;
                    if (written) {
                        written(taken);
                    }
                });
}

bool CZentrelMouseDevice::TakeSlider(int stage) {
    std::vector<profiles::DpiStage> stages = m_mouse->Profile().Stages();
    profiles::DpiStage* entry = Stage(stages, stage);
    const std::optional<uint16_t> step = MouseStagePanel(*this).SliderStep(stage, m_mouse->Scale());
    if (entry == nullptr || !step) {
        return false;
    }
    entry->dpiX = *step;
    if (entry->xy == 0) {
        entry->dpiY = entry->dpiX;  // a stage with its own Y keeps it: the page sets X
    }
    m_mouse->Profile().SetDPIStages(stages);
    ShowStages();
    WriteStages();
    return true;
}

void CZentrelMouseDevice::PreviewSlider(int stage) {
    MouseStagePanel(*this).PreviewSlider(stage, m_mouse->Scale());
}

bool CZentrelMouseDevice::TakeEdit(int stage) {
    std::vector<profiles::DpiStage> stages = m_mouse->Profile().Stages();
    profiles::DpiStage* entry = Stage(stages, stage);
    if (entry == nullptr) {
        return false;
    }
    // Nothing readable typed: the field shows the stage again.
    const std::optional<int> step = MouseStagePanel(*this).TypedStep(stage, m_mouse->Scale());
    if (step) {
        entry->dpiX = static_cast<uint16_t>(*step);
        if (entry->xy == 0) {
            entry->dpiY = entry->dpiX;
        }
        m_mouse->Profile().SetDPIStages(stages);
    }
    ShowStages();  // the field shows the value the step gives
    if (step) {
        WriteStages();
    }
    return step.has_value();
}

bool CZentrelMouseDevice::SetStageEnabled(int stage, bool enabled) {
    std::vector<profiles::DpiStage> stages = m_mouse->Profile().Stages();
    profiles::DpiStage* entry = Stage(stages, stage);
    if (entry == nullptr) {
        return false;
    }
    entry->enabled = enabled ? 1 : 0;
    m_mouse->Profile().SetDPIStages(stages);
    ShowStages();
    WriteStages();
    return true;
}

std::string CZentrelMouseDevice::ChangeStage(int stage, const StageChange& change, Written written) {
    std::vector<profiles::DpiStage> stages = m_mouse->Profile().Stages();
    profiles::DpiStage* entry = Stage(stages, stage);
    if (entry == nullptr) {
        return "the mouse has stages 0 to 4";
    }
    const MouseSensitivity& scale = m_mouse->Scale();
    const std::optional<int> x = scale.StepOfValue(change.value);
    const std::optional<int> y = change.y ? scale.StepOfValue(*change.y) : x;
    if (!x || !y) {
        return "the mouse has not told its sensitivity scale yet";
    }
    entry->dpiX = static_cast<uint16_t>(*x);
    entry->dpiY = static_cast<uint16_t>(*y);
    entry->xy = change.y && *y != *x ? 1 : 0;
    if (change.colour) {
        entry->red = static_cast<uint8_t>(*change.colour >> 16);
        entry->green = static_cast<uint8_t>(*change.colour >> 8);
        entry->blue = static_cast<uint8_t>(*change.colour);
    }
    const bool inUse = stage == MouseSensitivity::ClampStage(m_mouse->Profile().GetActiveStage());
    if (change.enabled) {
        if (!*change.enabled && inUse) {
            return "the stage in use cannot be switched off";
        }
        entry->enabled = *change.enabled ? 1 : 0;
    }
    m_mouse->Profile().SetDPIStages(stages);
    ShowStages();
    return WriteStages(std::move(written)) ? std::string() : std::string("the profile was not saved");
}

bool CZentrelMouseDevice::SetStageColour(int stage, uint32_t colour) {
    std::vector<profiles::DpiStage> stages = m_mouse->Profile().Stages();
    profiles::DpiStage* entry = Stage(stages, stage);
    if (entry == nullptr) {
        return false;
    }
    entry->red = static_cast<uint8_t>(colour >> 16);
    entry->green = static_cast<uint8_t>(colour >> 8);
    entry->blue = static_cast<uint8_t>(colour);
    m_mouse->Profile().SetDPIStages(stages);
    ShowStages();
    WriteStages();
    return true;
}

std::string CZentrelMouseDevice::SetReportRate(int option, Written written) {
    if (option < 0 || option >= MouseSensitivity::kPollingOptions) {
        return "the mouse has report rate options 0 to 4";
    }
    profiles::MouseSystemSettings settings = m_mouse->Profile().SystemSettings();
    settings.reportRate = static_cast<uint16_t>(option);
    m_mouse->Profile().SetSystemStages(settings);
    ShowSystemSettings();
    return WriteStages(std::move(written)) ? std::string() : std::string("the profile was not saved");
}

void CZentrelMouseDevice::ShowSystemSettings() {
    MousePointerPanel(*this).Show(m_mouse->Profile().SystemSettings());
}

void CZentrelMouseDevice::TakePointerSettings() {
    m_mouse->Profile().SetSystemStages(MousePointerPanel(*this).Read(m_mouse->Profile().SystemSettings()));
    WriteStages();
}

void CZentrelMouseDevice::ShowSettingsPanel(int n) {
    MousePointerPanel(*this).ShowTab(n);
}

bool CZentrelMouseDevice::SelectStage(int stage, Written written) {
    std::vector<profiles::DpiStage> stages = m_mouse->Profile().Stages();
    profiles::DpiStage* entry = Stage(stages, stage);
    if (entry == nullptr) {
        return false;
    }
    entry->enabled = 1;  // the stage in use takes part
    m_mouse->Profile().SetDPIStages(stages);
    m_mouse->Profile().SetActiveStage(stage);
    ShowStages();
    WriteStages(std::move(written));
    return true;
}

bool CZentrelMouseDevice::SaveProfile() {
    auto& profile = m_mouse->Profile();
    profile.SetDPIStages(profile.Stages());
    profile.SetLightInfo(m_mouse->Light());
    return SaveProfileData();
}

void CZentrelMouseDevice::LoadDefaults() {
    m_mouse->LoadDefaults();
}

void CZentrelMouseDevice::OnMacrosChanged() {
    LoadDefaults();
    KeyEditor()->MacrosChanged(m_mouse->Names().MacroNames());
    RefreshKeyLabels();
}

void CZentrelMouseDevice::RefreshKeyLabels() {
    // Every button, the ones a profile has no entry for at their defaults.
    const std::vector<profiles::KeyAssignmentEntry> keys = KeyEditor()->FullList();
    const std::vector<std::string>& macros = m_mouse->Names().MacroNames();
    auto resolve = [](const std::string& id) { return Resolved(id).toStdString(); };
    for (size_t i = 0; i < keys.size() && i < KeyCount(); ++i) {
        const auto label = KeyLabels::AssignmentLabel(keys[i].assignment, macros, KeyLabels::Device::kMouse);
        CDeviceKeyButtonUI* button = KeyButton(i);
        if (!label || button == nullptr) {
            continue;  // nothing names it: the tool-tips stay as they were
        }
        const QString own = Resolved(KeyLabels::OwnButtonName(i));
        const QString does = QString::fromStdString(label->Compose(resolve));
        button->SetToolTip(own + QLatin1Char('\n') + does);
        m_buttonList.ShowRow(static_cast<int>(i), own, does, !button->isHidden());
    }
    ShowLogoText();
}

void CZentrelMouseDevice::ShowLogoText() {
    if (m_logo == nullptr) {
        return;
    }
    bool resolved = true;
    const std::string mode = m_mouse->LightModeName(m_mouse->Light().mode, resolved);
    QString text = Resolved("Light_Set") + QLatin1Char('\n') + Resolved("Overall_Light_Set");
    if (!mode.empty()) {
        text += resolved ? Resolved(mode) : QString::fromStdString(mode);
    }
    m_logo->SetToolTip(QStringLiteral("Logo\n") + text);
}

void CZentrelMouseDevice::ShowLightPage() {
    ShowEffectsAndSetting(m_mouse->Names(), m_mouse->Light());
}

bool CZentrelMouseDevice::ApplyLightSetting(const profiles::LightSetting& setting, Written written) {
    m_mouse->SetLight(setting);
    m_mouse->LoadCustomEffect();
    SetLightColour(setting.red, setting.green, setting.blue);
    ShowLogoText();
    return WriteStages(std::move(written));  // saves the profile, the light setting with it
}

void CZentrelMouseDevice::ShowFunction(int type) {
    CZentrelUSBDevice::ShowFunction(type);
    // Through the receiver too the stages and the report rate are on the
    // system tab (the base would show the empty wireless panel).
    if (type == kSystemFunction) {
        if (auto* functions = dynamic_cast<ui::CTabLayoutUI*>(Part(QStringLiteral("device_function_switch")))) {
            functions->SelectItem(3);
        }
    }
    KeyEditor()->MarkOnly(type == kKeysFunction ? KeyEditor()->Selected() : -1);
    if (ui::CControlUI* hint = Part(QStringLiteral("device_tishi_info"))) {
        hint->SetVisible(false);
    }
}

void CZentrelMouseDevice::ClickKey(int position) {
    if (GetPageFunction() != kKeysFunction || position < 0) {
        return;
    }
    if (MouseCore::IsOnlyLeftButton(KeyEditor()->FullList(), static_cast<size_t>(position))) {
        KeyEditor()->Tell(QStringLiteral("message_text_6"));
        return;
    }
    KeyEditor()->Select(position);
}

void CZentrelMouseDevice::SaveKeysToDevice(KeyAssignmentEditor::Finished finished) {
    // On the exchange thread: the core and its channel only.
    KeyEditor()->Save(
        [core = m_mouse](const std::vector<profiles::KeyAssignmentEntry>& list) {
            return core->WriteAssignments(list);
        },
        std::move(finished));
}

std::string CZentrelMouseDevice::AssignKey(int position, const WordAssignment& assignment) {
    const std::vector<profiles::KeyAssignmentEntry> before = KeyEditor()->FullList();
    const std::string error =
        KeyEditor()->Assign(position, assignment, m_mouse->Names().MacroNames().size(), "mouse button");
    if (!error.empty() || !MouseCore::IsOnlyLeftButton(before, static_cast<size_t>(position))) {
        return error;
    }
    if (MouseCore::IsOnlyLeftButton(KeyEditor()->FullList(), static_cast<size_t>(position))) {
        return error;  // it stays the left button
    }
    m_mouse->Profile().SetKeyList(before);
    RefreshKeyLabels();
    return "button " + std::to_string(position) +
           " is the mouse's only left button; give another button the left button first";
}

void CZentrelMouseDevice::OnConnected() {
    // Read on the exchange thread, taken on the UI thread. Counted as a
    // write: no save reads the key tables while the connection replaces them.
    // A mouse that did not answer is not asked again for its record; one
    // that missed a change gets the profile's record instead.
    const bool pending = m_recordPending;
    auto state = std::make_shared<std::optional<protocol::DeviceState>>();
    auto record = std::make_shared<std::optional<MouseLink::Record>>();
    RunExchange(
        [core = m_mouse, pending, state, record] {
            *state = core->FetchDeviceState();
            if (*state && (*state)->result == protocol::kResultSuccess && !pending) {
                *record = core->FetchConfigRecord();
            }
        },
        [this, pending, state, record] {
            const bool read = *state && m_mouse->TakeDeviceState(**state);
            LoadProfileToPage();
            if (read && !pending && *record && m_mouse->TakeConfigRecord(**record)) {
                m_mouse->Profile().Save();
            }
            ApplyProfileToPage();
            m_mouse->LoadCustomEffect();
            m_mouse->StartLight();
            if (read && pending) {
                WriteRecord();  // the profile already holds it
            }
        });
}

void CZentrelMouseDevice::ReloadProfile() {
    if (!LoadProfileToPage()) {
        return;
    }
    ApplyProfileToPage();
    KeyEditor()->PutAway();  // another profile: no button being assigned
    m_mouse->LoadCustomEffect();
    // The record, then the buttons, each on the exchange thread.
    WriteStages([this, list = KeyEditor()->FullList()](bool) {
        auto keys = std::make_shared<KeyWriteResult>();
        RunExchange([core = m_mouse, list, keys] { *keys = core->WriteAssignments(list); },
                    [this, keys] {
                        if (keys->macros > 0 || keys->macros == KeyTable::kMacroNoMemory) {
                            KeyEditor()->Report(*keys);  // the profile's macros do not fit: the user is told
                        } else if (keys->macros != 0 || keys->keys != protocol::kResultSuccess) {
                            DebugTrace("mouse buttons not sent with the profile: macros " +
                                       std::to_string(keys->macros) + ", keys " + std::to_string(keys->keys));
                        }
                    });
    });
}

bool CZentrelMouseDevice::ProbeChannel() {
    return m_mouse->ProbeLink();
}

void CZentrelMouseDevice::OnProbed(bool awake) {
    if (awake && m_recordPending) {
        WriteRecord();
    }
}

void CZentrelMouseDevice::OnNotify() {
    // Read on the exchange thread, taken on the UI thread.
    auto read = std::make_shared<std::optional<MouseLink::Record>>();
    RunRead([core = m_mouse, read] { *read = core->FetchConfigRecord(); },
            [this, read] {
                if (*read && m_mouse->TakeConfigRecord(**read)) {
                    m_mouse->Profile().Save();
                }
                ApplyProfileToPage();
            });
}

void CZentrelMouseDevice::OnReceiverNotification(uint16_t code) {
    if (code != kFadeReactionCode) {
        OnNotification(code);
    }
}

void CZentrelMouseDevice::OnNotification(uint16_t code) {
    switch (m_mouse->TakeNotification(code)) {
        case MouseCore::Notification::kSettingsChanged:
            ScheduleNotify();
            break;
        case MouseCore::Notification::kProfileSwitched:
            m_mouse->Profile().Save();
            ApplyProfileToPage();
            break;
        case MouseCore::Notification::kFadeReaction:
            m_mouse->StartFadeReaction(static_cast<uint32_t>(QRandomGenerator::global()->generate()));
            break;
        case MouseCore::Notification::kIgnored:
            break;
    }
}

}  // namespace kx520
