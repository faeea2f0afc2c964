// The lighting page as a user drives it on the running application: what
// reaches the virtual keyboard, what lands in the profile, and what the
// page shows after a restart.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "app/KeyboardRun.h"
#include "catalog/PageKeyDefaults.h"
#include "platform/SafeJson.h"
#include "profiles/ProfileTestFiles.h"
#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::App;
using test::Ui;
using test::WaitFor;

size_t CountOf(const std::string& trace, uint8_t command) {
    const auto lines = test::Requests(test::ReadTrace(trace));
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [command](const test::TraceLine& line) {
        return line.product == "keyboard" && line.Command() == command;
    }));
}

Json::Value Profile() {
    return test::FirstProfileSection("keyboard");
}

bool Connected(const std::string& trace) {
    return CountOf(trace, kCmdReadConfig) >= 2;  // the profile byte, then its record
}

TEST(LightingPage, AnEffectBrightnessSpeedAndRedReachTheRecordTheProfileAndTheNextStart) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    {
        App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([&] { return Connected(trace); }));
        Ui("click deng_Op_tab");
        Ui("select light_combo_modeSelect 5");  // breathing
        Ui("value deng_light_slider 2");
        Ui("value deng_speed_slider 3");
        Ui("click color_option_5");  // a blue preset first, then red typed in
        Ui("text deng_edit_R 255");
        Ui("text deng_edit_G 0");
        Ui("text deng_edit_B 0");
        std::vector<uint8_t> config;
        ASSERT_TRUE(WaitFor([&] {
            config = test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26);
            return config.size() >= 26 && config[6] == 0xFF && config[8] == 0;
        }));
        // Profile 0's record at 25 x 0: the mode's code, brightness, 4 - speed, one colour.
        EXPECT_EQ(config[1], 5);
        EXPECT_EQ(config[2], 2);
        EXPECT_EQ(config[3], 4 - 3);
        EXPECT_EQ(config[5], 0);
        EXPECT_EQ(std::vector<uint8_t>(config.begin() + 6, config.begin() + 9), (std::vector<uint8_t>{0xFF, 0, 0}));
        const Json::Value info = Profile()["LightInfo"];
        EXPECT_EQ(info["SelectItem"].asInt(), 5);
        EXPECT_EQ(info["Light"].asInt(), 2);
        EXPECT_EQ(info["Speed"].asInt(), 3);
        EXPECT_EQ(info["Red"].asInt(), 255);
        EXPECT_EQ(info["Blue"].asInt(), 0);
        EXPECT_FALSE(info["MultiColor"].asBool());
        // The keyboard holds it as its own.
        const Json::Value state = json::Parse(test::Ctl("sim state keyboard --json").out).value_or(Json::Value());
        EXPECT_EQ(state["light"]["mode"].asInt(), 5);
        EXPECT_EQ(state["light"]["speed"].asInt(), 3);
        EXPECT_EQ(state["light"]["color"].asString(), "#ff0000");
        // Replugged, the keyboard's record is read again: the page stays.
        const size_t reads = CountOf(trace, kCmdReadConfig);
        ASSERT_EQ(test::Ctl("sim unplug keyboard").exitCode, 0);
        ASSERT_EQ(test::Ctl("sim plug keyboard").exitCode, 0);
        ASSERT_TRUE(WaitFor([&] { return CountOf(trace, kCmdReadConfig) >= reads + 2; }));
        EXPECT_EQ(test::UiControl("light_combo_modeSelect")["current"].asInt(), 5);
        EXPECT_EQ(test::UiControl("deng_light_slider")["value"].asInt(), 2);
    }
    App again("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(again.Ready()) << again.Errors();
    EXPECT_EQ(test::UiControl("light_combo_modeSelect")["current"].asInt(), 5);
    EXPECT_EQ(test::UiControl("deng_light_slider")["value"].asInt(), 2);
    EXPECT_EQ(test::UiControl("deng_speed_slider")["value"].asInt(), 3);
    EXPECT_EQ(test::UiControl("deng_edit_R")["text"].asString(), "255");
    EXPECT_EQ(test::UiControl("deng_edit_B")["text"].asString(), "0");
    EXPECT_FALSE(test::UiControl("deng_7color_check")["selected"].asBool());
}

