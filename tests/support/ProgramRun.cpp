#include "support/ProgramRun.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace kx520::test {

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ProgramRun RunShell(const std::string& command) {
    TempDir temp;
    const std::string out = temp.Path() + "/out";
    const std::string err = temp.Path() + "/err";
    const int status =
        std::system((command + " >'" + out + "' 2>'" + err + "' </dev/null").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
    const std::string data = ReadAll(path);
    if (data.size() < 24 || data.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        return {0, 0};
    }
    auto word = [&data](size_t at) {
        return (uint32_t(uint8_t(data[at])) << 24) | (uint32_t(uint8_t(data[at + 1])) << 16) |
               (uint32_t(uint8_t(data[at + 2])) << 8) | uint32_t(uint8_t(data[at + 3]));
    };
    return {word(16), word(20)};
}

}  // namespace kx520::test
