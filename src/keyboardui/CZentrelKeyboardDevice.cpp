#include "keyboardui/CZentrelKeyboardDevice.h"

#include <algorithm>
#include <optional>

#include "desktop/KeyRepeatDesktop.h"
#include "keycodes/KeyLabels.h"
#include "platform/DebugTrace.h"
#include "catalog/PageKeyDefaults.h"
#include "pages/CKeySetControlUI.h"
#include "pages/CLightControlUI.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "profileui/CDeviceProfileUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "controls/CSliderUI.h"

namespace kx520 {

namespace {

// The page functions of the lighting and keys tabs.
constexpr int kLightingFunction = 1;
constexpr int kKeysFunction = 2;

}  // namespace

CZentrelKeyboardDevice::CZentrelKeyboardDevice(hid::HidBackend& backend, QWidget* parent)
    : CZentrelUSBDevice(backend, std::make_unique<KeyboardCore>(backend), parent),
      m_keyboard(&static_cast<KeyboardCore&>(Core())),
      m_repeatDesktop(new KeyRepeatDesktop(this)) {
    SetKeyEditor(std::make_unique<KeyAssignmentEditor>(*this, kPageKeyDefaults, CKeySetControlUI::kKeyboardKind));
    // Colour tables the light setting asks for go on the exchange thread.
    m_keyboard->SetSendLater([this](std::function<int()> send) {
        WriteLatest(WriteSlot::kKeyColours, std::move(send), {});
    });
    DeviceInterfaceEntry identity = Identity();
    identity.deviceClass = KeyboardWired;
    SetIdentity(identity);
}

CZentrelKeyboardDevice::~CZentrelKeyboardDevice() = default;

void CZentrelKeyboardDevice::BuildPage() {
    CZentrelUSBDevice::BuildPage();
    m_keyboard->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    LoadDefaults();  // the effects and macros are known before any keyboard connects
    LoadProfileToPage();  // and the selected profile's keys, light and options
    ShowLightPage();
    KeyEditor()->Bind(findChild<CKeySetControlUI*>());
    if (KeyPage() != nullptr) {
        ShowFunction(2);  // the keys tab is the one selected at first
    }
    RefreshKeyLabels();  // the legends, before any profile is read
}

void CZentrelKeyboardDevice::SetProfilePaths() {
    m_keyboard->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    m_profilePath = ComposeProfilePaths(m_keyboard->Profile());
}

QString CZentrelKeyboardDevice::ProfilePath() const {
    return m_profilePath;
}

bool CZentrelKeyboardDevice::LoadProfileToPage() {
    SetProfilePaths();
    if (m_profilePath.isEmpty()) {
        return false;
    }
    auto& profile = m_keyboard->Profile();
    profile.LoadSection(m_profilePath.toStdString());
    profile.GetKeyList();
    m_keyboard->SetOptions(profile.GetSystemStages());
    m_keyboard->SetLight(profile.GetLightInfo());
    profile.LoadLightConfig(profile.GetLightConfigPath());
    RefreshPage();
    return true;
}

void CZentrelKeyboardDevice::ApplyProfileToPage() {
    LoadDefaults();
    ShowLightPage();
    // The keyboard's own notices come here too: the key being assigned
    // stays on the page, shown afresh.
    KeyEditor()->MacrosChanged(m_keyboard->Names().MacroNames());
    m_keyboard->BuildKeyMaps();
    const profiles::LightSetting& light = m_keyboard->Light();
    SetLightColour(light.red, light.green, light.blue);
    ShowOptions(m_keyboard->Options());
    RefreshKeyLabels();
    update();
}

int CZentrelKeyboardDevice::FrameIndexOf(size_t button) const {
    // Before the first state read every position is its own LED.
    const std::vector<uint8_t>& leds = m_keyboard->KeyMap(1);
    if (leds.empty()) {
        return static_cast<int>(button);
    }
    if (button >= leds.size() || leds[button] == KeyboardCore::kUnmapped) {
        return -1;
    }
    return leds[button];
}

void CZentrelKeyboardDevice::RefreshKeyLabels() {
    auto resolve = [](const std::string& id) {
        return ui::CResourceManager::Instance().GetText(QString::fromStdString(id)).toStdString();
    };
    const std::vector<profiles::KeyAssignmentEntry> keys = m_keyboard->Profile().GetKeyList();
    const std::vector<std::string>& macros = m_keyboard->Names().MacroNames();
    for (size_t i = 0; i < KeyboardCore::kPageKeys; ++i) {
        CDeviceKeyButtonUI* button = PositionButton(i);
        if (button == nullptr) {
            continue;
        }
        const std::string ownId = KeyLabels::OwnKeyName(i);
        button->SetLegend(QString::fromStdString(ownId));
        if (i >= keys.size()) {
            continue;
        }
        const auto label = KeyLabels::AssignmentLabel(keys[i].assignment, macros, KeyLabels::Device::kKeyboard);
        if (!label) {
            continue;  // nothing names it: the tool-tip stays as it was
        }
        const QString own = ownId.empty() ? QString() : QString::fromStdString(resolve(ownId));
        const QString does = QString::fromStdString(label->Compose(resolve));
        button->SetKeySetImageHidden(own.compare(does, Qt::CaseInsensitive) == 0);
        button->SetToolTip(own + ui::CResourceManager::Instance().GetText(QStringLiteral("Key_Set")) + does);
    }
    Options().ShowRepeatTexts(m_keyboard->Options());
}

bool CZentrelKeyboardDevice::SaveProfile() {
    auto& profile = m_keyboard->Profile();
    m_keyboard->SetOptions(ReadOptions());
    profile.SetSystemStages(m_keyboard->Options());
    profile.SetLightInfo(m_keyboard->Light());
    return SaveProfileData();
}

void CZentrelKeyboardDevice::LoadDefaults() {
    m_keyboard->LoadDefaults();
}

void CZentrelKeyboardDevice::OnMacrosChanged() {
    LoadDefaults();
    KeyEditor()->MacrosChanged(m_keyboard->Names().MacroNames());
    RefreshKeyLabels();
}

CZentrelKeyboardDevice::KeyWrite CZentrelKeyboardDevice::WriteKeyList(
    const std::vector<profiles::KeyAssignmentEntry>& list) {
    return KeyEditor()->Report(m_keyboard->WriteAssignments(list));
}

void CZentrelKeyboardDevice::ShowLightPage() {
    CLightControlUI* page = LightPage();
    if (page == nullptr) {
        return;
    }
    const DefaultNameLists& names = m_keyboard->Names();
    page->FillCustomEffects(names.CustomEffectNames());
    ShowEffectsAndSetting(names, m_keyboard->Light());
    page->ShowAudioSetting(CurrentAudioLight());
}

profiles::AudioLightSetting CZentrelKeyboardDevice::CurrentAudioLight() const {
    return m_keyboard->Profile().GetAudioLightInfo();
}

bool CZentrelKeyboardDevice::ApplyAudioLight(const profiles::AudioLightSetting& audio) {
    m_keyboard->Profile().SetAudioLightInfo(audio);
    if (!SaveProfileData()) {
        return false;
    }
    m_keyboard->SetAudioLight(audio);
    return true;
}

void CZentrelKeyboardDevice::SetAudioBands(const int* levels, size_t count) {
    if (levels == nullptr) {
        return;
    }
    std::vector<int32_t> bands(levels, levels + std::min(count, KeyboardMusic::kBands));
    m_keyboard->SetAudioBands(bands);
}

void CZentrelKeyboardDevice::SetHostValues(const int* values, size_t count) {
    if (values == nullptr) {
        return;
    }
    // Six values whatever the count says; fewer given leave the rest 0.
    std::array<uint32_t, 6> held{};
    for (size_t i = 0; i < held.size() && i < count; ++i) {
        held[i] = static_cast<uint32_t>(values[i]);
    }
    m_keyboard->SetHostValues(held);
}

bool CZentrelKeyboardDevice::ColouringKeys() const {
    return GetPageFunction() == kLightingFunction &&
           m_keyboard->Light().mode == KeyboardLightEngine::kPerKeyColourMode;
}

void CZentrelKeyboardDevice::ClickKey(int position) {
    if (GetPageFunction() == kKeysFunction) {
        KeyEditor()->Select(position);
        return;
    }
    if (!ColouringKeys() || position < 0 || position >= static_cast<int>(KeyboardCore::kPageKeys)) {
        return;
    }
    if (CDeviceKeyButtonUI* button = PositionButton(static_cast<size_t>(position))) {
        button->SetKeySelected(!button->IsKeySelected());
        button->Invalidate();
    }
}

void CZentrelKeyboardDevice::SelectionEnded() {
    if (!ColouringKeys()) {
        KeyEditor()->MarkOnly(GetPageFunction() == kKeysFunction ? SelectedKey() : -1);
    }
}

std::vector<int> CZentrelKeyboardDevice::SelectedLightKeys() const {
    std::vector<int> keys;
    for (size_t i = 0; i < KeyboardCore::kPageKeys; ++i) {
        const CDeviceKeyButtonUI* button = PositionButton(i);
        if (button != nullptr && button->IsKeySelected()) {
            keys.push_back(static_cast<int>(i));
        }
    }
    return keys;
}

void CZentrelKeyboardDevice::ColourSelectedKeys(bool lit) {
    if (!ColouringKeys()) {
        return;
    }
    auto& profile = m_keyboard->Profile();
    const int layout = profile.GetCustomLightGroup();
    std::vector<profiles::LightColor> colours = profile.GetCustomLightColors(layout, m_keyboard->LedCount());
    const profiles::LightSetting& light = m_keyboard->Light();
    const profiles::LightColor colour =
        lit ? profiles::LightColor{light.red, light.green, light.blue, 0} : profiles::LightColor{};
    for (const int position : SelectedLightKeys()) {
        const int led = FrameIndexOf(static_cast<size_t>(position));
        if (led >= 0 && static_cast<size_t>(led) < colours.size()) {
            colours[static_cast<size_t>(led)] = colour;
        }
    }
    profile.SetCustomLightColors(colours, layout);
    if (!SaveProfileData()) {
        return;
    }
    m_keyboard->RefreshLighting(light);  // the frame and the keyboard's colour table
}

bool CZentrelKeyboardDevice::ApplyLightSetting(const profiles::LightSetting& setting, Written written) {
    if (setting.mode != KeyboardLightEngine::kPerKeyColourMode && GetPageFunction() == kLightingFunction) {
        KeyEditor()->MarkOnly(-1);  // the keys are coloured one by one in that effect only
    }
    m_keyboard->SetLight(setting);
    m_keyboard->Profile().SetLightInfo(setting);
    if (!SaveProfileData()) {
        return false;  // the keyboard keeps what the file still holds
    }
    m_keyboard->RefreshLighting(setting);
    SetLightColour(setting.red, setting.green, setting.blue);
    const int profile = m_keyboard->OnboardProfile();
    WriteLatest(WriteSlot::kRecord, m_keyboard->LightConfigWrite(profile, static_cast<uint8_t>(profile)),
                std::move(written));
    return true;
}

std::string CZentrelKeyboardDevice::AssignKey(int position, const WordAssignment& assignment) {
    return KeyEditor()->Assign(position, assignment, m_keyboard->Names().MacroNames().size(), "keyboard");
}

void CZentrelKeyboardDevice::SaveKeysToDevice(KeyAssignmentEditor::Finished finished) {
    // On the exchange thread: the core and its channel only.
    KeyEditor()->Save(
        [core = m_keyboard](const std::vector<profiles::KeyAssignmentEntry>& list) {
            return core->WriteAssignments(list);
        },
        std::move(finished));
}

bool CZentrelKeyboardDevice::RefreshPage() {
    m_keyboard->RefreshLighting(m_keyboard->Light());
    return true;
}

void CZentrelKeyboardDevice::OnConnected() {
    // Read on the exchange thread, taken on the UI thread. Counted as a
    // write: no save reads the key tables while the connection replaces them.
    const bool open = Channel().IsOpen();
    auto state = std::make_shared<std::optional<protocol::DeviceState>>();
    auto fetched = std::make_shared<std::optional<KeyboardCore::FetchedRecord>>();
    RunExchange(
        [core = m_keyboard, open, state, fetched] {
            if (open) {
                *state = core->FetchDeviceState();
                *fetched = core->FetchLightRecord();
            }
        },
        [this, open, state, fetched] {
            if (*state) {
                m_keyboard->TakeDeviceState(**state);
            }
            LoadProfileToPage();
            bool modeChanged = false;
            if (!open || *fetched) {
                m_keyboard->TakeLightRecord(open ? &**fetched : nullptr, modeChanged);
            }
            m_keyboard->RefreshLighting(m_keyboard->Light());
            ApplyProfileToPage();
            m_keyboard->StartLight();
        });
}

void CZentrelKeyboardDevice::OnNotify() {
    if (KeyboardCore::ReloadFlag().exchange(false)) {
        if (ProfileControl() != nullptr) {
            ProfileControl()->InitList();  // another program changed the list
        }
        LoadProfileToPage();
    }
    // Read on the exchange thread, taken on the UI thread.
    const bool open = Channel().IsOpen();
    auto fetched = std::make_shared<std::optional<KeyboardCore::FetchedRecord>>();
    RunRead(
        [core = m_keyboard, open, fetched] {
            if (open) {
                *fetched = core->FetchLightRecord();
            }
        },
        [this, open, fetched] {
            bool modeChanged = false;
            if (!open || *fetched) {
                m_keyboard->TakeLightRecord(open ? &**fetched : nullptr, modeChanged);
            }
            m_keyboard->RefreshLighting(m_keyboard->Light());
            ApplyProfileToPage();
        });
}

void CZentrelKeyboardDevice::OnNotification(uint16_t code) {
    switch (m_keyboard->TakeNotification(code)) {
        case KeyboardCore::Notification::kSettingsChanged:
        case KeyboardCore::Notification::kReload:
            ScheduleNotify();
            break;
        case KeyboardCore::Notification::kProfileSwitched:
            ApplyProfileToPage();
            break;
        case KeyboardCore::Notification::kIgnored:
            break;
    }
}

void CZentrelKeyboardDevice::RefreshPower() {
    ShowPowerStatus();
}

void CZentrelKeyboardDevice::ShowFunction(int type) {
    CZentrelUSBDevice::ShowFunction(type);
    // The marks belong to the tab: the key being assigned, or none.
    KeyEditor()->MarkOnly(type == kKeysFunction ? SelectedKey() : -1);
    if (type != 1 && type != 2) {
        return;
    }
    if (CDeviceKeyButtonUI* button = PositionButton(kFnSwitchedKey)) {
        button->SetEnabled(type == 1);
    }
}

void CZentrelKeyboardDevice::SetHostLightControl(bool on) {
    CZentrelUSBDevice::SetHostLightControl(on);
    if (on && Identity().deviceClass == KeyboardWired) {
        RunRead([core = m_keyboard] { core->SendHostLight(); }, {});  // never waited for
    }
}

bool CZentrelKeyboardDevice::ChangeOptions(const profiles::KeyboardSystemSettings& options, Written written) {
    const profiles::KeyboardSystemSettings before = m_keyboard->Options();
    m_keyboard->SetOptions(options);
    ShowOptions(options);
    if (!SaveProfile()) {
        return false;  // the user was told; the page keeps them to save again
    }
    const int profile = m_keyboard->OnboardProfile();
    WriteLatest(WriteSlot::kRecord, m_keyboard->LightConfigWrite(profile, static_cast<uint8_t>(profile)),
                std::move(written));
    if (before.repeat != options.repeat || before.repeatDelay != options.repeatDelay) {
        GiveRepeatToDesktop();
    }
    return true;
}

void CZentrelKeyboardDevice::ReloadProfile() {
    const profiles::KeyboardSystemSettings before = m_keyboard->Options();
    CZentrelUSBDevice::ReloadProfile();
    const profiles::KeyboardSystemSettings& now = m_keyboard->Options();
    if (now.repeat != before.repeat || now.repeatDelay != before.repeatDelay) {
        GiveRepeatToDesktop();
    }
}

bool CZentrelKeyboardDevice::ResetRepeat() {
    profiles::CKeyboardProfiledata shipped;
    shipped.LoadSection(DefaultProfilePath().toStdString());
    const profiles::KeyboardSystemSettings stored = shipped.GetSystemStages();
    profiles::KeyboardSystemSettings options = ReadOptions();
    options.repeat = stored.repeat;
    options.repeatDelay = stored.repeatDelay;
    return ChangeOptions(options);
}

bool CZentrelKeyboardDevice::RepeatBusy() const {
    return m_repeatDesktop->Running();
}

void CZentrelKeyboardDevice::GiveRepeatToDesktop() {
    const profiles::KeyboardSystemSettings& options = m_keyboard->Options();
    m_repeatDesktop->Apply(KeyLabels::RepeatDelayMs(options.repeatDelay), options.repeat,
                           [this](const KeyRepeatDesktop::Outcome& outcome) {
                               QString text = ui::CResourceManager::Instance().GetText(outcome.textId);
                               if (text.contains(QLatin1String("%1"))) {
                                   text = text.arg(outcome.desktop);
                               }
                               if (text.contains(QLatin1String("%2"))) {
                                   text = text.arg(outcome.why);
                               }
                               m_repeatStatus = text;
                               Options().ShowDesktopStatus(text);
                               DebugTrace("key repeat: " + text.toStdString());
                           });
}

}  // namespace kx520