TEST(LightingPage, ThreeKeysColouredBlueReachTheKeyboardAtTheirLedPositionsOnly) {
    test::TempDir temp;
    // Every key of the factory keyboard, its LEDs in reverse order.
    Json::Value model(Json::objectValue);
    for (size_t k = 0; k < kPageKeyDefaults.size(); ++k) {
        Json::Value code(Json::arrayValue);
        code.append(kPageKeyDefaults[k].type);
        code.append(kPageKeyDefaults[k].param1);
        code.append(kPageKeyDefaults[k].param2);
        model["keys"].append(code);
        model["leds"].append(static_cast<int>(kPageKeyDefaults.size() - 1 - k));
    }
    test::WriteText(temp.Path() + "/model.json", Json::FastWriter().write(model));
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard --automation",
            "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace +
                "' KX520_SIM_MODEL=keyboard:" + test::Quoted(temp.Path() + "/model.json"));
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Connected(trace); }));
    Ui("click deng_Op_tab");
    Ui("select light_combo_modeSelect 19");  // the keys' own colours
    ASSERT_TRUE(test::UiControl("custom_bright_color_btn")["visible"].asBool());
    Ui("text deng_edit_R 0");
    Ui("text deng_edit_G 0");
    Ui("text deng_edit_B 255");
    const std::vector<int> keys{0, 64, 108};  // Esc, A, the space bar
    for (const int key : keys) {
        Ui("click key_" + std::to_string(key));
    }
    Ui("click key_30");
    Ui("click key_30");  // chosen, then not
    const size_t before = CountOf(trace, kCmdWriteKeyColours);
    Ui("click custom_bright_color_btn");
    ASSERT_TRUE(WaitFor([&] { return CountOf(trace, kCmdWriteKeyColours) > before; }));
    const std::vector<uint8_t> table = test::WrittenImage(trace, "keyboard", kCmdWriteKeyColours, 3 * 126);
    for (size_t led = 0; led < 126; ++led) {
        const size_t key = 125 - led;
        const bool blue = std::find(keys.begin(), keys.end(), static_cast<int>(key)) != keys.end();
        const std::vector<uint8_t> expected = blue ? std::vector<uint8_t>{0, 0, 254} : std::vector<uint8_t>{0, 0, 0};
        EXPECT_EQ(std::vector<uint8_t>(table.begin() + 3 * led, table.begin() + 3 * led + 3), expected)
            << "LED " << led << " (key " << key << ")";
    }
    const Json::Value state = json::Parse(test::Ctl("sim state keyboard --json").out).value_or(Json::Value());
    EXPECT_EQ(state["keyColours"][3 * (125 - 64) + 2].asInt(), 254);
    EXPECT_EQ(state["keyColours"][3 * (125 - 30) + 2].asInt(), 0);
    // The profile's selected colour layout keeps them at their LEDs.
    const Json::Value layouts = Profile()["CustomLightMode"];
    EXPECT_FALSE(layouts.isNull());
    // Switched off again, the keys go dark on the keyboard too.
    Ui("click custom_off_color_btn");
    ASSERT_TRUE(WaitFor([&] {
        const auto now = test::WrittenImage(trace, "keyboard", kCmdWriteKeyColours, 3 * 126);
        return now[3 * (125 - 64) + 2] == 0;
    }));
}

