#pragma once

#include <string>

namespace kx520 {

// The folder of the running executable (from /proc/self/exe).
std::string ExecutableFolder();

// A folder of shipped data ("skin", "DefaultData", "Font"): beside the
// executable when it is there (build tree, relocatable install), else under
// <prefix>/share/kx520/.
std::string ShippedDataFolder(const std::string& name);

// The user's data of one device kind ("keyboard", "mouse", "MousePad",
// "HD"): $XDG_DATA_HOME/<product>/<kind>/ (~/.local/share by default),
// created when missing; ends with "/".
std::string DeviceDataFolder(const std::string& kindFolder);
// The user's data of the whole application: $XDG_DATA_HOME/<product>/,
// created when missing; ends with "/".
std::string UserDataFolder();

}  // namespace kx520
