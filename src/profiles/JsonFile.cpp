#include "profiles/JsonFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <json/writer.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <vector>

#include "platform/DebugTrace.h"
#include "platform/RegularFile.h"
#include "platform/SafeJson.h"
#include "platform/Utf8.h"

namespace kx520::profiles {

namespace {

// Same bytes in both files (compared in pieces, never read whole).
bool SameContent(const std::string& a, const std::string& b) {
    struct stat one {};
    struct stat other {};
    if (::stat(a.c_str(), &one) != 0 || ::stat(b.c_str(), &other) != 0 ||
        !S_ISREG(one.st_mode) || !S_ISREG(other.st_mode)) {
        // Not files to read (a FIFO, a device): the same only as the same node.
        return ::lstat(a.c_str(), &one) == 0 && ::lstat(b.c_str(), &other) == 0 &&
               one.st_ino == other.st_ino && one.st_dev == other.st_dev;
    }
    if (one.st_size != other.st_size) {
        return false;
    }
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) {
        return false;
    }
    char x[4096];
    char y[4096];
    for (;;) {
        first.read(x, sizeof x);
        second.read(y, sizeof y);
        if (first.gcount() != second.gcount() ||
            std::memcmp(x, y, static_cast<size_t>(first.gcount())) != 0) {
            return false;
        }
        if (!first || !second) {
            return first.eof() && second.eof();
        }
    }
}

enum class CopyMode { kNeverOver, kReplace };

// A copy of a regular file in pieces, through a temporary like every write.
bool CopyRegularFile(const std::string& from, const std::string& to,
                     CopyMode mode = CopyMode::kNeverOver) {
    // Opened without blocking and checked before a byte is read: a FIFO
    // would wait for a writer for ever.
    const int input = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (input < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(input, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(input);
        return false;
    }
    std::string temporary = TemporaryTemplate(to);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        ::close(input);
        return false;
    }
    std::string buffer(65536, '\0');
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(input, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!WriteAll(fd, buffer.substr(0, static_cast<size_t>(n)))) {
            ok = false;
            break;
        }
    }
    ::close(input);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && mode == CopyMode::kReplace) {
        ::chmod(temporary.c_str(), 0644);
        ok = ::rename(temporary.c_str(), to.c_str()) == 0;
    } else {
        ok = ok && ::link(temporary.c_str(), to.c_str()) == 0;  // never over another backup
    }
    ::unlink(temporary.c_str());
    return ok;
}

}  // namespace