// The virtual keyboard keeps its colour table as a keyboard keeps it in
// flash: another program reading it later finds the keys' colours.
TEST(LightingPage, KeysColouredOnThePageAreInTheKeyboardsStateAfterTheApplicationLeft) {
    {
        App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
        ASSERT_TRUE(WaitFor([] { return test::Ctl("lighting keyboard set --mode 19").exitCode == 0; }));
        Ui("click deng_Op_tab");
        Ui("text deng_edit_R 0");
        Ui("text deng_edit_G 0");
        Ui("text deng_edit_B 255");
        Ui("click key_0");
        Ui("click custom_bright_color_btn");
        ASSERT_TRUE(WaitFor([] {
            const Json::Value state = json::Parse(test::Ctl("sim state keyboard --json").out).value_or(Json::Value());
            return state["keyColours"][2].asInt() == 254;
        }));
    }
    const auto run = test::Ctl("--simulate=keyboard state keyboard --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json::Value state = json::Parse(run.out).value_or(Json::Value());
    ASSERT_EQ(state["keyColours"].size(), 3u * 126);
    EXPECT_EQ(state["keyColours"][2].asInt(), 254);  // Esc, LED 0, in blue
    EXPECT_EQ(state["keyColours"][5].asInt(), 0);
    EXPECT_EQ(state["lightRecord"][1].asInt(), 19);
}

TEST(LightingPage, TheCommandLineWritesTheSameBytesAsThePageForDirectionAndColour) {
    test::KeyboardRun run;
    ASSERT_TRUE(run.Started(Connected)) << run.app.Errors();
    const std::string& trace = run.trace;
    Ui("click deng_Op_tab");
    Ui("select light_combo_modeSelect 1");  // the wave: both directions and the rainbow
    const auto record = [&] { return test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26); };
    // The page's option, the command line's word for it, the other word.
    const struct {
        const char* option;
        const char* word;
        const char* other;
    } directions[] = {{"deng_FXL_check", "left", "right"}, {"deng_FXR_check", "right", "left"}};
    for (const auto& direction : directions) {
        SCOPED_TRACE(direction.word);
        Ui(std::string("check ") + direction.option + " 1");
        ASSERT_TRUE(WaitFor([&] { return record()[4] == (direction.word == std::string("left") ? 1 : 0); }));
        const std::vector<uint8_t> fromPage = record();
        ASSERT_EQ(test::Ctl(std::string("lighting keyboard set --direction ") + direction.other).exitCode, 0);
        ASSERT_TRUE(WaitFor([&] { return record() != fromPage; }));
        ASSERT_EQ(test::Ctl(std::string("lighting keyboard set --direction ") + direction.word).exitCode, 0);
        EXPECT_TRUE(WaitFor([&] { return record() == fromPage; }));
        EXPECT_TRUE(test::UiControl(direction.option)["selected"].asBool());
    }
    // A colour chosen ends the rainbow, on the page and from the command line.
    Ui("check deng_7color_check 1");
    ASSERT_TRUE(WaitFor([&] { return record()[5] == 1; }));
    Ui("click color_option_2");
    ASSERT_TRUE(WaitFor([&] { return record()[5] == 0; }));
    const std::vector<uint8_t> fromPage = record();
    Ui("check deng_7color_check 1");
    ASSERT_TRUE(WaitFor([&] { return record()[5] == 1; }));
    char colour[16];
    std::snprintf(colour, sizeof colour, "'#%02x%02x%02x'", fromPage[6], fromPage[7], fromPage[8]);
    ASSERT_EQ(test::Ctl(std::string("lighting keyboard set --color ") + colour).exitCode, 0);
    EXPECT_TRUE(WaitFor([&] { return record() == fromPage; }));
    EXPECT_FALSE(test::UiControl("deng_7color_check")["selected"].asBool());
}

