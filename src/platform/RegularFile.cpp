#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kx520 {

namespace {

bool Fail(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    return false;
}

}  // namespace

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text,
                     std::string* error) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Fail(error, "cannot open " + path + ": " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Fail(error, path + " is not a regular file");
    }
    if (static_cast<uint64_t>(info.st_size) > maxBytes) {
        ::close(fd);
        return Fail(error, path + " is larger than " + std::to_string(maxBytes) + " bytes");
    }
    // The size may change under us: read up to the bound, never past it.
    text.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    for (;;) {
        if (done == text.size()) {
            if (text.size() >= maxBytes) {
                break;
            }
            text.resize(std::min(maxBytes, text.size() + 4096));
        }
        const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            text.clear();
            return Fail(error, "cannot read " + path + ": " + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(done);
    return true;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace kx520
