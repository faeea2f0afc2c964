// The mouse as the running application drives it: its start-up exchange on
// either link, its macro page on its own macro folder, its buttons, what it
// keeps across restarts, its receiver and its recoil images.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/AppProgram.h"
#include "mouseui/MouseProgramSupport.h"
#include "platform/SafeJson.h"
#include "profiles/JsonFile.h"
#include "profiles/ShootImage.h"
#include "protocol/CommandPacket.h"
#include "catalog/PageKeyDefaults.h"
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
using test::TableKey;
using test::WaitFor;

TEST(MouseProgram, TheStartUpExchangeAsksTheReceiverBeforeEveryStepAndTheCableNot) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        test::TempDir temp;
        const std::string trace = temp.Path() + "/trace";
        App app(std::string("--simulate=") + product + " --automation",
                "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        const bool receiver = std::string(product) == "mouse-receiver";
        std::vector<uint8_t> steps;
        ASSERT_TRUE(WaitFor([&] {
            steps = StartUp(Commands(trace, product), receiver);
            return !steps.empty();
        })) << product;
        const std::vector<uint8_t> cable = {kCmdBegin, kCmdReadInfo, kCmdReadKeys, kCmdEnd, kCmdReadConfig};
        const std::vector<uint8_t> probed = {kCmdReceiverProbe, kCmdBegin, kCmdReadInfo, kCmdReadKeys,
                                             kCmdEnd, kCmdReceiverProbe, kCmdReadConfig};
        EXPECT_EQ(steps, receiver ? probed : cable) << product;
    }
}

TEST(MouseProgram, TheMousesMacrosLiveInItsOwnFolderAndAreRecordedOnItsPage) {
    App app("--simulate=mouse --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("mouse", "current", true); }));
    auto keyboardMacros = [] {
        return json::Parse(test::Ctl("macro list keyboard --json").out).value_or(Json::Value())["macros"].size();
    };
    const auto keyboardBefore = keyboardMacros();
    ASSERT_EQ(test::Ctl("macro new mouse").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui click macro_Op_tab").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui click macro_btn_starredio").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui button back down").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui button back up").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui click macro_btn_stopredio").exitCode, 0);
    const Json::Value shown =
        json::Parse(test::Ctl("macro show mouse 0 --json").out).value_or(Json::Value());
    ASSERT_EQ(shown["Events"].size(), 2u) << shown.toStyledString();
    EXPECT_EQ(shown["Events"][0]["Button"].asInt(), 8);  // the back button
    EXPECT_EQ(shown["Events"][0]["Type"].asInt(), 1);
    const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/KX520 PRO Keyboard/mouse/";
    EXPECT_TRUE(json::ReadFile(folder + "macro.config").has_value());
    EXPECT_EQ(keyboardMacros(), keyboardBefore);  // the keyboard's page keeps its own list
}

