#include "protocol/CommandSet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "protocol/CommandPacket.h"
#include "support/VirtualChannel.h"

namespace kx520::protocol {
namespace {

using namespace std::chrono_literals;
using sim::FaultSpec;
using sim::SimFault;
using test::TraceLine;
using test::VirtualChannel;

struct PacketShape {
    uint16_t offset;
    uint8_t length;
    friend bool operator==(const PacketShape&, const PacketShape&) = default;
};

std::ostream& operator<<(std::ostream& out, const PacketShape& shape) {
    return out << "{" << shape.offset << ", " << int(shape.length) << "}";
}

std::vector<PacketShape> Shapes(const std::vector<TraceLine>& requests, uint8_t command) {
    std::vector<PacketShape> shapes;
    for (const TraceLine& request : requests) {
        if (request.Command() == command) {
            shapes.push_back({request.Offset(), request.Length()});
        }
    }
    return shapes;
}

TEST(CommandSetPaging, ReadInfoTakesTwoPacketsThroughTheReceiverAndOneOnTheCable) {
    VirtualChannel receiver("keyboard-receiver");
    std::array<uint8_t, kDeviceInfoSize> info{};
    ASSERT_EQ(CMD_READ_INFO(receiver.Channel(), info), kResultSuccess);
    EXPECT_EQ(Shapes(receiver.Requests(), kCmdReadInfo),
              (std::vector<PacketShape>{{0, 24}, {24, 10}}));
    EXPECT_EQ(info[5], 126);

    VirtualChannel cable("keyboard");
    ASSERT_EQ(CMD_READ_INFO(cable.Channel(), info), kResultSuccess);
    EXPECT_EQ(Shapes(cable.Requests(), kCmdReadInfo), (std::vector<PacketShape>{{0, 34}}));

    VirtualChannel pad("mousepad");  // no mode: 24-byte chunks
    ASSERT_EQ(CMD_READ_INFO(pad.Channel(), info), kResultSuccess);
    EXPECT_EQ(Shapes(pad.Requests(), kCmdReadInfo).size(), 2u);
}

TEST(CommandSetPaging, KeyTableOf378BytesAndItsExtraTable) {
    VirtualChannel keyboard("keyboard");
    ASSERT_TRUE(keyboard.Channel().SetBlockLimit(378));
    std::vector<uint8_t> keys(512);
    ASSERT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultSuccess);
    const auto shapes = Shapes(keyboard.Requests(), kCmdReadKeys);
    ASSERT_EQ(shapes.size(), 7u);
    EXPECT_EQ(shapes.back(), (PacketShape{336, 42}));
    const auto table = keyboard.Firmware()->Firmware().KeyTable();
    EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 378, table.begin()));

    std::vector<uint8_t> extra(512, 0xEE);
    ASSERT_EQ(CMD_READ_KEY_EXTRA(keyboard.Channel(), extra), kResultSuccess);
    uint32_t total = 0;
    for (const PacketShape& shape : Shapes(keyboard.Requests(), kCmdReadKeyExtra)) {
        total += shape.length;
    }
    EXPECT_EQ(total, 126u);
    EXPECT_EQ(extra[125], 125);
    EXPECT_EQ(extra[126], 0xEE);  // nothing past the 126 bytes
}

TEST(CommandSetPaging, KeyTablesThroughTheReceiverGoIn24BytePackets) {
    VirtualChannel keyboard("keyboard-receiver");
    ASSERT_TRUE(keyboard.Channel().SetBlockLimit(378));
    std::vector<uint8_t> keys(512);
    ASSERT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultSuccess);
    const auto shapes = Shapes(keyboard.Requests(), kCmdReadKeys);
    ASSERT_EQ(shapes.size(), 16u);  // 15 x 24 + 18
    EXPECT_EQ(shapes.back(), (PacketShape{360, 18}));
    std::vector<uint8_t> extra(512);
    ASSERT_EQ(CMD_READ_KEY_EXTRA(keyboard.Channel(), extra), kResultSuccess);
    const auto extraShapes = Shapes(keyboard.Requests(), kCmdReadKeyExtra);
    ASSERT_EQ(extraShapes.size(), 6u);  // 5 x 24 + 6
    EXPECT_EQ(extraShapes.back(), (PacketShape{120, 6}));
}

