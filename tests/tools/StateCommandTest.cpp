#include "kx520ctl/StateCommand.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include "catalog/DeviceCatalog.h"
#include "protocol/CommandSet.h"
#include "support/VirtualChannel.h"

namespace kx520::ctl {
namespace {

using namespace protocol;
using test::VirtualChannel;

std::vector<uint8_t> CommandsSent(const VirtualChannel& device) {
    std::vector<uint8_t> commands;
    for (const auto& request : device.Requests()) {
        if (commands.empty() || commands.back() != request.Command()) {
            commands.push_back(request.Command());  // one entry per transfer
        }
    }
    return commands;
}

TEST(StateRead, KeyboardReadsInfoKeysAndExtraBetweenBeginAndEnd) {
    VirtualChannel keyboard("keyboard-receiver");
    const DeviceState state = ReadDeviceState(keyboard.Channel(), KeyboardReceiver);
    EXPECT_EQ(state.result, kResultSuccess);
    EXPECT_EQ(CommandsSent(keyboard),
              (std::vector<uint8_t>{kCmdReceiverProbe, kCmdBegin, kCmdReadInfo, kCmdReadKeys,
                                    kCmdReadKeyExtra, kCmdEnd}));
    EXPECT_EQ(state.keys.size(), 378u);
    EXPECT_EQ(state.keyExtra.size(), 126u);
    EXPECT_EQ(keyboard.Channel().BlockLimit(), 378);
    const auto table = keyboard.Firmware()->Firmware().KeyTable();
    EXPECT_EQ(state.keys, std::vector<uint8_t>(table.begin(), table.begin() + 378));
}

TEST(StateRead, TheKeyboardsLightRecordIsReadForItsOnboardProfile) {
    VirtualChannel keyboard("keyboard");
    keyboard.Firmware()->Firmware().SwitchProfile(2);
    DeviceState state = ReadDeviceState(keyboard.Channel(), KeyboardWired);
    ReadLightRecord(keyboard.Channel(), state);
    EXPECT_EQ(state.result, kResultSuccess);
    EXPECT_EQ(state.lightProfile, 2);
    ASSERT_EQ(state.lightRecord.size(), 26u);
    EXPECT_EQ(state.lightRecord[0], 2);  // a record answers its profile number first
    EXPECT_EQ(state.lightRecord[1], 3);  // profile 2's factory mode
    const std::string json = FormatStateJson(state);
    EXPECT_NE(json.find("\"lightProfile\":2"), std::string::npos) << json;
}

TEST(StateRead, ThroughAReceiverASleepingDeviceIsSaidToBeOneAndNothingIsRead) {
    VirtualChannel mouse("mouse-receiver");
    mouse.Firmware()->Firmware().SetLinkAwake(false);
    const DeviceState state = ReadDeviceState(mouse.Channel(), MouseReceiver);
    EXPECT_EQ(state.result, kResultReceiverAnswered);
    EXPECT_EQ(CommandsSent(mouse), std::vector<uint8_t>{kCmdReceiverProbe});
    Json::Value root;
    ASSERT_TRUE(Json::Reader().parse(FormatStateJson(state), root));
    EXPECT_FALSE(root.isMember("info"));
}

TEST(StateRead, MouseMousePadAndHeadsetReadWhatTheyHave) {
    VirtualChannel mouse("mouse");
    const DeviceState mouseState = ReadDeviceState(mouse.Channel(), MouseWired);
    EXPECT_EQ(mouseState.result, kResultSuccess);
    EXPECT_EQ(CommandsSent(mouse),
              (std::vector<uint8_t>{kCmdBegin, kCmdReadInfo, kCmdReadKeys, kCmdEnd}));
    EXPECT_EQ(mouseState.keys.size(), 33u);
    EXPECT_FALSE(mouseState.readsKeyExtra);

    VirtualChannel pad("mousepad");
    EXPECT_EQ(ReadDeviceState(pad.Channel(), MousePad).result, kResultSuccess);
    EXPECT_EQ(CommandsSent(pad), (std::vector<uint8_t>{kCmdBegin, kCmdReadInfo, kCmdEnd}));

    VirtualChannel headset("headset");
    const DeviceState headsetState = ReadDeviceState(headset.Channel(), Headset);
    EXPECT_EQ(CommandsSent(headset), std::vector<uint8_t>{kCmdReadStatus});
    EXPECT_EQ(headsetState.status, (std::vector<uint8_t>{85, 0, 0, 0, 85, 0}));

    Json::Value root;
    ASSERT_TRUE(Json::Reader().parse(FormatStateJson(headsetState), root));
    EXPECT_FALSE(root.isMember("info"));
    EXPECT_EQ(root["status"].size(), 6u);
    EXPECT_EQ(root["result"].asInt(), 1);
}

TEST(StateRead, AReadThatStopsEarlySendsNoEnd) {
    // A key count that asks for more than 512 bytes.
    VirtualChannel keyboard("keyboard");
    keyboard.Firmware()->Firmware().SetInfoByte(5, 171);
    DeviceState state = ReadDeviceState(keyboard.Channel(), KeyboardWired);
    EXPECT_EQ(state.result, kResultUnsupported);
    EXPECT_EQ(CommandsSent(keyboard), (std::vector<uint8_t>{kCmdBegin, kCmdReadInfo}));

    // A failing command: its code, and nothing after it.
    VirtualChannel mouse("mouse", {{sim::SimFault::StatusFF, sim::FaultSpec::kEvery}});
    state = ReadDeviceState(mouse.Channel(), MouseWired);
    EXPECT_EQ(state.result, kResultStatusFF);
    EXPECT_EQ(CommandsSent(mouse), std::vector<uint8_t>{kCmdBegin});
    Json::Value root;
    ASSERT_TRUE(Json::Reader().parse(FormatStateJson(state), root));
    EXPECT_EQ(root["result"].asInt(), -102);
}

}  // namespace
}  // namespace kx520::ctl
