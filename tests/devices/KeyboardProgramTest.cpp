// The keyboard as the running application drives it: what reaches the
// virtual keyboard, packet by packet, when it connects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/CommandSet.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"
#include "app/AppProgram.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::App;
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

}  // namespace
}  // namespace kx520
