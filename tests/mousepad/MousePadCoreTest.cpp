#include "mousepad/MousePadCore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "kx520ctl/ProductChannel.h"
#include "profiles/ProfileTestFiles.h"
#include "protocol/CommandSet.h"
#include "sim/FirmwareDriver.h"
#include "sim/FlashStore.h"
#include "sim/PacketTrace.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;

// The pad's mode list with codes unlike the places, so that a translation
// that went wrong shows: place n has code 10 + n.
constexpr const char* kDefaults = R"({"DefaultLightName": [[], [], [
    {"LightName": "wave", "visible": true, "value": 10},
    {"LightName": "spectrum", "visible": true, "value": 11},
    {"LightName": "breathing", "visible": true, "value": 12},
    {"LightName": "static", "visible": true, "value": 13},
    {"LightName": "blink", "visible": true, "value": 14},
    {"LightName": "custom", "visible": false, "value": 15}]]})";

class Pad : public ::testing::Test {
protected:
    void SetUp() override {
        data = temp.Path() + "/MousePad/";
        defaults = temp.Path() + "/DefaultData/";
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(defaults);
        test::WriteText(defaults + "default_light.json", kDefaults);
        backend.SetTrace(sim::PacketTrace::Open(temp.Path() + "/trace", nullptr));
        core.SetKindNumber(2);
        core.SetFolders(data, defaults);
        core.LoadDefaults();
        core.SetLedCount(MousePadCore::kLeds);
        backend.Plug("mousepad");
        ASSERT_EQ(ctl::ConnectProduct(core.Channel(), backend, "mousepad", nullptr), ctl::ConnectResult::Connected);
        sent = Requests().size();
    }
    sim::FirmwareDriver& Driver() { return *backend.Firmware("mousepad"); }
    std::vector<test::TraceLine> Requests() { return test::Requests(test::ReadTrace(temp.Path() + "/trace")); }
    // The requests since the last call.
    std::vector<test::TraceLine> NewRequests() {
        std::vector<test::TraceLine> all = Requests();
        std::vector<test::TraceLine> fresh(all.begin() + static_cast<std::ptrdiff_t>(sent), all.end());
        sent = all.size();
        return fresh;
    }
    // Puts `bytes` into the pad's memory at `offset` behind the host's back.
    void Poke(uint16_t offset, std::vector<uint8_t> bytes) {
        ASSERT_EQ(CMD_WRITE_CONFIG(core.Channel(), bytes, offset), kResultSuccess);
        NewRequests();
    }

    test::TempDir temp;
    std::string data;
    std::string defaults;
    sim::VirtualHidBackend backend;
    MousePadCore core{backend};
    size_t sent = 0;
};

TEST_F(Pad, TheStartUpReadsItsInformationBlockBetweenBeginAndEnd) {
    const auto info = core.FetchInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size(), kDeviceInfoSize);
    EXPECT_EQ((*info)[1], 0x05);  // the virtual pad's firmware 1.05
    std::vector<uint8_t> commands;
    for (const auto& request : NewRequests()) {
        if (commands.empty() || commands.back() != request.Command()) {
            commands.push_back(request.Command());  // the block's two packets as one
        }
    }
    EXPECT_EQ(commands, (std::vector<uint8_t>{kCmdBegin, kCmdReadInfo, kCmdEnd}));
    core.Channel().SetOpen(false);
    EXPECT_FALSE(core.FetchInfo());
    EXPECT_TRUE(NewRequests().empty());
}

