#include "platform/DeviceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kx520 {

namespace {

std::string LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/kx520";
    }
    return "/tmp/kx520-" + std::to_string(::getuid());
}

}  // namespace

std::string DeviceLock::KindOf(std::string_view product) {
    constexpr std::string_view suffix = "-receiver";
    if (product.size() > suffix.size() &&
        product.substr(product.size() - suffix.size()) == suffix) {
        product.remove_suffix(suffix.size());
    }
    return std::string(product);
}

std::string DeviceLock::LockPath(std::string_view kind) {
    return LockFolder() + "/" + std::string(kind) + ".lock";
}

std::unique_ptr<DeviceLock> DeviceLock::TryAcquire(std::string_view kind, std::string* error) {
    const std::string folder = LockFolder();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        if (error != nullptr) {
            *error = "cannot create " + folder + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    const std::string path = LockPath(kind);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error != nullptr) {
            *error = "cannot open " + path + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (error != nullptr) {
            *error = errno == EWOULDBLOCK ? "another program has the " + std::string(kind) + " open"
                                          : "cannot lock " + path + ": " + std::strerror(errno);
        }
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<DeviceLock>(new DeviceLock(fd));
}

DeviceLock::~DeviceLock() {
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
}

}  // namespace kx520
