#pragma once

#include <string_view>

namespace kx520 {

// The one debug trace of the system. Quiet unless KX520_DEBUG is set in the
// environment, then one line per call on stderr.
void DebugTrace(std::string_view text);

// True when traces are written; read once per process.
bool DebugTraceEnabled();

}  // namespace kx520
