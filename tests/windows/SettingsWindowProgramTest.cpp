// The settings window on the running application, driven through
// kx520ctl ui as a user would, against a loopback update service: the
// update list, confirming an update, the language choice and the tray.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "support/LoopbackUpdateService.h"

namespace kx520 {
namespace {

using test::App;
using test::Ui;
using test::UiControl;
using test::WaitFor;

constexpr const char* kKeyboardKey = "PELMO_1_QD70M01A_KB_1";
constexpr const char* kMouseKey = "PELMO_1_QD70M02A_MS_1";

Json::Value Replies() {
    Json::Value replies;
    replies[kKeyboardKey]["body"]["name"] = "KB";
    replies[kKeyboardKey]["body"]["version"] = "0106";
    replies[kKeyboardKey]["body"]["path"] = "http://example.invalid/kb-0106.bin";
    replies[kMouseKey]["body"]["name"] = "MS";
    replies[kMouseKey]["body"]["version"] = "0103";
    replies["*"]["body"]["name"] = "KX520";
    replies["*"]["body"]["version"] = "1";
    return replies;
}

// Every control of the settings window called `name`, in the list's order.
std::vector<Json::Value> Named(const std::string& name) {
    std::vector<Json::Value> found;
    for (const Json::Value& control : test::UiJson("controls SetWnd")) {
        if (control["name"].asString() == name) {
            found.push_back(control);
        }
    }
    return found;
}

std::string SettingsFile() {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/KX520 PRO Keyboard/settings.ini";
}

std::string Environment(const std::string& service) {
    return "QT_QPA_PLATFORM=offscreen KX520_DEBUG=1 KX520_UPDATE_URL=" + service;
}

bool StatusIs(const char* text) {
    return UiControl("Update_Status_text")["text"].asString() == text;
}

TEST(SettingsWindowProgram, TheUpdateListOffersTheKeyboardAndTheWindowClosesAfterConfirming) {
    test::LoopbackUpdateService service(Replies());
    App app("--simulate=keyboard,mouse --automation", Environment(service.BaseUrl()));
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Ui("click setbtn");
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("SetWnd"); }));
    ASSERT_TRUE(WaitFor([] { return StatusIs("Updates are available."); })) << app.Errors();

    const auto names = Named("check_name_select");
    const auto installed = Named("OldRev");
    const auto offered = Named("updateRev");
    const auto statuses = Named("update_status_text");
    ASSERT_EQ(names.size(), 3u);  // mouse, keyboard, the application
    EXPECT_EQ(names[0]["text"], "MS");
    EXPECT_EQ(installed[0]["text"], "V0103");
    EXPECT_FALSE(offered[0]["visible"].asBool());
    EXPECT_EQ(statuses[0]["textId"], "UpdateOkText");
    EXPECT_EQ(names[1]["text"], "KB");
    EXPECT_TRUE(names[1]["selected"].asBool());
    EXPECT_EQ(installed[1]["text"], "V0105");
    EXPECT_EQ(offered[1]["text"], "V0106");
    EXPECT_EQ(statuses[1]["textId"], "NeedUpdateText");
    EXPECT_EQ(names[2]["text"], "KX520");
    EXPECT_TRUE(UiControl("update_fw_and_ap")["visible"].asBool());

    Ui("click update_fw_and_ap");
    Ui("click update_OK_btn");
    EXPECT_EQ(Named("update_status_text")[1]["textId"], "DownloadWaitText");
    Ui("click closebtn");
    EXPECT_TRUE(WaitFor([] { return test::TopWindowIs("MainWnd"); }));

    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.target, "/api/updates");
        EXPECT_EQ(request.Header("Content-Length"), std::to_string(request.body.size()));
        EXPECT_EQ(request.body.back(), '\0');
    }
    EXPECT_EQ(requests[1].body, std::string("app_key=PELMO_1_QD70M01A_KB_1&version=105\0", 42));
    EXPECT_NE(app.Errors().find("所有对象处于激发状态"), std::string::npos);
}

