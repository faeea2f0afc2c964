// The application driven from outside through its automation interface, as
// a user drives it: kx520 --simulate --automation on a private session bus,
// kx520ctl ui for every click, and the files checked on disk.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "AppProgram.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace {

using kx520::test::App;
using kx520::test::Ctl;
using kx520::test::OptionIs;
using kx520::test::ProgramRun;
using kx520::test::Quoted;
using kx520::test::ReadAll;
using kx520::test::Shell;
using kx520::test::Ui;
using kx520::test::WaitFor;

Json::Value ParseJson(const std::string& text) {
    Json::Value root;
    Json::Reader().parse(text, root);
    return root;
}

Json::Value UiJson(const std::string& words) {
    const ProgramRun run = Ctl("ui " + words + " --json");
    EXPECT_EQ(run.exitCode, 0) << "ui " << words << ": " << run.err;
    return ParseJson(run.out);
}

bool TopWindowIs(const char* name) {
    const Json::Value windows = UiJson("windows");
    return windows.isArray() && !windows.empty() && windows[0]["name"].asString() == name;
}

// The keyboard's profile list on disk.
Json::Value KeyboardList() {
    const std::string data = std::getenv("XDG_DATA_HOME");
    const ProgramRun found =
        Shell("find " + Quoted(data) + " -path '*/keyboard/ProfileList.ini' -print -quit");
    std::string path = found.out;
    while (!path.empty() && path.back() == '\n') {
        path.pop_back();
    }
    return path.empty() ? Json::Value() : ParseJson(ReadAll(path));
}

std::vector<std::string> ProfileNames() {
    std::vector<std::string> names;
    const Json::Value list = KeyboardList();
    for (const Json::Value& entry : list["profilelist"]) {
        names.push_back(entry["profilename"].asString());
    }
    return names;
}

class AutomatedApp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([] { return OptionIs("keyboard", "current", true); }));
        ASSERT_TRUE(WaitFor([] { return !ProfileNames().empty(); }));
    }
    App app{"--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen"};
};

TEST_F(AutomatedApp, TheProfileBarDoesFromOutsideWhatItsOwnClicksDo) {
    // Once the window has its size (it is fitted to the monitor after it shows).
    ASSERT_TRUE(WaitFor([] { return kx520::test::Status()["width"].asInt() == 1000; }));
    const Json::Value tabBefore = UiJson("get system_Op_tab")["rect"];
    Ui("click profile_fun_spread_btn");
    // Opening the bar moves none of the tabs.
    EXPECT_EQ(UiJson("get system_Op_tab")["rect"], tabBefore);
    EXPECT_EQ(tabBefore.size(), 4u);
    Ui("click device_add_btn");
    EXPECT_EQ(ProfileNames(), (std::vector<std::string>{"profile1", "profile2"}));
    EXPECT_EQ(KeyboardList()["profileselect"].asInt(), 1);
    EXPECT_EQ(UiJson("get device_profile_combo")["current"].asInt(), 1);  // shown as stored

    Ui("text device_profile_name_edit 'Aim Train'");
    Ui("click device_profile_edit_save_btn");
    EXPECT_EQ(ProfileNames(), (std::vector<std::string>{"profile1", "Aim Train"}));
    Ui("click device_copy_btn");
    EXPECT_EQ(ProfileNames().size(), 3u);
    EXPECT_EQ(ProfileNames()[2], "Aim Train copy");
    // The copy is the profile chosen, on the page and in the list file.
    EXPECT_EQ(UiJson("get device_profile_combo")["current"].asInt(), 2);
    EXPECT_EQ(UiJson("get device_profile_combo")["text"].asString(), "Aim Train copy");
    EXPECT_EQ(KeyboardList()["profileselect"].asInt(), 2);
    // A script reads what the screen shows, the text id beside it.
    const Json::Value import = UiJson("get device_import_btn");
    EXPECT_EQ(import["tooltipId"].asString(), "profile_import");
    EXPECT_NE(import["tooltip"].asString(), "profile_import");
    EXPECT_FALSE(import["tooltip"].asString().empty());

    // Deleting asks first, naming the profile; cancelled, nothing goes.
    Ui("click device_sub_btn");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    EXPECT_TRUE(UiJson("windows")[0]["modal"].asBool());
    EXPECT_NE(UiJson("get MessageText")["text"].asString().find("Aim Train"), std::string::npos);
    Ui("click cancel_btn");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MainWnd"); }));
    EXPECT_EQ(ProfileNames().size(), 3u);
    Ui("click device_sub_btn");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    Ui("click confirm_btn");
    ASSERT_TRUE(WaitFor([] { return ProfileNames().size() == 2u; }));
    EXPECT_EQ(ProfileNames(), (std::vector<std::string>{"profile1", "Aim Train"}));  // the copy went
}