TEST(CommandSetPaging, ShootGoesIn56BytePacketsOnEitherLink) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        VirtualChannel mouse(product);
        std::vector<uint8_t> image(120);
        for (size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<uint8_t>(i + 1);
        }
        ASSERT_EQ(CMD_WRITE_SHOOT(mouse.Channel(), image), kResultSuccess) << product;
        EXPECT_EQ(Shapes(mouse.Requests(), kCmdWriteShoot),
                  (std::vector<PacketShape>{{0, 56}, {56, 56}, {112, 8}}))
            << product;
        const auto shoot = mouse.Firmware()->Firmware().Shoot();
        EXPECT_TRUE(std::equal(image.begin(), image.end(), shoot.begin())) << product;
    }
}

// The headset is not among them: it reads its records 25 bytes apart and
// is written them 64 apart (VirtualHeadset.*).
TEST(CommandSetPaging, ConfigurationWrittenAndReadBackIsEqual) {
    for (const char* product : {"mouse", "mouse-receiver", "mousepad"}) {
        VirtualChannel device(product);
        std::vector<uint8_t> record(66);
        for (size_t i = 0; i < record.size(); ++i) {
            record[i] = static_cast<uint8_t>(3 * i + 7);
        }
        EXPECT_EQ(CMD_BEGIN(device.Channel()), kResultSuccess) << product;
        EXPECT_EQ(CMD_WRITE_CONFIG(device.Channel(), record, 128), kResultSuccess) << product;
        EXPECT_EQ(CMD_END(device.Channel()), kResultSuccess) << product;
        std::vector<uint8_t> back(66);
        EXPECT_EQ(CMD_READ_CONFIG(device.Channel(), back, 128), kResultSuccess) << product;
        EXPECT_EQ(back, record) << product;
    }
}

TEST(CommandSetPaging, KeysWrittenAreTheKeysTheDeviceKeeps) {
    VirtualChannel keyboard("keyboard-receiver");
    ASSERT_TRUE(keyboard.Channel().SetBlockLimit(378));
    std::vector<uint8_t> keys(512);
    ASSERT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultSuccess);
    keys[0] = 0x70;  // first key plays macro 2
    keys[1] = 0x02;
    keys[2] = 0x00;
    ASSERT_EQ(CMD_WRITE_KEYS(keyboard.Channel(), keys, 0), kResultSuccess);
    const auto kept = keyboard.Firmware()->Firmware().KeyAssignments();
    EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 378, kept.begin()));
    // The table read back still names each key by its own code: the host
    // finds its keys by them whatever they were told to do.
    std::vector<uint8_t> back(512);
    ASSERT_EQ(CMD_READ_KEYS(keyboard.Channel(), back), kResultSuccess);
    EXPECT_EQ(back[0], 0x20);
    EXPECT_EQ(back[2], 0x29);
}

TEST(CommandSetArguments, UnsupportedArgumentsSendNothing) {
    VirtualChannel keyboard("keyboard");
    std::vector<uint8_t> keys(512);
    EXPECT_EQ(CMD_WRITE_KEYS(keyboard.Channel(), keys, 1), kResultUnsupported);
    std::vector<uint8_t> small(100);
    EXPECT_EQ(CMD_READ_KEYS(keyboard.Channel(), small), kResultUnsupported);  // 512 asked
    EXPECT_EQ(CMD_WRITE_KEYS(keyboard.Channel(), small, 0), kResultUnsupported);
    std::vector<uint8_t> beyond(64);
    EXPECT_EQ(CMD_WRITE_CONFIG(keyboard.Channel(), beyond, 0xFFF0), kResultUnsupported);
    EXPECT_TRUE(keyboard.Trace().empty());
}

