// The keyboard's System tab on the running application: what its options
// write to the virtual keyboard, keep in the profile and give the desktop,
// and what the page shows after a restart.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <fstream>
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

Json::Value Stages() {
    return test::FirstProfileSection("keyboard")["SystemStages"];
}

class KeyboardOptions : public ::testing::Test {
protected:
    void SetUp() override {
        // A GNOME of the test's own: its gsettings logs what it is told.
        std::ofstream script(temp.Path() + "/gsettings");
        script << "#!/bin/sh\necho \"$*\" >> '" << temp.Path() << "/gsettings.log'\n";
        script.close();
        ASSERT_EQ(test::Shell("chmod +x '" + temp.Path() + "/gsettings'").exitCode, 0);
    }
    std::string Environment() const {
        return "QT_QPA_PLATFORM=offscreen XDG_CURRENT_DESKTOP=GNOME PATH='" + temp.Path() + "':\"$PATH\" " +
               "KX520_SIM_TRACE='" + trace + "'";
    }
    bool Connected() const {
        size_t reads = 0;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(trace))) {
            reads += line.product == "keyboard" && line.Command() == kCmdReadConfig ? 1 : 0;
        }
        return reads >= 2;  // the profile byte, then its record
    }
    std::string GsettingsLog() const { return test::ReadAll(temp.Path() + "/gsettings.log"); }

    test::TempDir temp;
    std::string trace = temp.Path() + "/trace";
};

TEST_F(KeyboardOptions, ReportRateAndSixKeyReachTheRecordAndTheProfileAndShowAfterARestart) {
    {
        App app("--simulate=keyboard --automation", Environment());
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([&] { return Connected(); }));
        Ui("click system_Op_tab");
        Ui("click polling_rate_option_2");
        Ui("click 6flag_option");
        std::vector<uint8_t> record;
        ASSERT_TRUE(WaitFor([&] {
            record = test::WrittenImage(trace, "keyboard", kCmdWriteConfig, 26);
            return record[20] == 1 && record[22] == 2;
        })) << "bytes 20 and 22: " << int(record[20]) << " " << int(record[22]);
        EXPECT_EQ(record[19], 0);  // the other flags as they were
        EXPECT_EQ(record[21], 0);
        EXPECT_EQ(Stages()["PollingRate"].asInt(), 2);
        EXPECT_EQ(Stages()["Key6Flag"].asInt(), 1);
        EXPECT_TRUE(GsettingsLog().empty());  // no repeat was changed
    }
    App again("--simulate=keyboard --automation", Environment());
    ASSERT_TRUE(again.Ready()) << again.Errors();
    EXPECT_TRUE(WaitFor([] { return test::UiControl("polling_rate_option_2")["selected"].asBool(); }));
    EXPECT_FALSE(test::UiControl("polling_rate_option_0")["selected"].asBool());
    EXPECT_TRUE(test::UiControl("6flag_option")["selected"].asBool());
}

TEST_F(KeyboardOptions, ARepeatChangedFromTheShellGoesToTheDesktopAndResetBringsTheTemplatesBack) {
    App app("--simulate=keyboard --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }));
    const test::ProgramRun set = test::Ctl("keyboard options --repeat-delay 750 --repeat-rate 31 --win-lock on");
    ASSERT_EQ(set.exitCode, 0) << set.err;
    ASSERT_TRUE(WaitFor([&] { return GsettingsLog().find("repeat-interval") != std::string::npos; })) << GsettingsLog();
    EXPECT_NE(GsettingsLog().find("set org.gnome.desktop.peripherals.keyboard delay 750"), std::string::npos);
    EXPECT_NE(GsettingsLog().find("set org.gnome.desktop.peripherals.keyboard repeat-interval 33"), std::string::npos);
    EXPECT_EQ(Stages()["RepeatDelay"].asInt(), 2);
    EXPECT_EQ(Stages()["Repeat"].asInt(), 31);
    EXPECT_EQ(Stages()["WinFlag"].asInt(), 1);
    EXPECT_TRUE(test::UiControl("repeat_delay_check_2")["selected"].asBool());
    EXPECT_NE(test::UiControl("repeat_delay_time_label1")["text"].asString().find("750ms"), std::string::npos);
    ASSERT_TRUE(WaitFor([] {
        const Json::Value shown = json::Parse(test::Ctl("keyboard show --json").out).value_or(Json::Value());
        return shown["options"]["repeatDesktop"].asString().find("GNOME") != std::string::npos;
    }));
    EXPECT_NE(test::Ctl("keyboard options --repeat-delay 600").exitCode, 0);  // not a step

    // Reset: the template's rate 0 and delay step 1 (500 ms), told to the desktop.
    Ui("click system_Op_tab");
    Ui("click reset_repeat_btn");
    ASSERT_TRUE(WaitFor([] { return Stages()["RepeatDelay"].asInt() == 1 && Stages()["Repeat"].asInt() == 0; }));
    EXPECT_EQ(Stages()["WinFlag"].asInt(), 1);  // the flags are not repeat
    EXPECT_EQ(test::UiControl("repeat_rate_slider")["value"].asInt(), 0);
    EXPECT_TRUE(WaitFor([&] { return GsettingsLog().find("delay 500") != std::string::npos; })) << GsettingsLog();
}

// The System tab's button opens the desktop's own keyboard settings (GNOME's
// control centre here, the test's own); on a desktop without one it says so.
TEST_F(KeyboardOptions, TheDesktopSettingsButtonOpensTheDesktopsKeyboardSettings) {
    {
        std::ofstream script(temp.Path() + "/gnome-control-center");
        script << "#!/bin/sh\necho \"$*\" >> '" << temp.Path() << "/control-center.log'\n";
    }
    ASSERT_EQ(test::Shell("chmod +x '" + temp.Path() + "/gnome-control-center'").exitCode, 0);
    App app("--simulate=keyboard --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Ui("click system_Op_tab");
    Ui("click windowdeviceset_0");
    EXPECT_TRUE(WaitFor([&] { return test::ReadAll(temp.Path() + "/control-center.log") == "keyboard\n"; }));
}

TEST_F(KeyboardOptions, ADesktopWithoutSettingsToolsIsToldSo) {
    App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen XDG_CURRENT_DESKTOP=sway");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Ui("click system_Op_tab");
    Ui("click windowdeviceset_0");
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("MsgWnd"); }));
    EXPECT_NE(test::UiControl("MessageText")["text"].asString().find("(sway)"), std::string::npos);
    Ui("click confirm_btn");
}

}  // namespace
}  // namespace kx520
