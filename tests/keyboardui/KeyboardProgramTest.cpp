// The keyboard as the running application drives it: what reaches the
// virtual keyboard, packet by packet, when it connects.
#include <gtest/gtest.h>

#include <thread>
#include <QImage>
#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalog/PageKeyDefaults.h"
#include "platform/SafeJson.h"
#include "profiles/ProfileTestFiles.h"
#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"
#include "app/AppProgram.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::App;
using test::Ui;
using test::WaitFor;

struct Step {
    uint8_t command;
    uint8_t length;
    uint16_t offset;
    friend bool operator==(const Step&, const Step&) = default;
};

std::ostream& operator<<(std::ostream& out, const Step& step) {
    return out << "{" << std::hex << int(step.command) << ", " << std::dec << int(step.length)
               << " @" << step.offset << "}";
}

// The commands sent to `product`, without the streamed frames and power
// queries that run beside the exchange.
std::vector<Step> Exchange(const std::string& trace, const std::string& product) {
    std::vector<Step> steps;
    for (const auto& line : test::Requests(test::ReadTrace(trace))) {
        if (line.product != product || line.Command() == kCmdStreamLight ||
            line.Command() == kCmdReadStatus) {
            continue;
        }
        steps.push_back({line.Command(), line.Length(), line.Offset()});
    }
    return steps;
}

// BEGIN, the info block, the key table and its LED positions in chunks,
// END, then the current profile and its light record.
std::vector<Step> ConnectionSteps(uint8_t chunk) {
    std::vector<Step> steps{{kCmdBegin, 0, 0}};
    auto paged = [&steps, chunk](uint8_t command, size_t total, uint16_t base = 0) {
        for (size_t at = 0; at < total; at += chunk) {
            steps.push_back({command, static_cast<uint8_t>(std::min<size_t>(chunk, total - at)),
                             static_cast<uint16_t>(base + at)});
        }
    };
    paged(kCmdReadInfo, 34);
    paged(kCmdReadKeys, 126 * 3);
    paged(kCmdReadKeyExtra, 126);
    steps.push_back({kCmdEnd, 0, 0});
    steps.push_back({kCmdReadConfig, 1, 0});
    paged(kCmdReadConfig, 26);  // profile 0's record, at 25 x 0
    return steps;
}

bool Holds(const std::vector<Step>& steps, const std::vector<Step>& wanted, size_t from) {
    return steps.size() >= from + wanted.size() &&
           std::equal(wanted.begin(), wanted.end(), steps.begin() + static_cast<long>(from));
}

TEST(KeyboardProgram, OnTheCableTheConnectionReadsStateThenTheLightRecord) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    const auto wanted = ConnectionSteps(56);
    ASSERT_TRUE(WaitFor([&] { return Exchange(trace, "keyboard").size() >= wanted.size(); }));
    const auto steps = Exchange(trace, "keyboard");
    EXPECT_TRUE(Holds(steps, wanted, 0)) << testing::PrintToString(steps);
}

TEST(KeyboardProgram, ThroughTheReceiverTheSameIn24ByteChunksAfterTheProbe) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard-receiver",
            "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    const auto wanted = ConnectionSteps(24);
    ASSERT_TRUE(WaitFor([&] { return Exchange(trace, "keyboard-receiver").size() > wanted.size(); }));
    const auto steps = Exchange(trace, "keyboard-receiver");
    // Probes first (the receiver asks whether the keyboard is awake), then
    // the exchange itself.
    size_t first = 0;
    while (first < steps.size() && steps[first].command == kCmdReceiverProbe) {
        ++first;
    }
    EXPECT_GE(first, 1u);
    EXPECT_TRUE(Holds(steps, wanted, first)) << testing::PrintToString(steps);
}