TEST(MouseProgram, AButtonGivenADpiActionOnThePageReachesTheMouseAndItsList) {
    // The profile files stay from one link to the next: each link changes
    // a button of its own (forward to DPI down, back to DPI cycle).
    struct Case {
        const char* product;
        size_t button;
        int action;
    };
    for (const Case& c : {Case{"mouse", 4, 2}, Case{"mouse-receiver", 3, 1}}) {
        const std::string product = c.product;
        test::TempDir temp;
        const std::string trace = temp.Path() + "/trace";
        App app("--simulate=" + product + " --automation",
                "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([&] { return !StartUp(Commands(trace, product), false).empty(); })) << product;
        ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click key_Op_tab").exitCode == 0; })) << product;
        // Again until the start-up exchange has applied the profile (which
        // puts the key page away).
        const std::string key = "key_" + std::to_string(c.button);
        ASSERT_TRUE(WaitFor([&] {
            return test::Ctl("ui click " + key).exitCode == 0 && test::UiJson("get keyset_layout")["visible"].asBool();
        })) << product;
        ASSERT_EQ(test::Ctl("ui select keyset_function_combo 4").exitCode, 0);  // DPI, offered on the mouse
        ASSERT_EQ(test::Ctl("ui select keyset_mousedpi_combo " + std::to_string(c.action)).exitCode, 0);
        // The mouse telling of its own change re-reads it; the button being
        // assigned stays on the page.
        auto reads = [&] {
            const auto commands = Commands(trace, product);
            return std::count(commands.begin(), commands.end(), kCmdReadConfig);
        };
        const auto readsBefore = reads();
        ASSERT_EQ(test::Ctl("sim notify " + product + " 0x401").exitCode, 0);
        ASSERT_TRUE(WaitFor([&] { return reads() > readsBefore; })) << product;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_TRUE(test::UiJson("get keyset_layout")["visible"].asBool()) << product;
        // The list beside the picture says what every button does now.
        const Json::Value rows = test::UiJson("get device_setkeyinfo_list")["items"];
        ASSERT_EQ(rows.size(), 11u) << product;
        EXPECT_EQ(rows[static_cast<int>(c.button)]["text"].asString(),
                  std::string(c.button == 4 ? "Back" : "Forward") + "\t" + (c.action == 2 ? "DPI cycle" : "DPI down"));
        const auto save = test::Ctl("ui click key_butt_prosave");
        ASSERT_EQ(save.exitCode, 0) << product << save.err;
        std::vector<uint8_t> table;
        ASSERT_TRUE(WaitFor([&] {
            return (table = test::WrittenImage(trace, product, kCmdWriteKeys)).size() >= 33;
        })) << product;
        const KeyCode given{0x13, static_cast<uint8_t>(c.action + 1), 0};
        EXPECT_EQ(TableKey(table, c.button), given) << product;
        EXPECT_EQ(TableKey(table, 0), kMouseButtonDefaults[0]) << product;
        const Json::Value entry = MouseProfile()["Device"][0]["KeyList"][static_cast<int>(c.button)];
        EXPECT_EQ(entry["Assignment"].asInt(), 0x130000 | (c.action + 1) << 8) << product;
        const KeyCode own = kMouseButtonDefaults[c.button];
        EXPECT_EQ(entry["DefaultAssignment"].asInt(), own.type << 16 | own.param1 << 8 | own.param2) << product;
    }
}

TEST(MouseProgram, TheOnlyLeftButtonKeepsItsJobOnThePageAndFromAScript) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=mouse --automation", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return !StartUp(Commands(trace, "mouse"), false).empty(); }));
    ASSERT_EQ(test::Ctl("ui click key_Op_tab").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click key_0").exitCode == 0 && test::TopWindowIs("MsgWnd"); }));
    ASSERT_EQ(test::Ctl("ui click confirm_btn").exitCode, 0);
    EXPECT_FALSE(test::UiJson("get keyset_layout")["visible"].asBool());
    const auto refused = test::Ctl("mouse assign 0 dpi up");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("only left button"), std::string::npos) << refused.err;
    // With the right button made a left one, the first may change.
    EXPECT_EQ(test::Ctl("mouse assign 1 mouse left").exitCode, 0);
    EXPECT_EQ(test::Ctl("mouse assign 0 gun 2").exitCode, 0);
    EXPECT_EQ(test::Ctl("mouse assign 1 dpi up").exitCode, 1);  // now the only one
    EXPECT_EQ(test::Ctl("mouse assign 11 default").exitCode, 2);
    ASSERT_EQ(test::Ctl("mouse save").exitCode, 0);
    std::vector<uint8_t> table;
    ASSERT_TRUE(WaitFor([&] { return (table = test::WrittenImage(trace, "mouse", kCmdWriteKeys)).size() >= 33; }));
    EXPECT_EQ(TableKey(table, 0), (KeyCode{0x72, 1, 0}));
    EXPECT_EQ(TableKey(table, 1), (KeyCode{0x10, 1, 0}));
    // The button's tool-tip names it and its new job.
    EXPECT_EQ(test::UiJson("get key_0")["tooltip"].asString(), "Left button\nGun 2");
    const Json::Value buttons = json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["buttons"];
    ASSERT_EQ(buttons.size(), 11u);
    EXPECT_EQ(buttons[0]["does"].asString(), "Gun 2");
    EXPECT_FALSE(buttons[0]["factory"].asBool());
    EXPECT_TRUE(buttons[2]["factory"].asBool());
    EXPECT_NE(test::Ctl("mouse show").out.find("0 Left button: Gun 2 *"), std::string::npos);
}

