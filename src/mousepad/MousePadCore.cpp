#include "mousepad/MousePadCore.h"

#include <algorithm>

#include "lighting/LightTables.h"
#include "profiles/MacroStore.h"
#include "protocol/CommandSet.h"

namespace kx520 {

using namespace protocol;

namespace {

constexpr size_t kModeByte = 1;
constexpr size_t kSpeedByte = 3;

uint8_t Step(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 4));
}

}  // namespace

MousePadCore::MousePadCore(hid::HidBackend& backend) : RingLightCore(backend, kPadWave) {}

MousePadCore::~MousePadCore() {
    StopLightThread();  // its body sends through this object
}

void MousePadCore::SetFolders(std::string dataFolder, std::string defaultFolder) {
    m_dataFolder = std::move(dataFolder);
    m_defaultFolder = std::move(defaultFolder);
}

void MousePadCore::LoadDefaults() {
    m_names.Load(KindNumber(), m_dataFolder, m_defaultFolder, profiles::MacroStore::kNamesOnlyIndexFile);
}

std::optional<std::vector<uint8_t>> MousePadCore::FetchInfo() {
    if (!Channel().IsOpen()) {
        return std::nullopt;
    }
    std::vector<uint8_t> info(kDeviceInfoSize);
    int read = kResultNoReply;
    Bracketed(Channel(), [&] { return read = CMD_READ_INFO(Channel(), info); });
    if (read != kResultSuccess) {
        return std::nullopt;
    }
    return info;
}

std::optional<MousePadCore::RecordRead> MousePadCore::FetchRecord() {
    if (!Channel().IsOpen()) {
        return std::nullopt;
    }
    RecordRead read;
    if (CMD_READ_CONFIG(Channel(), std::span<uint8_t>(&read.profile, 1), 0) != kResultSuccess) {
        return std::nullopt;
    }
    const auto base = static_cast<uint16_t>(kReadStride * read.profile);
    if (CMD_READ_CONFIG(Channel(), read.bytes, base) != kResultSuccess) {
        return std::nullopt;
    }
    return read;
}

void MousePadCore::TakeRecord(const RecordRead& read) {
    m_lastRead = read;
    m_profile = read.profile;
    m_record = read.bytes;
    const int position = m_names.PositionOf(read.bytes[kModeByte]);
    m_record[kModeByte] = position >= 0 ? static_cast<uint8_t>(position) : m_light.mode;
    m_record[kSpeedByte] = static_cast<uint8_t>(4 - Step(read.bytes[kSpeedByte]));
    profiles::LightSetting light = m_light;
    light.mode = m_record[kModeByte];
    light.brightness = Step(m_record[2]);
    light.speed = m_record[kSpeedByte];
    light.direction = m_record[4];
    light.multiColor = m_record[5];
    light.red = m_record[6];
    light.green = m_record[7];
    light.blue = m_record[8];
    m_light = light;
    RunLight(light);
}

void MousePadCore::SetLight(const profiles::LightSetting& light) {
    m_light = light;
    m_record[kModeByte] = light.mode;
    m_record[2] = Step(light.brightness);
    m_record[kSpeedByte] = Step(light.speed);
    m_record[4] = light.direction;
    m_record[5] = light.multiColor;
    m_record[6] = light.red;
    m_record[7] = light.green;
    m_record[8] = light.blue;
    RunLight(light);
}

std::optional<MousePadCore::WrittenRecord> MousePadCore::RecordToWrite() const {
    uint32_t code = 0;
    if (!m_names.CodeOf(m_record[kModeByte], code) || code > 0xFF) {
        return std::nullopt;
    }
    // A copy goes out: the stored record keeps the page's position and speed.
    WrittenRecord bytes{};
    std::copy_n(m_record.begin(), kWriteSize, bytes.begin());
    bytes[kModeByte] = static_cast<uint8_t>(code);
    bytes[kSpeedByte] = static_cast<uint8_t>(4 - Step(m_record[kSpeedByte]));
    return bytes;
}

std::function<int()> MousePadCore::LightConfigWrite(int profile) {
    const std::optional<WrittenRecord> bytes = RecordToWrite();
    if (!bytes || profile < 0 || profile > 0xFF) {
        return [] { return kResultUnsupported; };
    }
    const auto base = static_cast<uint16_t>(kWriteStride * profile);
    return [this, record = *bytes, base] {
        return Bracketed(Channel(), [&] { return CMD_WRITE_CONFIG(Channel(), record, base); });
    };
}

}  // namespace kx520
