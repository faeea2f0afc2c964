#include "mouse/MouseCore.h"

#include <algorithm>

#include "catalog/DeviceCatalog.h"
#include "lighting/EffectClock.h"
#include "mouse/MouseLink.h"
#include "platform/DebugTrace.h"
#include "profiles/JsonFile.h"
#include "profiles/MacroStore.h"
#include "profiles/ShootGun.h"
#include "profiles/ShootImage.h"
#include "protocol/CommandSet.h"
#include "protocol/DeviceState.h"

namespace kx520 {

using namespace protocol;

namespace {

// Page modes from here on have no code of the mouse's own: they go as the
// first mode of the list.
constexpr uint8_t kFirstUncodedMode = 10;

}  // namespace

MouseCore::MouseCore(hid::HidBackend& backend) : DeviceCore(backend) {}

MouseCore::~MouseCore() {
    StopLightThread();
}

void MouseCore::SetFolders(std::string dataFolder, std::string defaultFolder) {
    m_dataFolder = std::move(dataFolder);
    m_defaultFolder = std::move(defaultFolder);
}

void MouseCore::LoadDefaults() {
    m_names.Load(KindNumber(), m_dataFolder, m_defaultFolder, profiles::MacroStore::kIndexFile);
}

bool MouseCore::ReadDeviceState() {
    const std::optional<DeviceState> state = FetchDeviceState();
    return state && TakeDeviceState(*state);
}

std::optional<DeviceState> MouseCore::FetchDeviceState() {
    if (!Channel().IsOpen()) {
        return std::nullopt;
    }
    if (Channel().ReceiverMode() && !MouseLink::Awake(Channel())) {
        return std::nullopt;
    }
    // Asked (as the cable's class) without a second probe.
    return protocol::ReadDeviceState(Channel(), MouseWired);
}

bool MouseCore::TakeDeviceState(const DeviceState& state) {
    if (state.result != kResultSuccess) {
        return false;
    }
    TakeInfo(state.info);
    m_rawKeys = state.keys;
    return true;
}

bool MouseCore::ReadConfigRecord() {
    const auto read = MouseLink::ReadRecord(Channel());
    return read && TakeConfigRecord(*read);
}

std::optional<MouseLink::Record> MouseCore::FetchConfigRecord() {
    return MouseLink::ReadRecord(Channel());
}

bool MouseCore::TakeConfigRecord(const MouseLink::Record& read) {
    const auto parsed = MouseConfigRecord::Parse(read.bytes);
    if (!parsed) {
        return false;
    }
    m_record = read.bytes;
    m_onboardProfile = read.profile;
    // The mode only when the list names it; the page's mode stays otherwise.
    const int position = m_names.PositionOf(parsed->modeCode);
    if (position >= 0 && position <= 0xFF) {
        m_light.mode = static_cast<uint8_t>(position);
    }
    m_light.brightness = parsed->brightness;
    m_light.speed = parsed->speed;
    m_light.multiColor = parsed->multiColor;
    m_light.red = parsed->red;
    m_light.green = parsed->green;
    m_light.blue = parsed->blue;
    m_profile.SetLightInfo(m_light);
    m_profile.SetActiveStage(parsed->activeStage);
    SetLight(m_light);
    return true;
}

void MouseCore::SetLight(const profiles::LightSetting& light) {
    m_light = light;
    std::lock_guard lock(m_engineLock);
    if (!m_engineStarted || light.mode != m_engineSetting.mode) {
        m_engine.Reset();
        m_engineStarted = true;
    }
    m_engineSetting = light;
    SetCurrentEffect(EffectSettingOf(light));
}

void MouseCore::LoadCustomEffect() {
    // Modes from 10 on are the custom effects in their list's order (as the
    // logo names them).
    std::vector<profiles::LightEffectFrame> frames;
    if (m_light.mode >= kFirstUncodedMode) {
        frames = m_profile.LoadCustomEffectAt(m_light.mode - kFirstUncodedMode);
    }
    std::lock_guard lock(m_engineLock);
    WithFrame([this, &frames](std::span<LedEntry>) { m_player.SetFrames(std::move(frames)); });
}

void MouseCore::StartFadeReaction(uint32_t seed) {
    std::lock_guard lock(m_engineLock);
    if (m_engineSetting.mode == MouseLightEngine::kFadeReaction) {
        m_engine.StartFade(seed);
    }
}

void MouseCore::LightPass(uint32_t nowMs) {
    std::lock_guard lock(m_engineLock);
    const bool tick = m_ticks.Pass(nowMs);
    const profiles::LightSetting setting = m_engineSetting;
    if (setting.mode >= kFirstUncodedMode) {
        // A custom effect keeps its own time, on every pass.
        WithFrame([this, nowMs, tick](std::span<LedEntry> frame) { m_player.Pass(nowMs, tick, frame); });
        return;
    }
    if (m_ticks.Due(MouseLightEngine::Interval(setting.speed))) {
        RunStep(setting.mode, setting);
    }
}

void MouseCore::RunStep(int mode, const profiles::LightSetting& setting) {
    switch (mode) {
        case MouseLightEngine::kGroupWave:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_engine.GroupWave(setting, frame); });
            return;
        case 1: EffectSpectrum(); return;
        case 2: EffectBreathe(); return;
        case 3: EffectStatic(); return;
        case 4: EffectBlink(); return;
        case MouseLightEngine::kRunningLight:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_engine.RunningLight(setting, frame); });
            return;
        case MouseLightEngine::kFadeReaction:
            WithFrame([this, &setting](std::span<LedEntry> frame) { m_engine.FadeFrame(setting, frame); });
            return;
        case 7: EffectBreatheFour(); return;
        case 8: EffectBlinkFour(); return;
        default: EffectOff(); return;
    }
}

