#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kx520::online {

// The installed application's version as the update service takes it: the
// four-part version with its dots taken out, read as a decimal number
// (1.0.0.0 gives 1000); 0 for a text that is not one or does not fit.
int32_t VersionNumber(std::string_view fourPartVersion);
// VersionNumber of this build's version: the one --version, the about
// window and the package show.
int32_t InstalledAppVersion();
// "V" and this build's four-part version: the application row's text.
const char* AppVersionText();

}  // namespace kx520::online
