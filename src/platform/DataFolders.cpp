#include "platform/DataFolders.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/ProductName.h"

#ifndef KX520_INSTALL_DATADIR
#define KX520_INSTALL_DATADIR "/usr/local/share/kx520"
#endif

namespace kx520 {

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (size <= 0) {
        return ".";
    }
    const std::string executable(path, static_cast<size_t>(size));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? "." : executable.substr(0, slash);
}

std::string ShippedDataFolder(const std::string& name) {
    // Beside the executable (the build tree), then the tree the executable
    // was installed in wherever it was moved, then the configured prefix.
    const std::string folder = ExecutableFolder();
    for (const std::string& candidate : {folder + "/" + name, folder + "/../share/kx520/" + name}) {
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            return candidate;
        }
    }
    return std::string(KX520_INSTALL_DATADIR) + "/" + name;
}

std::string UserDataFolder() {
    return DeviceDataFolder("");
}

std::string DeviceDataFolder(const std::string& kindFolder) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string base = dataHome != nullptr && dataHome[0] == '/'
                           ? dataHome
                           : std::string(home != nullptr ? home : "") + "/.local/share";
    const std::string folder =
        base + "/" + kProductName + "/" + (kindFolder.empty() ? std::string() : kindFolder + "/");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

}  // namespace kx520