std::string JsonFile::ReadTextFile(const std::string& path) {
    std::string text;
    std::string error;
    const bool read = ReadRegularFile(path, json::ParseLimits{}.maxBytes, text, &error);
    DebugTrace("readjsonFile 错误吗：：" + std::to_string(read ? 0 : (errno != 0 ? errno : EINVAL)) +
               "\n");
    if (!read) {
        if (Exists(path)) {
            DebugTrace(error);
        }
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

namespace {

std::string Styled(const Json::Value& root) {
    // The styled writer's layout, which other tools of this family expect;
    // jsoncpp marks the class deprecated in favour of a builder whose output
    // differs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Json::StyledWriter writer;
    return writer.write(root);
#pragma GCC diagnostic pop
}

bool HoldsNonUtf8(const Json::Value& value) {
    if (value.isString()) {
        return !utf8::IsValid(value.asString());
    }
    if (value.isArray() || value.isObject()) {
        for (const Json::Value& item : value) {
            if (HoldsNonUtf8(item)) {
                return true;
            }
        }
    }
    return false;
}

// Replaces every string that is not UTF-8 by a stand-in and keeps it.
void StandIn(Json::Value& value, const std::string& prefix, std::vector<std::string>& kept) {
    if (value.isString()) {
        std::string text = value.asString();
        if (!utf8::IsValid(text)) {
            value = prefix + std::to_string(kept.size());
            kept.push_back(std::move(text));
        }
        return;
    }
    if (value.isArray() || value.isObject()) {
        for (Json::Value& item : value) {
            StandIn(item, prefix, kept);
        }
    }
}

// A JSON string as the styled writer quotes it (escapes for control and
// non-ASCII characters), except that bytes that are not UTF-8 stay as they
// are: jsoncpp would write U+FFFD for them and the text would be lost.
std::string QuotedKeepingBytes(std::string_view text) {
    std::string quoted = "\"";
    char escape[16];
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8::SequenceLength(text, at);
        const auto byte = static_cast<uint8_t>(text[at]);
        if (length == 0) {
            quoted += text[at++];  // not UTF-8: the byte itself
            continue;
        }
        if (length == 1) {
            switch (byte) {
                case '"': quoted += "\\\""; break;
                case '\\': quoted += "\\\\"; break;
                case '\b': quoted += "\\b"; break;
                case '\f': quoted += "\\f"; break;
                case '\n': quoted += "\\n"; break;
                case '\r': quoted += "\\r"; break;
                case '\t': quoted += "\\t"; break;
                default:
                    if (byte < 0x20) {
                        std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                        quoted += escape;
                    } else {
                        quoted += static_cast<char>(byte);
                    }
            }
            ++at;
            continue;
        }
        uint32_t point = utf8::CodePoint(text, at, length);
        if (point < 0x10000) {
            std::snprintf(escape, sizeof escape, "\\u%04x", point);
        } else {
            point -= 0x10000;
            std::snprintf(escape, sizeof escape, "\\u%04x\\u%04x", 0xD800 + (point >> 10),
                          0xDC00 + (point & 0x3FF));
        }
        quoted += escape;
        at += length;
    }
    return quoted + "\"";
}

}  // namespace

std::string JsonFile::StyledText(const Json::Value& root) {
    if (!HoldsNonUtf8(root)) {
        return Styled(root);
    }
    // A name or identifier read from a file that is not UTF-8 is written back
    // byte for byte: through stand-ins the writer leaves alone.
    std::random_device random;
    const std::string prefix =
        "kx520-raw-" + std::to_string(random()) + "-" + std::to_string(random()) + "-";
    Json::Value copy = root;
    std::vector<std::string> kept;
    StandIn(copy, prefix, kept);
    const std::string text = Styled(copy);
    // One pass: the stand-ins come out in the order they were numbered.
    std::string result;
    result.reserve(text.size());
    size_t from = 0;
    for (size_t i = 0; i < kept.size(); ++i) {
        const std::string standIn = "\"" + prefix + std::to_string(i) + "\"";
        const size_t at = text.find(standIn, from);
        if (at == std::string::npos) {
            continue;
        }
        result.append(text, from, at - from);
        result += QuotedKeepingBytes(kept[i]);
        from = at + standIn.size();
    }
    result.append(text, from, std::string::npos);
    return result;
    return text;
}

bool JsonFile::WriteJson(const std::string& path, const Json::Value& root, std::string* error) {
    return ReplaceFile(path, StyledText(root), error);
}

std::string JsonFile::KeepBackup(const std::string& path) {
    if (!Exists(path)) {
        return {};
    }
    // "<name>.bak", then "<name>.bak.1", ...: an older backup is never
    // replaced, and a second damaged copy of the same bytes is not kept twice.
    for (int n = 0; n < kMaxBackups; ++n) {
        const std::string backup = path + ".bak" + (n == 0 ? "" : "." + std::to_string(n));
        struct stat info {};
        if (::lstat(backup.c_str(), &info) == 0) {
            if (SameContent(path, backup)) {
                return backup;
            }
            continue;
        }
        // A hard link costs nothing whatever the size; the atomic write that
        // follows leaves it holding the damaged bytes.
        if (::link(path.c_str(), backup.c_str()) == 0 || CopyRegularFile(path, backup)) {
            DebugTrace(path + " is damaged; kept as " + backup);
            return backup;
        }
        break;
    }
    DebugTrace("no backup could be kept of " + path);
    return {};
}

bool JsonFile::MoveAside(const std::string& path) {
    for (int n = 0; n < kMaxBackups; ++n) {
        const std::string backup = path + ".bak" + (n == 0 ? "" : "." + std::to_string(n));
        if (Exists(backup)) {
            continue;
        }
        if (::rename(path.c_str(), backup.c_str()) != 0) {
            return false;
        }
        DebugTrace(path + " is not a file this program can read; moved aside as " + backup);
        return true;
    }
    return false;
}

bool JsonFile::CopyFile(const std::string& from, const std::string& to) {
    return CopyRegularFile(from, to, CopyMode::kReplace);
}

std::string JsonFile::FreshName(const std::function<bool(const std::string&)>& taken) {
    const std::string base = TimestampName();
    std::string name = base;
    for (int n = 1; taken(name); ++n) {
        name = base + "_" + std::to_string(n);
    }
    return name;
}

bool JsonFile::Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;  // a dangling link is there too
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
