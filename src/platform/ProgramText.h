#pragma once

#include <string>
#include <string_view>

namespace kx520 {

// The version every program reports (the project's).
const char* ProgramVersion();
// "kx520ctl 0.1.0.0\n": what --version prints.
std::string VersionText(std::string_view program);
// One line for a usage error: what is wrong and where help is.
std::string UsageErrorText(std::string_view program, std::string_view error);

}  // namespace kx520