void MouseCore::StartLight() {
    StartLightLoop([this](uint32_t nowMs) { LightPass(nowMs); }, "MS灯光线程设定退出");
}

std::optional<std::array<uint8_t, MouseConfigRecord::kWriteSize>> MouseCore::BuildRecord(uint8_t value,
                                                                                         uint8_t third,
                                                                                         uint16_t fourth,
                                                                                         uint16_t fifth) const {
    uint32_t code = 0;
    const size_t position = m_light.mode < kFirstUncodedMode ? m_light.mode : 0;
    if (!m_names.CodeOf(position, code) || code > 0xFF) {
        return std::nullopt;
    }
    MouseConfigRecord::Fields fields;
    fields.value = value;
    fields.modeCode = static_cast<uint8_t>(code);
    fields.light = m_light;
    fields.activeStage = m_profile.GetActiveStage();
    fields.stages = m_profile.Stages();
    // The profile value the record carries: the report rate, the one
    // setting of the profile that is the mouse's own.
    fields.profileValue = static_cast<uint8_t>(MouseSensitivity::PollingOption(m_profile.SystemSettings().reportRate));
    // Steps from a file beyond the sliders' last one are that one.
    if (const MouseSensitivity scale = Scale(); scale.highest > 0) {
        for (profiles::DpiStage& stage : fields.stages) {
            stage.dpiX = std::min<uint16_t>(stage.dpiX, scale.highest);
            stage.dpiY = std::min<uint16_t>(stage.dpiY, scale.highest);
        }
    }
    // The chosen correction preset: its two bytes, high first.
    for (const profiles::CorrectionPreset& preset : m_profile.Corrections()) {
        if (preset.selected != 0) {
            fields.listWord = static_cast<uint16_t>((preset.minSquare << 8) | preset.pixThreshold);
            break;
        }
    }
    fields.third = third;
    fields.fourth = fourth;
    fields.fifth = fifth;
    return MouseConfigRecord::Build(fields);
}

int MouseCore::WriteLightConfig(int profile, uint8_t value, uint8_t third, uint16_t fourth, uint16_t fifth) {
    return LightConfigWrite(profile, value, third, fourth, fifth)();
}

std::function<int()> MouseCore::LightConfigWrite(int profile, uint8_t value, uint8_t third, uint16_t fourth,
                                                 uint16_t fifth) {
    if (profile < 0 || profile >= MouseLink::kMaxProfiles) {
        return [] { return kResultUnsupported; };
    }
    const auto record = BuildRecord(value, third, fourth, fifth);
    if (!record) {
        return [] { return kResultUnsupported; };  // no code for this mode: nothing is sent
    }
    const auto base = static_cast<uint16_t>(MouseConfigRecord::kStride * static_cast<size_t>(profile));
    return [this, record = *record, base] {
        return MouseLink::Write(Channel(), [&] { return CMD_WRITE_CONFIG(Channel(), record, base); });
    };
}

KeyTable MouseCore::Keys() const {
    return KeyTable(kMouseButtonDefaults, m_rawKeys, DeviceKeyCount());
}

std::vector<profiles::KeyAssignmentEntry> MouseCore::ReadKeyList(
    const std::vector<profiles::KeyAssignmentEntry>& profileList, size_t macroCount) const {
    return Keys().Read(profileList, macroCount);
}

int MouseCore::RefreshInfo() {
    if (!Channel().IsOpen()) {
        return kResultNoReply;
    }
    if (!MouseLink::Awake(Channel())) {
        return kResultReceiverAnswered;
    }
    std::vector<uint8_t> info(kDeviceInfoSize);
    if (const int read = CMD_READ_INFO(Channel(), info); read != kResultSuccess) {
        return read;
    }
    TakeInfo(std::move(info));
    return kResultSuccess;
}

void MouseCore::TakeInfo(std::vector<uint8_t> info) {
    const MouseSensitivity scale = MouseSensitivity::FromInfo(info);
    std::lock_guard lock(m_infoLock);
    m_info = std::move(info);
    m_scale = scale;
}

