#pragma once

#include <cstddef>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "protocol/CommandChannel.h"

namespace kx520::protocol {

// Command ids of the firmware.
enum CommandId : uint8_t {
    kCmdBegin = 0x01,
    kCmdEnd = 0x02,
    kCmdReadInfo = 0x03,
    kCmdReadConfig = 0x05,
    kCmdWriteConfig = 0x06,
    kCmdReadKeys = 0x07,
    kCmdWriteKeys = 0x09,
    kCmdWriteKeyColours = 0x0B,
    kCmdStreamLight = 0x12,
    kCmdWriteMacros = 0x15,
    kCmdWriteShoot = 0x17,
    kCmdReadStatus = 0x1A,
    kCmdReadKeyExtra = 0x1B,
    kCmdHostLight = 0x1C,
    kCmdReceiverProbe = 0xAA,
};

inline constexpr size_t kDeviceInfoSize = 34;
inline constexpr size_t kShootPacketSize = 56;

// The firmware commands. Each returns 1 on success, else the code of the
// first packet that failed: 0, -1, -101 from the exchange, -102 / -103 from
// a reply status of 0xFF / 0xFE, -201 for an argument the command does not
// take (nothing is sent then). Long blocks go in packets of the channel's
// chunk size, each one exchange, under the lock the command holds for its
// whole transfer.

int CMD_BEGIN(CommandChannel& channel);
// `command` between CMD_BEGIN and CMD_END, the bracket of every write: the
// first failure's code, 0 (nothing sent) when the channel is closed.
int Bracketed(CommandChannel& channel, const std::function<int()>& command);
// Waits 10 ms before it takes the lock, so the device can finish the
// transfers the matching CMD_BEGIN opened.
int CMD_END(CommandChannel& channel);
int CMD_READ_INFO(CommandChannel& channel, std::span<uint8_t> destination);
int CMD_READ_CONFIG(CommandChannel& channel, std::span<uint8_t> destination, uint16_t base);
int CMD_WRITE_CONFIG(CommandChannel& channel, std::span<const uint8_t> source, uint16_t base);
// Reads the channel's block limit of bytes.
int CMD_READ_KEYS(CommandChannel& channel, std::span<uint8_t> destination);
// Writes the channel's block limit of bytes; bank must be 0.
int CMD_WRITE_KEYS(CommandChannel& channel, std::span<const uint8_t> source, int bank);
int CMD_WRITE_KEY_COLOURS(CommandChannel& channel, std::span<const uint8_t> source, int bank,
                          int bankSize);
// A frame of streamed light, under the light lock with the quiet exchange;
// a packet that finds the channel busy is dropped, the rest still go.
int CMD_STREAM_LIGHT(CommandChannel& channel, std::span<const uint8_t> source);
int CMD_WRITE_MACROS(CommandChannel& channel, std::span<const uint8_t> source);
// In 56-byte packets whatever the link, and without a command lock.
int CMD_WRITE_SHOOT(CommandChannel& channel, std::span<const uint8_t> source);
// One packet; at most 56 bytes.
int CMD_READ_STATUS(CommandChannel& channel, std::span<uint8_t> destination, uint16_t offset);
// Reads block limit / 3 bytes.
int CMD_READ_KEY_EXTRA(CommandChannel& channel, std::span<uint8_t> destination);
int CMD_HOST_LIGHT(CommandChannel& channel);
// True at once on the cable; through the receiver, true only when the
// device behind it answers that it is awake and linked.
bool CMD_RECEIVER_PROBE(CommandChannel& channel);
// The same, giving up at `deadline` (a reply after it counts as none).
bool CMD_RECEIVER_PROBE(CommandChannel& channel, std::chrono::steady_clock::time_point deadline);
// How long a probe asked from the UI thread waits: an awake device answers
// at once, and the window must not hang on one that does not.
inline constexpr std::chrono::milliseconds kUiProbeWait{300};

}  // namespace kx520::protocol
