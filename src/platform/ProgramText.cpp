#include "platform/ProgramText.h"

namespace kx520 {

const char* ProgramVersion() {
    return KX520_VERSION;
}

std::string VersionText(std::string_view program) {
    return std::string(program) + " " + ProgramVersion() + "\n";
}

std::string UsageErrorText(std::string_view program, std::string_view error) {
    return std::string(program) + ": " + std::string(error) + " (see '" + std::string(program) +
           " --help')\n";
}

}  // namespace kx520
