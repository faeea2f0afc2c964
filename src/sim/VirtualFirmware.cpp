#include "sim/VirtualFirmware.h"

#include "sim/FirmwareModel.h"

#include <algorithm>
#include <utility>

#include "catalog/PageKeyDefaults.h"
#include "profiles/MacroImage.h"
#include "protocol/CommandSet.h"

namespace kx520::sim {

namespace {

using protocol::Packet;

constexpr uint8_t kStatusOk = 0x00;

VirtualFirmware::Kind KindOf(const VirtualProductSpec& product) {
    if (product.name.rfind("keyboard", 0) == 0) {
        return VirtualFirmware::Kind::Keyboard;
    }
    if (product.name.rfind("mouse-", 0) == 0 || product.name == "mouse") {
        return VirtualFirmware::Kind::Mouse;
    }
    if (product.name == "mousepad") {
        return VirtualFirmware::Kind::MousePad;
    }
    return VirtualFirmware::Kind::Headset;
}

void PutKeys(std::vector<uint8_t>& table, std::span<const KeyCode> codes) {
    for (size_t k = 0; k < codes.size(); ++k) {
        table[3 * k] = codes[k].type;
        table[3 * k + 1] = codes[k].param1;
        table[3 * k + 2] = codes[k].param2;
    }
}

// A light record of 26 bytes at `offset`: mode, brightness, speed as the
// device counts it, direction, multiColor, red, green, blue.
void PutLightRecord(std::vector<uint8_t>& config, size_t offset, uint8_t mode, uint8_t red,
                    uint8_t green, uint8_t blue) {
    const uint8_t record[9] = {0, mode, 4, 2, 0, 1, red, green, blue};
    std::copy(std::begin(record), std::end(record), config.begin() + offset);
}

// The five factory stages as slider steps of the default sensor (step 50
// from 100): 800, 1600, 2400, 3200 and 6400, each with its colour; the
// second in use. The firmware's own bytes 66-70 follow.
void PutMouseStages(std::vector<uint8_t>& config, size_t offset) {
    constexpr uint8_t kSteps[5] = {14, 30, 46, 62, 126};
    constexpr uint8_t kColours[5][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}};
    config[offset + VirtualFirmware::kMouseActiveStageByte] = 1;
    for (size_t s = 0; s < 5; ++s) {
        const size_t at = offset + VirtualFirmware::kMouseStagesByte + 9 * s;
        const uint8_t stage[9] = {1, 0, kSteps[s], 0, kSteps[s], 0, kColours[s][0], kColours[s][1], kColours[s][2]};
        std::copy(std::begin(stage), std::end(stage), config.begin() + static_cast<std::ptrdiff_t>(at));
    }
    constexpr uint8_t kOwn[5] = {0x5A, 0xA5, 0x01, 0x33, 0x95};
    std::copy(std::begin(kOwn), std::end(kOwn),
              config.begin() + static_cast<std::ptrdiff_t>(offset + VirtualFirmware::kMouseReadOnlyByte));
}

}  // namespace

VirtualFirmware::VirtualFirmware(const VirtualProductSpec& product)
    : m_kind(KindOf(product)), m_receiver(product.name.find("-receiver") != std::string::npos) {
    LoadDefaults();
}

