// The macro page as a user drives it on the running application: recorded
// input lands in the macro's file, a bound macro reaches the virtual
// keyboard, and deleting one renumbers every profile of the keyboard.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "app/KeyboardRun.h"
#include "platform/SafeJson.h"
#include "profiles/MacroImage.h"
#include "profiles/MacroStore.h"
#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::App;
using test::TopWindowIs;
using test::Ui;
using test::UiJson;
using test::WaitFor;

std::string Folder() {
    return std::string(std::getenv("XDG_DATA_HOME")) + "/KX520 PRO Keyboard/keyboard/";
}

Json::Value Macros() {
    return json::Parse(test::Ctl("macro list keyboard --json").out).value_or(Json::Value())["macros"];
}

size_t CountOf(const std::string& trace, uint8_t command) {
    const auto lines = test::Requests(test::ReadTrace(trace));
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [command](const test::TraceLine& line) {
        return line.product == "keyboard" && line.Command() == command && line.Offset() == 0;
    }));
}

// Page key positions whose 3-byte key table entry is `entry`.
size_t EntriesLike(const std::vector<uint8_t>& table, const std::vector<uint8_t>& entry) {
    size_t found = 0;
    for (size_t at = 0; at + 3 <= table.size(); at += 3) {
        found += std::equal(entry.begin(), entry.end(), table.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return found;
}

// Each test starts with no macros and one profile.
void ForgetKeyboardData() {
    std::filesystem::remove_all(Folder());
}

bool Connected(const std::string& trace) {
    return CountOf(trace, kCmdReadConfig) >= 1 && test::OptionIs("keyboard", "current", true);
}

TEST(MacroPage, ARecordedKeyAndClickLandInTheFileAndABoundMacroReachesTheKeyboard) {
    test::KeyboardRun run(ForgetKeyboardData);
    ASSERT_TRUE(run.Started(Connected)) << run.app.Errors();
    const std::string& trace = run.trace;
    Ui("click macro_Op_tab");
    Ui("click macro_btn_name_add");
    ASSERT_EQ(Macros().size(), 1u);
    EXPECT_EQ(test::Ctl("ui key a down").exitCode, 1);  // nothing is recording yet
    Ui("click macro_btn_starredio");
    EXPECT_FALSE(UiJson("get macro_btn_starredio")["visible"].asBool());
    EXPECT_FALSE(UiJson("get device_select_layout")["enabled"].asBool());
    EXPECT_TRUE(UiJson("get macro_capture_note")["visible"].asBool());  // this window only
    Ui("key a down");
    Ui("key a down");  // held: one press
    Ui("key a up");
    Ui("button left down");
    Ui("button left up");
    Ui("button left down macro_btn_stopredio");  // the click on stop is no action
    Ui("button left up macro_btn_stopredio");
    Ui("click macro_btn_stopredio");
    EXPECT_TRUE(UiJson("get device_select_layout")["enabled"].asBool());
    EXPECT_EQ(test::Ctl("ui key b down").exitCode, 1);  // capture ended with the recording

    const Json::Value shown = json::Parse(test::Ctl("macro show keyboard 0 --json").out).value_or(Json::Value());
    const Json::Value& events = shown["Events"];
    ASSERT_EQ(events.size(), 4u) << shown.toStyledString();
    const std::vector<std::tuple<std::string, int, int>> expected = {
        {"down", 10, 4}, {"up", 10, 4}, {"down", 1, 1}, {"up", 1, 1}};
    for (Json::ArrayIndex i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i]["Action"].asString(), std::get<0>(expected[i])) << i;
        EXPECT_EQ(events[i]["Type"].asInt(), std::get<1>(expected[i])) << i;
        EXPECT_EQ(events[i]["Button"].asInt(), std::get<2>(expected[i])) << i;
        ASSERT_TRUE(events[i]["Delay"].isString()) << i;
        EXPECT_LT(std::stoul(events[i]["Delay"].asString()), 65536u);
    }
    EXPECT_EQ(events[3]["Delay"].asString(), "0");  // nothing came after the last

    // Bound to a key on the key page and saved: the macro and the key go to the keyboard.
    const size_t macroWrites = CountOf(trace, kCmdWriteMacros);
    Ui("click key_Op_tab");
    Ui("click key_64");
    Ui("select keyset_function_combo 9");  // a macro
    Ui("select keyset_macro_combo 0");
    Ui("select keyset_macro_over_combo 1");
    Ui("click key_butt_keysave");
    Ui("click key_butt_prosave");
    ASSERT_TRUE(WaitFor([&] { return CountOf(trace, kCmdWriteMacros) > macroWrites; }));
    const profiles::MacroStore store(Folder());
    profiles::MacroStore loaded(Folder());
    loaded.Load();
    const std::vector<uint8_t> image = test::WrittenImage(trace, "keyboard", kCmdWriteMacros);
    const std::vector<uint8_t> wanted = profiles::MacroImage::Build({loaded.DeviceEvents(0)});
    ASSERT_GE(image.size(), wanted.size());
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(wanted.size())), wanted);
    const std::vector<profiles::MacroEventBytes> bytes = loaded.DeviceEvents(0);
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(bytes[0][2] & 0x80, 0x80);  // A pressed
    EXPECT_EQ(bytes[1][2] & 0x80, 0);     // and released
    EXPECT_EQ(bytes[0][3], 4);
    EXPECT_EQ(bytes[2][3], 1);  // the left button
    ASSERT_TRUE(WaitFor([&] { return EntriesLike(test::WrittenImage(trace, "keyboard", kCmdWriteKeys), {0x70, 0, 1}) == 1; }));
}

