#include "online/AppVersion.h"

#include "online/UpdateService.h"
#include "platform/ProgramText.h"

namespace kx520::online {

int32_t VersionNumber(std::string_view fourPartVersion) {
    std::string digits;
    for (char c : fourPartVersion) {
        if (c != '.') {
            digits.push_back(c);
        }
    }
    return UpdateService::OfferedVersion(digits, false);
}

int32_t InstalledAppVersion() {
    return VersionNumber(ProgramVersion());
}

const char* AppVersionText() {
    static const std::string text = std::string("V") + ProgramVersion();
    return text.c_str();
}

}  // namespace kx520::online