void VirtualFirmware::LoadDefaults() {
    m_info.assign(protocol::kDeviceInfoSize, 0);
    m_config.assign(kConfigSize, 0);
    m_status.assign(kStatusSize, 0);
    m_lightFrame.assign(kLightFrameSize, 0);
    // Status: battery 85 %, on battery through a receiver, wireless flag.
    m_status[0] = 85;
    m_status[1] = m_receiver ? 2 : 0;
    m_status[3] = m_receiver ? 1 : 0;
    m_status[4] = 85;
    m_info[0] = 0x01;
    m_info[1] = 0x05;  // firmware 1.05
    switch (m_kind) {
        case Kind::Keyboard:
            m_info[5] = static_cast<uint8_t>(kPageKeyDefaults.size());
            m_info[6] = 16;  // 2 KiB of macro memory
            m_keys.assign(kKeyTableSize, 0);
            PutKeys(m_keys, kPageKeyDefaults);
            m_keyExtra.assign(kKeyTableSize / 3, 0xFF);
            for (size_t k = 0; k < kPageKeyDefaults.size(); ++k) {
                m_keyExtra[k] = static_cast<uint8_t>(k);  // LED position of key k
            }
            m_keyColours.assign(kKeyColourSize, 0);
            for (size_t m = 0; m < 5; ++m) {
                PutLightRecord(m_config, 25 * m, static_cast<uint8_t>(m + 1), 0xFF,
                               static_cast<uint8_t>(0x33 * m), 0x00);
            }
            break;
        case Kind::Mouse:
            m_info[5] = static_cast<uint8_t>(kMouseButtonDefaults.size());
            m_info[6] = 8;     // 1 KiB of macro memory
            m_info[9] = 0x95;  // sensor 0x3395, low byte first
            m_info[10] = 0x33;
            m_info[11] = 50;   // sensitivity step
            m_info[12] = 255;  // highest step
            m_info[14] = 100;  // lowest sensitivity 100
            m_keys.assign(kKeyTableSize, 0);
            PutKeys(m_keys, kMouseButtonDefaults);
            m_shoot.assign(kShootSize, 0);
            for (size_t n = 0; n < 5; ++n) {
                PutLightRecord(m_config, kMouseRecordStride * n, 1, 0x00, 0x80, 0xFF);
                PutMouseStages(m_config, kMouseRecordStride * n);
            }
            break;
        case Kind::MousePad:
        case Kind::Headset:
            for (size_t p = 0; p < 5; ++p) {
                PutLightRecord(m_config, 25 * p, 1, 0x00, 0xFF, 0x80);
            }
            break;
    }
    if (m_kind != Kind::MousePad && m_kind != Kind::Headset) {
        m_macros.assign(static_cast<size_t>(m_info[6]) * 128, 0);
    }
    m_assignments = m_keys;  // each key does what its code says until told otherwise
}

Packet VirtualFirmware::ReceiverAnswer() {
    Packet reply{};
    reply[0] = protocol::kReportId;
    reply[protocol::kCommandByte] = protocol::kReceiverAnswer;
    return reply;
}

std::optional<Packet> VirtualFirmware::Handle(std::span<const uint8_t> report) {
    if (report.size() != protocol::kPacketSize || report[0] != protocol::kReportId) {
        return std::nullopt;
    }
    Packet request{};
    std::copy(report.begin(), report.end(), request.begin());
    std::lock_guard lock(m_lock);
    ++m_requests;
    if (m_receiver && !m_linkAwake) {
        return ReceiverAnswer();
    }
    return Answer(request);
}

std::vector<uint8_t>* VirtualFirmware::MemoryOf(uint8_t command) {
    using namespace protocol;
    std::vector<uint8_t>* memory = nullptr;
    switch (command) {
        case kCmdReadInfo: memory = &m_info; break;
        case kCmdReadConfig:
        case kCmdWriteConfig: memory = &m_config; break;
        case kCmdReadKeys: memory = &m_keys; break;
        case kCmdWriteKeys: memory = &m_assignments; break;
        case kCmdReadKeyExtra: memory = &m_keyExtra; break;
        case kCmdWriteKeyColours: memory = &m_keyColours; break;
        case kCmdStreamLight: memory = &m_lightFrame; break;
        case kCmdWriteMacros: memory = &m_macros; break;
        case kCmdWriteShoot: memory = &m_shoot; break;
        case kCmdReadStatus: memory = &m_status; break;
        default: break;
    }
    return memory != nullptr && !memory->empty() ? memory : nullptr;
}