// The record comes from 25 x the onboard profile; its code becomes the
// mode's place, its speed the page's.
TEST_F(Pad, TheRecordIsReadAtTwentyFiveTimesTheOnboardProfileAndTranslated) {
    struct Case {
        uint8_t profile;
        uint8_t code;
        uint8_t deviceSpeed;
        uint8_t mode;  // as the page shows it
        uint8_t speed;
    };
    for (const Case& c : {Case{0, 12, 1, 2, 3}, Case{2, 10, 4, 0, 0}, Case{3, 14, 9, 4, 0}}) {
        ASSERT_TRUE(Driver().SwitchProfile(c.profile));
        Poke(static_cast<uint16_t>(25 * c.profile + 1), {c.code, 3, c.deviceSpeed, 1, 0, 7, 8, 9});
        const auto read = core.FetchRecord();
        ASSERT_TRUE(read);
        const auto requests = NewRequests();
        // The pad's channel moves 24 bytes a packet: the record comes in two.
        ASSERT_EQ(requests.size(), 3u);
        for (const auto& request : requests) {
            EXPECT_EQ(request.Command(), kCmdReadConfig);
        }
        EXPECT_EQ(requests[0].Length(), 1);
        EXPECT_EQ(requests[0].Offset(), 0);
        EXPECT_EQ(requests[1].Length() + requests[2].Length(), MousePadCore::kRecordSize);
        EXPECT_EQ(requests[1].Offset(), 25 * c.profile);
        EXPECT_EQ(requests[2].Offset(), 25 * c.profile + requests[1].Length());
        core.TakeRecord(*read);
        EXPECT_EQ(core.OnboardProfile(), c.profile);
        EXPECT_EQ(core.Light().mode, c.mode) << int(c.code);
        EXPECT_EQ(core.Light().speed, c.speed);
        EXPECT_EQ(core.Light().brightness, 3);
        EXPECT_EQ(core.Light().direction, 1);
        EXPECT_EQ(core.Light().blue, 9);
        EXPECT_EQ(core.StoredRecord()[1], c.mode);
        EXPECT_EQ(core.LastRead()->bytes[1], c.code);  // as the pad answered it
    }
}

TEST_F(Pad, ACodeTheModeListLacksKeepsTheCurrentMode) {
    profiles::LightSetting light;
    light.mode = 3;
    core.SetLight(light);
    Poke(1, {0x77});
    core.TakeRecord(*core.FetchRecord());
    EXPECT_EQ(core.Light().mode, 3);
    EXPECT_EQ(core.StoredRecord()[1], 3);
}

TEST_F(Pad, TheWriteSendsTwentyOneBytesAtSixtyFourTimesTheProfileAndKeepsThePagesValues) {
    profiles::LightSetting breathing;
    breathing.mode = 2;
    breathing.speed = 3;
    breathing.brightness = 4;
    breathing.green = 255;
    core.SetLight(breathing);
    ASSERT_EQ(core.LightConfigWrite(0)(), kResultSuccess);
    auto requests = NewRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].Command(), kCmdBegin);
    EXPECT_EQ(requests[1].Command(), kCmdWriteConfig);
    EXPECT_EQ(requests[1].Length(), MousePadCore::kWriteSize);
    EXPECT_EQ(requests[1].Offset(), 0);
    EXPECT_EQ(requests[2].Command(), kCmdEnd);
    auto config = Driver().Firmware().Config();
    EXPECT_EQ(config[1], 12);  // the code of breathing
    EXPECT_EQ(config[3], 1);   // four less the speed
    EXPECT_EQ(config[7], 255);
    EXPECT_EQ(core.StoredRecord()[1], 2);  // the copy was translated, not the record
    EXPECT_EQ(core.StoredRecord()[3], 3);

    // Profile 1 is written at 64 but read back from 25, which the write did not touch.
    const auto before = std::vector<uint8_t>(config.begin() + 25, config.begin() + 51);
    ASSERT_EQ(core.LightConfigWrite(1)(), kResultSuccess);
    requests = NewRequests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].Offset(), 64);
    config = Driver().Firmware().Config();
    EXPECT_EQ(config[64 + 1], 12);
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 25, config.begin() + 51), before);
}

TEST_F(Pad, AModeWithoutACodeOrAProfilePastTheOffsetsSendsNothing) {
    profiles::LightSetting light;
    light.mode = 8;  // the list above ends at 5
    core.SetLight(light);
    EXPECT_EQ(core.LightConfigWrite(0)(), kResultUnsupported);
    light.mode = 1;
    core.SetLight(light);
    EXPECT_EQ(core.LightConfigWrite(256)(), kResultUnsupported);
    EXPECT_EQ(core.LightConfigWrite(-1)(), kResultUnsupported);
    EXPECT_TRUE(NewRequests().empty());
    core.Channel().SetOpen(false);
    EXPECT_EQ(core.LightConfigWrite(0)(), kResultNoReply);  // closed: nothing goes, and it says so
}

