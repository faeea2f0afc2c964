// kx520ctl run as a user runs it, against virtual devices.
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

#include "platform/DeviceLock.h"
#include "support/FakeMachine.h"
#include "support/HostileDescriptors.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace {

using kx520::test::ProgramRun;
using kx520::test::ReadAll;

ProgramRun Kx520ctl(const std::string& arguments, const std::string& environment = "") {
    return kx520::test::RunShell(environment + " '" KX520CTL_PATH "' " + arguments);
}

TEST(Kx520ctlList, SimulateAllListsExactlyTheElevenAcceptedInterfacesInSlotOrder) {
    const ProgramRun run = Kx520ctl("list --simulate=all --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    Json::Value root;
    ASSERT_TRUE(Json::Reader().parse(run.out, root)) << run.out;
    ASSERT_TRUE(root.isArray());
    ASSERT_EQ(root.size(), 11u);
    for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
        EXPECT_EQ(root[i]["slot"].asUInt(), i);
        // Never the ordinary keyboard (0x01/0x06) or mouse (0x01/0x02) collections.
        EXPECT_NE(root[i]["usagePage"].asInt(), 0x01);
        EXPECT_TRUE(root[i]["path"].asString().rfind("sim:", 0) == 0);
    }
    EXPECT_EQ(root[10]["vendorId"].asInt(), 0x0C76);
    EXPECT_EQ(root[10]["collection"].asInt(), 0);
    EXPECT_EQ(root[10]["product"], "headset");
    // Words a script can use as they are, beside the numbers.
    for (const Json::Value& item : root) {
        EXPECT_NE(item["product"], "unknown");
        EXPECT_TRUE(item["role"] == "command" || item["role"] == "notify") << item["role"];
    }
}

TEST(Kx520ctlList, EnvironmentChoosesTheDevicesAndTheFlagWins) {
    Json::Value root;
    const ProgramRun fromEnvironment = Kx520ctl("list --json", "KX520_SIMULATE=headset");
    ASSERT_EQ(fromEnvironment.exitCode, 0);
    ASSERT_TRUE(Json::Reader().parse(fromEnvironment.out, root));
    EXPECT_EQ(root.size(), 1u);
    const ProgramRun flagWins = Kx520ctl("--simulate=mouse-receiver list --json", "KX520_SIMULATE=headset");
    ASSERT_TRUE(Json::Reader().parse(flagWins.out, root));
    ASSERT_EQ(root.size(), 2u);
    EXPECT_EQ(root[0]["slot"].asInt(), 6);
    const ProgramRun none = Kx520ctl("list");
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, "No supported device found.\n");
}

