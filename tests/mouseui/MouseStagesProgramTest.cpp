// The mouse's stages, pointer, report rate, palette and light as the
// running application sets them from its pages and from kx520ctl.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "mouseui/MouseProgramSupport.h"
#include "platform/SafeJson.h"
#include "profiles/JsonFile.h"
#include "profiles/ShootImage.h"
#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::App;
using test::Commands;
using test::MouseProfile;
using test::MouseRun;
using test::StartUp;
using test::WaitFor;

TEST(MouseProgram, AStageTypedAndChosenOnThePageReachesTheRecordAndTheProfile) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        test::TempDir temp;
        const std::string trace = temp.Path() + "/trace";
        App app(std::string("--simulate=") + product + " --automation",
                "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([&] { return !StartUp(Commands(trace, product), false).empty(); })) << product;
        ASSERT_EQ(test::Ctl("ui click system_Op_tab").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui text DPI_edit_2 1620").exitCode, 0);  // between steps: the lower one
        ASSERT_EQ(test::Ctl("ui check DPI_select_check_2 1").exitCode, 0);
        std::vector<uint8_t> config;
        ASSERT_TRUE(WaitFor([&] {
            config = test::WrittenImage(trace, product, kCmdWriteConfig, 2048);
            return config[12] == 2;
        })) << product;
        // Stage 2 at 14 + 9 x 2: on, one value, step 30 (1600 from 100 in steps of 50), its blue.
        EXPECT_EQ(std::vector<uint8_t>(config.begin() + 32, config.begin() + 41),
                  (std::vector<uint8_t>{1, 0, 30, 0, 30, 0, 0, 0, 255}))
            << product;
        EXPECT_EQ(json::Parse(test::Ctl("ui get DPI_edit_2 --json").out).value_or(Json::Value())["text"].asString(),
                  "1600");
        const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/KX520 PRO Keyboard/mouse/";
        const Json::Value list = json::ReadFile(folder + "ProfileList.ini").value_or(Json::Value());
        const std::string id = list["profilelist"][0]["profileUUID"].asString();
        const Json::Value stages =
            json::ReadFile(folder + id + ".Json").value_or(Json::Value())["Device"][0]["DPIStages"];
        EXPECT_EQ(stages["StageActive"].asInt(), 2) << product;
        EXPECT_EQ(stages["StageDPIs"][2]["StageDPIX"].asInt(), 30) << product;
        if (std::string(product) == "mouse-receiver") {
            // Every step of the record's write came after a probe.
            const auto commands = Commands(trace, product);
            const auto write = std::find(commands.rbegin(), commands.rend(), kCmdWriteConfig);
            ASSERT_NE(write, commands.rend());
            EXPECT_EQ(*(write + 1), kCmdReceiverProbe);
        }
    }
}