TEST(KeyboardProgram, AProfileSwitchedOnTheKeyboardIsTheRecordReadOnItsNextNotification) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    const size_t connection = ConnectionSteps(56).size();
    ASSERT_TRUE(WaitFor([&] { return Exchange(trace, "keyboard").size() >= connection; }));
    ASSERT_EQ(test::Ctl("sim notify keyboard 0x1002").exitCode, 0);
    ASSERT_EQ(test::Ctl("sim notify keyboard 0x401").exitCode, 0);
    const std::vector<Step> reread{{kCmdReadConfig, 1, 0}, {kCmdReadConfig, 26, 50}};
    EXPECT_TRUE(WaitFor([&] {
        const auto steps = Exchange(trace, "keyboard");
        return steps.size() >= connection + 2 && Holds(steps, reread, steps.size() - 2);
    })) << testing::PrintToString(Exchange(trace, "keyboard"));
    // A code the notification report cannot carry is refused, not claimed sent.
    EXPECT_EQ(test::Ctl("sim notify keyboard 0x2000").exitCode, 1);
}

TEST(KeyboardProgram, ShowTellsWhatTheApplicationHoldsAndAKeyTheModelLacksIsUnmapped) {
    test::TempDir temp;
    // A smaller keyboard: the first 60 page keys only, in reverse LED order.
    Json::Value model(Json::objectValue);
    for (size_t k = 0; k < 60; ++k) {
        Json::Value code(Json::arrayValue);
        code.append(kPageKeyDefaults[k].type);
        code.append(kPageKeyDefaults[k].param1);
        code.append(kPageKeyDefaults[k].param2);
        model["keys"].append(code);
        model["leds"].append(static_cast<Json::UInt>(59 - k));
    }
    const std::string modelPath = temp.Path() + "/small.json";
    test::WriteText(modelPath, Json::FastWriter().write(model));
    App app("--simulate=keyboard",
            "QT_QPA_PLATFORM=offscreen KX520_SIM_MODEL=keyboard:" + test::Quoted(modelPath));
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Json::Value report;
    ASSERT_TRUE(WaitFor([&] {
        const auto run = test::Ctl("keyboard show --json");
        report = json::Parse(run.out).value_or(Json::Value());
        return run.exitCode == 0 && report["keys"].size() == 126 && !report["keys"][0]["deviceKey"].isNull();
    }));
    EXPECT_EQ(report["link"], "cable");
    EXPECT_EQ(report["profile"], "profile1");
    EXPECT_EQ(report["onboardProfile"], 0);
    EXPECT_EQ(report["keys"][59]["deviceKey"], 59);
    EXPECT_TRUE(report["keys"][64]["deviceKey"].isNull());
    EXPECT_EQ(report["keys"][64]["default"]["name"], "A");
    EXPECT_EQ(report["keys"][0]["current"]["name"], "Esc");
    EXPECT_EQ(report["light"]["brightness"], 4);
    EXPECT_TRUE(report["options"].isMember("pollingRate"));
    const auto text = test::Ctl("keyboard show");
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("64: A -"), std::string::npos) << text.out;
    EXPECT_EQ(test::Ctl("keyboard fly").exitCode, 2);
}

TEST(KeyboardProgram, TheBatteryOfTheReceiversKeyboardReachesTheSelector) {
    App app("--simulate=keyboard-receiver --automation", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::ShownBattery() == "85%"; })) << test::ShownBattery();
    ASSERT_EQ(test::Ctl("sim battery keyboard-receiver 40").exitCode, 0);
    // The power query runs every 5 s.
    EXPECT_TRUE(WaitFor([] { return test::ShownBattery() == "40%"; }, std::chrono::seconds(8)))
        << test::ShownBattery();
}

// The key table the last CMD_WRITE_KEYS packets to `product` carried.
std::vector<uint8_t> WrittenKeyTable(const std::string& trace, const std::string& product) {
    std::vector<uint8_t> table;
    for (const auto& line : test::Requests(test::ReadTrace(trace))) {
        if (line.product != product || line.Command() != kCmdWriteKeys) {
            continue;
        }
        const size_t end = static_cast<size_t>(line.Offset()) + line.Length();
        table.resize(std::max(table.size(), end));
        std::copy_n(line.report.begin() + kDataByte, line.Length(), table.begin() + line.Offset());
    }
    return table;
}