TEST(Kx520ctlUsage, MistakesExitWithTwoAndSayWhy) {
    const ProgramRun unknownDevice = Kx520ctl("list --simulate=toaster");
    EXPECT_EQ(unknownDevice.exitCode, 2);
    EXPECT_NE(unknownDevice.err.find("mousepad"), std::string::npos);
    EXPECT_EQ(Kx520ctl("frobnicate").exitCode, 2);
    EXPECT_EQ(Kx520ctl("").exitCode, 2);
    EXPECT_EQ(Kx520ctl("list --nope").exitCode, 2);
    const ProgramRun help = Kx520ctl("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("udev-rules"), std::string::npos);
}

// The largest resident size any finished child of this test reached, in KiB.
long LargestChildKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

TEST(Kx520ctlHostileDevice, AnOverBudgetDescriptorIsReportedUnusableWithoutExhaustingMemory) {
    kx520::test::FakeHidNode node;
    node.name = "hidraw0";
    node.instance = "0003:320F:50C2.0001";
    node.vendorId = 0x320F;
    node.productId = 0x50C2;
    node.interfaceNumber = 1;
    // A 4 KB descriptor whose fourth collection, where the keyboard's command
    // interface sits, has 900 array fields of 12288 elements.
    node.descriptor = kx520::test::QuadraticUsageListDescriptor(900, 12288, 3);
    ASSERT_LE(node.descriptor.size(), 4096u);
    kx520::test::FakeMachine fake;
    fake.AddNode(node);
    const std::string machine = fake.Environment();

    const ProgramRun list = Kx520ctl("list", machine);
    EXPECT_EQ(list.exitCode, 1) << list.err;
    EXPECT_NE(list.err.find("col04"), std::string::npos) << list.err;
    EXPECT_NE(list.err.find("report descriptor refused"), std::string::npos) << list.err;
    const ProgramRun state = Kx520ctl("state keyboard", machine);
    EXPECT_EQ(state.exitCode, 1) << state.err;
    EXPECT_NE(state.err.find("report descriptor refused"), std::string::npos) << state.err;
    EXPECT_EQ(state.out, "");
    // Before the budget this shape asked for some 20 GB and aborted.
    EXPECT_LT(LargestChildKiB(), 64 * 1024);
}

// One line on standard error that says what is wrong and where help is.
void ExpectOneLineUsageError(const ProgramRun& run, const std::string& mentions) {
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
}

TEST(Kx520ctlUsage, HelpAndVersionAnswerAndMistakesTakeOneLine) {
    for (const char* help : {"-h", "--help"}) {
        const ProgramRun run = Kx520ctl(help);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.out.find("Commands:"), std::string::npos);
    }
    const ProgramRun version = Kx520ctl("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("kx520ctl ", 0), 0u) << version.out;
    ExpectOneLineUsageError(Kx520ctl("bogus"), "bogus");
    ExpectOneLineUsageError(Kx520ctl("--simulate= list"), "--simulate=");
    ExpectOneLineUsageError(Kx520ctl("--simulate=keyboard,,mouse list"), "empty name");
    // Checked before the application is asked: no session bus is needed.
    ExpectOneLineUsageError(Kx520ctl("sim unplug foo"), "mouse-receiver");
    ExpectOneLineUsageError(Kx520ctl("sim unplug"), "mouse-receiver");
    ExpectOneLineUsageError(Kx520ctl("sim fault keyboard bogus"), "usb-timing");
    ExpectOneLineUsageError(Kx520ctl("sim"), "plug");
    const ProgramRun skinshot = kx520::test::RunShell("'" KX520_SKINSHOT_PATH "' --version");
    EXPECT_EQ(skinshot.exitCode, 0);
    EXPECT_EQ(skinshot.out.rfind("kx520-skinshot ", 0), 0u);
}

TEST(Kx520ctlUdevRules, PrintsAndWritesTheSameRule) {
    kx520::test::TempDir temp;
    const ProgramRun printed = Kx520ctl("udev-rules");
    ASSERT_EQ(printed.exitCode, 0);
    const std::string file = temp.Path() + "/70-kx520.rules";
    ASSERT_EQ(Kx520ctl("udev-rules --output '" + file + "'").exitCode, 0);
    EXPECT_EQ(ReadAll(file), printed.out);
    EXPECT_NE(printed.out.find("TAG+=\"uaccess\""), std::string::npos);
    EXPECT_EQ(Kx520ctl("udev-rules --output /nonexistent/dir/x.rules").exitCode, 1);
}

TEST(Kx520ctlState, ReadsAVirtualDeviceAndSaysHowItWent) {
    const ProgramRun keyboard = Kx520ctl("state keyboard --simulate --json");
    ASSERT_EQ(keyboard.exitCode, 0) << keyboard.err;
    Json::Value root;
    ASSERT_TRUE(Json::Reader().parse(keyboard.out, root));
    EXPECT_EQ(root["result"].asInt(), 1);
    EXPECT_EQ(root["info"].size(), 34u);
    EXPECT_EQ(root["keys"].size(), 378u);
    EXPECT_EQ(root["keyExtra"].size(), 126u);
    EXPECT_FALSE(root.isMember("status"));

    const ProgramRun failing =
        Kx520ctl("state mouse --simulate=mouse --json", "KX520_SIM_FAULTS=mouse:status-fe");
    EXPECT_EQ(failing.exitCode, 1);
    ASSERT_TRUE(Json::Reader().parse(failing.out, root));
    EXPECT_EQ(root["result"].asInt(), -103);
    EXPECT_EQ(root["info"].size(), 0u);  // nothing was read: no zeros shown as if it had been

    EXPECT_EQ(Kx520ctl("state headset --simulate=mouse").exitCode, 2);  // not attached
    EXPECT_EQ(Kx520ctl("state trackball --simulate").exitCode, 2);
    EXPECT_EQ(Kx520ctl("state --simulate").exitCode, 2);
    EXPECT_EQ(Kx520ctl("list --simulate", "KX520_SIM_FAULTS=mouse:explode").exitCode, 2);
}

TEST(Kx520ctlState, RefusesARealDeviceAnotherProgramHoldsButNeverAVirtualOne) {
    std::string error;
    const auto held = kx520::DeviceLock::TryAcquire("mouse", &error);
    ASSERT_TRUE(held) << error;
    kx520::test::FakeMachine machine;
    machine.AddProduct("mouse-receiver", 1);
    const ProgramRun refused = Kx520ctl("state mouse-receiver", machine.Environment());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("mouse"), std::string::npos);
    EXPECT_EQ(refused.out, "");
    // Virtual devices are private to the process that made them.
    const ProgramRun simulated = Kx520ctl("--simulate=mouse-receiver state mouse-receiver --json");
    EXPECT_EQ(simulated.exitCode, 0) << simulated.err;
    const auto keyboard = kx520::DeviceLock::TryAcquire("keyboard", &error);
    ASSERT_TRUE(keyboard) << error;
    EXPECT_EQ(Kx520ctl("--simulate=keyboard state keyboard --json").exitCode, 0);
}

