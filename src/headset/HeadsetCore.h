#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devicebase/DefaultNameLists.h"
#include "devicebase/RingLightCore.h"
#include "profiles/CHs6533Profiledata.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The headset without its page: its light (a light thread of its own
// effects, frames sent as its twelve output reports), its light record,
// what a settings notification reads, and its profile.
class HeadsetCore : public RingLightCore {
public:
    static constexpr uint16_t kNotifyStride = 25;
    static constexpr size_t kNotifyReadSize = 26;

    explicit HeadsetCore(hid::HidBackend& backend);
    ~HeadsetCore() override;

    profiles::CHs6533Profiledata& ProfileData() override { return m_profile; }
    profiles::CHs6533Profiledata& Profile() { return m_profile; }
    void SetFolders(std::string dataFolder, std::string defaultFolder);
    void LoadDefaults();
    const DefaultNameLists& Names() const { return m_names; }

    // --- the light -----------------------------------------------------------------
    const profiles::LightSetting& Light() const { return m_light; }
    // The page's light setting; the light thread runs it from then on.
    void SetLight(const profiles::LightSetting& light);
    // The profile's light list and its custom effect (mode 5 and above 8).
    void TakeProfileLighting() { RingLightCore::TakeProfileLighting(m_light.customGroup); }
    // The frame as the headset's output reports, on the sender's thread.
    void SendFrame(std::span<const LedEntry> frame) override;

    // --- the device's memory ----------------------------------------------------------
    // The light setting as record `index` (BEGIN, 21 bytes at 64 x index,
    // END): kResultSuccess, 0 when the channel is closed, else the failing
    // command's code. The record is built now; the sending needs only the
    // channel, so it can run on the exchange thread.
    std::function<int()> LightConfigWrite(int index);
    int WriteLightConfig(int index) { return LightConfigWrite(index)(); }
    // What a settings notification reads: the byte at offset 0, then 26
    // bytes at 25 x that byte.
    struct NotifyRead {
        uint8_t index = 0;
        std::vector<uint8_t> bytes;
    };
    std::optional<NotifyRead> FetchNotifyRead();

private:
    profiles::CHs6533Profiledata m_profile;
    DefaultNameLists m_names;
    std::string m_dataFolder;
    std::string m_defaultFolder;
    profiles::LightSetting m_light;
};

}  // namespace kx520
