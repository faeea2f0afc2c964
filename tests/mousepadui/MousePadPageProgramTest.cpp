// The mouse pad's page on the running application against the virtual
// pad: its start-up exchange, a light setting chosen on the page, and a
// change the pad reports after its own profile was switched.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "platform/SafeJson.h"
#include "protocol/CommandSet.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::App;
using test::Ui;
using test::WaitFor;

Json::Value Profile() {
    return test::FirstProfileSection("MousePad");
}

class PadPage : public ::testing::Test {
protected:
    std::vector<test::TraceLine> Requests() const {
        std::vector<test::TraceLine> pad;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(trace))) {
            if (line.product == "mousepad") {
                pad.push_back(line);
            }
        }
        return pad;
    }
    std::vector<test::TraceLine> Of(uint8_t command) const {
        std::vector<test::TraceLine> found;
        for (const test::TraceLine& line : Requests()) {
            if (line.Command() == command) {
                found.push_back(line);
            }
        }
        return found;
    }
    std::string Environment() const {
        return "QT_QPA_PLATFORM=offscreen KX520_DEBUG=1 KX520_SIM_TRACE='" + trace + "'";
    }

    test::TempDir temp;
    std::string trace = temp.Path() + "/trace";
};

TEST_F(PadPage, TheStartUpReadsTheInformationBlockOnlyAndAPageChoiceReachesThePadAndTheProfile) {
    App app("--simulate=mousepad --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Of(kCmdEnd).size() >= 1; }));
    std::vector<uint8_t> commands;
    for (const test::TraceLine& line : Requests()) {
        if (line.Command() == kCmdStreamLight) {
            continue;  // the frames the page's light sends the pad
        }
        if (commands.empty() || commands.back() != line.Command()) {
            commands.push_back(line.Command());
        }
    }
    EXPECT_EQ(commands, (std::vector<uint8_t>{kCmdBegin, kCmdReadInfo, kCmdEnd}));

    // Breathing in the green preset at speed 3.
    Ui("select light_combo_modeSelect 2");
    Ui("value deng_speed_slider 3");
    Ui("click color_option_3");
    ASSERT_TRUE(WaitFor([&] {
        const auto writes = Of(kCmdWriteConfig);
        return !writes.empty() && writes.back().report[8 + 7] == 0xC8;
    }));
    const test::TraceLine write = Of(kCmdWriteConfig).back();
    EXPECT_EQ(write.Length(), 21);
    EXPECT_EQ(write.Offset(), 0);
    EXPECT_EQ(write.report[8 + 1], 2);  // breathing's code
    EXPECT_EQ(write.report[8 + 3], 1);  // four less the speed
    EXPECT_EQ(write.report[8 + 6], 0x00);
    EXPECT_EQ(write.report[8 + 8], 0x53);
    const Json::Value info = Profile()["LightInfo"];
    EXPECT_EQ(info["SelectItem"].asInt(), 2);
    EXPECT_EQ(info["Speed"].asInt(), 3);
    EXPECT_EQ(info["Green"].asInt(), 200);
    EXPECT_EQ(test::UiControl("light_combo_modeSelect")["current"].asInt(), 2);
    EXPECT_EQ(test::UiControl("deng_speed_slider")["value"].asInt(), 3);
    const Json::Value shown = json::Parse(test::Ctl("lighting mousepad --json").out).value_or(Json::Value());
    EXPECT_EQ(shown["mode"].asInt(), 2);
    EXPECT_EQ(shown["color"].asString(), "#00c853");
    // The pad runs its record at 25 x its profile: profile 0's is the one written.
    const Json::Value state = json::Parse(test::Ctl("sim state mousepad --json").out).value_or(Json::Value());
    EXPECT_EQ(state["light"]["mode"].asInt(), 2);
    EXPECT_EQ(state["light"]["speed"].asInt(), 3);
}

TEST_F(PadPage, AChangeAfterTheProfileWasSwitchedOnThePadReadsItsRecordAndLeavesTheProfileList) {
    App app("--simulate=mousepad --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Of(kCmdEnd).size() >= 1; }));
    const std::string selected = test::UiControl("device_profile_combo")["text"].asString();
    ASSERT_EQ(test::Ctl("sim profile mousepad 2").exitCode, 0);
    ASSERT_EQ(test::Ctl("sim notify mousepad 0x401").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return Of(kCmdReadConfig).size() >= 3; }));
    const std::vector<test::TraceLine> reads = Of(kCmdReadConfig);
    EXPECT_EQ(reads[0].Offset(), 0);
    EXPECT_EQ(reads[0].Length(), 1);
    EXPECT_EQ(reads[1].Offset(), 50);  // 26 bytes at 25 x 2, in the channel's 24-byte packets
    EXPECT_EQ(reads[1].Length() + reads[2].Length(), 26);
    EXPECT_TRUE(WaitFor([&] { return app.Errors().find("device notice 2") != std::string::npos; })) << app.Errors();
    const Json::Value pad = json::Parse(test::Ctl("mousepad show --json").out).value_or(Json::Value());
    EXPECT_EQ(pad["onboardProfile"].asInt(), 2);
    EXPECT_EQ(pad["record"].size(), 26u);
    EXPECT_EQ(pad["record"][0].asInt(), 2);
    EXPECT_EQ(pad["recordMode"].asString(), "light_effect_spectrum");  // the virtual pad's factory code 1
    EXPECT_EQ(test::UiControl("device_profile_combo")["text"].asString(), selected);
    EXPECT_EQ(test::UiControl("light_combo_modeSelect")["current"].asInt(), 1);  // the page shows what the pad runs

    // A change now goes to profile 0's record: a write for profile 2 (at 128)
    // would land in other profiles' records, never in the 25 x 2 it reads.
    const size_t writes = Of(kCmdWriteConfig).size();
    ASSERT_EQ(test::Ctl("lighting mousepad set --mode Static").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return Of(kCmdWriteConfig).size() > writes; }));
    EXPECT_EQ(Of(kCmdWriteConfig).back().Offset(), 0);
    EXPECT_EQ(Of(kCmdWriteConfig).back().report[8 + 1], 3);  // static's code
}

}  // namespace
}  // namespace kx520