TEST(Kx520ctlTrace, EveryReportOfTheRunIsTraced) {
    kx520::test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    ASSERT_EQ(Kx520ctl("state mousepad --simulate=mousepad", "KX520_SIM_TRACE='" + trace + "'")
                  .exitCode,
              0);
    const auto lines = kx520::test::ReadTrace(trace);
    // Begin, two info packets (24 + 10 bytes), end: a request and a reply each.
    ASSERT_EQ(lines.size(), 8u);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].product, "mousepad");
        EXPECT_EQ(lines[i].out, i % 2 == 0);
        EXPECT_EQ(lines[i].report.size(), 64u);
    }
    EXPECT_EQ(lines[0].Command(), 0x01);
    EXPECT_EQ(lines[6].Command(), 0x02);
    EXPECT_LE(lines.front().ms, lines.back().ms);
}

TEST(Skinshot, TheGalleryRendersAndScalesWithTheDpi) {
    kx520::test::TempDir temp;
    const std::string normal = temp.Path() + "/96.png";
    const std::string large = temp.Path() + "/144.png";
    const std::string skinshot = KX520_SKINSHOT_PATH;
    auto run = [&](const std::string& arguments) {
        const std::string command = "QT_QPA_PLATFORM=offscreen '" + skinshot + "' " + arguments +
                                    " >/dev/null 2>&1 </dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(run("XML/gallery.xml '" + normal + "' --lang lang/en.xml"), 0);
    ASSERT_EQ(run("XML/gallery.xml '" + large + "' --dpi 144"), 0);
    const auto [w96, h96] = kx520::test::PngSize(normal);
    const auto [w144, h144] = kx520::test::PngSize(large);
    ASSERT_GT(w96, 0);
    EXPECT_EQ(w144 * 2, w96 * 3);
    EXPECT_EQ(h144 * 2, h96 * 3);
    EXPECT_EQ(run("XML/gallery.xml '" + normal + "' --dpi 100"), 2);
    EXPECT_EQ(run("XML/no-such-layout.xml '" + normal + "'"), 1);
}

TEST(Kx520ctlProfile, ProfilesAreBackedUpAndRestoredFromAScript) {
    kx520::test::TempDir temp;
    const std::string env = "XDG_DATA_HOME='" + temp.Sub("data") + "'";
    EXPECT_EQ(Kx520ctl("profile list mouse", env).out, "No profiles yet.\n");
    const std::string source = temp.Path() + "/Sniper.json";
    std::ofstream(source) << R"({"profilename": "theirs", "profileUUID": "../../x",
                                "Device": [{"LightInfo": {"SelectItem": 5}}]})";
    ASSERT_EQ(Kx520ctl("profile import mouse '" + source + "'", env).exitCode, 0);
    ASSERT_EQ(Kx520ctl("profile import mouse '" + source + "'", env).out, "Sniper(1)\n");

    Json::Value list;
    const ProgramRun listed = Kx520ctl("profile list mouse --json", env);
    ASSERT_TRUE(Json::Reader().parse(listed.out, list)) << listed.out;
    ASSERT_EQ(list.size(), 3u);  // the first run's profile1, then the two imports
    EXPECT_EQ(list[0]["name"], "profile1");
    EXPECT_TRUE(list[0]["selected"].asBool());
    EXPECT_EQ(list[1]["name"], "Sniper");
    EXPECT_NE(list[1]["id"], list[2]["id"]);

    const std::string backup = temp.Path() + "/backup.json";
    ASSERT_EQ(Kx520ctl("profile export mouse '" + backup + "' --profile sniper", env).exitCode, 0);
    Json::Value exported;
    ASSERT_TRUE(Json::Reader().parse(ReadAll(backup), exported));
    EXPECT_EQ(exported["Device"][0]["LightInfo"]["SelectItem"], 5);
    EXPECT_EQ(exported["profileUUID"], list[1]["id"]);

    Json::Value shown;
    ASSERT_TRUE(Json::Reader().parse(
        Kx520ctl("profile show mouse --profile 'SNIPER(1)' --json", env).out, shown));
    EXPECT_EQ(shown["profilename"], "Sniper(1)");

    EXPECT_EQ(Kx520ctl("profile show mouse --profile nobody", env).exitCode, 1);
    EXPECT_EQ(Kx520ctl("profile list toaster", env).exitCode, 2);
    EXPECT_EQ(Kx520ctl("profile import mouse", env).exitCode, 2);
    std::ofstream(temp.Path() + "/junk.json") << "[1, 2]";
    EXPECT_EQ(Kx520ctl("profile import mouse '" + temp.Path() + "/junk.json'", env).exitCode, 1);
}