Packet VirtualFirmware::Answer(const Packet& request) {
    using namespace protocol;
    Packet reply{};
    reply[0] = kReportId;
    const uint8_t command = request[kCommandByte];
    reply[kCommandByte] = command;
    if (!ChecksumValid(request)) {
        ++m_badChecksums;
        reply[kStatusByte] = kStatusErrorFE;
        return reply;
    }
    reply[kStatusByte] = kStatusOk;
    switch (command) {
        case kCmdBegin:
            m_inTransaction = true;
            return reply;
        case kCmdEnd:
            m_inTransaction = false;
            m_flashChanged = m_flashChanged || m_flashDirty;
            m_flashDirty = false;
            return reply;
        case kCmdHostLight:
            m_hostLight = true;
            return reply;
        case kCmdReceiverProbe:
            if (!m_receiver) {
                break;  // a cable has no receiver to ask
            }
            reply[kDataByte] = 0xFF;  // awake and linked
            return reply;
        default:
            break;
    }
    std::vector<uint8_t>* memory = MemoryOf(command);
    const size_t length = request[kLengthByte];
    size_t offset = PacketOffset(request);
    bool placed = true;
    if (m_kind == Kind::Headset && command == kCmdWriteConfig) {
        // Its records are written 64 bytes apart and read 25 apart: both
        // name the same record, and a write cannot run past it.
        const size_t at = offset % kHeadsetWriteStride;
        placed = at + length <= kRecordStride;
        offset = offset / kHeadsetWriteStride * kRecordStride + at;
    }
    if (!placed || memory == nullptr || length > kMaxData || offset + length > memory->size()) {
        reply[kStatusByte] = kStatusErrorFF;
        return reply;
    }
    const bool read = command == kCmdReadInfo || command == kCmdReadConfig ||
                      command == kCmdReadKeys || command == kCmdReadKeyExtra ||
                      command == kCmdReadStatus;
    if (read) {
        std::copy_n(memory->begin() + static_cast<long>(offset), length,
                    reply.begin() + kDataByte);
        if (command == kCmdReadConfig && IsRecordRead(offset, length)) {
            reply[kDataByte] = static_cast<uint8_t>(offset / kRecordStride);
        }
        return reply;
    }
    // The mouse keeps bytes 66-70 of each record whatever is written there.
    std::vector<std::pair<size_t, uint8_t>> kept;
    if (m_kind == Kind::Mouse && command == kCmdWriteConfig) {
        for (size_t at = offset; at < offset + length; ++at) {
            if (at % kMouseRecordStride >= kMouseReadOnlyByte && at % kMouseRecordStride < kMouseRecordSize) {
                kept.emplace_back(at, (*memory)[at]);
            }
        }
    }
    std::copy_n(request.begin() + kDataByte, length, memory->begin() + static_cast<long>(offset));
    for (const auto& [at, value] : kept) {
        (*memory)[at] = value;
    }
    m_flashDirty = m_flashDirty || command == kCmdWriteConfig || command == kCmdWriteKeys ||
                   command == kCmdWriteMacros || command == kCmdWriteKeyColours || command == kCmdWriteShoot;
    m_frameStreamed = m_frameStreamed || command == kCmdStreamLight;
    if ((command == kCmdWriteKeyColours || command == kCmdWriteShoot) && !m_inTransaction) {
        // These may come without a transaction: they are kept at once.
        m_flashChanged = true;
        m_flashDirty = false;
    }
    if (command == kCmdWriteMacros && !MacroWriteAccepted(offset, length)) {
        reply[kStatusByte] = kStatusErrorFF;
    }
    return reply;
}

bool VirtualFirmware::IsRecordRead(size_t offset, size_t length) const {
    // The keyboard, pad and headset answer a record's byte 0 with the
    // profile number the record belongs to; the mouse answers what was
    // written there (its host puts the profile number in itself).
    return m_kind != Kind::Mouse && length > 1 && offset % kRecordStride == 0;
}

bool VirtualFirmware::MacroWriteAccepted(size_t offset, size_t length) {
    const std::span<const uint8_t> memory(m_macros);
    const size_t declared = profiles::MacroImage::DeclaredLength(memory);
    if (declared == 0 || declared > memory.size()) {
        m_macroImageValid = false;
        return false;  // no image starts here, or it cannot fit
    }
    if (offset + length < declared) {
        return true;  // the rest is still to come
    }
    m_macroImageValid = profiles::MacroImage::IsWellFormed(memory.first(declared));
    return m_macroImageValid;
}

bool VirtualFirmware::MacroImageValid() const {
    std::lock_guard lock(m_lock);
    return m_macroImageValid;
}

namespace {

constexpr const char* kFlashParts[] = {"keys", "keyExtra", "config", "macros"};
// Kept since the keys could be coloured one by one; older images lack it.
constexpr const char* kKeyColoursPart = "keyColours";
// The mouse's recoil image; a file written before the mouse kept it has none.
constexpr const char* kShootPart = "shoot";

}  // namespace

