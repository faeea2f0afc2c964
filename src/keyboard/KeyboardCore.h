#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/DeviceState.h"
#include "devicebase/DefaultNameLists.h"
#include "devicebase/DeviceCore.h"
#include "lighting/EffectClock.h"
#include "lighting/CustomEffectPlayer.h"
#include "keyboard/KeyboardLightEngine.h"
#include "keycodes/KeyTable.h"
#include "lighting/LightListOverrides.h"
#include "profiles/CKeyboardProfiledata.h"
#include "profiles/KeyAction.h"
#include "profiles/LightSetting.h"
#include "protocol/CommandSet.h"

namespace kx520 {

class KeyTable;

// The keyboard without its page: what it read from the keyboard (info
// block, key table, LED positions, light record), the key maps between the
// page's 126 key positions and the keyboard's keys, the writes of key
// assignments, macros and light records, the power query and the meaning of
// its notifications.
class KeyboardCore : public DeviceCore {
public:
    static constexpr size_t kPageKeys = 126;
    static constexpr size_t kTableSize = 512;
    static constexpr size_t kMaxDeviceKeys = 170;
    static constexpr size_t kRecordSize = 26;
    static constexpr size_t kRecordStride = 25;
    // Onboard profiles a record or notification may name (low 4 bits).
    static constexpr int kMaxOnboardProfiles = 16;
    static constexpr uint8_t kUnmapped = 255;
    static constexpr uint8_t kHostDrivenMode = 0xFE;

    using LightRecord = std::array<uint8_t, kRecordSize>;

    // Results of a macro write, besides 0 (written or nothing to write) and
    // a positive overrun (events too many, plus one).
    static constexpr int kMacroNoMemory = -1;
    static constexpr int kMacroWriteFailed = -2;

    enum class Notification { kIgnored, kSettingsChanged, kReload, kProfileSwitched };

    explicit KeyboardCore(hid::HidBackend& backend);
    ~KeyboardCore() override;

    profiles::CKeyboardProfiledata& ProfileData() override { return m_profile; }
    profiles::CKeyboardProfiledata& Profile() { return m_profile; }
    // The device's data folder and the shipped defaults, both ending in '/'.
    void SetFolders(std::string dataFolder, std::string defaultFolder);
    const std::string& DataFolder() const { return m_dataFolder; }

    // --- the connection's reads ----------------------------------------------------
    // CMD_BEGIN, CMD_READ_INFO, the key table and its LED positions,
    // CMD_END; then the key maps. False (tables as they were) on any failure.
    bool ReadDeviceState();
    // The same in two halves: the read (the channel only, for the exchange
    // thread), then what the page takes of it.
    std::optional<protocol::DeviceState> FetchDeviceState();
    bool TakeDeviceState(const protocol::DeviceState& state);
    // Key map 0: page position -> first device key holding its default
    // code; key map 1: page position -> that key's LED position.
    void BuildKeyMaps();
    // The light record of the onboard profile: false (nothing taken over)
    // when it cannot be read. `modeChanged`: the light mode is new (or 19).
    bool ReadLightRecord(bool& modeChanged);
    // The same in two halves: the read (the channel only, for the exchange
    // thread), then what the page takes of it (null: the record held).
    struct FetchedRecord {
        uint8_t profile = 0;
        LightRecord record{};
    };
    std::optional<FetchedRecord> FetchLightRecord();
    bool TakeLightRecord(const FetchedRecord* fetched, bool& modeChanged);
    // The name lists and the mode list from the shipped and user files.
    void LoadDefaults();

    // --- writes ------------------------------------------------------------------
    // Key table copy with `list`'s assignments at the mapped keys, macro
    // references renumbered in order of first use (into `macroOrder`).
    // Empty when the key count is not usable.
    std::vector<uint8_t> BuildKeyTable(const std::vector<profiles::KeyAssignmentEntry>& list,
                                       size_t macroCount, std::vector<int>& macroOrder) const;
    // The key list as the keyboard's own table holds it, for the key page:
    // the keyboard numbers macros in the order `profileList` first uses
    // them (as BuildKeyTable wrote them); those numbers become places in
    // the macro index again. A reference beyond them, or a key the
    // keyboard lacks, shows its default.
    std::vector<profiles::KeyAssignmentEntry> ReadKeyList(
        const std::vector<profiles::KeyAssignmentEntry>& profileList, size_t macroCount) const;
    // 1 when written; 0 on a closed channel; else the failing command's code.
    int WriteKeys(const std::vector<profiles::KeyAssignmentEntry>& list);
    // The macros named by `order` as one image; see the kMacro* results.
    int WriteMacros(const std::vector<int>& order);
    using AssignmentResult = KeyWriteResult;
    // Macros first, then the key table, which is left unwritten when the
    // macros could not be.
    AssignmentResult WriteAssignments(const std::vector<profiles::KeyAssignmentEntry>& list);
    // The record of the current light setting and options; nothing when
    // the mode has no code in the mode list.
    std::optional<LightRecord> BuildLightRecord(uint8_t value) const;
    int WriteLightConfig(int profile, uint8_t value);
    // The same record built now, and what sends it: the sending needs
    // nothing but the channel, so it can run on the exchange thread.
    std::function<int()> LightConfigWrite(int profile, uint8_t value);
    // CMD_HOST_LIGHT on the wired keyboard.
    int SendHostLight();