TEST(MouseProgram, KxctlMouseSetsAStageWithItsColourAndTellsWhatTheMouseHolds) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=mouse --automation", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return !StartUp(Commands(trace, "mouse"), false).empty(); }));
    const auto set = test::Ctl("mouse dpi set 2 1600 --color '#00ff00'");
    ASSERT_EQ(set.exitCode, 0) << set.err;
    ASSERT_EQ(test::Ctl("mouse dpi active 2").exitCode, 0);
    std::vector<uint8_t> config;
    ASSERT_TRUE(WaitFor([&] {
        config = test::WrittenImage(trace, "mouse", kCmdWriteConfig, 2048);
        return config[12] == 2;
    }));
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 32, config.begin() + 41),
              (std::vector<uint8_t>{1, 0, 30, 0, 30, 0, 0, 255, 0}));
    const Json::Value shown = json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value());
    EXPECT_EQ(shown["link"].asString(), "cable");
    EXPECT_EQ(shown["activeStage"].asInt(), 2);
    EXPECT_EQ(shown["stages"][2]["value"].asInt(), 1600);
    EXPECT_EQ(shown["stages"][2]["color"].asString(), "#00ff00");
    EXPECT_EQ(shown["scale"]["step"].asInt(), 50);
    // The page shows it too.
    ASSERT_EQ(test::Ctl("ui click system_Op_tab").exitCode, 0);
    EXPECT_EQ(json::Parse(test::Ctl("ui get DPI_slider_2 --json").out).value_or(Json::Value())["value"].asInt(), 30);
    // A stage with its own Y keeps it when the page moves its X.
    ASSERT_EQ(test::Ctl("mouse dpi set 3 3200 --y 1600").exitCode, 0);
    EXPECT_NE(test::UiJson("get DPI_edit_3")["tooltip"].asString().find("1600"), std::string::npos);
    ASSERT_EQ(test::Ctl("ui value DPI_slider_3 40").exitCode, 0);
    ASSERT_TRUE(WaitFor([] {
        const Json::Value stage =
            json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["stages"][3];
        return stage["value"].asInt() == 2100 && stage["y"].asInt() == 1600;
    }));
    // Refusals say why and change nothing.
    EXPECT_EQ(test::Ctl("mouse dpi set 7 800").exitCode, 1);
    EXPECT_EQ(test::Ctl("mouse dpi set 2 800 --color green").exitCode, 1);
    EXPECT_NE(test::Ctl("mouse dpi set 2 800 --enabled off").err.find("in use"), std::string::npos);
    EXPECT_EQ(json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["stages"][2]["value"].asInt(),
              1600);
    EXPECT_EQ(test::Ctl("mouse wiggle").exitCode, 2);
    // The report rate option goes into the record's byte 11 and the profile.
    ASSERT_EQ(test::Ctl("mouse rate 3").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "mouse", kCmdWriteConfig, 2048)[11] == 3; }));
    EXPECT_EQ(json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["reportRate"].asInt(), 3);
    EXPECT_EQ(test::Ctl("mouse rate 5").exitCode, 1);
}

TEST(MouseProgram, TheReportRateAndPointerSettingsOnThePageAreSavedAndWritten) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        // A data folder of its own: every option starts unchosen.
        MouseRun run(std::string(product) + " --automation");
        const std::string& trace = run.trace;
        const std::string& data = run.data;
        ASSERT_TRUE(run.Started(product)) << run.app.Errors() << product;
        // The system tab holds the stages and the rate on either link.
        ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click system_Op_tab").exitCode == 0; })) << product;
        ASSERT_TRUE(test::UiJson("get DPI_slider_0")["visible"].asBool()) << product;
        ASSERT_EQ(test::Ctl("ui click polling_rate_option_3").exitCode, 0) << product;
        ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, product, kCmdWriteConfig, 2048)[11] == 3; }))
            << product;
        EXPECT_EQ(MouseProfile(data)["Device"][0]["ReportStages"]["StageActive"].asInt(), 3) << product;
        // The pointer tab: its two panels, each setting saved as it changes.
        ASSERT_EQ(test::Ctl("ui click cursor_Op_tab").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui value pointer_speed_slider 15").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui check pointer_precision_check 0").exitCode, 0);
        EXPECT_FALSE(test::UiJson("get scrolls_page_check")["visible"].asBool());
        ASSERT_EQ(test::Ctl("ui click mouse_device_seting_option_1").exitCode, 0);
        EXPECT_TRUE(test::UiJson("get scrolls_page_check")["visible"].asBool());
        EXPECT_FALSE(test::UiJson("get mouse_device_seting_option_0")["selected"].asBool());
        ASSERT_EQ(test::Ctl("ui value scroll_speed_slider 7").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui check scrolls_page_check 1").exitCode, 0);
        ASSERT_TRUE(WaitFor([&] { return MouseProfile(data)["Device"][0]["SystemStages"]["ScorllPage"].asInt() == 1; }))
            << product;
        const Json::Value system = MouseProfile(data)["Device"][0]["SystemStages"];
        EXPECT_EQ(system["MouseSpeed"].asInt(), 15) << product;
        EXPECT_EQ(system["PointerPrecision"].asInt(), 0) << product;
        EXPECT_EQ(system["WheelScorlllinse"].asInt(), 7) << product;
        EXPECT_EQ(system["DoubleClickTime"].asInt(), 500) << product;  // untouched
        EXPECT_EQ(MouseProfile(data)["Device"][0]["ReportStages"]["StageActive"].asInt(), 3) << product;
    }
}

