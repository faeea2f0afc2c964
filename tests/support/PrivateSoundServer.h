#pragma once

#include <sys/types.h>

#include <string>

#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::test {

// A PulseAudio server of the test's own, in a runtime folder of its own,
// with an unrelated default sink ("other") and source ("other_mic") beside
// whatever the program under test adds. Stopped (killed) with the object.
class PrivateSoundServer {
public:
    PrivateSoundServer();
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer&) = delete;
    PrivateSoundServer& operator=(const PrivateSoundServer&) = delete;

    // Starts it (again); false when it did not answer within a few seconds.
    bool Start();
    void Stop();
    bool Running() const { return m_pid > 0; }
    // What a program needs in its environment to reach it (shell words).
    std::string Environment() const;
    ProgramRun Pactl(const std::string& arguments) const;
    // A source's or sink's volume in percent (the first channel); -1 when unknown.
    int VolumePercent(const std::string& kind, const std::string& name) const;
    bool HasModuleWith(const std::string& text) const;
    const std::string& Folder() const { return m_temp.Path(); }

private:
    TempDir m_temp;
    pid_t m_pid = -1;
};

}  // namespace kx520::test
