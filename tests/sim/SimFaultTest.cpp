#include "sim/SimFault.h"

#include <gtest/gtest.h>

#include <thread>

#include "sim/PacketTrace.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520::sim {
namespace {

TEST(SimFaults, ParsesProductFaultAndCount) {
    const auto faults = ParseSimFaults("mouse:no-reply:2,mouse:usb-timing,headset:unplug:1", nullptr);
    ASSERT_TRUE(faults);
    ASSERT_EQ(faults->at("mouse").size(), 2u);
    EXPECT_EQ(faults->at("mouse")[0].fault, SimFault::NoReply);
    EXPECT_EQ(faults->at("mouse")[0].count, 2);
    EXPECT_EQ(faults->at("mouse")[1].fault, SimFault::UsbTiming);
    EXPECT_EQ(faults->at("mouse")[1].count, FaultSpec::kEvery);
    EXPECT_EQ(faults->at("headset")[0].count, 1);
    EXPECT_TRUE(ParseSimFaults("", nullptr)->empty());
}

TEST(SimFaults, MistakesAreRefusedWithTheReason) {
    std::string error;
    EXPECT_FALSE(ParseSimFaults("toaster:no-reply", &error));
    EXPECT_NE(error.find("toaster"), std::string::npos);
    EXPECT_FALSE(ParseSimFaults("mouse:explode", &error));
    EXPECT_NE(error.find("late-reply"), std::string::npos);  // lists the valid faults
    EXPECT_FALSE(ParseSimFaults("mouse:no-reply:x", &error));
    EXPECT_FALSE(ParseSimFaults("mouse:no-reply:-1", &error));
    // One rule with kx520ctl sim fault: 1 to a million requests.
    EXPECT_FALSE(ParseSimFaults("mouse:no-reply:0", &error));
    EXPECT_FALSE(ParseSimFaults("mouse:no-reply:1000001", &error));
    EXPECT_TRUE(ParseSimFaults("mouse:no-reply:1000000", &error));
    EXPECT_FALSE(ParseSimFaults("mouse", &error));
    EXPECT_FALSE(ParseSimFaults("mouse:no-reply:1:2", &error));
}

TEST(PacketTrace, LinesFromManyThreadsStayWhole) {
    test::TempDir temp;
    const std::string path = temp.Path() + "/trace";
    auto trace = PacketTrace::Open(path, nullptr);
    ASSERT_TRUE(trace);
    std::vector<uint8_t> report(64, 0xAB);
    report[0] = 0x04;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&trace, &report, t] {
            for (int i = 0; i < 500; ++i) {
                trace->Record(t % 2 == 0 ? "keyboard" : "mouse-receiver", t < 2, report);
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    const auto lines = test::ReadTrace(path);
    ASSERT_EQ(lines.size(), 2000u);
    for (const auto& line : lines) {
        ASSERT_EQ(line.report, report);  // 128 hex digits, lower case, id first
    }
    std::string error;
    EXPECT_FALSE(PacketTrace::Open(temp.Path() + "/missing/dir/trace", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kx520::sim
