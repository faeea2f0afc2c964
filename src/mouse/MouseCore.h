#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "protocol/DeviceState.h"
#include "lighting/CustomEffectPlayer.h"
#include "devicebase/DefaultNameLists.h"
#include "devicebase/DeviceCore.h"
#include "lighting/EffectClock.h"
#include "keycodes/KeyTable.h"
#include "mouse/MouseLink.h"
#include "mouse/MouseConfigRecord.h"
#include "mouse/MouseLightEngine.h"
#include "mouse/MouseSensitivity.h"
#include "profiles/CMouseProfiledata.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The mouse without its page: what it read from the mouse (information
// block, key table, configuration record), its sensitivity scale, the
// configuration record written from the profile, and the meaning of its
// notifications. Through the receiver every exchange waits for a probe
// saying the mouse is awake.
class MouseCore : public DeviceCore {
public:
    static constexpr size_t kTableSize = 512;
    static constexpr int kStages = MouseConfigRecord::kStages;

    enum class Notification { kIgnored, kSettingsChanged, kFadeReaction, kProfileSwitched };

    explicit MouseCore(hid::HidBackend& backend);
    ~MouseCore() override;

    profiles::CMouseProfiledata& ProfileData() override { return m_profile; }
    profiles::CMouseProfiledata& Profile() { return m_profile; }
    void SetFolders(std::string dataFolder, std::string defaultFolder);
    // The effect names and the mode list from the shipped and user files.
    void LoadDefaults();
    const DefaultNameLists& Names() const { return m_names; }

    // --- the connection's reads ------------------------------------------------------
    // CMD_BEGIN, CMD_READ_INFO, the key table, CMD_END (a probe first on the
    // receiver). False (what was read before kept) on any failure.
    bool ReadDeviceState();
    // The same in two halves: the read (the channel only, for the exchange
    // thread), then what the page takes of it.
    std::optional<protocol::DeviceState> FetchDeviceState();
    bool TakeDeviceState(const protocol::DeviceState& state);
    // Copies: the exchange thread refreshes them while the page reads.
    std::vector<uint8_t> Info() const {
        std::lock_guard lock(m_infoLock);
        return m_info;
    }
    const std::vector<uint8_t>& RawKeys() const { return m_rawKeys; }
    MouseSensitivity Scale() const {
        std::lock_guard lock(m_infoLock);
        return m_scale;
    }
    // The current profile's record: its light setting and current stage go
    // into the profile (not saved). False when it could not be read.
    bool ReadConfigRecord();
    // The same in two halves: the read (the channel only, for the exchange
    // thread), then what the page takes of it.
    std::optional<MouseLink::Record> FetchConfigRecord();
    bool TakeConfigRecord(const MouseLink::Record& read);
    int OnboardProfile() const { return m_onboardProfile; }
    const profiles::LightSetting& Light() const { return m_light; }
    // The page's light setting; the light thread runs it from then on.
    void SetLight(const profiles::LightSetting& light);

    // --- the picture's light (the light thread) ------------------------------------
    void StartLight();
    // One pass of the light loop at effect-clock time `nowMs`.
    void LightPass(uint32_t nowMs);
    // The fade reaction's flare on every LED, in the fade reaction mode.
    void StartFadeReaction(uint32_t seed);
    // The custom effect of a mode from 10 on (entry mode - 10 of the
    // device's custom effects) plays on the picture.
    void LoadCustomEffect();

    // --- writes ------------------------------------------------------------------
    // Profile `profile`'s record from the profile's stages, current stage and
    // the light setting, with the caller's values; 1 when written, 0 when
    // the mouse could not be reached, else the failing command's code.
    int WriteLightConfig(int profile, uint8_t value = 0, uint8_t third = 0, uint16_t fourth = 0,
                         uint16_t fifth = 0);
    // The same record built now, and what sends it: the sending needs
    // nothing but the channel, so it can run on the exchange thread.
    std::function<int()> LightConfigWrite(int profile, uint8_t value, uint8_t third, uint16_t fourth,
                                          uint16_t fifth);
    // The record's bytes as WriteLightConfig would send them now.
    std::optional<std::array<uint8_t, MouseConfigRecord::kWriteSize>> BuildRecord(uint8_t value, uint8_t third,
                                                                                  uint16_t fourth,
                                                                                  uint16_t fifth) const;