TEST(MouseProgram, Stage2At1600InGreenFromThePalettesEditsReachesTheRecordAndTheProfile) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        MouseRun run(std::string(product) + " --automation");
        const std::string& trace = run.trace;
        const std::string& data = run.data;
        ASSERT_TRUE(run.Started(product)) << run.app.Errors() << product;
        ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click system_Op_tab").exitCode == 0; })) << product;
        ASSERT_EQ(test::Ctl("ui text DPI_edit_2 1600").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui click DPI_select_check_2").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui click DPI_color_option_2").exitCode, 0);
        ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("ColorSelectWnd"); })) << product;
        // Red cleared and green past its end: 0 and 255, as the edits then say.
        ASSERT_EQ(test::Ctl("ui text color_edit_r ''").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui text color_edit_g 300").exitCode, 0);
        ASSERT_EQ(test::Ctl("ui text color_edit_b 0").exitCode, 0);
        EXPECT_EQ(test::UiJson("get color_edit_r")["text"].asString(), "0");
        EXPECT_EQ(test::UiJson("get color_edit_g")["text"].asString(), "255");
        ASSERT_EQ(test::Ctl("ui click okbtn").exitCode, 0);
        std::vector<uint8_t> config;
        ASSERT_TRUE(WaitFor([&] {
            config = test::WrittenImage(trace, product, kCmdWriteConfig, 2048);
            return config[12] == 2 && config[40] == 0 && config[39] == 255;
        })) << product;
        // Stage 2 at 14 + 9 x 2: on, one value, step 30 (1600 from 100 in
        // steps of 50) twice, red 0, green 255, blue 0.
        EXPECT_EQ(std::vector<uint8_t>(config.begin() + 32, config.begin() + 41),
                  (std::vector<uint8_t>{1, 0, 30, 0, 30, 0, 0, 255, 0}))
            << product;
        const Json::Value stages = MouseProfile(data)["Device"][0]["DPIStages"];
        EXPECT_EQ(stages["StageActive"].asInt(), 2) << product;
        EXPECT_EQ(stages["StageDPIs"][2]["StageDPIX"].asInt(), 30) << product;
        EXPECT_EQ(stages["StageDPIs"][2]["StageColorG"].asInt(), 255) << product;
        EXPECT_EQ(stages["StageDPIs"][2]["StageColorB"].asInt(), 0) << product;
    }
}

