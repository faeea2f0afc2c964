#include "profiles/JsonFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <json/writer.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "platform/DebugTrace.h"
#include "platform/SafeJson.h"

namespace kx520::profiles {

namespace {

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

// Writes `text` to `path` through a temporary file in the same folder.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) {
        ::chmod(temporary.c_str(), 0644);
        ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace

std::string JsonFile::ReadTextFile(const std::string& path) {
    std::ifstream input(path, std::ios::binary);
    DebugTrace("readjsonFile 错误吗：：" + std::to_string(input ? 0 : errno) + "\n");
    if (!input) {
        return {};
    }
    input.seekg(0, std::ios::end);
    const std::streamoff size = input.tellg();
    if (size <= 0 || static_cast<uint64_t>(size) > json::ParseLimits{}.maxBytes) {
        return {};
    }
    input.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (!input.read(text.data(), size) || input.gcount() != size) {
        return {};
    }
    return text;
}

Json::Value JsonFile::ReadJson(const std::string& path) {
    const std::string text = ReadTextFile(path);
    if (text.empty()) {
        DebugTrace(path);
        return Json::Value();
    }
    auto root = json::Parse(text);
    return root ? std::move(*root) : Json::Value();
}

std::string JsonFile::StyledText(const Json::Value& root) {
    // The styled writer's layout, which other tools of this family expect;
    // jsoncpp marks the class deprecated in favour of a builder whose output
    // differs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::StyledWriter writer;
    return writer.write(root);
#pragma GCC diagnostic pop
}

bool JsonFile::WriteJson(const std::string& path, const Json::Value& root) {
    return ReplaceFile(path, StyledText(root));
}

bool JsonFile::KeepBackup(const std::string& path) {
    std::ifstream input(path, std::ios::binary);
    if (!input) {
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(input)), {});
    return ReplaceFile(path + ".bak", text);
}

bool JsonFile::Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string JsonFile::TimestampName() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[80];
    std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms.count()));
    return text;
}

}  // namespace kx520::profiles
