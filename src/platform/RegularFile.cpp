#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

bool WriteAll(int fd, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

std::string TemporaryTemplate(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameAt) + "." + path.substr(nameAt) + kTemporaryMarker +
           "XXXXXX";
}

bool ReplaceFile(const std::string& path, const std::string& text, std::string* error) {
    auto fail = [error](int code) {
        if (error != nullptr) {
            *error = std::strerror(code != 0 ? code : EIO);
        }
        return false;
    };
    std::string temporary = TemporaryTemplate(path);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return fail(errno);
    }
    int code = 0;
    if (!WriteAll(fd, text) || ::fsync(fd) != 0) {
        code = errno;
    }
    if (::close(fd) != 0 && code == 0) {
        code = errno;
    }
    if (code == 0) {
        ::chmod(temporary.c_str(), 0644);
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            code = errno;
        }
    }
    if (code != 0) {
        ::unlink(temporary.c_str());
        return fail(code);
    }
    return true;
}

}  // namespace kx520