TEST_F(AutomatedApp, ResetAsksWithItsModalBoxAndExportImportGoThroughTheDialogAnswer) {
    Ui("click profile_fun_spread_btn");
    Ui("click device_reset_btn");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    // The box says what message_text_22 says in the language shown.
    EXPECT_NE(UiJson("get MessageText")["text"].asString().find("default"), std::string::npos);
    Ui("click confirm_btn");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MainWnd"); }));

    kx520::test::TempDir temp;
    Ui("file " + Quoted(temp.Path() + "/Team"));  // no extension: .json is added
    Ui("click device_export_btn");
    ASSERT_TRUE(WaitFor([&temp] { return !ReadAll(temp.Path() + "/Team.json").empty(); }));
    EXPECT_EQ(ParseJson(ReadAll(temp.Path() + "/Team.json"))["profilename"].asString(), "profile1");
    Ui("file " + Quoted(temp.Path() + "/Team.json"));
    Ui("click device_import_btn");
    EXPECT_TRUE(WaitFor([] { return ProfileNames().size() == 2u; }));
    // A cancelled dialog ("") imports nothing.
    Ui("file ''");
    Ui("click device_import_btn");
    EXPECT_EQ(ProfileNames().size(), 2u);
}

TEST_F(AutomatedApp, RefusalsCarryTheirReasonAndUsageMistakesExitTwo) {
    const ProgramRun hidden = Ctl("ui click device_add_btn");  // the bar is folded
    EXPECT_EQ(hidden.exitCode, 1);
    EXPECT_NE(hidden.err.find("not shown"), std::string::npos) << hidden.err;
    EXPECT_EQ(Ctl("ui click no_such_control").exitCode, 1);
    EXPECT_EQ(Ctl("ui controls NoSuchWindow").exitCode, 1);
    EXPECT_EQ(Ctl("ui select device_profile_combo x").exitCode, 2);
    EXPECT_EQ(Ctl("ui check device_select 2").exitCode, 2);
    EXPECT_EQ(Ctl("ui fly").exitCode, 2);
    EXPECT_EQ(Ctl("ui click").exitCode, 2);
    const Json::Value controls = UiJson("controls");
    ASSERT_TRUE(controls.isArray());
    EXPECT_GT(controls.size(), 20u);
    const kx520::test::TempDir temp;
    Ui("screenshot " + Quoted(temp.Path() + "/shot.png"));
    EXPECT_GT(kx520::test::PngSize(temp.Path() + "/shot.png").first, 0u);
}

TEST(Automation, TheInterfaceIsThereOnlyWhenAskedFor) {
    {
        App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        const ProgramRun absent = Ctl("ui windows");
        EXPECT_EQ(absent.exitCode, 1);
        EXPECT_NE(absent.err.find("without automation"), std::string::npos) << absent.err;
    }
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen KX520_AUTOMATION=1");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    EXPECT_EQ(Ctl("ui windows").exitCode, 0);
}

}  // namespace
