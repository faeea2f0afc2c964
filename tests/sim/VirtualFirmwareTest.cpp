#include "sim/VirtualFirmware.h"

#include <gtest/gtest.h>

#include "catalog/PageKeyDefaults.h"
#include "protocol/CommandSet.h"

namespace kx520::sim {
namespace {

using namespace protocol;

Packet Ask(VirtualFirmware& firmware, const Packet& request) {
    const auto reply = firmware.Handle(request);
    EXPECT_TRUE(reply.has_value());
    return reply.value_or(Packet{});
}

TEST(VirtualFirmware, KeyboardStartsWithTheFactoryKeyTable) {
    VirtualFirmware keyboard(*FindVirtualProduct("keyboard"));
    EXPECT_EQ(keyboard.GetKind(), VirtualFirmware::Kind::Keyboard);
    EXPECT_FALSE(keyboard.IsReceiver());
    EXPECT_EQ(keyboard.Info()[5], kPageKeyDefaults.size());
    const auto keys = keyboard.KeyTable();
    for (size_t k = 0; k < kPageKeyDefaults.size(); ++k) {
        EXPECT_EQ((KeyCode{keys[3 * k], keys[3 * k + 1], keys[3 * k + 2]}), kPageKeyDefaults[k]);
    }
    EXPECT_EQ(keyboard.Macros().size(), keyboard.Info()[6] * 128u);
}

TEST(VirtualFirmware, KeyboardChecksTheMacroImageItCompletesAndRefusesAMalformedOne) {
    VirtualFirmware keyboard(*FindVirtualProduct("keyboard"));
    // One macro of one event: 16 + 2 + 4 + 4 = 26 bytes, sent in two packets.
    std::vector<uint8_t> image{0xAA, 0x55, 26, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               18, 0, 1, 0, 0, 0, 35, 0, 0x81, 4};
    const std::vector<uint8_t> head(image.begin(), image.begin() + 20);
    const std::vector<uint8_t> tail(image.begin() + 20, image.end());
    EXPECT_EQ(Ask(keyboard, BuildRequest(kCmdWriteMacros, 0, head))[kStatusByte], 0);
    EXPECT_EQ(Ask(keyboard, BuildRequest(kCmdWriteMacros, 20, tail))[kStatusByte], 0);
    EXPECT_TRUE(keyboard.MacroImageValid());

    image[16] = 20;  // the record is not where the table says
    EXPECT_EQ(Ask(keyboard, BuildRequest(kCmdWriteMacros, 0, image))[kStatusByte], kStatusErrorFF);
    EXPECT_FALSE(keyboard.MacroImageValid());
    image[16] = 18;
    image[18] = 2;  // more events than the length holds
    EXPECT_EQ(Ask(keyboard, BuildRequest(kCmdWriteMacros, 0, image))[kStatusByte], kStatusErrorFF);
    image[18] = 1;
    image[0] = 0;  // no magic
    EXPECT_EQ(Ask(keyboard, BuildRequest(kCmdWriteMacros, 0, image))[kStatusByte], kStatusErrorFF);
}

TEST(VirtualFirmware, ARecordReadsBackItsProfileNumberAndTheCurrentProfileIsByteZero) {
    VirtualFirmware keyboard(*FindVirtualProduct("keyboard"));
    keyboard.SwitchProfile(3);
    EXPECT_EQ(Ask(keyboard, BuildReadRequest(kCmdReadConfig, 0, 1))[kDataByte], 3);
    const Packet record = Ask(keyboard, BuildReadRequest(kCmdReadConfig, 75, 26));
    EXPECT_EQ(record[kDataByte], 3);
    EXPECT_EQ(record[kDataByte + 1], 4);  // profile 3's factory mode
    const std::vector<uint8_t> host{9, 0xFE};
    Ask(keyboard, BuildRequest(kCmdWriteConfig, 25, host));
    EXPECT_EQ(Ask(keyboard, BuildReadRequest(kCmdReadConfig, 25, 26))[kDataByte + 1], 0xFE);
    EXPECT_EQ(keyboard.Config()[25], 9);  // what was written stays in memory
}

TEST(VirtualFirmware, ReadsAndWritesGoByOffsetAndLength) {
    VirtualFirmware mouse(*FindVirtualProduct("mouse"));
    const std::vector<uint8_t> data{1, 2, 3, 4, 5};
    Packet reply = Ask(mouse, BuildRequest(kCmdWriteConfig, 700, data));
    EXPECT_EQ(reply[kCommandByte], kCmdWriteConfig);
    EXPECT_EQ(reply[kStatusByte], 0);
    reply = Ask(mouse, BuildReadRequest(kCmdReadConfig, 699, 7));
    EXPECT_EQ((std::vector<uint8_t>(reply.begin() + 8, reply.begin() + 15)),
              (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(reply[15], 0);  // nothing past the length asked for
}

TEST(VirtualFirmware, OutOfRangeAndUnknownCommandsAnswer0xFF) {
    VirtualFirmware pad(*FindVirtualProduct("mousepad"));
    EXPECT_EQ(Ask(pad, BuildReadRequest(kCmdReadConfig, 2047, 2))[kStatusByte], kStatusErrorFF);
    EXPECT_EQ(Ask(pad, BuildReadRequest(kCmdReadInfo, 30, 5))[kStatusByte], kStatusErrorFF);
    EXPECT_EQ(Ask(pad, BuildReadRequest(kCmdReadKeys, 0, 24))[kStatusByte], kStatusErrorFF);
    EXPECT_EQ(Ask(pad, BuildRequest(0x60, 0, {}))[kStatusByte], kStatusErrorFF);
    EXPECT_EQ(Ask(pad, BuildRequest(kCmdReceiverProbe, 0, {}))[kStatusByte], kStatusErrorFF);
    Packet tooLong = BuildReadRequest(kCmdReadConfig, 0, 1);
    tooLong[kLengthByte] = 57;
    tooLong = FrameRequest(tooLong);
    EXPECT_EQ(Ask(pad, tooLong)[kStatusByte], kStatusErrorFF);
    VirtualFirmware headset(*FindVirtualProduct("headset"));
    EXPECT_EQ(Ask(headset, BuildRequest(kCmdWriteMacros, 0, std::vector<uint8_t>{1}))[kStatusByte],
              kStatusErrorFF);
}

TEST(VirtualFirmware, OnlyCommandPacketsAreAnswered) {
    VirtualFirmware keyboard(*FindVirtualProduct("keyboard"));
    Packet wrongId = BuildRequest(kCmdBegin, 0, {});
    wrongId[0] = 0x05;
    EXPECT_FALSE(keyboard.Handle(wrongId));
    EXPECT_FALSE(keyboard.Handle(std::vector<uint8_t>{0x04, 0x01}));
    EXPECT_EQ(keyboard.Requests(), 0u);
}

TEST(VirtualFirmware, ReceiverLinkAnswersForItsDevice) {
    VirtualFirmware receiver(*FindVirtualProduct("mouse-receiver"));
    ASSERT_TRUE(receiver.IsReceiver());
    Packet reply = Ask(receiver, BuildRequest(kCmdReceiverProbe, 0, {}));
    EXPECT_EQ(reply[kCommandByte], kReceiverAnswer);
    EXPECT_EQ(reply[kDataByte], 0xFF);
    receiver.SetLinkAwake(false);
    reply = Ask(receiver, BuildRequest(kCmdBegin, 0, {}));
    EXPECT_EQ(reply[kCommandByte], kReceiverAnswer);
    EXPECT_FALSE(receiver.InTransaction());  // the device never saw it
    reply = Ask(receiver, BuildRequest(kCmdReceiverProbe, 0, {}));
    EXPECT_NE(reply[kDataByte], 0xFF);
    EXPECT_EQ(receiver.Status()[3], 1);  // wireless flag
}

TEST(VirtualFirmware, TransactionsAndHostLight) {
    VirtualFirmware keyboard(*FindVirtualProduct("keyboard"));
    Ask(keyboard, BuildRequest(kCmdBegin, 0, {}));
    EXPECT_TRUE(keyboard.InTransaction());
    Ask(keyboard, BuildRequest(kCmdEnd, 0, {}));
    EXPECT_FALSE(keyboard.InTransaction());
    EXPECT_FALSE(keyboard.HostLight());
    Ask(keyboard, BuildRequest(kCmdHostLight, 0, {}));
    EXPECT_TRUE(keyboard.HostLight());
}

TEST(VirtualFirmware, AMouseRecordHoldsFiveStagesAndKeepsItsLastFiveBytesThroughAWrite) {
    VirtualFirmware mouse(*FindVirtualProduct("mouse"));
    // Record 1 at 128, as the firmware keeps it.
    const Packet read = Ask(mouse, BuildRequest(kCmdReadConfig, 128, std::vector<uint8_t>(kMaxData)));
    const std::vector<uint8_t> record(read.begin() + kDataByte, read.begin() + kDataByte + 56);
    EXPECT_EQ(record[1], 1);   // light mode 1
    EXPECT_EQ(record[12], 1);  // the second stage is in use
    // Stage 1: enabled, one value for X and Y (step 30: 1600 from 100 in steps of 50), green.
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + 14 + 9, record.begin() + 14 + 18),
              (std::vector<uint8_t>{1, 0, 30, 0, 30, 0, 0, 255, 0}));
    const std::vector<uint8_t> factory = mouse.Config();
    const std::vector<uint8_t> own(factory.begin() + 128 + 66, factory.begin() + 128 + 71);
    EXPECT_NE(own, std::vector<uint8_t>(5, 0));
    // The host writes 71 bytes of 0x77: all but the firmware's own take them.
    ASSERT_EQ(Ask(mouse, BuildRequest(kCmdWriteConfig, 128, std::vector<uint8_t>(56, 0x77)))[kStatusByte], 0);
    ASSERT_EQ(Ask(mouse, BuildRequest(kCmdWriteConfig, 128 + 56, std::vector<uint8_t>(15, 0x77)))[kStatusByte], 0);
    const auto config = mouse.Config();
    EXPECT_EQ(config[128 + 65], 0x77);
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 128 + 66, config.begin() + 128 + 71), own);
    EXPECT_EQ(config[128 + 71], 0);  // the next byte was not written
}

