#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace kx520::test {

// What a program run through the shell left behind.
struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The whole file; "" when it cannot be read.
std::string ReadAll(const std::string& file);
// Runs `command` with /bin/sh, no input, and collects its output.
ProgramRun RunShell(const std::string& command);
// Width and height from a PNG's header; 0, 0 when it is not a PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path);

}  // namespace kx520::test