TEST(CommandSetArguments, StatusReadIsOnePacketOfAtMost56Bytes) {
    VirtualChannel headset("headset");
    std::array<uint8_t, 6> status{};
    ASSERT_EQ(CMD_READ_STATUS(headset.Channel(), status, 0), kResultSuccess);
    EXPECT_EQ(status[0], 85);
    std::vector<uint8_t> large(80, 0xEE);
    ASSERT_EQ(CMD_READ_STATUS(headset.Channel(), large, 0), kResultSuccess);
    EXPECT_EQ(Shapes(headset.Requests(), kCmdReadStatus).back(), (PacketShape{0, 56}));
    EXPECT_EQ(large[56], 0xEE);
}

TEST(CommandSetProbe, CableIsTrueWithoutIoReceiverAsksTheDevice) {
    VirtualChannel cable("mouse");
    EXPECT_TRUE(CMD_RECEIVER_PROBE(cable.Channel()));
    EXPECT_TRUE(cable.Trace().empty());

    VirtualChannel receiver("mouse-receiver");
    EXPECT_TRUE(CMD_RECEIVER_PROBE(receiver.Channel()));
    receiver.Firmware()->Firmware().SetLinkAwake(false);
    EXPECT_FALSE(CMD_RECEIVER_PROBE(receiver.Channel()));
    std::array<uint8_t, kDeviceInfoSize> info{};
    EXPECT_EQ(CMD_READ_INFO(receiver.Channel(), info), kResultReceiverAnswered);
    receiver.Firmware()->Firmware().SetLinkAwake(true);
    EXPECT_EQ(CMD_READ_INFO(receiver.Channel(), info), kResultSuccess);
}

TEST(CommandSetTiming, EndWaitsTenMillisecondsBeforeItTakesTheLock) {
    VirtualChannel mouse("mouse");
    std::unique_lock held(mouse.Channel().CommandLock());
    auto end = std::async(std::launch::async, [&mouse] { return CMD_END(mouse.Channel()); });
    std::this_thread::sleep_for(30ms);
    EXPECT_TRUE(mouse.Trace().empty());  // waiting for the lock, nothing sent
    const auto released = std::chrono::steady_clock::now();
    held.unlock();
    ASSERT_EQ(end.get(), kResultSuccess);
    EXPECT_LT(std::chrono::steady_clock::now() - released, 1s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CMD_END(mouse.Channel()), kResultSuccess);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 10ms);
}

TEST(CommandSetFaults, EveryFaultGivesItsCodeAndTheChannelWorksAgain) {
    struct Case {
        const char* product;
        SimFault fault;
        int expected;
    };
    const Case cases[] = {
        {"keyboard", SimFault::StatusFF, kResultStatusFF},
        {"keyboard", SimFault::StatusFE, kResultStatusFE},
        {"keyboard-receiver", SimFault::Asleep, kResultReceiverAnswered},
        {"mouse", SimFault::StrayReply, kResultSuccess},
        {"mouse", SimFault::NoReply, kResultNoReply},
    };
    for (const Case& c : cases) {
        VirtualChannel device(c.product, {{c.fault, 1}});
        std::array<uint8_t, kDeviceInfoSize> info{};
        EXPECT_EQ(CMD_READ_INFO(device.Channel(), info), c.expected)
            << c.product << " " << sim::SimFaultName(c.fault);
        EXPECT_EQ(CMD_READ_INFO(device.Channel(), info), kResultSuccess)
            << c.product << " " << sim::SimFaultName(c.fault);
        EXPECT_EQ(info[0], 0x01);
    }
}