    // --- the light engine (the host's copy of the keyboard's effects) ------------
    // Takes over the page's light setting: a new mode (or per-key colours
    // again) restarts the effect.
    void TakeLightSetting(const profiles::LightSetting& setting);
    // The page refresh: the light setting, the audio light setting, the
    // light list and the custom effect taken over from the profile, the
    // per-LED overrides and the custom effect from their start.
    void RefreshLighting(const profiles::LightSetting& setting);
    // 25 audio band levels for the music mode (fewer are padded with rest).
    void SetAudioBands(std::span<const int32_t> levels);
    void SetAudioLight(const profiles::AudioLightSetting& audio);
    profiles::AudioLightSetting AudioLight() const;
    profiles::LightSetting EngineSetting() const;
    // (Re)starts the light thread: a step of the current mode on every
    // interval of ticks of the effect clock, while the channel is open.
    void StartLight();
    // One pass of the light loop at clock `nowMs` (what the thread runs).
    void LightPass(uint32_t nowMs);
    // The custom effect being played (frame index, frame count).
    std::pair<size_t, size_t> CustomEffectPosition() const;
    void SetHostValues(const std::array<uint32_t, 6>& values);
    // Per-key colours (mode 19): the frame takes the profile's selected
    // colour layout and the keyboard gets its colour table; the command's
    // result (0 on a closed channel).
    int WriteKeyColours();
    // The colour table built now, and what sends it (the channel only).
    std::function<int()> KeyColoursWrite();
    // Where the table a light setting asks for goes: sent at once without
    // it (the page hands it to its exchange thread).
    void SetSendLater(std::function<void(std::function<int()>)> later) { m_sendLater = std::move(later); }
    // Modes 29 and 30 stream the page's frame to the keyboard; the others
    // are run by the keyboard itself.
    void SendFrame(std::span<const LedEntry> frame) override;
    // The keyboard's own breathing and static: by columns and rings of the
    // key matrix, with the current light setting.
    void EffectBreathe() override;
    void EffectStatic() override;

    // --- link and power ----------------------------------------------------------
    bool ProbeLink();

    // --- notifications -----------------------------------------------------------
    // What a code means; a profile switch sets the onboard profile.
    Notification TakeNotification(uint16_t code);
    // Set by 0x402: every keyboard reloads its profile list.
    static std::atomic<bool>& ReloadFlag();

    // --- state -------------------------------------------------------------------
    // A copy: the exchange thread refreshes it while the page reads.
    std::array<uint8_t, protocol::kDeviceInfoSize> Info() const {
        std::lock_guard lock(m_infoLock);
        return m_info;
    }
    const std::array<uint8_t, kTableSize>& RawKeys() const { return m_rawKeys; }
    const std::array<uint8_t, kTableSize>& KeyExtra() const { return m_keyExtra; }
    const LightRecord& LastRecord() const { return m_record; }
    int OnboardProfile() const { return m_onboardProfile; }
    const profiles::LightSetting& Light() const { return m_light; }
    void SetLight(const profiles::LightSetting& setting) { m_light = setting; }
    const profiles::KeyboardSystemSettings& Options() const { return m_options; }
    void SetOptions(const profiles::KeyboardSystemSettings& options) { m_options = options; }
    const DefaultNameLists& Names() const { return m_names; }
    const std::array<uint32_t, 6>& HostValues() const { return m_hostValues; }
    // The device key behind page position `position`, or kUnmapped.
    uint8_t DeviceKeyOf(size_t position) const;
    // The page's keys over the keyboard's table.
    KeyTable Keys() const;

private:
    uint8_t DeviceKeyCount() const {
        std::lock_guard lock(m_infoLock);
        return m_info[5];
    }
    void TakeInfo(const std::array<uint8_t, protocol::kDeviceInfoSize>& info) {
        std::lock_guard lock(m_infoLock);
        m_info = info;
    }
    void RunStep(int mode, const profiles::LightSetting& setting, uint32_t nowMs);

    std::string m_dataFolder;
    std::string m_defaultFolder;
    std::function<void(std::function<int()>)> m_sendLater;
    mutable std::mutex m_infoLock;
    std::array<uint8_t, protocol::kDeviceInfoSize> m_info{};
    std::array<uint8_t, kTableSize> m_rawKeys{};
    std::array<uint8_t, kTableSize> m_keyExtra{};
    LightRecord m_record{};
    bool m_recordModeFound = false;  // byte 1 of the record is a page mode
    profiles::LightSetting m_light;
    profiles::KeyboardSystemSettings m_options;
    int m_onboardProfile = 0;
    std::array<uint32_t, 6> m_hostValues{};
    // The engine and what it runs, shared by the UI and light threads.
    mutable std::mutex m_engineLock;
    KeyboardLightEngine m_engine;
    profiles::LightSetting m_engineSetting;
    bool m_engineStarted = false;
    CustomEffectPlayer m_player;
    LightListOverrides m_overrides;
    TickCounter m_ticks;
    DefaultNameLists m_names;
    profiles::CKeyboardProfiledata m_profile;
};

}  // namespace kx520
