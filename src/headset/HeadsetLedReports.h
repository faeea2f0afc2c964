#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include <vector>

#include "lighting/LedEntry.h"

namespace kx520 {

namespace protocol {
class CommandChannel;
}

// The headset takes its LED colours as twelve plain HID output reports of
// 17 bytes, not as command packets: for each channel (red, green, blue) and
// each side (0x22, 0x44), the first seven LEDs' bytes and then the other six.
inline constexpr size_t kHeadsetLeds = 13;
inline constexpr size_t kHeadsetReportSize = 17;
inline constexpr size_t kHeadsetReports = 12;
// The brightest a channel byte may be.
inline constexpr uint8_t kHeadsetChannelCeiling = 247;

using HeadsetReport = std::array<uint8_t, kHeadsetReportSize>;

// The reports of `frame`, in the order they are sent. Each channel byte is
// the colour times its level (high byte of the product), at most 247; LEDs
// past `ledCount` or the frame are dark. The second block of a channel holds
// six LEDs, and its seventh byte repeats what the report before it had there.
std::array<HeadsetReport, kHeadsetReports> HeadsetLedReports(std::span<const LedEntry> frame, size_t ledCount);

// The twelve reports one after the other: what the frame sender is handed.
std::vector<uint8_t> EncodeHeadsetFrame(std::span<const LedEntry> frame, size_t ledCount);

// The frame sender's transport for the headset: each report of `bytes`
// sent as an output report on the first link. The first that fails ends
// the frame with kResultNoReply.
int SendHeadsetReports(protocol::CommandChannel& channel, std::span<const uint8_t> bytes);

}  // namespace kx520