    // --- buttons and macros ---------------------------------------------------------
    // The page's buttons over the mouse's table.
    KeyTable Keys() const;
    // The buttons as the mouse's own table holds them, for the page.
    std::vector<profiles::KeyAssignmentEntry> ReadKeyList(const std::vector<profiles::KeyAssignmentEntry>& profileList,
                                                          size_t macroCount) const;
    using AssignmentResult = KeyWriteResult;
    static constexpr int kMacroNoMemory = -1;
    static constexpr int kMacroWriteFailed = -2;
    // The macros the buttons use, then the key table (left unwritten when
    // the macros could not be); every step probed first on the receiver.
    AssignmentResult WriteAssignments(const std::vector<profiles::KeyAssignmentEntry>& list);

    // Whether button `position` of `list` holds the list's only left button
    // (the mouse would be left without one if it were given another job).
    static bool IsOnlyLeftButton(const std::vector<profiles::KeyAssignmentEntry>& list, size_t position);
    // The name list entry of light mode `mode` (custom effects from 10 on);
    // "" when there is none. `resolved`: whether it is a language id.
    std::string LightModeName(int mode, bool& resolved) const;

    // --- recoil patterns ------------------------------------------------------------
    struct ShootWrite {
        // 1 when written, 0 not reached, else the failing command's code.
        int result = 0;
        // Set when a gun file could not be put right: nothing was sent.
        std::string fileError;
        // What the result means to the user.
        std::string Reason() const;
    };
    // The four guns of the data folder as one image, after a fresh
    // information block (nothing at all when the mouse does not answer).
    // A gun file that is missing or damaged is first replaced by the
    // shipped one, so a gun is never sent empty.
    ShootWrite WriteShoot();
    // The shipped guns copied into the data folder where it has none yet,
    // and over a damaged one (kept as .bak); "" or what could not be done.
    std::string ProvideGuns() const;

    // --- the mouse's own switches --------------------------------------------------
    // 0x401 settings changed, 0x403 the fade reaction, 0x10xx a profile
    // (low 4 bits), 0x11xx a profile and its stage (bits 4-7, kept to 0-4).
    Notification TakeNotification(uint16_t code);
    bool ProbeLink();

private:
    void RunStep(int mode, const profiles::LightSetting& setting);

    size_t DeviceKeyCount() const {
        std::lock_guard lock(m_infoLock);
        return m_info.size() > 5 ? m_info[5] : 0;
    }
    void TakeInfo(std::vector<uint8_t> info);
    // A fresh information block (the macro memory's size, the key count):
    // kResultSuccess, or what kept the mouse from giving one.
    int RefreshInfo();
    int WriteKeys(const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount);
    int WriteMacros(const std::vector<int>& order);

    profiles::CMouseProfiledata m_profile;
    DefaultNameLists m_names;
    std::string m_dataFolder;
    std::string m_defaultFolder;
    mutable std::mutex m_infoLock;  // m_info and m_scale
    std::vector<uint8_t> m_info;
    std::vector<uint8_t> m_rawKeys;
    MouseSensitivity m_scale;
    std::array<uint8_t, MouseConfigRecord::kReadSize> m_record{};
    int m_onboardProfile = 0;
    profiles::LightSetting m_light;
    // The light thread's own: its setting, engine, custom effect and ticks.
    mutable std::mutex m_engineLock;
    profiles::LightSetting m_engineSetting;
    MouseLightEngine m_engine;
    CustomEffectPlayer m_player;
    TickCounter m_ticks;
    bool m_engineStarted = false;
};

}  // namespace kx520