// Mode 5 has no step of its own: the profile's custom effect plays.
TEST_F(Pad, ModeFivePlaysTheCustomEffect) {
    test::WriteText(data + "pelmo_light.config", R"({"LightInfo": [[{"Guid": "glow"}]]})");
    test::WriteText(data + "glow.light",
                        R"({"LEDEffectList": [{"LEDREGMode": 2, "LEDBrightness": 4, "Time": 100000}]})");
    test::WriteText(data + "p.Json", R"({"Device": [{}]})");
    core.ProfileData().SetProfilePath(data + "p.Json");
    core.ProfileData().SetLightConfigPath(data + "pelmo_light.config");
    for (const bool withEffect : {false, true}) {
        profiles::LightSetting light;
        light.mode = 5;
        core.SetLight(light);
        if (withEffect) {
            core.TakeProfileLighting();
        }
        for (uint32_t pass = 0; pass < 40; ++pass) {
            core.LightPass(5000 + 16 * pass);
        }
        const auto frame = core.FrameCopy();
        for (const LedEntry& led : frame) {
            EXPECT_EQ(led.level > 0, withEffect);
            EXPECT_EQ(led, frame[0]);  // the spectrum: one colour everywhere
        }
    }
}

}  // namespace
}  // namespace kx520

namespace kx520 {
namespace {

// The pad's macro names come from its own "pelmo_macro.config", never from
// a "macro.config" beside it.
TEST_F(Pad, MacroNamesAreReadFromItsOwnNamesFileOnly) {
    test::WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "keyboard's", "Guid": "a"}]})");
    core.LoadDefaults();
    EXPECT_TRUE(core.Names().MacroNames().empty());
    test::WriteText(data + "pelmo_macro.config", R"({"MacroInfo": [{"MacroName": "pad's", "Guid": "b"}]})");
    core.LoadDefaults();
    EXPECT_EQ(core.Names().MacroNames(), std::vector<std::string>{"pad's"});
}

}  // namespace
}  // namespace kx520

namespace kx520 {
namespace {

// The virtual pad keeps its memory across runs, as every kind's flash: the
// record written and the profile switched on the pad are there next time.
TEST(VirtualPadFlash, ARecordWrittenAndItsOwnProfileOutliveTheRun) {
    test::TempDir temp;
    const std::string folder = temp.Path() + "/virtual";
    std::vector<uint8_t> written;
    {
        sim::VirtualHidBackend backend;
        backend.SetFlashStore(std::make_shared<sim::FlashStore>(folder));
        backend.Plug("mousepad");
        MousePadCore pad(backend);
        ASSERT_EQ(ctl::ConnectProduct(pad.Channel(), backend, "mousepad", nullptr), ctl::ConnectResult::Connected);
        pad.SetKindNumber(2);
        pad.SetFolders(temp.Path() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
        pad.LoadDefaults();
        profiles::LightSetting light;
        light.mode = 3;
        light.blue = 0x77;
        pad.SetLight(light);
        ASSERT_EQ(pad.LightConfigWrite(1)(), kResultSuccess);
        ASSERT_TRUE(backend.Firmware("mousepad")->SwitchProfile(3));
        EXPECT_FALSE(backend.Firmware("mousepad")->SwitchProfile(16));  // no record could hold it
        written = backend.Firmware("mousepad")->Firmware().Config();
        EXPECT_EQ(written[64 + 8], 0x77);
    }
    sim::VirtualHidBackend again;
    again.SetFlashStore(std::make_shared<sim::FlashStore>(folder));
    again.Plug("mousepad");
    EXPECT_EQ(again.Firmware("mousepad")->Firmware().Config(), written);
    EXPECT_EQ(again.Firmware("mousepad")->Firmware().LightState().profile, 3);
}

}  // namespace
}  // namespace kx520
