#include "platform/DebugTrace.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace kx520 {

bool DebugTraceEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("KX520_DEBUG");
        return value != nullptr && *value != '\0' && std::string_view(value) != "0";
    }();
    return enabled;
}

void DebugTrace(std::string_view text) {
    if (!DebugTraceEnabled()) {
        return;
    }
    // One write per line so traces of several threads never interleave.
    std::string line;
    line.reserve(text.size() + 8);
    line.append("kx520: ").append(text).push_back('\n');
    [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace kx520