TEST(MouseProgram, WhatTheUserSetIsThereAfterARestartOnEitherLinkAndAResetGivesTheFactoryState) {
    for (const std::string product : {"mouse", "mouse-receiver"}) {
        SCOPED_TRACE(product);
        test::TempDir temp;
        const std::string trace = temp.Path() + "/trace";
        const std::string environment = "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "' XDG_DATA_HOME='" +
                                        temp.Sub("data") + "' XDG_STATE_HOME='" + temp.Sub("state") + "'";
        auto shown = [] {
            const Json::Value light = json::Parse(test::Ctl("lighting mouse --json").out).value_or(Json::Value());
            const Json::Value mouse = json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value());
            return std::to_string(light["mode"].asInt()) + " " + light["color"].asString() + " " +
                   std::to_string(light["multicolor"].asInt()) + " stage " +
                   std::to_string(mouse["activeStage"].asInt());
        };
        auto started = [&](App& app) {
            return app.Ready() &&
                   WaitFor([&] { return !StartUp(Commands(trace, product), product != "mouse").empty(); }) &&
                   WaitFor([] { return test::OptionIs("mouse", "connected", true); });
        };
        std::string factory;
        {
            App app("--simulate=" + product + " --automation", environment);
            ASSERT_TRUE(started(app)) << app.Errors();
            factory = shown();
            ASSERT_NE(factory, "3 #2962ff 0 stage 3");
            ASSERT_EQ(test::Ctl("lighting mouse set --mode 3 --color '#2962ff' --multicolor off").exitCode, 0);
            ASSERT_EQ(test::Ctl("mouse dpi active 3").exitCode, 0);
            ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, product, kCmdWriteConfig, 2048)[12] == 3; }));
            ASSERT_EQ(shown(), "3 #2962ff 0 stage 3");
        }
        std::remove(trace.c_str());
        {
            App app("--simulate=" + product + " --automation", environment);
            ASSERT_TRUE(started(app)) << app.Errors();
            EXPECT_EQ(shown(), "3 #2962ff 0 stage 3");
            EXPECT_EQ(MouseProfile(temp.Sub("data"))["Device"][0]["LightInfo"]["SelectItem"].asInt(), 3);
            ASSERT_EQ(test::Ctl("sim reset " + product).exitCode, 0);
        }
        std::remove(trace.c_str());
        App app("--simulate=" + product + " --automation", environment);
        ASSERT_TRUE(started(app)) << app.Errors();
        EXPECT_EQ(shown(), factory);  // the factory record, read over the profile
    }
}

TEST(MouseProgram, AStageTheCableMissedIsWrittenThroughTheReceiverOnceItsProbeAnswers) {
    MouseRun run("mouse-receiver --automation");
    const std::string& trace = run.trace;
    const std::string& data = run.data;
    ASSERT_TRUE(run.app.Ready()) << run.app.Errors();
    ASSERT_EQ(test::Ctl("sim plug mouse").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("mouse", "link", "cable"); }));
    ASSERT_TRUE(WaitFor([&] { return !StartUp(Commands(trace, "mouse"), false).empty(); }));
    ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click system_Op_tab").exitCode == 0; }));
    // The cable goes quiet as the stage changes: the write does not arrive.
    ASSERT_EQ(test::Ctl("sim fault mouse no-reply 20").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui text DPI_edit_2 2400").exitCode, 0);
    EXPECT_EQ(MouseProfile(data)["Device"][0]["DPIStages"]["StageDPIs"][2]["StageDPIX"].asInt(), 46);
    EXPECT_TRUE(test::WrittenImage(trace, "mouse-receiver", kCmdWriteConfig).empty());
    // The mouse is moved to its receiver: once the receiver says it is
    // awake, the stage the cable missed goes there.
    ASSERT_EQ(test::Ctl("sim unplug mouse").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("mouse", "link", "receiver"); }));
    std::vector<uint8_t> config;
    ASSERT_TRUE(WaitFor([&] {
        config = test::WrittenImage(trace, "mouse-receiver", kCmdWriteConfig, 2048);
        return config[34] == 46;
    }));
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 32, config.begin() + 41),
              (std::vector<uint8_t>{1, 0, 46, 0, 46, 0, 0, 0, 255}));
    const auto commands = Commands(trace, "mouse-receiver");
    const auto write = std::find(commands.rbegin(), commands.rend(), kCmdWriteConfig);
    ASSERT_NE(write, commands.rend());
    EXPECT_EQ(*(write + 1), kCmdReceiverProbe);
    EXPECT_EQ(json::Parse(test::Ctl("ui get DPI_edit_2 --json").out).value_or(Json::Value())["text"].asString(),
              "2400");
}