TEST(CommandSetFaults, RefusedWritesLeaveTheDeviceAlone) {
    VirtualChannel mouse("mouse", {{SimFault::StatusFF, 1}});
    std::vector<uint8_t> record(20, 0x5A);
    EXPECT_EQ(CMD_WRITE_CONFIG(mouse.Channel(), record, 300), kResultStatusFF);
    EXPECT_EQ(mouse.Firmware()->Firmware().Config()[300], 0);
}

TEST(CommandSetFaults, UnplugInTheMiddleOfAPagedTransfer) {
    VirtualChannel keyboard("keyboard", {{SimFault::Unplug, 3}});
    ASSERT_TRUE(keyboard.Channel().SetBlockLimit(378));
    std::vector<uint8_t> keys(512);
    EXPECT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultWriteFailed);
    EXPECT_EQ(Shapes(keyboard.Requests(), kCmdReadKeys).size(), 4u);  // 3 answered, 4th lost
    EXPECT_EQ(keyboard.Backend().Find("keyboard"), nullptr);
    // Plugged in again, the product is a new device: its fault went with the old one.
    ASSERT_TRUE(keyboard.Reconnect());
    EXPECT_TRUE(keyboard.Firmware()->Faults().empty());
    EXPECT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultSuccess);
}

TEST(CommandSetFaults, ACountedFaultIsUsedUpAndGone) {
    VirtualChannel keyboard("keyboard", {{SimFault::StatusFE, 2}});
    EXPECT_EQ(CMD_BEGIN(keyboard.Channel()), kResultStatusFE);
    EXPECT_EQ(CMD_BEGIN(keyboard.Channel()), kResultStatusFE);
    EXPECT_TRUE(keyboard.Firmware()->Faults().empty());
    EXPECT_EQ(CMD_BEGIN(keyboard.Channel()), kResultSuccess);
}

TEST(CommandSetFaults, BadChecksumsAreCountedAndRefused) {
    VirtualChannel keyboard("keyboard");
    Packet request = BuildRequest(kCmdWriteConfig, 0, std::vector<uint8_t>{9, 9, 9});
    request[kChecksumLow] ^= 0xFF;
    Packet reply{};
    // Exchange recomputes the checksum, so the broken frame goes straight to the link.
    ASSERT_TRUE(keyboard.Channel().FirstLink().Write(request.data(), request.size(), nullptr, 1000));
    ASSERT_TRUE(keyboard.Channel().FirstLink().Read(reply.data(), reply.size(), nullptr, 1000));
    EXPECT_EQ(reply[kStatusByte], kStatusErrorFE);
    EXPECT_EQ(keyboard.Firmware()->Firmware().BadChecksums(), 1u);
    EXPECT_EQ(keyboard.Firmware()->Firmware().Config()[0], 0);
}

TEST(CommandSetLight, StreamedFrameSkipsPacketsWhileTheChannelIsBusy) {
    VirtualChannel mouse("mouse", {{SimFault::NoReply, 1}});
    auto slow = std::async(std::launch::async, [&mouse] { return CMD_BEGIN(mouse.Channel()); });
    while (!mouse.Channel().Busy()) {
        std::this_thread::sleep_for(1ms);
    }
    std::vector<uint8_t> frame(45, 0x77);  // 15 LEDs
    EXPECT_EQ(CMD_STREAM_LIGHT(mouse.Channel(), frame), kResultSuccess);
    EXPECT_EQ(slow.get(), kResultNoReply);
    EXPECT_TRUE(Shapes(mouse.Requests(), kCmdStreamLight).empty());
    // Not busy: the frame goes out.
    EXPECT_EQ(CMD_STREAM_LIGHT(mouse.Channel(), frame), kResultSuccess);
    EXPECT_EQ(mouse.Firmware()->Firmware().LightFrame()[44], 0x77);
}