TEST(KeyboardProgram, AKeyGivenAMediaFunctionOnThePageReachesTheKeyboardAndTheProfile) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard --automation",
            "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Exchange(trace, "keyboard").size() >= ConnectionSteps(56).size(); }));
    Ui("click key_64");
    ASSERT_TRUE(WaitFor([] {
        return json::Parse(test::Ctl("ui get keyset_layout --json").out).value_or(Json::Value())["visible"].asBool();
    }));
    Ui("select keyset_function_combo 7");  // the media kind (items carry their kind)
    Ui("select keyset_media_combo 1");     // play
    // The keyboard telling of its own change re-reads it; the key being
    // assigned stays on the page.
    const size_t steps = Exchange(trace, "keyboard").size();
    ASSERT_EQ(test::Ctl("sim notify keyboard 0x401").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return Exchange(trace, "keyboard").size() > steps; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(json::Parse(test::Ctl("ui get keyset_layout --json").out).value_or(Json::Value())["visible"].asBool());
    Ui("click key_butt_keysave");
    Ui("click key_butt_prosave");
    std::vector<uint8_t> table;
    ASSERT_TRUE(WaitFor([&] { return (table = WrittenKeyTable(trace, "keyboard")).size() == 378; }));
    // The factory keyboard's key 64 is page position 64; nothing else changed.
    for (size_t k = 0; k < 126; ++k) {
        const KeyCode expected = k == 64 ? KeyCode{0x30, 0xCD, 0x00} : kPageKeyDefaults[k];
        EXPECT_EQ((KeyCode{table[3 * k], table[3 * k + 1], table[3 * k + 2]}), expected) << k;
    }
    const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/KX520 PRO Keyboard/keyboard/";
    const Json::Value list = json::ReadFile(folder + "ProfileList.ini").value_or(Json::Value());
    const std::string id = list["profilelist"][0]["profileUUID"].asString();
    const Json::Value profile = json::ReadFile(folder + id + ".Json").value_or(Json::Value());
    EXPECT_EQ(profile["Device"][0]["KeyList"][64]["Assignment"].asInt(), 0x30CD00);
    EXPECT_EQ(profile["Device"][0]["KeyList"][65]["Assignment"].asInt(), 0x200016);
    const Json::Value report = json::Parse(test::Ctl("keyboard show --json").out).value_or(Json::Value());
    EXPECT_EQ(report["keys"][64]["current"]["code"], (json::Parse("[48, 205, 0]").value()));
    // Saved: the edit buttons rest until the next change (the write's end
    // reaches the page after its last packet is on the trace).
    EXPECT_TRUE(WaitFor([] {
        return !json::Parse(test::Ctl("ui get key_butt_prosave --json").out).value_or(Json::Value())["enabled"].asBool();
    }));
}

