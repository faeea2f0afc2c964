// A device that stops answering while the application writes to it, as the
// running application meets it: the window answers other calls throughout,
// the writer is told the device did not answer, and the next write after
// the fault is whole.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <string>

#include "app/AppProgram.h"
#include "platform/SafeJson.h"
#include "protocol/CommandSet.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace std::chrono_literals;
using test::App;
using test::WaitFor;

// kx520ctl in the background; its exit code once it has ended.
class Background {
public:
    Background(const std::string& words, const test::TempDir& temp)
        : m_rc(temp.Path() + "/rc"), m_err(temp.Path() + "/err") {
        std::remove(m_rc.c_str());
        test::Shell("( '" KX520CTL_PATH "' " + words + " >/dev/null 2>'" + m_err + "'; echo $? >'" + m_rc +
                    ".part'; mv '" + m_rc + ".part' '" + m_rc + "' ) >/dev/null 2>&1 &");
    }
    bool Done() const { return !test::ReadAll(m_rc).empty(); }
    int ExitCode() const { return std::stoi(test::ReadAll(m_rc)); }
    std::string Errors() const { return test::ReadAll(m_err); }

private:
    std::string m_rc;
    std::string m_err;
};

TEST(ExchangeQueueProgram, ASilentDeviceNeverHoldsTheWindowAndTheWriteAfterItIsWhole) {
    // The receiver's probe gives up in 300 ms: one lost probe ends its write.
    // It is given two, as the page's own link check (every 2 s) may take one.
    const struct {
        const char* product;
        const char* kind;
        const char* before;  // what the write carries
        const char* write;
        uint8_t command;     // the write's own command, in the trace once it goes through
        int lost;            // requests the device leaves unanswered
        bool slow;           // the write waits out time-outs of a second each
    } writes[] = {
        {"keyboard", "keyboard", "keyboard assign 10 key B", "keyboard save", protocol::kCmdWriteKeys, 3, true},
        {"mouse", "mouse", "mouse dpi active 2", "mouse dpi set 1 1200", protocol::kCmdWriteConfig, 3, true},
        {"mouse", "mouse", "mouse show", "mouse shoot write", protocol::kCmdWriteShoot, 3, true},
        {"mouse-receiver", "mouse", "mouse show", "mouse save", protocol::kCmdWriteKeys, 2, false},
    };
    for (const auto& write : writes) {
        SCOPED_TRACE(write.write + std::string(" on ") + write.product);
        test::TempDir temp;
        const std::string trace = temp.Path() + "/trace";
        App app(std::string("--simulate=") + write.product + " --automation",
                "QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + trace + "'");
        ASSERT_TRUE(app.Ready()) << app.Errors();
        ASSERT_TRUE(WaitFor([&] { return test::OptionIs(write.kind, "connected", true); }));
        if (std::string(write.kind) == "mouse") {  // the mouse has told its scale
            ASSERT_TRUE(WaitFor([] {
                const auto shown = json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value());
                return shown["scale"]["step"].asInt() > 0;
            }));
        }
        ASSERT_EQ(test::Ctl(write.before).exitCode, 0);
        ASSERT_TRUE(WaitFor([&] { return !test::OptionIs(write.kind, "busy", true); }));
        ASSERT_EQ(test::Ctl(std::string("sim fault ") + write.product + " no-reply " + std::to_string(write.lost))
                      .exitCode, 0);
        Background writer(write.write, temp);
        ASSERT_TRUE(WaitFor([&] { return test::OptionIs(write.kind, "busy", true) || writer.Done(); }));
        // The window answers while the device keeps the write waiting.
        EXPECT_EQ(test::Ctl("status").exitCode, 0);
        EXPECT_EQ(test::Ctl(std::string(write.kind) == "mouse" ? "mouse show" : "keyboard show").exitCode, 0);
        if (write.slow) {
            EXPECT_FALSE(writer.Done()) << "the write ended before the window was asked";
        }
        ASSERT_TRUE(WaitFor([&] { return writer.Done(); }, 60s));
        EXPECT_EQ(writer.ExitCode(), 1);
        EXPECT_NE(writer.Errors().find("did not"), std::string::npos) << writer.Errors();
        // The fault is gone: the same write goes through, its own command with it.
        ASSERT_TRUE(WaitFor([&] { return !test::OptionIs(write.kind, "busy", true); }));
        // As the message says: a moment later, once the device is free again.
        // A write that failed on its first request leaves the rest of the
        // fault to whatever asks next (the light stream, or this write): it
        // goes through once the fault is spent.
        test::ProgramRun again;
        WaitFor([&] { return (again = test::Ctl(write.write)).exitCode == 0; }, 20s);
        EXPECT_EQ(again.exitCode, 0) << again.err;
        EXPECT_FALSE(test::WrittenImage(trace, write.product, write.command).empty());
    }
}

}  // namespace
}  // namespace kx520
