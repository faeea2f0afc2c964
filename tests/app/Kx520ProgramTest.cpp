// The application run as a user runs it, headless, on a private session bus
// (each test under its own dbus-run-session), with virtual devices plugged
// and unplugged from outside with kx520ctl.
#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <json/json.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "protocol/CommandSet.h"
#include "support/FakeMachine.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"
#include "AppProgram.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

using kx520::test::PngSize;
using kx520::test::ProgramRun;
using kx520::test::ReadAll;

using kx520::test::App;
using kx520::test::Ctl;
using kx520::test::OptionIs;
using kx520::test::OptionOf;
using kx520::test::Shell;
using kx520::test::Status;
using kx520::test::WaitFor;

TEST(Kx520Program, WithoutADisplayItWritesTheScreenshotAndExitsZero) {
    kx520::test::TempDir temp;
    const std::string png = temp.Path() + "/out.png";
    const ProgramRun run = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" KX520_PATH
                          "' --simulate=all --screenshot '" + png + "' --exit-after 3000");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto [width, height] = PngSize(png);
    EXPECT_EQ(width, 1000u);  // after the fit to a 96-DPI screen
    EXPECT_EQ(height, 640u);
}

TEST(Kx520Program, WithoutASessionBusItStillRuns) {
    kx520::test::TempDir temp;
    const std::string png = temp.Path() + "/out.png";
    const ProgramRun run = Shell("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent QT_QPA_PLATFORM=offscreen '" KX520_PATH
                          "' --simulate=keyboard --screenshot '" + png + "' --exit-after 1500");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GT(PngSize(png).first, 0u);
}

TEST(Kx520Program, UsageMistakesExitWithTwo) {
    EXPECT_EQ(Shell("'" KX520_PATH "' --simulate=toaster").exitCode, 2);
    EXPECT_EQ(Shell("'" KX520_PATH "' --exit-after soon").exitCode, 2);
    const ProgramRun stray = Shell("'" KX520_PATH "' stray");
    EXPECT_EQ(stray.exitCode, 2);
    EXPECT_EQ(std::count(stray.err.begin(), stray.err.end(), '\n'), 1) << stray.err;
    EXPECT_EQ(Shell("'" KX520_PATH "' --simulate=").exitCode, 2);
    const ProgramRun version = Shell("'" KX520_PATH "' --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("kx520 ", 0), 0u) << version.out;
    EXPECT_EQ(Shell("'" KX520_PATH "' -h").exitCode, 0);
}

TEST(Kx520Program, ASecondStartRaisesTheFirstAndExitsZero) {
    App first("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(first.Ready()) << first.Errors();
    const int before = Status()["instance_messages"].asInt();
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun second = Shell("QT_QPA_PLATFORM=offscreen '" KX520_PATH "' --simulate=keyboard");
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_TRUE(WaitFor([before] { return Status()["instance_messages"].asInt() == before + 1; }));
    EXPECT_FALSE(first.Exited());
}

TEST(Kx520Program, DevicesComeAndGoAndTheMouseMovesBetweenItsLinks) {
    kx520::test::TempDir temp;
    const std::string trace = temp.Path() + "/trace";
    App app("--simulate=mouse-receiver",
            "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return OptionIs("mouse", "current", true); }));
    EXPECT_TRUE(OptionIs("mouse", "link", "receiver"));

    ASSERT_EQ(Ctl("sim plug mouse").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return OptionIs("mouse", "link", "cable"); }));
    EXPECT_TRUE(OptionIs("mouse", "current", true));

    ASSERT_EQ(Ctl("sim plug keyboard").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return OptionIs("keyboard", "shown", true); }));
    EXPECT_TRUE(OptionIs("mouse", "current", true));

    // Back on the receiver, the application asks it whether the mouse is awake.
    const size_t probesBefore = [&trace] {
        size_t probes = 0;
        for (const auto& line : kx520::test::Requests(kx520::test::ReadTrace(trace))) {
            probes += line.product == "mouse-receiver" &&
                      line.Command() == kx520::protocol::kCmdReceiverProbe;
        }
        return probes;
    }();
    ASSERT_EQ(Ctl("sim unplug mouse").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return OptionIs("mouse", "link", "receiver"); }));
    size_t probes = 0;
    for (const auto& line : kx520::test::Requests(kx520::test::ReadTrace(trace))) {
        probes += line.product == "mouse-receiver" &&
                  line.Command() == kx520::protocol::kCmdReceiverProbe;
    }
    EXPECT_GT(probes, probesBefore);

    ASSERT_EQ(Ctl("sim unplug mouse-receiver").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return OptionIs("mouse", "shown", false); }));
    // The link check may hide the option a moment before the removal moves the selection.
    EXPECT_TRUE(WaitFor([] { return OptionIs("keyboard", "current", true); }));
    ASSERT_EQ(Ctl("sim unplug keyboard").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return Status()["no_device_link"].asBool(); }));

    EXPECT_EQ(Ctl("sim plug toaster").exitCode, 2);  // a usage error, as any unknown name
    EXPECT_EQ(Ctl("sim notify headset").exitCode, 1);  // not plugged
}

