#include "headset/HeadsetCore.h"

#include <array>

#include "headset/HeadsetLedReports.h"
#include "headset/HeadsetLightRecord.h"
#include "lighting/LightTables.h"
#include "profiles/MacroStore.h"
#include "protocol/CommandSet.h"

namespace kx520 {

using namespace protocol;

HeadsetCore::HeadsetCore(hid::HidBackend& backend) : RingLightCore(backend, kHeadsetWave, SendHeadsetReports) {}

HeadsetCore::~HeadsetCore() {
    StopLightThread();  // its body sends through this object's SendFrame
}

void HeadsetCore::SetFolders(std::string dataFolder, std::string defaultFolder) {
    m_dataFolder = std::move(dataFolder);
    m_defaultFolder = std::move(defaultFolder);
}

void HeadsetCore::LoadDefaults() {
    m_names.Load(KindNumber(), m_dataFolder, m_defaultFolder, profiles::MacroStore::kNamesOnlyIndexFile);
}

void HeadsetCore::SetLight(const profiles::LightSetting& light) {
    m_light = light;
    m_profile.SetLightInfo(light);
    RunLight(light);
}

void HeadsetCore::SendFrame(std::span<const LedEntry> frame) {
    if (Channel().IsOpen()) {
        Sender().Submit(EncodeHeadsetFrame(frame, LedCount()));
    }
}

std::function<int()> HeadsetCore::LightConfigWrite(int index) {
    if (index < 0 || index > 0xFF) {
        return [] { return kResultUnsupported; };
    }
    // A mode above the eight the headset runs goes as the list's first code.
    uint32_t code = 0;
    const size_t position = m_light.mode <= kHeadsetHighestMode ? m_light.mode : 0;
    if (!m_names.CodeOf(position, code) || code > 0xFF) {
        code = m_light.mode <= kHeadsetHighestMode ? m_light.mode : 0;
    }
    const HeadsetLightRecordBytes record = HeadsetLightRecord(m_light, static_cast<uint8_t>(code));
    const auto base = static_cast<uint16_t>(kHeadsetRecordStride * static_cast<size_t>(index));
    return [this, record, base] {
        return Bracketed(Channel(), [&] { return CMD_WRITE_CONFIG(Channel(), record, base); });
    };
}

std::optional<HeadsetCore::NotifyRead> HeadsetCore::FetchNotifyRead() {
    if (!Channel().IsOpen()) {
        return std::nullopt;
    }
    NotifyRead read;
    if (CMD_READ_CONFIG(Channel(), std::span<uint8_t>(&read.index, 1), 0) != kResultSuccess) {
        return std::nullopt;
    }
    read.bytes.assign(kNotifyReadSize, 0);
    const auto base = static_cast<uint16_t>(kNotifyStride * read.index);
    if (CMD_READ_CONFIG(Channel(), read.bytes, base) != kResultSuccess) {
        return std::nullopt;
    }
    return read;
}

}  // namespace kx520