MouseCore::ShootWrite MouseCore::WriteShoot() {
    if (std::string error = ProvideGuns(); !error.empty()) {
        return {kResultUnsupported, std::move(error)};
    }
    if (const int info = RefreshInfo(); info != kResultSuccess) {
        return {info, {}};
    }
    const std::vector<uint8_t> image = profiles::ShootImage::BuildFromFolder(m_dataFolder);
    return {MouseLink::Write(Channel(), [&] { return CMD_WRITE_SHOOT(Channel(), image); }), {}};
}

std::string MouseCore::ShootWrite::Reason() const {
    if (!fileError.empty()) {
        return fileError;
    }
    switch (result) {
        case kResultSuccess: return {};
        case kResultNoReply: return "the mouse did not answer";
        case kResultStatusFF:
        case kResultStatusFE: return "the mouse refused the recoil patterns";
        case kResultReceiverAnswered: return "the receiver cannot reach the mouse (it is asleep or off)";
        case kResultWriteFailed: return "the recoil patterns could not be sent to the mouse";
        default: return "the mouse did not take the recoil patterns (" + std::to_string(result) + ")";
    }
}

std::string MouseCore::ProvideGuns() const {
    return profiles::ShootGun::Provide(m_dataFolder, m_defaultFolder);
}

int MouseCore::WriteKeys(const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount) {
    if (RefreshInfo() != kResultSuccess) {
        return 0;
    }
    if (DeviceKeyCount() > KeyTable::kMaxDeviceKeys || !Channel().SetBlockLimit(3u * DeviceKeyCount())) {
        return kResultUnsupported;
    }
    std::vector<int> order;
    const std::vector<uint8_t> table = Keys().Build(list, macroCount, order);
    if (table.empty()) {
        return kResultUnsupported;
    }
    return MouseLink::Write(Channel(), [&] { return CMD_WRITE_KEYS(Channel(), table, 0); });
}

int MouseCore::WriteMacros(const std::vector<int>& order) {
    profiles::MacroStore macros(m_dataFolder);
    macros.Load();
    if (macros.Entries().empty() || order.empty()) {
        return 0;
    }
    if (RefreshInfo() != kResultSuccess) {
        return kMacroWriteFailed;  // asleep or gone: the memory's size is not known either
    }
    std::vector<uint8_t> image;
    const std::vector<uint8_t> info = Info();
    const size_t capacity = info.size() > 6 ? static_cast<size_t>(info[6]) * 128 : 0;
    if (const int prepared = KeyTable::MacroImageOf(macros, order, capacity, image); prepared != 0) {
        return prepared;
    }
    const int written = MouseLink::Write(Channel(), [&] { return CMD_WRITE_MACROS(Channel(), image); });
    return written == kResultSuccess ? 0 : kMacroWriteFailed;
}

MouseCore::AssignmentResult MouseCore::WriteAssignments(const std::vector<profiles::KeyAssignmentEntry>& list) {
    AssignmentResult result;
    profiles::MacroStore macros(m_dataFolder);
    macros.Load();
    std::vector<int> order;
    Keys().Build(list, macros.Entries().size(), order);
    result.macros = WriteMacros(order);
    if (result.macros != 0) {
        return result;  // a table naming macros the mouse lacks is not written
    }
    result.keys = WriteKeys(list, macros.Entries().size());
    return result;
}

bool MouseCore::IsOnlyLeftButton(const std::vector<profiles::KeyAssignmentEntry>& list, size_t position) {
    auto isLeft = [](const profiles::KeyAction& action) {
        return action.type == 0x10 && action.param1 == 0x01 && action.param2 == 0;
    };
    if (position >= list.size() || !isLeft(list[position].assignment)) {
        return false;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        if (i != position && isLeft(list[i].assignment)) {
            return false;
        }
    }
    return true;
}

std::string MouseCore::LightModeName(int mode, bool& resolved) const {
    constexpr int kFirstCustom = 10;
    resolved = mode < kFirstCustom;
    const std::vector<std::string>& names = resolved ? m_names.EffectNames() : m_names.CustomEffectNames();
    const int index = resolved ? mode : mode - kFirstCustom;
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[static_cast<size_t>(index)]
                                                                    : std::string();
}

MouseCore::Notification MouseCore::TakeNotification(uint16_t code) {
    if (code == 0x401) {
        return Notification::kSettingsChanged;
    }
    if (code == 0x403) {
        return Notification::kFadeReaction;
    }
    const unsigned high = code >> 8;
    if (code <= 0x401 || !Channel().IsOpen() || (high != 0x10 && high != 0x11)) {
        return Notification::kIgnored;
    }
    m_onboardProfile = code & 0x0F;
    if (high == 0x11) {
        m_profile.SetActiveStage(MouseSensitivity::ClampStage((code >> 4) & 0x0F));
    }
    return Notification::kProfileSwitched;
}

bool MouseCore::ProbeLink() {
    return Channel().IsOpen() && Channel().ReceiverMode() && MouseLink::Awake(Channel());
}

}  // namespace kx520