Json::Value VirtualFirmware::FlashImage() const {
    std::lock_guard lock(m_lock);
    const std::vector<uint8_t>* parts[] = {&m_assignments, &m_keyExtra, &m_config, &m_macros};
    Json::Value image(Json::objectValue);
    image["version"] = 1;
    image["keyCount"] = m_info[5];
    for (size_t i = 0; i < std::size(parts); ++i) {
        image[kFlashParts[i]] = FirmwareModel::Hex(*parts[i]);
    }
    image[kKeyColoursPart] = FirmwareModel::Hex(m_keyColours);
    if (!m_shoot.empty()) {
        image[kShootPart] = FirmwareModel::Hex(m_shoot);
    }
    return image;
}

bool VirtualFirmware::RestoreFlash(const Json::Value& image) {
    std::lock_guard lock(m_lock);
    if (!image.isObject() || !image["keyCount"].isUInt() || image["keyCount"].asUInt() != m_info[5]) {
        return false;  // another model's flash
    }
    std::vector<uint8_t>* parts[] = {&m_assignments, &m_keyExtra, &m_config, &m_macros};
    bool whole = true;
    for (size_t i = 0; i < std::size(parts); ++i) {
        const Json::Value& part = image[kFlashParts[i]];
        whole = part.isString() && FirmwareModel::FromHex(part.asString(), *parts[i]) && whole;
    }
    const Json::Value& colours = image[kKeyColoursPart];
    if (colours.isString()) {
        whole = FirmwareModel::FromHex(colours.asString(), m_keyColours) && whole;
    }
    if (const Json::Value& shoot = image[kShootPart]; shoot.isString()) {
        whole = FirmwareModel::FromHex(shoot.asString(), m_shoot) && whole;
    }
    return whole;
}

bool VirtualFirmware::TakeFlashChanged() {
    std::lock_guard lock(m_lock);
    return std::exchange(m_flashChanged, false);
}

bool VirtualFirmware::ApplyModel(const Json::Value& model, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    if (m_kind == Kind::Mouse) {
        return ApplyMouseModel(model, error);
    }
    if (m_kind != Kind::Keyboard) {
        return fail("only the keyboard and the mouse take a model");
    }
    std::string why;
    auto parsed = FirmwareModel::ParseKeyboard(model, kKeyTableSize, why);
    if (!parsed) {
        return fail(why);
    }
    std::lock_guard lock(m_lock);
    m_keys = std::move(parsed->table);
    m_assignments = m_keys;
    m_keyExtra = std::move(parsed->leds);
    m_info[5] = parsed->keyCount;
    m_model = model;
    return true;
}

bool VirtualFirmware::ApplyMouseModel(const Json::Value& model, std::string* error) {
    std::string why;
    const auto bytes = FirmwareModel::ParseMouse(model, why);
    if (!bytes) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    }
    std::lock_guard lock(m_lock);
    for (const auto& [index, value] : *bytes) {
        m_info[index] = value;
    }
    m_model = model;
    return true;
}

void VirtualFirmware::ResetToFactory() {
    Json::Value model;
    {
        std::lock_guard lock(m_lock);
        LoadDefaults();
        m_flashDirty = false;
        m_flashChanged = false;
        model = m_model;
    }
    if (!model.isNull()) {
        ApplyModel(model, nullptr);
    }
}

void VirtualFirmware::SetBattery(uint8_t level) {
    std::lock_guard lock(m_lock);
    const auto clamped = static_cast<uint8_t>(std::min<int>(level, 100));
    m_status[0] = clamped;
    m_status[4] = clamped;
}

void VirtualFirmware::SwitchProfile(uint8_t profile) {
    std::lock_guard lock(m_lock);
    m_config[0] = profile;
    m_flashChanged = true;  // a switch on the device outlives a power cycle
}

void VirtualFirmware::SwitchStage(uint8_t profile, uint8_t stage) {
    std::lock_guard lock(m_lock);
    const size_t at = kMouseRecordStride * profile + kMouseActiveStageByte;
    if (m_kind != Kind::Mouse || stage > 4 || at >= m_config.size()) {
        return;
    }
    m_config[0] = profile;
    m_config[at] = stage;
    m_flashChanged = true;
}