TEST(Kx520ctlProfile, NamesWithEscapeSequencesNeverReachTheTerminal) {
    kx520::test::TempDir temp;
    const std::string env = "XDG_DATA_HOME='" + temp.Sub("data") + "'";
    // A shared profile whose file name clears the screen and retitles the terminal.
    const std::string source = temp.Path() + "/evil\x1b[2J\x1b]0;owned\x07.json";
    std::ofstream(source) << R"({"profilename": "x", "profileUUID": "y"})";
    const ProgramRun imported = Kx520ctl("profile import mouse \"" + source + "\"", env);
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    for (const std::string command : {"profile list mouse", "profile show mouse --profile \"$(printf 'evil\\033[2J\\033]0;owned\\007')\"",
                                      "profile list mouse --json"}) {
        const ProgramRun run = Kx520ctl(command, env);
        EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << command << ": " << run.out;
        EXPECT_EQ(run.out.find('\x07'), std::string::npos) << command;
    }
    EXPECT_EQ(imported.out.find('\x1b'), std::string::npos);
    EXPECT_NE(Kx520ctl("profile show mouse --profile \"$(printf 'evil\\033[2J\\033]0;owned\\007')\"", env)
                  .out.find("name: evil"),
              std::string::npos);
    EXPECT_NE(Kx520ctl("profile list mouse", env).out.find("evil\\x1b[2J"), std::string::npos);
}

}  // namespace
