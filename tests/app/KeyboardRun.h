#pragma once

#include <functional>
#include <string>

#include "app/AppProgram.h"
#include "support/TempDir.h"

namespace kx520::test {

// The application on a virtual keyboard, driven by automation, with a
// packet trace of its own; `prepare` runs before it starts (a test's data
// put back to nothing, say).
struct KeyboardRun {
    explicit KeyboardRun(const std::function<void()>& prepare = {});
    // Up, and connected to the keyboard as `connected` reads it from the trace.
    bool Started(const std::function<bool(const std::string& trace)>& connected);

    TempDir temp;
    std::string trace;
    bool prepared;
    App app;
};

}  // namespace kx520::test