TEST(MouseProgram, TheBatteryOfTheReceiversMouseReachesTheSelector) {
    App app("--simulate=mouse-receiver --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return !test::ShownBattery().empty(); })) << test::ShownBattery();
    ASSERT_EQ(test::Ctl("sim battery mouse-receiver 40").exitCode, 0);
    // The power query runs every 5 s.
    EXPECT_TRUE(WaitFor([] { return test::ShownBattery() == "40%"; }, std::chrono::seconds(8)))
        << test::ShownBattery();
}

TEST(MouseProgram, AnotherProfileChosenIsShownAndSentToTheMouse) {
    MouseRun run("mouse --automation");
    const std::string& trace = run.trace;
    ASSERT_TRUE(run.Started("mouse")) << run.app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::Ctl("ui click system_Op_tab").exitCode == 0; }));
    ASSERT_EQ(test::Ctl("ui text DPI_edit_0 3000").exitCode, 0);  // step 58 in profile 1
    ASSERT_EQ(test::Ctl("ui click profile_fun_spread_btn").exitCode, 0);
    ASSERT_EQ(test::Ctl("ui click device_add_btn").exitCode, 0);  // a new profile, the template's stages
    ASSERT_TRUE(WaitFor([] { return test::UiJson("get DPI_edit_0")["text"].asString() == "800"; }))
        << test::UiJson("get DPI_edit_0")["text"].asString();
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "mouse", kCmdWriteConfig, 2048)[16] == 14; }));
    // Its buttons follow the record.
    EXPECT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "mouse", kCmdWriteKeys).size() >= 33u; }));
    ASSERT_EQ(test::Ctl("ui select device_profile_combo 0").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::UiJson("get DPI_edit_0")["text"].asString() == "3000"; }));
    ASSERT_TRUE(WaitFor([&] { return test::WrittenImage(trace, "mouse", kCmdWriteConfig, 2048)[16] == 58; }));
}

TEST(MouseProgram, TheFourGunsGoToTheMouseAsOneImageAndNothingGoesToASleepingOne) {
    for (const char* product : {"mouse", "mouse-receiver"}) {
        MouseRun run(std::string(product) + " --automation");
        const std::string& trace = run.trace;
        const std::string& data = run.data;
        ASSERT_TRUE(run.Started(product)) << run.app.Errors() << product;
        ASSERT_TRUE(WaitFor([] { return test::OptionIs("mouse", "current", true); })) << product;
        const std::string folder = data + "/KX520 PRO Keyboard/mouse/";
        // The shipped guns are the user's own from the first start on.
        ASSERT_TRUE(profiles::JsonFile::Exists(profiles::ShootImage::GunPath(folder, 3))) << product;
        const auto shoot = test::Ctl("mouse shoot write");
        ASSERT_EQ(shoot.exitCode, 0) << product << shoot.err;
        const std::vector<uint8_t> expected = profiles::ShootImage::BuildFromFolder(folder);
        ASSERT_EQ(expected.size(), 2920u);
        std::vector<uint8_t> written;
        ASSERT_TRUE(WaitFor([&] {
            written = test::WrittenImage(trace, product, kCmdWriteShoot);
            return written.size() >= expected.size();
        })) << product;
        written.resize(expected.size());
        EXPECT_EQ(written, expected) << product;
        if (std::string(product) != "mouse-receiver") {
            continue;
        }
        // Asleep: the probe says so and nothing follows it.
        ASSERT_EQ(test::Ctl("sim fault mouse-receiver asleep").exitCode, 0);
        const size_t before = Commands(trace, product).size();
        EXPECT_EQ(test::Ctl("mouse shoot write").exitCode, 1);
        const auto commands = Commands(trace, product);
        ASSERT_GT(commands.size(), before);
        EXPECT_EQ(std::count(commands.begin() + static_cast<std::ptrdiff_t>(before), commands.end(), kCmdReadInfo), 0);
        EXPECT_EQ(std::count(commands.begin() + static_cast<std::ptrdiff_t>(before), commands.end(), kCmdWriteShoot), 0);
    }
}

}  // namespace
}  // namespace kx520
