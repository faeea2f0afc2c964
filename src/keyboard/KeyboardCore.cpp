#include "keyboard/KeyboardCore.h"

#include "keycodes/KeyTable.h"

#include <algorithm>

#include "catalog/DeviceCatalog.h"
#include "lighting/EffectClock.h"
#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"
#include "catalog/PageKeyDefaults.h"
#include "platform/DebugTrace.h"
#include "profiles/MacroStore.h"
#include "protocol/DeviceState.h"

namespace kx520 {

namespace {

using namespace protocol;

// The light modes the device base's software effects run.
bool IsSoftwareMode(int mode) {
    return mode == 4 || mode == 23 || mode == 26 || mode == 27 || mode == 28;
}

constexpr uint8_t kPerKeyColourMode = 19;
constexpr uint32_t kMusicModeCode = 29;
constexpr uint32_t kHostColourModeCode = 30;
constexpr uint8_t kMaxStep = 4;

uint8_t Step(uint8_t value) {
    return std::min(value, kMaxStep);
}

}  // namespace

KeyboardCore::KeyboardCore(hid::HidBackend& backend) : DeviceCore(backend) {}

KeyboardCore::~KeyboardCore() {
    StopLightThread();  // its body reads this object's members
}

std::atomic<bool>& KeyboardCore::ReloadFlag() {
    // One for the process: a reload asked by one keyboard's notification
    // is done by whichever keyboard handles its notification next.
    static std::atomic<bool> flag{false};
    return flag;
}

void KeyboardCore::SetFolders(std::string dataFolder, std::string defaultFolder) {
    m_dataFolder = std::move(dataFolder);
    m_defaultFolder = std::move(defaultFolder);
}

bool KeyboardCore::ReadDeviceState() {
    const std::optional<DeviceState> state = FetchDeviceState();
    return state && TakeDeviceState(*state);
}

std::optional<DeviceState> KeyboardCore::FetchDeviceState() {
    if (!Channel().IsOpen()) {
        return std::nullopt;
    }
    // The receiver was probed before the connection was taken as made.
    return protocol::ReadDeviceState(Channel(), KeyboardWired);
}

bool KeyboardCore::TakeDeviceState(const DeviceState& state) {
    if (state.result != kResultSuccess || state.info.size() != m_info.size()) {
        DebugTrace("keyboard state not read: " + std::to_string(state.result));
        return false;
    }
    std::array<uint8_t, protocol::kDeviceInfoSize> info{};
    std::copy(state.info.begin(), state.info.end(), info.begin());
    TakeInfo(info);
    m_rawKeys.fill(0);
    m_keyExtra.fill(0);
    std::copy_n(state.keys.begin(), std::min(state.keys.size(), kTableSize), m_rawKeys.begin());
    std::copy_n(state.keyExtra.begin(), std::min(state.keyExtra.size(), kTableSize),
                m_keyExtra.begin());
    BuildKeyMaps();
    return true;
}

void KeyboardCore::BuildKeyMaps() {
    std::vector<uint8_t> keys = Keys().Map();
    std::vector<uint8_t> leds(keys.size(), kUnmapped);
    for (size_t j = 0; j < keys.size(); ++j) {
        if (keys[j] != kUnmapped) {
            leds[j] = m_keyExtra[keys[j]];
        }
    }
    SetKeyMap(0, std::move(keys));
    SetKeyMap(1, std::move(leds));
}

KeyTable KeyboardCore::Keys() const {
    return KeyTable(kPageKeyDefaults, m_rawKeys, DeviceKeyCount());
}

uint8_t KeyboardCore::DeviceKeyOf(size_t position) const {
    const std::vector<uint8_t>& map = KeyMap(0);
    return position < map.size() ? map[position] : kUnmapped;
}

void KeyboardCore::LoadDefaults() {
    m_names.Load(KindNumber(), m_dataFolder, m_defaultFolder, profiles::MacroStore::kIndexFile);
}

bool KeyboardCore::ReadLightRecord(bool& modeChanged) {
    modeChanged = false;
    if (!Channel().IsOpen()) {
        return TakeLightRecord(nullptr, modeChanged);  // the record held
    }
    const std::optional<FetchedRecord> fetched = FetchLightRecord();
    return fetched && TakeLightRecord(&*fetched, modeChanged);
}

std::optional<KeyboardCore::FetchedRecord> KeyboardCore::FetchLightRecord() {
    FetchedRecord fetched;
    if (CMD_READ_CONFIG(Channel(), std::span<uint8_t>(&fetched.profile, 1), 0) != kResultSuccess) {
        return std::nullopt;
    }
    if (fetched.profile >= kMaxOnboardProfiles) {
        DebugTrace("keyboard names onboard profile " + std::to_string(fetched.profile) + "; ignored");
        return std::nullopt;
    }
    if (CMD_READ_CONFIG(Channel(), fetched.record, static_cast<uint16_t>(kRecordStride * fetched.profile)) !=
        kResultSuccess) {
        return std::nullopt;
    }
    return fetched;
}

bool KeyboardCore::TakeLightRecord(const FetchedRecord* fetched, bool& modeChanged) {
    modeChanged = false;
    if (fetched != nullptr) {
        const uint8_t profile = fetched->profile;
        LightRecord record = fetched->record;
        m_onboardProfile = profile;
        record[0] = profile;
        // The record keeps the mode as the page numbers it; 0xFE (host-driven)
        // and a code the mode list lacks leave the page's mode.
        const int position = record[1] == kHostDrivenMode ? -1 : m_names.PositionOf(record[1]);
        m_recordModeFound = position >= 0 && position <= 0xFF;
        if (m_recordModeFound) {
            record[1] = static_cast<uint8_t>(position);
        }
        m_record = record;
    }
    profiles::LightSetting setting = m_light;
    if (m_recordModeFound) {
        setting.mode = m_record[1];
    }
    setting.brightness = Step(m_record[2]);
    setting.speed = static_cast<uint8_t>(kMaxStep - Step(m_record[3]));
    setting.direction = m_record[4];
    setting.multiColor = m_record[5];
    setting.red = m_record[6];
    setting.green = m_record[7];
    setting.blue = m_record[8];
    setting.zzccLedMode = m_record[18];
    modeChanged = setting.mode != m_light.mode || setting.mode == kPerKeyColourMode;
    m_light = setting;
    m_options.wFlag = m_record[19];
    m_options.key6Flag = m_record[20];
    m_options.winFlag = m_record[21];
    m_profile.SetLightInfo(m_light);
    m_profile.SetSystemStages(m_options);
    m_profile.Save();
    return true;
}

std::vector<uint8_t> KeyboardCore::BuildKeyTable(
    const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount,
    std::vector<int>& macroOrder) const {
    return Keys().Build(list, macroCount, macroOrder);
}

std::vector<profiles::KeyAssignmentEntry> KeyboardCore::ReadKeyList(
    const std::vector<profiles::KeyAssignmentEntry>& profileList, size_t macroCount) const {
    return Keys().Read(profileList, macroCount);
}

int KeyboardCore::WriteKeys(const std::vector<profiles::KeyAssignmentEntry>& list) {
    if (!Channel().IsOpen()) {
        return 0;
    }
    std::array<uint8_t, protocol::kDeviceInfoSize> info{};
    const int read = CMD_READ_INFO(Channel(), info);
    if (read != kResultSuccess) {
        return read;
    }
    TakeInfo(info);
    if (DeviceKeyCount() > kMaxDeviceKeys || !Channel().SetBlockLimit(3u * DeviceKeyCount())) {
        return kResultUnsupported;
    }
    profiles::MacroStore macros(m_dataFolder);
    macros.Load();
    std::vector<int> order;
    const std::vector<uint8_t> table = BuildKeyTable(list, macros.Entries().size(), order);
    return Bracketed(Channel(), [&] { return CMD_WRITE_KEYS(Channel(), table, 0); });
}

int KeyboardCore::WriteMacros(const std::vector<int>& order) {
    if (Channel().IsOpen()) {
        std::array<uint8_t, protocol::kDeviceInfoSize> info{};
        if (CMD_READ_INFO(Channel(), info) == kResultSuccess) {
            TakeInfo(info);
        }
    }
    profiles::MacroStore macros(m_dataFolder);
    macros.Load();
    if (macros.Entries().empty() || order.empty()) {
        return 0;
    }
    if (!Channel().IsOpen()) {
        return kMacroWriteFailed;  // the size the keyboard takes is not known either
    }
    std::vector<uint8_t> image;
    const size_t capacity = static_cast<size_t>(Info()[6]) * 128;
    if (const int prepared = KeyTable::MacroImageOf(macros, order, capacity, image); prepared != 0) {
        return prepared;
    }
    const int written = Bracketed(Channel(), [&] { return CMD_WRITE_MACROS(Channel(), image); });
    return written == kResultSuccess ? 0 : kMacroWriteFailed;
}

KeyboardCore::AssignmentResult KeyboardCore::WriteAssignments(
    const std::vector<profiles::KeyAssignmentEntry>& list) {
    AssignmentResult result;
    profiles::MacroStore macros(m_dataFolder);
    macros.Load();
    std::vector<int> order;
    BuildKeyTable(list, macros.Entries().size(), order);
    result.macros = WriteMacros(order);
    if (result.macros != 0) {
        return result;  // a key table naming macros the keyboard lacks is not written
    }
    result.keys = WriteKeys(list);
    return result;
}

std::optional<KeyboardCore::LightRecord> KeyboardCore::BuildLightRecord(uint8_t value) const {
    uint32_t code = 0;
    if (!m_names.CodeOf(m_light.mode, code)) {
        return std::nullopt;
    }
    LightRecord record{};
    record[0] = value;
    record[1] = code == kMusicModeCode || code == kHostColourModeCode ? kHostDrivenMode
                                                                      : static_cast<uint8_t>(code);
    record[2] = Step(m_light.brightness);
    record[3] = static_cast<uint8_t>(kMaxStep - Step(m_light.speed));
    record[4] = m_light.direction;
    record[5] = m_light.multiColor;
    record[6] = m_light.red;
    record[7] = m_light.green;
    record[8] = m_light.blue;
    record[18] = m_light.zzccLedMode;
    record[19] = static_cast<uint8_t>(m_options.wFlag);
    record[20] = static_cast<uint8_t>(m_options.key6Flag);
    record[21] = static_cast<uint8_t>(m_options.winFlag);
    record[22] = static_cast<uint8_t>(m_options.pollingRate <= 3 ? m_options.pollingRate : 0);
    return record;
}

int KeyboardCore::WriteLightConfig(int profile, uint8_t value) {
    return LightConfigWrite(profile, value)();
}

std::function<int()> KeyboardCore::LightConfigWrite(int profile, uint8_t value) {
    if (profile < 0 || profile >= kMaxOnboardProfiles) {
        return [] { return kResultUnsupported; };
    }
    const auto record = BuildLightRecord(value);
    if (!record) {
        return [] { return kResultUnsupported; };  // no code for this mode: nothing is sent
    }
    const auto base = static_cast<uint16_t>(kRecordStride * static_cast<size_t>(profile));
    return [this, record = *record, base] {
        return Bracketed(Channel(), [&] { return CMD_WRITE_CONFIG(Channel(), record, base); });
    };
}

int KeyboardCore::SendHostLight() {
    if (!Channel().IsOpen() || Channel().ReceiverMode()) {
        return 0;
    }
    return CMD_HOST_LIGHT(Channel());
}

void KeyboardCore::TakeLightSetting(const profiles::LightSetting& setting) {
    bool perKey = false;
    {
        std::lock_guard lock(m_engineLock);
        if (!m_engineStarted || setting.mode != m_engineSetting.mode ||
            setting.mode == KeyboardLightEngine::kPerKeyColourMode) {
            m_engine.ResetEffect();
            m_engine.StartMode(setting.mode);
            m_engineStarted = true;
            perKey = setting.mode == KeyboardLightEngine::kPerKeyColourMode;
        }
        m_engineSetting = setting;
    }
    SetCurrentEffect(EffectSettingOf(setting));
    if (perKey) {
        std::function<int()> send = KeyColoursWrite();
        if (m_sendLater) {
            m_sendLater(std::move(send));
        } else {
            send();
        }
    }
}

int KeyboardCore::WriteKeyColours() {
    return KeyColoursWrite()();
}

std::function<int()> KeyboardCore::KeyColoursWrite() {
    const int layout = m_profile.GetCustomLightGroup();
    const auto colours = m_profile.GetCustomLightColors(layout, LedCount());
    const uint8_t bright =
        kBrightnessTable[std::min<size_t>(EngineSetting().brightness, kBrightnessTable.size() - 1)];
    std::vector<uint8_t> table(kTableSize, 0);
    WithFrame([&](std::span<LedEntry> frame) {
        for (size_t i = 0; i < frame.size() && i < colours.size(); ++i) {
            frame[i] = LedEntry{colours[i].red, colours[i].green, colours[i].blue, bright};
        }
        // The page keys' LEDs at their positions, red, green, blue.
        const std::vector<uint8_t>& leds = KeyMap(1);
        for (size_t j = 0; j < kPageKeys && j < leds.size(); ++j) {
            const size_t p = leds[j];
            if (p >= kMaxDeviceKeys || p >= frame.size()) {
                continue;
            }
            table[3 * p] = frame[p].ShownRed();
            table[3 * p + 1] = frame[p].ShownGreen();
            table[3 * p + 2] = frame[p].ShownBlue();
        }
    });
    table.resize(std::min<size_t>(3u * DeviceKeyCount(), table.size()));
    return [this, table = std::move(table)] {
        if (!Channel().IsOpen()) {
            return 0;
        }
        return CMD_WRITE_KEY_COLOURS(Channel(), std::span<const uint8_t>(table), 0, static_cast<int>(kTableSize));
    };
}

profiles::LightSetting KeyboardCore::EngineSetting() const {
    std::lock_guard lock(m_engineLock);
    return m_engineSetting;
}

void KeyboardCore::SetHostValues(const std::array<uint32_t, 6>& values) {
    std::lock_guard lock(m_engineLock);
    m_hostValues = values;
    m_engine.SetHostColour(values[0] & 0xFF, values[1] & 0xFF, values[2] & 0xFF);
}

void KeyboardCore::LightPass(uint32_t nowMs) {
    std::lock_guard lock(m_engineLock);
    const bool tick = m_ticks.Pass(nowMs);
    const profiles::LightSetting setting = m_engineSetting;
    const int mode = setting.mode;
    if (KeyboardLightEngine::HasStep(mode) || IsSoftwareMode(mode)) {
        // The music runs on every second tick.
        const int due = mode == KeyboardLightEngine::kMusicMode ? 2 : KeyboardLightTables::Interval(mode, setting.speed);
        if (m_ticks.Due(due)) {
            RunStep(mode, setting, nowMs);
        }
    } else {
        WithFrame([this, nowMs, tick](std::span<LedEntry> frame) { m_player.Pass(nowMs, tick, frame); });
    }
    WithFrame([this, nowMs, tick](std::span<LedEntry> frame) {
        WithLightList([this, nowMs, tick, frame](std::span<const profiles::LightSetting> list) {
            m_overrides.Apply(list, nowMs, tick, frame);
        });
    });
}

void KeyboardCore::RunStep(int mode, const profiles::LightSetting& setting, uint32_t) {
    switch (mode) {
        case 4: EffectSpectrum(); return;
        case 23: EffectBlink(); return;
        case 26: EffectBreatheFour(); return;
        case 27: EffectBlinkFour(); return;
        case 28: EffectOff(); return;
        default:
            WithFrame([this, mode, &setting](std::span<LedEntry> frame) { m_engine.Step(mode, setting, frame); });
            return;
    }
}

void KeyboardCore::EffectBreathe() {
    std::lock_guard lock(m_engineLock);
    const profiles::LightSetting setting = m_engineSetting;
    WithFrame([this, &setting](std::span<LedEntry> frame) { m_engine.Step(5, setting, frame); });
}

void KeyboardCore::EffectStatic() {
    std::lock_guard lock(m_engineLock);
    const profiles::LightSetting setting = m_engineSetting;
    WithFrame([this, &setting](std::span<LedEntry> frame) { m_engine.Step(6, setting, frame); });
}

void KeyboardCore::RefreshLighting(const profiles::LightSetting& setting) {
    TakeLightSetting(setting);
    const profiles::AudioLightSetting audio = m_profile.GetAudioLightInfo();
    std::vector<profiles::LightSetting> list = m_profile.GetLightList();
    // The custom effect chosen in the page's list (its place is the custom
    // group) plays whenever the mode has no effect of its own.
    std::vector<profiles::LightEffectFrame> frames = m_profile.LoadCustomEffectAt(setting.customGroup);
    std::lock_guard lock(m_engineLock);
    m_engine.SetAudioLight(audio);
    SetLightList(list);
    m_overrides.Reset();
    if (setting.mode == 24) {
        m_engine.ClearKeyColours();
    }
    m_engine.SetEffectPosition(0);
    WithFrame([this, &frames](std::span<LedEntry>) { m_player.SetFrames(std::move(frames)); });
}

void KeyboardCore::SetAudioBands(std::span<const int32_t> levels) {
    std::array<int32_t, KeyboardMusic::kBands> bands{};
    std::copy_n(levels.begin(), std::min(levels.size(), bands.size()), bands.begin());
    std::lock_guard lock(m_engineLock);
    m_engine.SetAudioBands(bands, m_engineSetting.mode);
}

void KeyboardCore::SetAudioLight(const profiles::AudioLightSetting& audio) {
    std::lock_guard lock(m_engineLock);
    m_engine.SetAudioLight(audio);
}

profiles::AudioLightSetting KeyboardCore::AudioLight() const {
    std::lock_guard lock(m_engineLock);
    return m_engine.Music().AudioLight();
}

std::pair<size_t, size_t> KeyboardCore::CustomEffectPosition() const {
    std::lock_guard lock(m_engineLock);
    return {m_player.FrameIndex(), m_player.FrameCount()};
}

void KeyboardCore::StartLight() {
    StartLightLoop([this](uint32_t nowMs) { LightPass(nowMs); }, "KB灯光线程设定退出");
}

void KeyboardCore::SendFrame(std::span<const LedEntry> frame) {
    const int mode = EngineSetting().mode;
    if (mode != 29 && mode != KeyboardLightEngine::kHostColourMode) {
        return;  // the keyboard runs this effect itself
    }
    if (!Channel().IsOpen()) {
        return;
    }
    // On either link: the sender keeps one frame in flight, so through the
    // receiver (16 packets of 24 bytes) frames go as fast as its bus takes
    // them and the ones between are dropped. The page keys' LEDs at their
    // positions, red, blue, green.
    std::vector<uint8_t> bytes(3 * kPageKeys, 0);
    const std::vector<uint8_t>& leds = KeyMap(1);
    for (size_t j = 0; j < kPageKeys && j < leds.size(); ++j) {
        const uint8_t p = leds[j];
        if (p == kUnmapped || p >= kMaxDeviceKeys || p >= frame.size() || 3u * p + 2 >= bytes.size()) {
            continue;
        }
        const LedEntry& led = frame[p];
        bytes[3u * p] = led.ShownRed();
        bytes[3u * p + 1] = led.ShownBlue();
        bytes[3u * p + 2] = led.ShownGreen();
    }
    Sender().Submit(std::move(bytes));
}

bool KeyboardCore::ProbeLink() {
    // Asked from the UI thread: bounded, so an unanswering receiver cannot hang it.
    return Channel().IsOpen() && Channel().ReceiverMode() &&
           CMD_RECEIVER_PROBE(Channel(), std::chrono::steady_clock::now() + kUiProbeWait);
}

KeyboardCore::Notification KeyboardCore::TakeNotification(uint16_t code) {
    if (code == 0x401) {
        return Notification::kSettingsChanged;
    }
    if (code == 0x402) {
        ReloadFlag() = true;
        return Notification::kReload;
    }
    const unsigned high = code >> 8;
    if (code > 0x402 && Channel().IsOpen() && (high == 0x10 || high == 0x11)) {
        m_onboardProfile = code & 0x0F;
        return Notification::kProfileSwitched;
    }
    return Notification::kIgnored;
}

}  // namespace kx520