TEST(LightingPage, DirectionRainbowColourChoiceAndTheMusicsColoursAreKept) {
    test::KeyboardRun run;
    ASSERT_TRUE(run.Started(Connected)) << run.app.Errors();
    const std::string& trace = run.trace;
    Ui("click deng_Op_tab");
    Ui("select light_combo_modeSelect 1");  // the wave: both directions and the rainbow
    Ui("check deng_FXL_check 1");
    Ui("check deng_7color_check 1");
    ASSERT_TRUE(WaitFor([&] {
        const auto config = test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26);
        return config[1] == 1 && config[4] == 1 && config[5] == 1;
    }));
    Ui("check deng_FXR_check 1");
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26)[4] == 0; }));
    EXPECT_FALSE(Profile()["LightInfo"]["Fx"].asBool());
    EXPECT_TRUE(Profile()["LightInfo"]["MultiColor"].asBool());
    // The profile colour's own choice (byte 18).
    Ui("select light_combo_modeSelect 17");
    ASSERT_TRUE(test::UiControl("light_combo_ZZCCmodeSelect")["visible"].asBool());
    Ui("select light_combo_ZZCCmodeSelect 2");
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26)[18] == 2; }));
    // The music: host driven (0xFE), its style and its foreground colour.
    Ui("select light_combo_modeSelect 29");
    ASSERT_TRUE(test::UiControl("light_combo_audiomodeSelect")["visible"].asBool());
    EXPECT_FALSE(test::UiControl("deng_speed_slider")["visible"].asBool());
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26)[1] == 0xFE; }));
    Ui("select light_combo_audiomodeSelect 4");
    Ui("check audio_FgColor_check 1");
    Ui("check deng_7audiocolor_check 1");
    Ui("click audiocolor_option_3");  // a chosen colour ends the rainbow
    const Json::Value audio = Profile()["AudioLightInfo"];
    EXPECT_EQ(audio["AudioMode"].asInt(), 4);
    EXPECT_TRUE(audio["ColorTypeFlags"].asBool());
    EXPECT_FALSE(audio["7ColorFlags"].asBool());
    EXPECT_EQ(audio["FgColorR"].asInt(), 0x00);
    EXPECT_EQ(audio["FgColorG"].asInt(), 0xC8);
    EXPECT_EQ(audio["FgColorB"].asInt(), 0x53);
    EXPECT_EQ(test::UiControl("deng_audioedit_G")["text"].asString(), "200");
    Ui("text deng_audioedit_B 300");
    EXPECT_EQ(test::UiControl("deng_audioedit_B")["text"].asString(), "255");
    EXPECT_EQ(Profile()["AudioLightInfo"]["FgColorB"].asInt(), 255);
    // The background edited, then cleared.
    Ui("check audio_BkColor_check 1");
    EXPECT_FALSE(test::UiControl("deng_7audiocolor_check")["enabled"].asBool());
    Ui("click audiocolor_option_0");
    EXPECT_EQ(Profile()["AudioLightInfo"]["BkColorR"].asInt(), 0xE5);
    Ui("click Close_bkColor_btn");
    EXPECT_EQ(Profile()["AudioLightInfo"]["BkColorR"].asInt(), 0);
    EXPECT_EQ(Profile()["AudioLightInfo"]["FgColorB"].asInt(), 255);  // the foreground stays
}

}  // namespace
}  // namespace kx520

namespace kx520 {
namespace {

// App colour on a keyboard through its receiver: the host draws the frames
// and they reach the keyboard in the receiver's 24-byte packets.
TEST(LightingPage, AppColourFramesReachAKeyboardThroughItsReceiver) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard-receiver --automation", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    auto streamed = [&trace] {
        std::vector<test::TraceLine> frames;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(trace))) {
            if (line.product == "keyboard-receiver" && line.Command() == kCmdStreamLight) {
                frames.push_back(line);
            }
        }
        return frames;
    };
    ASSERT_TRUE(WaitFor([&] {
        size_t reads = 0;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(trace))) {
            reads += line.product == "keyboard-receiver" && line.Command() == kCmdReadConfig ? 1 : 0;
        }
        return reads >= 2;
    }));
    const size_t before = streamed().size();
    const test::ProgramRun set = test::Ctl("lighting keyboard set --mode 'App colour'");
    ASSERT_EQ(set.exitCode, 0) << set.err;
    // Two frames at least, of 16 packets each.
    ASSERT_TRUE(WaitFor([&] { return streamed().size() >= before + 32; })) << streamed().size();
    for (const test::TraceLine& line : streamed()) {
        EXPECT_LE(line.Length(), 24);
    }
    const Json::Value state = json::Parse(test::Ctl("sim state keyboard-receiver --json").out).value_or(Json::Value());
    EXPECT_FALSE(state["frame"].isNull());
}

}  // namespace
}  // namespace kx520
