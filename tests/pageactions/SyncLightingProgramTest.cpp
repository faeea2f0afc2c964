// Synchronised lighting on the running application: the mouse's mode
// shared with every device through "deng_same_mode", then painted by the
// synchronisation thread on each of them.
#include <gtest/gtest.h>
#include <json/json.h>

#include <set>
#include <string>

#include "app/AppProgram.h"

namespace kx520 {
namespace {

using test::App;
using test::Ui;
using test::WaitFor;

Json::Value Parsed(const std::string& text) {
    Json::Value root;
    Json::Reader().parse(text, root);
    return root;
}

int ModeOf(const char* kind) {
    return Parsed(test::Ctl(std::string("lighting ") + kind + " --json").out)["mode"].asInt();
}

// The kind of the current device's option, "" for none.
std::string Current() {
    const Json::Value status = test::Status();  // kept: the loop reads into it
    for (const Json::Value& option : status["options"]) {
        if (option["current"].asBool()) {
            return option["kind"].asString();
        }
    }
    return {};
}

bool AllConnected(size_t count) {
    const Json::Value status = test::Status();
    const Json::Value& options = status["options"];
    size_t connected = 0;
    for (const Json::Value& option : options) {
        connected += option["connected"].asBool() ? 1 : 0;
    }
    return connected == count;
}

TEST(SyncLightingProgram, AMouseSwitchedOffSharesItsModeAndTheThreadStepsEveryDevice) {
    App app("--simulate=keyboard,mouse,mousepad,headset --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return AllConnected(4) && !Current().empty(); }));
    // The selector shows the devices in arrival order: step to the mouse.
    for (int step = 0; step < 4 && Current() != "mouse"; ++step) {
        const std::string before = Current();
        Ui("click device_select_next");
        ASSERT_TRUE(WaitFor([&before] { return Current() != before; }));
    }
    ASSERT_EQ(Current(), "mouse");
    ASSERT_EQ(test::Ctl("lighting mouse set --mode 9").exitCode, 0);
    Ui("click deng_Op_tab");
    ASSERT_EQ(Current(), "mouse");
    ASSERT_EQ(ModeOf("mouse"), 9);
    Ui("click deng_same_mode");
    EXPECT_TRUE(WaitFor([] { return ModeOf("keyboard") == 28; }));
    EXPECT_EQ(ModeOf("mouse"), 9);
    EXPECT_EQ(ModeOf("mousepad"), 8);
    EXPECT_EQ(ModeOf("headset"), 8);
    // Every device joined the shared "off", and the thread steps it.
    const auto sync = [] { return Parsed(test::Ctl("lighting sync --json").out); };
    EXPECT_TRUE(WaitFor([&sync] { return sync()["steps"].asInt() >= 2; }));
    const Json::Value state = sync();
    EXPECT_EQ(state["type"], 4);
    std::set<std::string> joined;
    for (const Json::Value& kind : state["devices"]) {
        joined.insert(kind.asString());
    }
    EXPECT_EQ(joined, (std::set<std::string>{"keyboard", "mouse", "mousepad", "headset"}));
    // A light change on a device's own page takes it out again.
    ASSERT_EQ(test::Ctl("lighting keyboard set --mode 6").exitCode, 0);
    EXPECT_TRUE(WaitFor([&sync] { return sync()["devices"].size() == 3; }));
    EXPECT_NE(test::Ctl("lighting sync").out.find("effect: off"), std::string::npos);
}

}  // namespace
}  // namespace kx520
