#include "protocol/DeviceState.h"

#include <span>

#include "catalog/DeviceCatalog.h"
#include "protocol/CommandSet.h"

namespace kx520::protocol {

namespace {

constexpr size_t kStatusLength = 6;

// Runs `step` unless an earlier one failed; keeps the first failure.
template <typename Step>
bool Then(DeviceState& state, Step step) {
    if (state.result != kResultSuccess) {
        return false;
    }
    state.result = step();
    return state.result == kResultSuccess;
}

// Runs `read` into a block of `size` bytes; only a block that was read
// whole is kept (a failed read shows nothing, not zeros).
template <typename Read>
bool ReadBlock(DeviceState& state, std::vector<uint8_t>& into, size_t size, Read read) {
    std::vector<uint8_t> bytes(size);
    if (!Then(state, [&] { return read(std::span<uint8_t>(bytes)); })) {
        return false;
    }
    into = std::move(bytes);
    return true;
}

void ReadInfoAndKeys(CommandChannel& channel, DeviceState& state, bool keyExtra) {
    state.readsInfo = state.readsKeys = true;
    state.readsKeyExtra = keyExtra;
    if (!Then(state, [&] { return CMD_BEGIN(channel); }) ||
        !ReadBlock(state, state.info, kDeviceInfoSize,
                   [&](std::span<uint8_t> info) { return CMD_READ_INFO(channel, info); })) {
        return;
    }
    if (!channel.SetBlockLimit(3u * state.info[5])) {
        state.result = kResultUnsupported;
        return;
    }
    std::vector<uint8_t> keys(CommandChannel::kMaxBlockLimit);
    if (!Then(state, [&] { return CMD_READ_KEYS(channel, keys); })) {
        return;
    }
    state.keys.assign(keys.begin(), keys.begin() + channel.BlockLimit());
    if (keyExtra) {
        std::vector<uint8_t> extra(CommandChannel::kMaxBlockLimit);
        if (!Then(state, [&] { return CMD_READ_KEY_EXTRA(channel, extra); })) {
            return;
        }
        state.keyExtra.assign(extra.begin(), extra.begin() + channel.BlockLimit() / 3);
    }
    Then(state, [&] { return CMD_END(channel); });
}

}  // namespace

DeviceState ReadDeviceState(CommandChannel& channel, uint16_t deviceClass) {
    DeviceState state;
    // Through a receiver, first the device behind it, as the application
    // asks before it reads: a sleeping device is said to be one.
    if ((deviceClass == KeyboardReceiver || deviceClass == MouseReceiver) &&
        !CMD_RECEIVER_PROBE(channel)) {
        state.result = kResultReceiverAnswered;
        return state;
    }
    switch (deviceClass) {
        case KeyboardWired:
        case KeyboardReceiver:
            ReadInfoAndKeys(channel, state, true);
            break;
        case MouseWired:
        case MouseReceiver:
            ReadInfoAndKeys(channel, state, false);
            break;
        case MousePad:
            state.readsInfo = true;
            if (Then(state, [&] { return CMD_BEGIN(channel); }) &&
                ReadBlock(state, state.info, kDeviceInfoSize,
                          [&](std::span<uint8_t> info) { return CMD_READ_INFO(channel, info); })) {
                Then(state, [&] { return CMD_END(channel); });
            }
            break;
        default:
            state.readsStatus = true;
            ReadBlock(state, state.status, kStatusLength, [&](std::span<uint8_t> status) {
                return CMD_READ_STATUS(channel, status, 0);
            });
            break;
    }
    return state;
}

void ReadLightRecord(CommandChannel& channel, DeviceState& state) {
    state.readsLight = true;
    uint8_t profile = 0;
    if (!Then(state, [&] { return CMD_READ_CONFIG(channel, std::span<uint8_t>(&profile, 1), 0); })) {
        return;
    }
    state.lightProfile = profile;
    constexpr size_t kRecordSize = 26;
    constexpr uint16_t kStride = 25;
    const auto base = static_cast<uint16_t>(kStride * profile);
    ReadBlock(state, state.lightRecord, kRecordSize,
              [&](std::span<uint8_t> record) { return CMD_READ_CONFIG(channel, record, base); });
}

}  // namespace kx520::protocol
