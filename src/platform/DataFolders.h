#pragma once

#include <string>

namespace kx520 {

// The folder of the running executable (from /proc/self/exe).
std::string ExecutableFolder();

// A folder of shipped data ("skin", "DefaultData", "Font"): beside the
// executable when it is there (build tree, relocatable install), else under
// <prefix>/share/kx520/.
std::string ShippedDataFolder(const std::string& name);

}  // namespace kx520
