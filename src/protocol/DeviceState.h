#pragma once

#include <cstdint>
#include <vector>

#include "protocol/CommandChannel.h"

namespace kx520::protocol {

// What a device tells about itself when its state is read the way the
// application reads it at connection.
struct DeviceState {
    std::vector<uint8_t> info;
    std::vector<uint8_t> keys;
    std::vector<uint8_t> keyExtra;
    std::vector<uint8_t> status;
    // The onboard profile's light record (keyboard): its profile number,
    // then its 26 bytes as the keyboard answers them.
    int lightProfile = -1;
    std::vector<uint8_t> lightRecord;
    bool readsLight = false;
    // A virtual keyboard also tells the colour table it was given (3 bytes
    // a key); a real one cannot be asked for it.
    std::vector<uint8_t> keyColours;
    bool readsKeyColours = false;
    bool readsInfo = false;
    bool readsKeys = false;
    bool readsKeyExtra = false;
    bool readsStatus = false;
    // 1 when every command succeeded, else the code of the first failure
    // (-201 when the device's key count asks for a block over 512 bytes).
    int result = kResultSuccess;
};

// Keyboard: CMD_BEGIN, CMD_READ_INFO, block limit 3 x info byte 5,
// CMD_READ_KEYS, CMD_READ_KEY_EXTRA, CMD_END; mouse the same without the
// extra table; mouse pad CMD_BEGIN, CMD_READ_INFO, CMD_END; headset
// CMD_READ_STATUS of 6 bytes. A read that stops early sends no CMD_END.
DeviceState ReadDeviceState(CommandChannel& channel, uint16_t deviceClass);
// Then, as the keyboard's connection goes on: CMD_READ_CONFIG of 1 byte at 0
// (the onboard profile m) and of the 26-byte record at 25 x m.
void ReadLightRecord(CommandChannel& channel, DeviceState& state);

}  // namespace kx520::protocol
