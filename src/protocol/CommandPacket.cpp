#include "protocol/CommandPacket.h"

#include <algorithm>

namespace kx520::protocol {

uint16_t PacketChecksum(std::span<const uint8_t, kPacketSize> packet) {
    uint32_t sum = 0;
    for (size_t i = kCommandByte; i < kPacketSize; ++i) {
        sum += packet[i];
    }
    return static_cast<uint16_t>(sum);
}

namespace {

void SetChecksum(Packet& packet) {
    const uint16_t sum = PacketChecksum(packet);
    packet[kChecksumLow] = static_cast<uint8_t>(sum & 0xFF);
    packet[kChecksumHigh] = static_cast<uint8_t>(sum >> 8);
}

}  // namespace

Packet FrameRequest(std::span<const uint8_t> request) {
    Packet packet{};
    std::copy_n(request.begin(), std::min(request.size(), kPacketSize), packet.begin());
    SetChecksum(packet);
    return packet;
}

Packet BuildRequest(uint8_t command, uint16_t offset, std::span<const uint8_t> data) {
    Packet packet{};
    const size_t length = std::min(data.size(), kMaxData);
    packet[0] = kReportId;
    packet[kCommandByte] = command;
    packet[kLengthByte] = static_cast<uint8_t>(length);
    packet[kOffsetLow] = static_cast<uint8_t>(offset & 0xFF);
    packet[kOffsetHigh] = static_cast<uint8_t>(offset >> 8);
    std::copy_n(data.begin(), length, packet.begin() + kDataByte);
    SetChecksum(packet);
    return packet;
}

Packet BuildReadRequest(uint8_t command, uint16_t offset, uint8_t length) {
    Packet packet = BuildRequest(command, offset, {});
    packet[kLengthByte] = static_cast<uint8_t>(std::min<size_t>(length, kMaxData));
    SetChecksum(packet);
    return packet;
}

bool ChecksumValid(std::span<const uint8_t, kPacketSize> packet) {
    const uint16_t sum = PacketChecksum(packet);
    return packet[kChecksumLow] == (sum & 0xFF) && packet[kChecksumHigh] == (sum >> 8);
}

uint16_t PacketOffset(std::span<const uint8_t, kPacketSize> packet) {
    return static_cast<uint16_t>(packet[kOffsetLow] | (packet[kOffsetHigh] << 8));
}

}  // namespace kx520::protocol