TEST(VirtualFirmware, AMouseSwitchesStageAndProfileOnItsOwnAndTakesASensorModel) {
    VirtualFirmware mouse(*FindVirtualProduct("mouse"));
    mouse.SwitchStage(2, 3);
    EXPECT_EQ(mouse.Config()[0], 2);
    EXPECT_EQ(mouse.Config()[256 + 12], 3);
    mouse.SwitchStage(1, 9);  // there are five stages
    EXPECT_EQ(mouse.Config()[0], 2);
    EXPECT_EQ(mouse.Config()[128 + 12], 1);

    std::string error;
    Json::Value model;
    model["sensor"] = 0x3325;
    model["step"] = 100;
    ASSERT_TRUE(mouse.ApplyModel(model, &error)) << error;
    EXPECT_EQ(mouse.Info()[9], 0x25);
    EXPECT_EQ(mouse.Info()[10], 0x33);
    EXPECT_EQ(mouse.Info()[11], 100);
    EXPECT_EQ(mouse.Info()[14], 100);  // not given: kept
    model["lowest"] = 70000;
    EXPECT_FALSE(mouse.ApplyModel(model, &error));
    EXPECT_EQ(mouse.Info()[11], 100);
    mouse.ResetToFactory();  // the model stays the model
    EXPECT_EQ(mouse.Info()[9], 0x25);
}

}  // namespace
}  // namespace kx520::sim
