#pragma once

#include <json/value.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <optional>
#include <span>
#include <vector>

#include "protocol/CommandPacket.h"
#include "sim/VirtualProducts.h"

namespace kx520::sim {

// The command firmware of a virtual product: the state a real device keeps
// (information block, key tables, configuration memory addressed by offset,
// macro, shoot and colour memory, status bytes, and on a receiver the radio
// link) and the answer to every command packet. Plain logic, no threads:
// FirmwareDriver feeds it from the device's output reports.
//
// Replies carry the request's command id, status 0 and, for reads, the data
// asked for. Status 0xFF answers a command the product does not have or an
// address outside its memory; 0xFE answers a request whose checksum is wrong
// (it is counted and not carried out). A receiver whose device is asleep
// answers every request itself, with command id 0xAA.
class VirtualFirmware {
public:
    enum class Kind { Keyboard, Mouse, MousePad, Headset };

    static constexpr size_t kConfigSize = 2048;
    static constexpr size_t kKeyTableSize = 512;
    static constexpr size_t kKeyColourSize = 1024;
    static constexpr size_t kLightFrameSize = 512;
    static constexpr size_t kShootSize = 4096;
    static constexpr size_t kStatusSize = 56;
    // Light records of 26 bytes, one per profile, 25 bytes apart.
    static constexpr size_t kRecordStride = 25;
    // The profiles a notification's low four bits can name.
    static constexpr uint8_t kHighestProfile = 15;
    static constexpr size_t kPadLeds = 15;
    // Where the headset's host writes record n: 64 x n (it reads it at 25 x n).
    static constexpr size_t kHeadsetWriteStride = 64;
    static constexpr size_t kRecordSize = 26;
    // The mouse's configuration records: 71 bytes, one per profile, 128
    // bytes apart; the current stage at 12, five 9-byte stages from 14, and
    // bytes 66-70 the firmware's own (a write leaves them).
    static constexpr size_t kMouseRecordStride = 128;
    static constexpr size_t kMouseRecordSize = 71;
    static constexpr size_t kMouseActiveStageByte = 12;
    static constexpr size_t kMouseStagesByte = 14;
    static constexpr size_t kMouseReadOnlyByte = 66;

    explicit VirtualFirmware(const VirtualProductSpec& product);

    Kind GetKind() const { return m_kind; }
    bool IsReceiver() const { return m_receiver; }

    // The reply to one output report; nothing for a report that is not a
    // command packet (wrong id or size).
    std::optional<protocol::Packet> Handle(std::span<const uint8_t> report);
    // What a receiver says when its device cannot be reached.
    static protocol::Packet ReceiverAnswer();

    // State, for tests and tools; every call is a consistent copy.
    std::vector<uint8_t> Info() const;
    // What CMD_READ_KEYS answers: the code each key of this model stands
    // for (the host finds its keys by these), whatever it was assigned.
    std::vector<uint8_t> KeyTable() const;
    // What CMD_WRITE_KEYS wrote: what each key does now.
    std::vector<uint8_t> KeyAssignments() const;
    std::vector<uint8_t> KeyExtra() const;
    std::vector<uint8_t> Config() const;
    std::vector<uint8_t> Macros() const;
    std::vector<uint8_t> Shoot() const;
    std::vector<uint8_t> KeyColours() const;
    std::vector<uint8_t> LightFrame() const;
    std::vector<uint8_t> Status() const;
    void SetStatus(std::span<const uint8_t> status);
    void SetInfoByte(size_t index, uint8_t value);
    void SetLinkAwake(bool awake);
    bool LinkAwake() const;
    bool HostLight() const;
    bool InTransaction() const;
    // The lighting as the keyboard holds it: its current profile's light
    // record read as the firmware reads it, the per-key colour table it was
    // given and the last frame streamed to it (3 bytes a key each).
    struct Lighting {
        uint8_t profile = 0;
        std::vector<uint8_t> record;  // 26 bytes at 25 x profile
        bool hostDriven = false;      // mode byte 0xFE: the host streams the frames
        uint8_t mode = 0;
        uint8_t brightness = 0;
        uint8_t speed = 0;  // 0-4, as the host counts it (the record holds 4 - speed)
        uint8_t direction = 0;
        uint8_t multiColor = 0;
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
        std::vector<uint8_t> keyColours;
        std::vector<uint8_t> frame;  // empty until a frame was streamed
    };
    Lighting LightState() const;
    // What a real keyboard keeps in flash (key table, LED positions,
    // configuration and macro memory) as JSON, and back. A part whose
    // size does not match is not taken (false).
    Json::Value FlashImage() const;
    bool RestoreFlash(const Json::Value& image);
    // True once after a transaction that changed flash ended.
    bool TakeFlashChanged();
    // A keyboard model that lacks keys or orders them otherwise:
    // {"keys": [[type, param1, param2], ...], "leds": [position, ...]};
    // a mouse model's sensor: {"sensor": 13093, "step": 50, "highest": 255,
    // "lowest": 100} (info bytes 9-10, 11, 12, 14-15).
    // False (nothing changed) for a model that is not one.
    bool ApplyModel(const Json::Value& model, std::string* error);
    // The factory state again.
    void ResetToFactory();
    // Battery level in percent (0-100), as the status block reports it.
    void SetBattery(uint8_t level);
    // Whether the last macro image written whole was well formed.
    bool MacroImageValid() const;
    // An on-device profile switch: configuration byte 0.
    void SwitchProfile(uint8_t profile);
    // A mouse's on-device switch to `stage` (0-4) of `profile`.
    void SwitchStage(uint8_t profile, uint8_t stage);
    uint32_t BadChecksums() const;
    uint32_t Requests() const;

private:
    // The memory a command reads or writes, or nullptr when it has none.
    std::vector<uint8_t>* MemoryOf(uint8_t command);
    protocol::Packet Answer(const protocol::Packet& request);
    std::vector<uint8_t> Copy(const std::vector<uint8_t>& memory) const;
    bool IsRecordRead(size_t offset, size_t length) const;
    // A macro packet completes the image its header declares: the image
    // is checked; false refuses the packet (status 0xFF).
    bool MacroWriteAccepted(size_t offset, size_t length);
    void LoadDefaults();
    bool ApplyMouseModel(const Json::Value& model, std::string* error);

    mutable std::mutex m_lock;
    Kind m_kind;
    bool m_receiver;
    std::vector<uint8_t> m_info;
    std::vector<uint8_t> m_keys;
    std::vector<uint8_t> m_assignments;
    std::vector<uint8_t> m_keyExtra;
    std::vector<uint8_t> m_config;
    std::vector<uint8_t> m_macros;
    std::vector<uint8_t> m_shoot;
    std::vector<uint8_t> m_keyColours;
    std::vector<uint8_t> m_lightFrame;
    std::vector<uint8_t> m_status;
    bool m_linkAwake = true;
    bool m_hostLight = false;
    bool m_inTransaction = false;
    bool m_frameStreamed = false;
    bool m_macroImageValid = false;
    Json::Value m_model;  // kept through a factory reset
    bool m_flashDirty = false;
    bool m_flashChanged = false;
    uint32_t m_badChecksums = 0;
    uint32_t m_requests = 0;
};

}  // namespace kx520::sim
