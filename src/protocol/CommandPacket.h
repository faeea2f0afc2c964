#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx520::protocol {

// The 64-byte frame every command travels in, both ways: report id 4,
// checksum (requests only), command id, data length, offset, status
// (replies only), then up to 56 data bytes.
inline constexpr size_t kPacketSize = 64;
inline constexpr uint8_t kReportId = 0x04;
inline constexpr size_t kChecksumLow = 1;
inline constexpr size_t kChecksumHigh = 2;
inline constexpr size_t kCommandByte = 3;
inline constexpr size_t kLengthByte = 4;
inline constexpr size_t kOffsetLow = 5;
inline constexpr size_t kOffsetHigh = 6;
inline constexpr size_t kStatusByte = 7;
inline constexpr size_t kDataByte = 8;
inline constexpr size_t kMaxData = kPacketSize - kDataByte;  // 56

// A receiver answers in place of its sleeping or distant device with this
// command id; it is also the id of the receiver probe.
inline constexpr uint8_t kReceiverAnswer = 0xAA;
inline constexpr uint8_t kStatusErrorFF = 0xFF;
inline constexpr uint8_t kStatusErrorFE = 0xFE;

using Packet = std::array<uint8_t, kPacketSize>;

// Sum of bytes 3 to 63; at most 61 x 255, so it always fits 16 bits.
uint16_t PacketChecksum(std::span<const uint8_t, kPacketSize> packet);

// A request of any length as it goes out: cut or zero-padded to 64 bytes,
// checksum set.
Packet FrameRequest(std::span<const uint8_t> request);

// The request of `command` with `data` (at most 56 bytes; more is cut) at
// `offset`, checksum set.
Packet BuildRequest(uint8_t command, uint16_t offset, std::span<const uint8_t> data);
// A read request: asks for `length` bytes (at most 56) at `offset`.
Packet BuildReadRequest(uint8_t command, uint16_t offset, uint8_t length);

bool ChecksumValid(std::span<const uint8_t, kPacketSize> packet);
uint16_t PacketOffset(std::span<const uint8_t, kPacketSize> packet);

}  // namespace kx520::protocol
