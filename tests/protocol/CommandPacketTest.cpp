#include "protocol/CommandPacket.h"

#include <gtest/gtest.h>

namespace kx520::protocol {
namespace {

TEST(CommandPacket, ShortRequestIsPaddedAndChecksummedOverBytes3To63) {
    const uint8_t request[5] = {0x04, 0x00, 0x00, 0x05, 0x22};
    const Packet packet = FrameRequest(request);
    for (size_t i = 5; i < kPacketSize; ++i) {
        EXPECT_EQ(packet[i], 0) << i;
    }
    EXPECT_EQ(packet[kChecksumLow], 0x27);
    EXPECT_EQ(packet[kChecksumHigh], 0x00);
    EXPECT_TRUE(ChecksumValid(packet));
}

TEST(CommandPacket, LongRequestIsCutTo64Bytes) {
    std::vector<uint8_t> request(80, 0x01);
    const Packet packet = FrameRequest(request);
    EXPECT_EQ(PacketChecksum(packet), 61);
}

TEST(CommandPacket, FullPacketChecksumFitsSixteenBits) {
    std::vector<uint8_t> request(64, 0xFF);
    const Packet packet = FrameRequest(request);
    EXPECT_EQ(PacketChecksum(packet), 61 * 255);
    EXPECT_EQ(packet[kChecksumLow], (61 * 255) & 0xFF);
    EXPECT_EQ(packet[kChecksumHigh], (61 * 255) >> 8);
}

TEST(CommandPacket, RequestFieldsAndDataLimit) {
    std::vector<uint8_t> data(60, 0xAB);
    const Packet packet = BuildRequest(0x06, 0x1234, data);
    EXPECT_EQ(packet[0], kReportId);
    EXPECT_EQ(packet[kCommandByte], 0x06);
    EXPECT_EQ(packet[kLengthByte], 56);  // cut to what a packet holds
    EXPECT_EQ(PacketOffset(packet), 0x1234);
    EXPECT_EQ(packet[kOffsetLow], 0x34);
    EXPECT_EQ(packet[kStatusByte], 0);
    EXPECT_EQ(packet[63], 0xAB);
    EXPECT_TRUE(ChecksumValid(packet));

    const Packet read = BuildReadRequest(0x05, 25, 26);
    EXPECT_EQ(read[kLengthByte], 26);
    EXPECT_EQ(read[kDataByte], 0);
    EXPECT_TRUE(ChecksumValid(read));
    Packet broken = read;
    broken[20] = 1;
    EXPECT_FALSE(ChecksumValid(broken));
}

}  // namespace
}  // namespace kx520::protocol
