#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devicebase/DefaultNameLists.h"
#include "devicebase/RingLightCore.h"
#include "profiles/LightSetting.h"

namespace kx520 {

// The mouse pad without its page: its information block, the light record
// of its onboard profile, and its light thread over its fifteen LEDs (the
// frames go to it on the cable as streamed light). Its profile is the base
// profile data.
class MousePadCore : public RingLightCore {
public:
    static constexpr size_t kLeds = 15;
    static constexpr size_t kRecordSize = 26;
    static constexpr size_t kWriteSize = 21;
    // The pad reads its records 25 bytes apart and takes them written 64
    // apart; both are kept as the pad expects them.
    static constexpr uint16_t kReadStride = 25;
    static constexpr uint16_t kWriteStride = 64;
    using Record = std::array<uint8_t, kRecordSize>;
    using WrittenRecord = std::array<uint8_t, kWriteSize>;

    explicit MousePadCore(hid::HidBackend& backend);
    ~MousePadCore() override;

    void SetFolders(std::string dataFolder, std::string defaultFolder);
    void LoadDefaults();
    const DefaultNameLists& Names() const { return m_names; }

    // --- start-up (on the exchange thread; nothing kept) ------------------------
    // BEGIN, the information block, END; nothing when the channel is closed
    // or the read failed.
    std::optional<std::vector<uint8_t>> FetchInfo();
    // On the UI thread.
    void TakeInfo(std::vector<uint8_t> info) { m_info = std::move(info); }
    const std::vector<uint8_t>& Info() const { return m_info; }

    // --- the light record -------------------------------------------------------
    struct RecordRead {
        uint8_t profile = 0;
        Record bytes{};
    };
    // The byte at offset 0 (the onboard profile p), then 26 bytes at 25 x p;
    // on the exchange thread, nothing kept.
    std::optional<RecordRead> FetchRecord();
    // On the UI thread: the read becomes the stored record and the light the
    // thread runs. Byte 1 becomes the mode's place in the mode list (a code
    // the list lacks keeps the current mode) and byte 3 the page's speed.
    void TakeRecord(const RecordRead& read);
    int OnboardProfile() const { return m_profile; }
    const Record& StoredRecord() const { return m_record; }
    // The record exactly as the pad last answered it, and whether it did.
    const std::optional<RecordRead>& LastRead() const { return m_lastRead; }

    // --- the light ------------------------------------------------------------
    const profiles::LightSetting& Light() const { return m_light; }
    // The page's setting: bytes 1-8 of the stored record, and the light
    // thread runs it.
    void SetLight(const profiles::LightSetting& light);
    void TakeProfileLighting() { RingLightCore::TakeProfileLighting(m_light.customGroup); }
    // The first 21 bytes of the stored record as profile `profile`'s
    // (mode as its code, speed as the pad counts it); nothing when the mode
    // has no code in the mode list. The stored record keeps the page's values.
    std::optional<WrittenRecord> RecordToWrite() const;
    // That record sent (BEGIN, 21 bytes at 64 x `profile`, END) on the
    // exchange thread: kResultSuccess, 0 when the channel is closed, else
    // the failing command's code; kResultUnsupported (nothing sent) for a
    // mode without a code or a profile the offsets cannot reach.
    std::function<int()> LightConfigWrite(int profile);

private:
    DefaultNameLists m_names;
    std::string m_dataFolder;
    std::string m_defaultFolder;
    std::vector<uint8_t> m_info;
    Record m_record{};
    std::optional<RecordRead> m_lastRead;
    int m_profile = 0;
    profiles::LightSetting m_light;
};

}  // namespace kx520
