#include "headset/HeadsetCore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "headset/HeadsetLightRecord.h"
#include "kx520ctl/ProductChannel.h"
#include "protocol/CommandSet.h"
#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"

namespace kx520 {
namespace {

using namespace protocol;

class HeadsetCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        data = temp.Path() + "/HD/";
        std::filesystem::create_directories(data);
        core.SetKindNumber(3);
        core.SetFolders(data, std::string(KX520_DATA_DIR) + "/DefaultData/");
        core.LoadDefaults();
        core.SetLedCount(13);
        backend.Plug("headset");
        ASSERT_EQ(ctl::ConnectProduct(core.Channel(), backend, "headset", nullptr), ctl::ConnectResult::Connected);
    }
    sim::FirmwareDriver& Driver() { return *backend.Firmware("headset"); }

    test::TempDir temp;
    std::string data;
    sim::VirtualHidBackend backend;
    HeadsetCore core{backend};
};

TEST_F(HeadsetCoreTest, StaticWhiteAtFullBrightnessReachesBothSidesAtTheCeiling) {
    profiles::LightSetting white;
    white.mode = 3;
    white.brightness = 4;
    white.red = white.green = white.blue = 255;
    core.SetLight(white);
    for (uint32_t step = 0; step <= 28; ++step) {  // the slowest interval's ticks
        core.LightPass(1000 + 16 * step);
    }
    core.SendFrame(core.FrameCopy());
    for (int i = 0; i < 200 && core.Sender().SentFrames() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(core.Sender().SentFrames(), 1u);
    ASSERT_EQ(Driver().HeadsetLeds().Taken(), 12u);
    EXPECT_EQ(Driver().HeadsetLeds().Refused(), 0u);
    for (size_t side = 0; side < 2; ++side) {
        for (const auto& colour : Driver().HeadsetLeds().Colours(side)) {
            EXPECT_EQ(colour, (std::array<uint8_t, 3>{247, 247, 247}));
        }
    }
}

TEST_F(HeadsetCoreTest, TheLightRecordLandsWhereTheSettingsNotificationReadsItBack) {
    profiles::LightSetting light;
    light.mode = 11;  // no such mode on the headset: sent as the first one
    light.brightness = 2;
    light.speed = 1;
    light.red = 9;
    core.SetLight(light);
    ASSERT_EQ(core.WriteLightConfig(1), kResultSuccess);
    const auto config = Driver().Firmware().Config();
    ASSERT_GE(config.size(), 25u + kHeadsetRecordSize);
    const HeadsetLightRecordBytes expected = HeadsetLightRecord(light, 0);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), config.begin() + 25));
    EXPECT_EQ(config[25 + 1], 0);
    EXPECT_EQ(config[25 + 3], 3);  // four less the speed
    EXPECT_EQ(core.WriteLightConfig(-1), kResultUnsupported);

    core.SetLight(profiles::LightSetting{});
    ASSERT_EQ(core.WriteLightConfig(0), kResultSuccess);  // byte 0 is index 0 ...
    auto read = core.FetchNotifyRead();
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->index, 0);
    EXPECT_EQ(read->bytes.size(), HeadsetCore::kNotifyReadSize);
    core.Channel().SetOpen(false);
    EXPECT_FALSE(core.FetchNotifyRead().has_value());
    EXPECT_EQ(core.WriteLightConfig(0), 0);  // closed: nothing sent
}

}  // namespace
}  // namespace kx520