std::vector<uint8_t> VirtualFirmware::Copy(const std::vector<uint8_t>& memory) const {
    std::lock_guard lock(m_lock);
    return memory;
}

std::vector<uint8_t> VirtualFirmware::Info() const { return Copy(m_info); }
std::vector<uint8_t> VirtualFirmware::KeyTable() const { return Copy(m_keys); }
std::vector<uint8_t> VirtualFirmware::KeyAssignments() const { return Copy(m_assignments); }
std::vector<uint8_t> VirtualFirmware::KeyExtra() const { return Copy(m_keyExtra); }
std::vector<uint8_t> VirtualFirmware::Config() const { return Copy(m_config); }
std::vector<uint8_t> VirtualFirmware::Macros() const { return Copy(m_macros); }
std::vector<uint8_t> VirtualFirmware::Shoot() const { return Copy(m_shoot); }
std::vector<uint8_t> VirtualFirmware::KeyColours() const { return Copy(m_keyColours); }

VirtualFirmware::Lighting VirtualFirmware::LightState() const {
    std::lock_guard lock(m_lock);
    Lighting light;
    light.profile = m_config.empty() ? 0 : m_config[0];
    const size_t base = kRecordStride * light.profile;
    if (base + kRecordSize <= m_config.size()) {
        light.record.assign(m_config.begin() + static_cast<long>(base),
                            m_config.begin() + static_cast<long>(base + kRecordSize));
        light.hostDriven = light.record[1] == 0xFE;
        light.mode = light.record[1];
        light.brightness = light.record[2];
        light.speed = light.record[3] <= 4 ? static_cast<uint8_t>(4 - light.record[3]) : 0;
        light.direction = light.record[4];
        light.multiColor = light.record[5];
        light.red = light.record[6];
        light.green = light.record[7];
        light.blue = light.record[8];
    }
    const size_t keyBytes = std::min<size_t>(3u * (m_info.size() > 5 ? m_info[5] : 0), m_keyColours.size());
    light.keyColours.assign(m_keyColours.begin(), m_keyColours.begin() + static_cast<long>(keyBytes));
    if (m_frameStreamed) {
        // The pad has no keys: its frame is its fifteen LEDs.
        const size_t frameBytes = std::min<size_t>(m_kind == Kind::MousePad ? 3 * kPadLeds : keyBytes, m_lightFrame.size());
        light.frame.assign(m_lightFrame.begin(), m_lightFrame.begin() + static_cast<long>(frameBytes));
    }
    return light;
}
std::vector<uint8_t> VirtualFirmware::LightFrame() const { return Copy(m_lightFrame); }
std::vector<uint8_t> VirtualFirmware::Status() const { return Copy(m_status); }

void VirtualFirmware::SetStatus(std::span<const uint8_t> status) {
    std::lock_guard lock(m_lock);
    std::copy_n(status.begin(), std::min(status.size(), m_status.size()), m_status.begin());
}

void VirtualFirmware::SetInfoByte(size_t index, uint8_t value) {
    std::lock_guard lock(m_lock);
    if (index < m_info.size()) {
        m_info[index] = value;
    }
    if (index == 6 && !m_macros.empty()) {
        m_macros.assign(static_cast<size_t>(value) * 128, 0);  // the memory the block names
    }
}

void VirtualFirmware::SetLinkAwake(bool awake) {
    std::lock_guard lock(m_lock);
    m_linkAwake = awake;
}

bool VirtualFirmware::LinkAwake() const {
    std::lock_guard lock(m_lock);
    return m_linkAwake;
}

bool VirtualFirmware::HostLight() const {
    std::lock_guard lock(m_lock);
    return m_hostLight;
}

bool VirtualFirmware::InTransaction() const {
    std::lock_guard lock(m_lock);
    return m_inTransaction;
}

uint32_t VirtualFirmware::BadChecksums() const {
    std::lock_guard lock(m_lock);
    return m_badChecksums;
}

uint32_t VirtualFirmware::Requests() const {
    std::lock_guard lock(m_lock);
    return m_requests;
}

}  // namespace kx520::sim