TEST(KeyboardProgram, KeysAssignedFromAScriptAreWrittenOnSave) {
    test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Exchange(trace, "keyboard").size() >= ConnectionSteps(56).size(); }));
    EXPECT_EQ(test::Ctl("keyboard assign 64 key B --modifier shift").exitCode, 0);
    EXPECT_EQ(test::Ctl("keyboard assign 12 media play").exitCode, 0);
    EXPECT_EQ(test::Ctl("keyboard assign 30 macro 2 --repeat 3").exitCode, 1);  // no macros yet
    EXPECT_EQ(test::Ctl("keyboard assign 126 default").exitCode, 2);
    EXPECT_EQ(test::Ctl("keyboard assign 5 media dance").exitCode, 2);
    // What the keyboard's key page does not offer, a script cannot do either.
    for (const char* mouseOnly : {"keyboard assign 45 dpi up", "keyboard assign 46 gun 1"}) {
        const auto refused = test::Ctl(mouseOnly);
        EXPECT_EQ(refused.exitCode, 1) << mouseOnly;
        EXPECT_NE(refused.err.find("offers none"), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(WrittenKeyTable(trace, "keyboard").empty());  // assigned, not yet written
    ASSERT_EQ(test::Ctl("keyboard save").exitCode, 0);
    std::vector<uint8_t> table;
    ASSERT_TRUE(WaitFor([&] { return (table = WrittenKeyTable(trace, "keyboard")).size() == 378; }));
    EXPECT_EQ((KeyCode{table[3 * 64], table[3 * 64 + 1], table[3 * 64 + 2]}), (KeyCode{0x20, 0x02, 0x05}));
    EXPECT_EQ((KeyCode{table[3 * 12], table[3 * 12 + 1], table[3 * 12 + 2]}), (KeyCode{0x30, 0xCD, 0x00}));
    EXPECT_EQ((KeyCode{table[3 * 13], table[3 * 13 + 1], table[3 * 13 + 2]}), kPageKeyDefaults[13]);
    EXPECT_EQ((KeyCode{table[3 * 45], table[3 * 45 + 1], table[3 * 45 + 2]}), kPageKeyDefaults[45]);
    EXPECT_EQ((KeyCode{table[3 * 46], table[3 * 46 + 1], table[3 * 46 + 2]}), kPageKeyDefaults[46]);
    const auto shown = test::Ctl("keyboard show");
    EXPECT_NE(shown.out.find("64: LShift+B *"), std::string::npos) << shown.out;
}

// The colour at the middle of the upper half of a key's cap (the legend sits
// below it) in a screenshot of the main window.
QRgb CapColour(const QImage& shot, const std::string& key) {
    const Json::Value rect =
        json::Parse(test::Ctl("ui get " + key + " --json").out).value_or(Json::Value())["rect"];
    const double scale = shot.width() / 1000.0;  // the window is 1000 wide
    const int x = static_cast<int>((rect[0].asInt() + rect[2].asInt() / 2) * scale);
    const int y = static_cast<int>((rect[1].asInt() + rect[3].asInt() / 4) * scale);
    return shot.pixel(x, y);
}

TEST(KeyboardProgram, AKeyTheDeviceBaseLightsRedShowsRedAndAnUnlitKeyStaysDark) {
    test::TempDir temp;
    // A keyboard without A (page key 64): nothing lights its cap.
    Json::Value model(Json::objectValue);
    for (size_t k = 0; k < 126; ++k) {
        if (k == 64) {
            continue;
        }
        Json::Value code(Json::arrayValue);
        code.append(kPageKeyDefaults[k].type);
        code.append(kPageKeyDefaults[k].param1);
        code.append(kPageKeyDefaults[k].param2);
        model["keys"].append(code);
    }
    test::WriteText(temp.Path() + "/model.json", Json::FastWriter().write(model));
    App app("--simulate --automation", "QT_QPA_PLATFORM=offscreen KX520_SIM_MODEL=keyboard:" +
                                           test::Quoted(temp.Path() + "/model.json"));
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return test::OptionIs("keyboard", "current", true); }));
    // Once connected, the keyboard takes the setting (and writes its record).
    ASSERT_TRUE(WaitFor([] {
        return test::Ctl("lighting keyboard set --mode static --color '#ff0000' --multicolor off").exitCode == 0;
    }));
    const std::string png = temp.Path() + "/shot.png";
    QImage shot;
    QRgb esc = 0;
    ASSERT_TRUE(WaitFor([&] {
        // The light thread paints at its next steps.
        if (test::Ctl("ui screenshot " + test::Quoted(png)).exitCode != 0 || !shot.load(QString::fromStdString(png))) {
            return false;
        }
        esc = CapColour(shot, "key_0");
        return qRed(esc) > 150;
    })) << std::hex << esc << " " << test::Ctl("lighting keyboard --json").out << test::Ctl("status").out;
    EXPECT_GT(qRed(esc), 2 * qGreen(esc)) << std::hex << esc;
    EXPECT_GT(qRed(esc), 2 * qBlue(esc)) << std::hex << esc;
    const QRgb a = CapColour(shot, "key_64");
    EXPECT_LT(std::max({qRed(a), qGreen(a), qBlue(a)}), 90) << std::hex << a;
}

TEST(KeyboardProgram, ABrokenModelStopsTheStartWithItsReason) {
    test::TempDir temp;
    test::WriteText(temp.Path() + "/bad.json", R"({"keys": [[1, 2]]})");
    const auto run = test::Shell(std::string(KX520_PATH) + " --simulate=keyboard --exit-after 100",
                                 "QT_QPA_PLATFORM=offscreen KX520_SIM_MODEL=keyboard:" +
                                     test::Quoted(temp.Path() + "/bad.json"));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("KX520_SIM_MODEL"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace kx520
