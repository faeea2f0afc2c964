#pragma once

// The application run as a user runs it, for the tests on a private session
// bus: kx520 in the background, kx520ctl and shell commands beside it.
#include <json/json.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::test {

ProgramRun Shell(const std::string& command, const std::string& environment = "");
// kx520ctl with `arguments` (shell words), with `environment` before it.
ProgramRun Ctl(const std::string& arguments, const std::string& environment = "");
// The running application's status, null when it does not answer.
Json::Value Status();
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));
const Json::Value* OptionOf(const Json::Value& status, const char* kind);
bool OptionIs(const char* kind, const char* field, const Json::Value& wanted);
// A shell word for `text`, quoted for /bin/sh.
std::string Quoted(const std::string& text);
// kx520ctl ui with its words; the test fails with kx520ctl's reason.
void Ui(const std::string& words);
// kx520ctl ui WORDS --json, parsed; null when it answers no JSON.
Json::Value UiJson(const std::string& words);
// What `ui get NAME --json` tells of a control.
inline Json::Value UiControl(const std::string& name) { return UiJson("get " + name); }
// The device section of the first profile of a kind's folder ("keyboard",
// "MousePad", "HD") under $XDG_DATA_HOME, as it is on disk now.
Json::Value FirstProfileSection(const std::string& kindFolder);
bool TopWindowIs(const char* name);
// The battery the selector shows for the current device ("85%"), or "".
std::string ShownBattery();

// The application in the background for the length of a test; asked to
// quit at the end (killed when it does not).
class App {
public:
    explicit App(const std::string& arguments, const std::string& environment = "");
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // True once the first scan pass has shown the window.
    bool Ready();
    bool Exited();
    std::string Errors() const;
    int ExitCode() const { return m_exitCode; }

private:
    TempDir m_temp;
    pid_t m_pid = -1;
    bool m_exited = false;
    int m_exitCode = -1;
};

}  // namespace kx520::test
