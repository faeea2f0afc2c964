#include "AppProgram.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <thread>

#include "platform/SafeJson.h"

extern char** environ;

namespace kx520::test {

using namespace std::chrono_literals;

ProgramRun Shell(const std::string& command, const std::string& environment) {
    return RunShell(environment.empty() ? command : environment + " " + command);
}

ProgramRun Ctl(const std::string& arguments, const std::string& environment) {
    return Shell(environment + " '" KX520CTL_PATH "' " + arguments);
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

void Ui(const std::string& words) {
    const ProgramRun run = Ctl("ui " + words);
    ASSERT_EQ(run.exitCode, 0) << "ui " << words << ": " << run.err;
}

Json::Value UiJson(const std::string& words) {
    Json::Value root;
    Json::Reader().parse(Ctl("ui " + words + " --json").out, root);
    return root;
}

Json::Value FirstProfileSection(const std::string& kindFolder) {
    const std::string folder = std::string(std::getenv("XDG_DATA_HOME")) + "/KX520 PRO Keyboard/" + kindFolder + "/";
    const Json::Value list = json::ReadFile(folder + "ProfileList.ini").value_or(Json::Value());
    const std::string id = list["profilelist"][0]["profileUUID"].asString();
    return json::ReadFile(folder + id + ".Json").value_or(Json::Value())["Device"][0];
}

bool TopWindowIs(const char* name) {
    const Json::Value windows = UiJson("windows");
    return windows.isArray() && !windows.empty() && windows[0]["name"].asString() == name;
}

std::string ShownBattery() {
    const Json::Value controls = UiJson("controls");
    for (const Json::Value& control : controls) {
        if (control["name"] == "device_power_value" && control["visible"].asBool() &&
            !control["text"].asString().empty()) {
            return control["text"].asString();
        }
    }
    return {};
}

Json::Value Status() {
    const ProgramRun run = Ctl("status --json");
    Json::Value root;
    if (run.exitCode == 0) {
        Json::Reader().parse(run.out, root);
    }
    return root;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

const Json::Value* OptionOf(const Json::Value& status, const char* kind) {
    for (const Json::Value& option : status["options"]) {
        if (option["kind"].asString() == kind) {
            return &option;
        }
    }
    return nullptr;
}

bool OptionIs(const char* kind, const char* field, const Json::Value& wanted) {
    const Json::Value status = Status();
    const Json::Value* option = OptionOf(status, kind);
    return option != nullptr && (*option)[field] == wanted;
}

App::App(const std::string& arguments, const std::string& environment) {
    const std::string command = environment + " exec '" KX520_PATH "' " + arguments + " 2>'" +
                                m_temp.Path() + "/err' </dev/null";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
}

App::~App() {
    if (m_pid > 0 && !Exited()) {
        Shell("dbus-send --session --print-reply --dest=org.kx520.Application "
              "/org/kx520/Application org.kx520.Application.Quit");
        if (!WaitFor([this] { return Exited(); }, 5s)) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
}

bool App::Ready() {
    return WaitFor([] { return Status()["shown_after_first_pass"].asBool(); });
}

bool App::Exited() {
    if (m_exited) {
        return true;
    }
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_exited = true;
        m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return m_exited;
}

std::string App::Errors() const {
    return ReadAll(m_temp.Path() + "/err");
}

}  // namespace kx520::test