TEST(MacroPage, RecordingWithNoMacroMakesOneAndTheKeyPagesMacroFunctionStartsOnTheFirst) {
    test::KeyboardRun run(ForgetKeyboardData);
    ASSERT_TRUE(run.Started(Connected)) << run.app.Errors();
    const std::string& trace = run.trace;
    // With no macro the key page's macro function tells the user, and changes nothing.
    Ui("click key_Op_tab");
    Ui("click key_64");
    Ui("select keyset_function_combo 9");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    Ui("click confirm_btn");
    Ui("click macro_Op_tab");
    ASSERT_EQ(Macros().size(), 0u);
    Ui("click macro_btn_starredio");
    Ui("key a down");
    Ui("key a up");
    Ui("click macro_btn_stopredio");
    ASSERT_EQ(Macros().size(), 1u);  // the recording's own macro
    const Json::Value shown = json::Parse(test::Ctl("macro show keyboard 0 --json").out).value_or(Json::Value());
    EXPECT_EQ(shown["Events"].size(), 2u) << shown.toStyledString();
    Ui("click key_Op_tab");
    Ui("click key_65");
    Ui("select keyset_function_combo 9");
    EXPECT_EQ(UiJson("get keyset_macro_combo")["current"].asInt(), 0);
    EXPECT_FALSE(TopWindowIs("MsgWnd"));
}