TEST(SettingsWindowProgram, ChineseChosenInTheComboTurnsTheMainWindowAndTheNextStartChinese) {
    test::LoopbackUpdateService service(Replies());
    {
        App app("--simulate=keyboard --automation", Environment(service.BaseUrl()));
        ASSERT_TRUE(app.Ready()) << app.Errors();
        Ui("click setbtn");
        ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("SetWnd"); }));
        EXPECT_EQ(UiControl("Language_combox_info")["current"], 0);
        Ui("select Language_combox_info 1");
        EXPECT_TRUE(WaitFor([] { return UiControl("set_title_text")["text"] == "设置"; }));
        Ui("click closebtn");
        ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("MainWnd"); }));
        EXPECT_EQ(UiControl("title_text")["textId"], "main_title");
        EXPECT_EQ(UiControl("setbtn")["tooltip"], "设置");
        std::ifstream settings(SettingsFile());
        const std::string text((std::istreambuf_iterator<char>(settings)), {});
        EXPECT_NE(text.find("LANGUAGE=2052"), std::string::npos) << text;
    }
    App again("--simulate=keyboard --automation", Environment(service.BaseUrl()));
    ASSERT_TRUE(again.Ready()) << again.Errors();
    EXPECT_EQ(UiControl("setbtn")["tooltip"], "设置");
    const Json::Value languages = [] {
        Json::Value root;
        Json::Reader().parse(test::Ctl("language list --json").out, root);
        return root;
    }();
    EXPECT_EQ(languages["current"], 1);
    EXPECT_EQ(test::Ctl("language set 1033").exitCode, 0);
    EXPECT_EQ(UiControl("setbtn")["tooltip"], "Settings");
    EXPECT_NE(test::Ctl("language set 7").exitCode, 0);
}

TEST(SettingsWindowProgram, TheTraysItemOpensTheSameWindowOneAtATime) {
    App app("--simulate=mouse --automation", Environment(""));
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Ui("menu @tray");
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("MenuWnd"); }));
    Ui("click setwnd_menu");
    ASSERT_TRUE(WaitFor([] { return test::TopWindowIs("SetWnd"); }));
    // Without a service nothing is sent and every row is unreachable.
    ASSERT_TRUE(WaitFor([] { return StatusIs("The update service could not be reached."); }));
    EXPECT_EQ(Named("update_status_text")[0]["text"], "Not checked");
    Ui("click setbtn");  // under the modal window: refused, nothing opens twice
    const Json::Value windows = test::UiJson("windows");
    int settings = 0;
    for (const Json::Value& window : windows) {
        settings += window["name"] == "SetWnd" ? 1 : 0;
    }
    EXPECT_EQ(settings, 1);
    EXPECT_NE(app.Errors().find("no service address"), std::string::npos);
}

TEST(SettingsWindowProgram, UpdateCheckThroughKx520ctl) {
    test::LoopbackUpdateService service(Replies());
    App app("--simulate=keyboard,mouse --automation", Environment(service.BaseUrl()));
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Json::Value answer;
    Json::Reader().parse(test::Ctl("update check --json").out, answer);
    EXPECT_EQ(answer["state"], 1);
    ASSERT_EQ(answer["rows"].size(), 3u);
    EXPECT_EQ(answer["rows"][1]["name"], "KB");
    EXPECT_EQ(answer["rows"][1]["current"], "V0105");
    EXPECT_EQ(answer["rows"][1]["offered"], "V0106");
    EXPECT_EQ(answer["rows"][1]["status"], 1);
    EXPECT_EQ(answer["rows"][0]["status"], 7);
    const test::ProgramRun plain = test::Ctl("update check");
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_NE(plain.out.find("KB  V0105  V0106  status 1"), std::string::npos) << plain.out;
    EXPECT_NE(test::Ctl("update nonsense").exitCode, 0);
}

}  // namespace
}  // namespace kx520
