#include "support/PrivateSoundServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <thread>

extern char** environ;

namespace kx520::test {

namespace {

constexpr const char* kConfig = R"(load-module module-native-protocol-unix
load-module module-null-sink sink_name=other sink_properties="device.description='Other speakers'"
load-module module-remap-source source_name=other_mic master=other.monitor source_properties="device.description='Other microphone'"
set-default-sink other
set-default-source other_mic
)";

}  // namespace

PrivateSoundServer::PrivateSoundServer() {
    ::chmod(m_temp.Path().c_str(), 0700);
    std::ofstream(m_temp.Path() + "/default.pa") << kConfig;
    Start();
}

PrivateSoundServer::~PrivateSoundServer() {
    Stop();
}

std::string PrivateSoundServer::Environment() const {
    return "XDG_RUNTIME_DIR='" + m_temp.Path() + "' PULSE_SERVER='unix:" + m_temp.Path() + "/pulse/native'";
}

bool PrivateSoundServer::Start() {
    Stop();
    const std::string command = "exec env " + Environment() + " HOME='" + m_temp.Path() +
                                "' pulseaudio -n -F '" + m_temp.Path() +
                                "/default.pa' --daemonize=no --exit-idle-time=-1 --disallow-exit "
                                "--log-target=file:'" + m_temp.Path() + "/server.log' </dev/null >/dev/null 2>&1";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    if (posix_spawn(&m_pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        m_pid = -1;
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        if (Pactl("info").exitCode == 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void PrivateSoundServer::Stop() {
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

ProgramRun PrivateSoundServer::Pactl(const std::string& arguments) const {
    return RunShell(Environment() + " pactl " + arguments);
}

int PrivateSoundServer::VolumePercent(const std::string& kind, const std::string& name) const {
    const ProgramRun run = Pactl("get-" + kind + "-volume " + name);
    const size_t slash = run.out.find(" / ");
    if (run.exitCode != 0 || slash == std::string::npos) {
        return -1;
    }
    return std::atoi(run.out.c_str() + slash + 3);
}

bool PrivateSoundServer::HasModuleWith(const std::string& text) const {
    return Pactl("list short modules").out.find(text) != std::string::npos;
}

}  // namespace kx520::test