TEST(MacroPage, DeletingAMacroRenumbersEveryProfileAndWritesTheKeysOnce) {
    test::KeyboardRun run(ForgetKeyboardData);
    ASSERT_TRUE(run.Started(Connected)) << run.app.Errors();
    const std::string& trace = run.trace;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(test::Ctl("macro new keyboard").exitCode, 0);
    }
    auto assign = [](int key, int macro) {
        const auto run = test::Ctl("keyboard assign " + std::to_string(key) + " macro " + std::to_string(macro));
        ASSERT_EQ(run.exitCode, 0) << run.err;
    };
    assign(64, 0);
    assign(65, 2);
    ASSERT_EQ(test::Ctl("keyboard save").exitCode, 0);
    // A second profile binds them the other way round.
    Ui("click profile_fun_spread_btn");
    Ui("click device_add_btn");
    assign(70, 2);
    assign(71, 0);
    ASSERT_EQ(test::Ctl("keyboard save").exitCode, 0);
    const size_t keyWrites = CountOf(trace, kCmdWriteKeys);

    Ui("click macro_Op_tab");
    Ui("select macro_name_list 0");
    Ui("click macro_btn_name_sub");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    Ui("click confirm_btn");
    // The current profile binds it too: asked again before any file changes.
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    EXPECT_EQ(Macros().size(), 3u);
    Ui("click confirm_btn");
    ASSERT_TRUE(WaitFor([] { return Macros().size() == 2u; }));

    const Json::Value list = json::ReadFile(Folder() + "ProfileList.ini").value_or(Json::Value());
    ASSERT_EQ(list["profilelist"].size(), 2u);
    auto keyOf = [&list](int profile, int key) {
        const std::string id = list["profilelist"][profile]["profileUUID"].asString();
        const Json::Value file = json::ReadFile(Folder() + id + ".Json").value_or(Json::Value());
        return file["Device"][0]["KeyList"][key];
    };
    // Profile 1: macro 0 gone (default), macro 2 is now 1.
    EXPECT_EQ(keyOf(0, 64)["Assignment"], keyOf(0, 64)["DefaultAssignment"]);
    EXPECT_EQ(keyOf(0, 65)["Assignment"].asInt() >> 8, 0x7001);
    // Profile 2, the current one, the same.
    EXPECT_EQ(keyOf(1, 70)["Assignment"].asInt() >> 8, 0x7001);
    EXPECT_EQ(keyOf(1, 71)["Assignment"], keyOf(1, 71)["DefaultAssignment"]);
    ASSERT_TRUE(WaitFor([&] { return CountOf(trace, kCmdWriteKeys) == keyWrites + 1; }));
    EXPECT_EQ(CountOf(trace, kCmdWriteKeys), keyWrites + 1);
}

TEST(MacroPage, ACaptureThatCannotStartUnlocksThePageAndSaysWhy) {
    ForgetKeyboardData();
    App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen KX520_INPUT_CAPTURE=none");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
    Ui("click macro_Op_tab");
    Ui("click macro_btn_name_add");
    Ui("click macro_btn_starredio");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MsgWnd"); }));
    EXPECT_NE(UiJson("get MessageText")["text"].asString().find("KX520_INPUT_CAPTURE"), std::string::npos);
    Ui("click confirm_btn");
    EXPECT_TRUE(UiJson("get macro_btn_starredio")["visible"].asBool());
    EXPECT_TRUE(UiJson("get device_select_layout")["enabled"].asBool());
}

TEST(MacroPage, LeavingThePageOrUnpluggingTheKeyboardEndsTheRecordingAndItsCapture) {
    ForgetKeyboardData();
    App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
    Ui("click macro_Op_tab");
    Ui("click macro_btn_name_add");
    Ui("click macro_btn_starredio");
    EXPECT_FALSE(UiJson("get device_profile_combo")["enabled"].asBool());
    Ui("key a down");
    Ui("click key_Op_tab");  // another tab: the recording ends, its row kept
    EXPECT_EQ(test::Ctl("ui key a up").exitCode, 1);
    EXPECT_TRUE(UiJson("get device_select_layout")["enabled"].asBool());
    EXPECT_EQ(Macros()[0]["events"].asInt(), 1);

    Ui("click macro_Op_tab");
    Ui("click macro_btn_starredio");
    Ui("key b down");
    ASSERT_EQ(test::Ctl("sim unplug keyboard").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return test::Ctl("ui key b up").exitCode == 1; }));
}

TEST(MacroPage, QuittingWhileRecordingEndsTheRecordingAndKeepsItsRows) {
    ForgetKeyboardData();
    {
        App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
        Ui("click macro_Op_tab");
        Ui("click macro_btn_name_add");
        Ui("click macro_btn_starredio");
        Ui("key a down");
        Ui("key a up");
        // The application is asked to quit while it records.
    }
    profiles::MacroStore store(Folder());
    store.Load();
    ASSERT_EQ(store.Entries().size(), 1u);
    EXPECT_EQ(store.EventCount(0), 2u);
}