TEST(CommandSetLight, KeyColoursAndHostLight) {
    VirtualChannel keyboard("keyboard");
    std::vector<uint8_t> colours(378, 0x42);
    EXPECT_EQ(CMD_WRITE_KEY_COLOURS(keyboard.Channel(), colours, 0, 512), kResultSuccess);
    EXPECT_EQ(keyboard.Firmware()->Firmware().KeyColours()[377], 0x42);
    EXPECT_EQ(CMD_WRITE_KEY_COLOURS(keyboard.Channel(), colours, 1, 512), kResultSuccess);
    EXPECT_EQ(Shapes(keyboard.Requests(), kCmdWriteKeyColours).back().offset, 512 + 336);
    EXPECT_EQ(CMD_HOST_LIGHT(keyboard.Channel()), kResultSuccess);
    EXPECT_TRUE(keyboard.Firmware()->Firmware().HostLight());
}

TEST(CommandSetTiming, UsbTimingCostsTwoBusFramesPerPacket) {
    VirtualChannel keyboard("keyboard", {{SimFault::UsbTiming, FaultSpec::kEvery}});
    ASSERT_TRUE(keyboard.Channel().SetBlockLimit(378));
    std::vector<uint8_t> keys(512);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultSuccess);
    // Seven packets, each one frame out and one frame back; the first goes
    // out in the frame it arrives in, so that frame may be nearly over.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 13ms);
    const auto table = keyboard.Firmware()->Firmware().KeyTable();
    EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 378, table.begin()));
}

// Two configuration transfers under commandLock and a light stream under
// lightLock, at once: the transfers never interleave, frames may fall
// between their packets, and no packet ever falls between a request and
// its reply.
TEST(CommandSetConcurrency, TransfersKeepTheirPacketsTogether) {
    VirtualChannel keyboard("keyboard-receiver");
    ASSERT_TRUE(keyboard.Channel().SetBlockLimit(378));
    std::atomic<bool> stop{false};
    std::atomic<int> frames{0};
    auto light = std::async(std::launch::async, [&] {
        std::vector<uint8_t> frame(378, 0x10);
        while (!stop.load()) {
            CMD_STREAM_LIGHT(keyboard.Channel(), frame);
            ++frames;
        }
    });
    // The stream runs before the transfers start and until they end (where
    // its packets fall among theirs is up to the scheduler).
    while (frames.load() == 0) {
        std::this_thread::yield();
    }
    auto writer = std::async(std::launch::async, [&] {
        std::vector<uint8_t> config(500, 0x21);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(CMD_WRITE_CONFIG(keyboard.Channel(), config, 0), kResultSuccess);
        }
    });
    std::vector<uint8_t> keys(512);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(CMD_READ_KEYS(keyboard.Channel(), keys), kResultSuccess);
    }
    writer.get();
    stop.store(true);
    light.get();

    const auto trace = keyboard.Trace();
    // Every request is followed at once by its reply.
    for (size_t i = 0; i < trace.size(); ++i) {
        if (!trace[i].out) {
            continue;
        }
        ASSERT_LT(i + 1, trace.size());
        EXPECT_FALSE(trace[i + 1].out) << "line " << i;
        EXPECT_EQ(trace[i + 1].Command(), trace[i].Command()) << "line " << i;
    }
    // Between the first and last packet of one transfer, only light frames.
    const auto requests = test::Requests(trace);
    uint8_t current = 0;
    size_t packetsLeft = 0;
    for (const TraceLine& request : requests) {
        const uint8_t command = request.Command();
        if (command == kCmdStreamLight) {
            continue;
        }
        if (packetsLeft == 0) {
            current = command;
            packetsLeft = command == kCmdWriteConfig ? 21 : 16;  // 500 / 24, 378 / 24 rounded up
        }
        EXPECT_EQ(command, current) << "a transfer was interleaved";
        --packetsLeft;
    }
    EXPECT_EQ(packetsLeft, 0u);
}

}  // namespace
}  // namespace kx520::protocol
