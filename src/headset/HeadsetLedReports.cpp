#include "headset/HeadsetLedReports.h"

#include <algorithm>

#include "protocol/CommandChannel.h"
#include "protocol/CommandSet.h"

namespace kx520 {

namespace {

constexpr uint8_t kReportId = 0xFF;
constexpr uint8_t kSides[] = {0x22, 0x44};
constexpr size_t kFirstBlockLeds = 7;
constexpr size_t kDataStart = 4;
constexpr int kReportTimeoutMs = 50;

// The byte of channel `channel` (0 red, 1 green, 2 blue) of each LED.
std::array<uint8_t, kHeadsetLeds> ChannelBytes(std::span<const LedEntry> frame, size_t ledCount, int channel) {
    std::array<uint8_t, kHeadsetLeds> bytes{};
    const size_t lit = std::min({frame.size(), ledCount, kHeadsetLeds});
    for (size_t i = 0; i < lit; ++i) {
        const LedEntry& led = frame[i];
        const uint8_t colour = channel == 0 ? led.red : channel == 1 ? led.green : led.blue;
        bytes[i] = std::min(LedEntry::Scale(colour, led.level), kHeadsetChannelCeiling);
    }
    return bytes;
}

}  // namespace

std::array<HeadsetReport, kHeadsetReports> HeadsetLedReports(std::span<const LedEntry> frame, size_t ledCount) {
    std::array<HeadsetReport, kHeadsetReports> reports{};
    size_t next = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const auto bytes = ChannelBytes(frame, ledCount, channel);
        const auto firstBlock = static_cast<uint8_t>(0xAA + channel);
        const auto secondBlock = static_cast<uint8_t>(0xAD + channel);
        for (const uint8_t side : kSides) {
            HeadsetReport& first = reports[next++];
            first[0] = kReportId;
            first[1] = side;
            first[2] = firstBlock;
            std::copy_n(bytes.begin(), kFirstBlockLeds, first.begin() + kDataStart);
            HeadsetReport& second = reports[next++];
            second[0] = kReportId;
            second[1] = side;
            second[2] = secondBlock;
            std::copy(bytes.begin() + kFirstBlockLeds, bytes.end(), second.begin() + kDataStart);
            // Six LEDs: the seventh data byte keeps what the report before had there.
            second[kDataStart + kFirstBlockLeds - 1] = first[kDataStart + kFirstBlockLeds - 1];
        }
    }
    return reports;
}

std::vector<uint8_t> EncodeHeadsetFrame(std::span<const LedEntry> frame, size_t ledCount) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kHeadsetReports * kHeadsetReportSize);
    for (const HeadsetReport& report : HeadsetLedReports(frame, ledCount)) {
        bytes.insert(bytes.end(), report.begin(), report.end());
    }
    return bytes;
}

int SendHeadsetReports(protocol::CommandChannel& channel, std::span<const uint8_t> bytes) {
    if (bytes.size() % kHeadsetReportSize != 0) {
        return protocol::kResultUnsupported;
    }
    for (size_t at = 0; at < bytes.size(); at += kHeadsetReportSize) {
        if (!channel.FirstLink().SetOutputReport(bytes.data() + at, kHeadsetReportSize, kReportTimeoutMs)) {
            return protocol::kResultNoReply;
        }
    }
    return protocol::kResultSuccess;
}

}  // namespace kx520