TEST(MacroPage, TheRowMenuInsertsAClickAndRecordsARowsNewKeyInItsPlace) {
    ForgetKeyboardData();
    App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
    Ui("click macro_Op_tab");
    Ui("click macro_btn_name_add");
    Ui("click macro_btn_starredio");
    Ui("key a down");
    Ui("key a up");
    Ui("click macro_btn_stopredio");
    Ui("select macro_action_list 0");
    Ui("dbclick macro_action_name");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MenuWnd"); }));
    Ui("menu middle_click");  // after row 0: press, then release, saved at once
    ASSERT_TRUE(WaitFor([] { return Macros()[0]["events"].asInt() == 4; }));
    auto events = [] {
        return json::Parse(test::Ctl("macro show keyboard 0 --json").out).value_or(Json::Value())["Events"];
    };
    EXPECT_EQ(events()[1]["Type"].asInt(), 1);
    EXPECT_EQ(events()[1]["Button"].asInt(), 4);  // the middle button
    EXPECT_EQ(events()[1]["Action"].asString(), "down");
    EXPECT_EQ(events()[1]["Delay"].asString(), "50");  // the fixed delay
    EXPECT_EQ(events()[2]["Action"].asString(), "up");

    // Replace: the row opened (the first one shown) takes the next key,
    // keeping its action and delay.
    const std::string delay = events()[0]["Delay"].asString();
    Ui("dbclick macro_action_direction");
    ASSERT_TRUE(WaitFor([] { return TopWindowIs("MenuWnd"); }));
    Ui("menu macro_action_edit");
    Ui("key b down");
    Ui("key c down");  // recording goes on until stopped: C replaces B
    Ui("click macro_btn_stopredio");
    ASSERT_EQ(events().size(), 4u);
    EXPECT_EQ(events()[0]["Button"].asInt(), 6);  // C
    EXPECT_EQ(events()[0]["Action"].asString(), "down");
    EXPECT_EQ(events()[0]["Delay"].asString(), delay);
    EXPECT_EQ(events()[3]["Button"].asInt(), 4);  // the others as they were
}

TEST(MacroPage, KxctlMacroKeepsTheListAsThePageDoes) {
    ForgetKeyboardData();
    App app("--simulate=keyboard --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
    ASSERT_EQ(test::Ctl("macro new keyboard").out, "macro_1\n");
    ASSERT_EQ(test::Ctl("macro new keyboard").out, "macro_2\n");
    EXPECT_EQ(test::Ctl("macro rename keyboard macro_2 fire").exitCode, 0);
    const auto taken = test::Ctl("macro rename keyboard 0 FIRE");
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_NE(taken.err.find("in use"), std::string::npos);
    test::TempDir temp;
    ASSERT_EQ(test::Ctl("macro export keyboard fire " + test::Quoted(temp.Path() + "/fire.mac")).exitCode, 0);
    EXPECT_EQ(test::Ctl("macro import keyboard " + test::Quoted(temp.Path() + "/fire.mac")).out, "fire_2\n");
    // The page shows what the script did, and the key page offers it.
    Ui("click macro_Op_tab");  // the keyboard's list on screen (the mouse has one too)
    EXPECT_EQ(UiJson("get macro_name_list")["items"].size(), 3u);
    EXPECT_EQ(UiJson("get keyset_macro_combo")["items"][2]["text"].asString(), "fire_2");
    EXPECT_EQ(test::Ctl("macro delete keyboard nothing").exitCode, 1);
    EXPECT_EQ(test::Ctl("macro delete keyboard fire").exitCode, 0);
    EXPECT_EQ(Macros().size(), 2u);
    EXPECT_EQ(test::Ctl("macro list headset").exitCode, 2);  // no such kind
    EXPECT_EQ(test::Ctl("macro show keyboard").exitCode, 2);  // no macro named
}

}  // namespace
}  // namespace kx520