TEST(Kx520Program, ToolsKeepOffADeviceTheApplicationHasOpen) {
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] { return OptionIs("keyboard", "connected", true); }));
    // A real keyboard (on a fake sysfs) is the application's while it has one open.
    kx520::test::FakeMachine fake;
    fake.AddProduct("keyboard", 1);
    const std::string machine = fake.Environment();
    const ProgramRun refused = Ctl("state keyboard", machine);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("close the KX520 application"), std::string::npos) << refused.err;
    // A virtual keyboard of the tool's own is no one else's.
    EXPECT_EQ(Ctl("--simulate=keyboard state keyboard").exitCode, 0);
    ASSERT_EQ(Ctl("sim unplug keyboard").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return OptionIs("keyboard", "connected", false); }));
    const ProgramRun free = Ctl("state keyboard", machine);
    EXPECT_EQ(free.err.find("close the KX520 application"), std::string::npos) << free.err;
}

TEST(Kx520Program, LightCommandMessageFromAScriptSwitchesHostLighting) {
    App app("--simulate=mouse", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_EQ(Ctl("send LightCommandMessage 1 0").exitCode, 0);
    EXPECT_TRUE(WaitFor([] { return !Status()["light_control"].asBool(); }));
    ASSERT_EQ(Ctl("send {4695579F-999A-41d4-9FAF-EFFCE93EBF17} 1 1").exitCode, 0);
    EXPECT_TRUE(WaitFor([] { return Status()["light_control"].asBool(); }));
    // Messages the application never takes from others are refused here.
    EXPECT_EQ(Ctl("send InstanceMessage 0 1").exitCode, 1);
    EXPECT_EQ(Ctl("send NoSuchMessage 0 1").exitCode, 2);
}

TEST(Kx520Program, OtherProgramsHearTheLightStateAtStartUp) {
    kx520::test::TempDir temp;
    const std::string log = temp.Path() + "/monitor";
    pid_t monitor = -1;
    const std::string command = "exec dbus-monitor --session "
                                "\"type='signal',interface='org.kx520.Application',member='LightState'\" >'" +
                                log + "' 2>/dev/null";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    ASSERT_EQ(posix_spawn(&monitor, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    std::this_thread::sleep_for(300ms);  // the monitor is listening
    {
        App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        EXPECT_TRUE(WaitFor([&log] { return ReadAll(log).find("member=LightState") != std::string::npos; }));
    }
    ::kill(monitor, SIGTERM);
    ::waitpid(monitor, nullptr, 0);
    const std::string seen = ReadAll(log);
    EXPECT_NE(seen.find("uint32 1"), std::string::npos) << seen;
    EXPECT_NE(seen.find("int64 1"), std::string::npos) << seen;
}

TEST(Kx520Program, SuspendAndResumeThroughTheTestInterface) {
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    const std::string call =
        "dbus-send --session --print-reply --dest=org.kx520.Application /org/kx520/Application "
        "org.kx520.Application.PrepareForSleep boolean:";
    ASSERT_EQ(Shell(call + "true").exitCode, 0);
    ASSERT_TRUE(WaitFor([] { return !Status()["awake"].asBool(); }));
    // Devices still come and go while suspended.
    ASSERT_EQ(Ctl("sim plug mousepad").exitCode, 0);
    EXPECT_TRUE(WaitFor([] { return OptionIs("mousepad", "shown", true); }));
    ASSERT_EQ(Shell(call + "false").exitCode, 0);
    EXPECT_TRUE(WaitFor([] { return Status()["awake"].asBool(); }));
}

// Sends a call to the application as any program on the bus may, without
// waiting for an answer: `bytes` as CopyData's data, or as PostMessage's name.
bool SendHugeCall(bool copyData, size_t bytes) {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (bus == nullptr) {
        dbus_error_free(&error);
        return false;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    DBusMessage* call = dbus_message_new_method_call("org.kx520.Application", "/org/kx520/Application",
                                                     "org.kx520.Application",
                                                     copyData ? "CopyData" : "PostMessage");
    std::string payload(bytes, 'A');
    const char* text = payload.c_str();
    const char* data = payload.data();
    const int length = static_cast<int>(payload.size());
    const dbus_uint32_t kind = 1;
    const dbus_int64_t lParam = 0;
    const bool built =
        copyData ? dbus_message_append_args(call, DBUS_TYPE_UINT32, &kind, DBUS_TYPE_ARRAY,
                                            DBUS_TYPE_BYTE, &data, length, DBUS_TYPE_INVALID)
                 : dbus_message_append_args(call, DBUS_TYPE_STRING, &text, DBUS_TYPE_UINT32, &kind,
                                            DBUS_TYPE_INT64, &lParam, DBUS_TYPE_INVALID);
    const bool sent = built && dbus_connection_send(bus, call, nullptr);
    dbus_connection_flush(bus);
    dbus_message_unref(call);
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    return sent;
}

TEST(Kx520Program, HugeCallsFromAnotherProgramNeverLeaveItDeaf) {
    App app("--simulate=keyboard", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    // 64 MiB to CopyData, then 63 MiB as a message name: each once left the
    // application running, owning its name and answering nothing.
    auto answers = [] {
        return Shell("timeout 5 '" KX520CTL_PATH "' status --json").exitCode == 0;
    };
    ASSERT_TRUE(SendHugeCall(true, 64u << 20));
    EXPECT_TRUE(WaitFor(answers, 5s)) << app.Errors();
    ASSERT_TRUE(SendHugeCall(false, 63u << 20));
    EXPECT_TRUE(WaitFor(answers, 5s)) << app.Errors();
    EXPECT_TRUE(WaitFor([] { return OptionIs("keyboard", "connected", true); }));
    // Still the one instance: a second start hands over to it.
    const ProgramRun second =
        Shell("QT_QPA_PLATFORM=offscreen timeout 10 '" KX520_PATH "' --simulate=keyboard");
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_FALSE(app.Exited());
    // Calls of a sane size still work.
    EXPECT_EQ(Ctl("send LightCommandMessage 1 0").exitCode, 0);
}

TEST(Kx520Program, ProfileImportsWaitUntilTheRunningApplicationLetsGoOfTheProfiles) {
    kx520::test::TempDir temp;
    const std::string env = "XDG_DATA_HOME='" + temp.Sub("data") + "'";
    const std::string source = temp.Path() + "/A.json";
    std::ofstream(source) << R"({"profilename": "a", "profileUUID": "b"})";
    {
        App app("--simulate=keyboard", env + " QT_QPA_PLATFORM=offscreen");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        const ProgramRun refused = Ctl("profile import keyboard '" + source + "'", env);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.err.find("running"), std::string::npos) << refused.err;
        const ProgramRun listed = Ctl("profile list keyboard", env);
        EXPECT_EQ(listed.out.find("A  ("), std::string::npos) << listed.out;
    }
    // Once it has ended, the same import goes through.
    EXPECT_EQ(Ctl("profile import keyboard '" + source + "'", env).exitCode, 0);
    EXPECT_NE(Ctl("profile list keyboard", env).out.find("A  ("), std::string::npos);
}

TEST(Kx520Program, AFifoInPlaceOfTheProfileListStopsNeitherTheStartNorTheTools) {
    kx520::test::TempDir temp;
    const std::string env = "XDG_DATA_HOME='" + temp.Sub("data") + "'";
    const std::string folder = temp.Sub("data/KX520 PRO Keyboard/keyboard");
    ASSERT_EQ(::mkfifo((folder + "/ProfileList.ini").c_str(), 0600), 0);
    // A plain open of a FIFO waits for a writer for ever.
    const ProgramRun listed = Shell("timeout 5 '" KX520CTL_PATH "' profile list keyboard", env);
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    App app("--simulate=keyboard", env + " QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    EXPECT_TRUE(WaitFor([] { return OptionIs("keyboard", "connected", true); }));
}

TEST(Kx520Program, QuittingEndsItWithExitCodeZero) {
    App app("--simulate=keyboard,mouse-receiver", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_EQ(Shell("dbus-send --session --print-reply --dest=org.kx520.Application "
                    "/org/kx520/Application org.kx520.Application.Quit")
                  .exitCode,
              0);
    ASSERT_TRUE(WaitFor([&app] { return app.Exited(); }, 5s));
    EXPECT_EQ(app.ExitCode(), 0) << app.Errors();
    EXPECT_EQ(Ctl("status").exitCode, 1);  // the name is gone with it
}

TEST(Kx520Program, AFreshInstallStoresItsLanguageChoice) {
    App app("", "QT_QPA_PLATFORM=offscreen");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    const std::string settings =
        std::string(std::getenv("XDG_CONFIG_HOME")) + "/KX520 PRO Keyboard/settings.ini";
    EXPECT_NE(ReadAll(settings).find("LANGUAGE=1033"), std::string::npos);
    EXPECT_TRUE(Status()["no_device_link"].asBool());
    EXPECT_EQ(Ctl("sim plug mouse").exitCode, 1);  // no virtual devices without --simulate
    // A kind never seen gets no page, so nothing of it is written.
    for (const char* kind : {"mouse", "keyboard"}) {
        const std::string folder =
            std::string(std::getenv("XDG_DATA_HOME")) + "/KX520 PRO Keyboard/" + kind + "/";
        EXPECT_FALSE(std::filesystem::exists(folder + "ProfileList.ini")) << kind;
    }
}

}  // namespace