TEST(MouseProgram, APaletteSlotKeepsTheColourChosenAfterItAndIsNotChosenWhenTheDialogOpensAgain) {
    test::TempDir temp;
    const std::string data = temp.Path() + "/data";
    App app("--simulate=mouse --automation", "QT_QPA_PLATFORM=offscreen XDG_DATA_HOME='" + data + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click system_Op_tab").exitCode == 0; }));
    ASSERT_EQ(test::Ctl("ui click DPI_color_option_0").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("ColorSelectWnd"); }));
    const std::string file = data + "/KX520 PRO Keyboard/color_option_info.config";
    // A colour chosen with no slot selected changes only the preview.
    ASSERT_EQ(test::Ctl("ui text color_edit_b 200").exitCode, 0);
    EXPECT_EQ(json::ReadFile(file).value_or(Json::Value())["coloroptioninfo"]["palletDialogcollectcoloroption"][0]
                  ["UserData"].asString(), "");
    ASSERT_EQ(test::Ctl("ui click collect_color_option_3").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui click color_option_8").exitCode, 0);  // blue
    const Json::Value stored = json::ReadFile(file).value_or(Json::Value())["coloroptioninfo"];
    EXPECT_EQ(stored["palletDialogcollectcoloroption"][3]["UserData"].asString(), "1");
    EXPECT_EQ(stored["palletDialogcollectcoloroption"][3]["color"].asString(), "FF0000FF");
    EXPECT_EQ(stored["palletDialogcoloroption_selectitem"].asInt(), 8);
    ASSERT_EQ(test::Ctl("ui click laterbtn").exitCode, 0);  // cancelled: the stage keeps its colour
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("MainWnd"); }));
    EXPECT_EQ(json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["stages"][0]["color"].asString(),
              "#ff0000");
    ASSERT_EQ(test::Ctl("ui click DPI_color_option_0").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("ColorSelectWnd"); }));
    EXPECT_FALSE(test::UiJson("get collect_color_option_3")["selected"].asBool());
    EXPECT_FALSE(test::UiJson("get collect_color_option_0")["selected"].asBool());
    ASSERT_EQ(test::Ctl("ui click collect_color_option_3").exitCode, 0);  // its colour is the one taken
    ASSERT_EQ(test::Ctl("ui click okbtn").exitCode, 0);
    ASSERT_TRUE(WaitFor([] {
        return json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["stages"][0]["color"].asString() ==
               "#0000ff";
    }));
}

TEST(MouseProgram, ALightSettingFromThePageOrAScriptIsSavedWrittenAndRunOnThePicture) {
    MouseRun run("mouse --automation");
    const std::string& trace = run.trace;
    const std::string& data = run.data;
    ASSERT_TRUE(run.Started("mouse")) << run.app.Errors();
    ASSERT_EQ(test::Ctl("lighting mouse set --mode 3 --brightness 2 --speed 1 --color '#00ff00' --multicolor off")
                  .exitCode, 0);
    std::vector<uint8_t> config;
    ASSERT_TRUE(WaitFor([&] {
        config = test::WrittenImage(trace, "mouse", kCmdWriteConfig, 2048);
        return config[7] == 255;
    }));
    const uint8_t staticCode = config[1];
    EXPECT_EQ(config[2], 2);      // brightness
    EXPECT_EQ(config[3], 4 - 1);  // 4 - speed
    EXPECT_EQ(config[5], 0);      // one colour
    EXPECT_EQ((std::vector<uint8_t>(config.begin() + 6, config.begin() + 9)), (std::vector<uint8_t>{0, 255, 0}));
    const Json::Value light = MouseProfile(data)["Device"][0]["LightInfo"];
    EXPECT_EQ(light["SelectItem"].asInt(), 3);
    EXPECT_EQ(light["Green"].asInt(), 255);
    // The page shows it and changes it as the user does.
    ASSERT_EQ(test::Ctl("ui click deng_Op_tab").exitCode, 0);
    EXPECT_EQ(test::UiJson("get light_combo_modeSelect")["current"].asInt(), 3);
    EXPECT_FALSE(test::UiJson("get deng_speed_slider")["enabled"].asBool());  // static has no speed
    ASSERT_EQ(test::Ctl("ui select light_combo_modeSelect 5").exitCode, 0);  // the running light
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "mouse", kCmdWriteConfig, 2048)[1] != staticCode; }));
    EXPECT_EQ(MouseProfile(data)["Device"][0]["LightInfo"]["SelectItem"].asInt(), 5);
    EXPECT_EQ(json::Parse(test::Ctl("lighting mouse --json").out).value_or(Json::Value())["mode"].asInt(), 5);
    // The logo names the mode.
    EXPECT_NE(test::UiJson("get ms_logo")["tooltip"].asString().find("Flow"), std::string::npos);
    EXPECT_EQ(test::Ctl("lighting mouse set --mode dance").exitCode, 1);
    EXPECT_EQ(test::Ctl("lighting pad").exitCode, 2);
}

}  // namespace
}  // namespace kx520
