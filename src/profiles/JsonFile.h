#pragma once

#include <json/value.h>

#include <functional>
#include <string>

#include "platform/RegularFile.h"

namespace kx520::profiles {

// File access for profile data: every read is guarded (size, depth, type),
// every write is atomic (a temporary file in the same folder, flushed, then
// renamed over the old one), so an interrupted save leaves the old file or
// the new one, never half of each.
class JsonFile {
public:
    // The whole file; "" when it cannot be opened or comes back short.
    static std::string ReadTextFile(const std::string& path);
    // The parsed document; null for a missing, empty, oversized, too deep or
    // malformed file.
    static Json::Value ReadJson(const std::string& path);
    // Writes the styled form of `root` and a line end; false when the file
    // could not be written (the old one is then untouched), with the
    // system's reason ("No space left on device") in `error`.
    static bool WriteJson(const std::string& path, const Json::Value& root, std::string* error = nullptr);
    // The styled text every data file is written in.
    static std::string StyledText(const Json::Value& root);
    // Keeps a damaged file as `<path>.bak` (or `.bak.N` beside an older
    // backup that differs) before it is replaced; the backup's path, or ""
    // when there was nothing to keep or it could not be kept.
    static std::string KeepBackup(const std::string& path);
    // Renames what sits at `path` (a folder, a FIFO: nothing a backup can
    // copy) to the first free `<path>.bak` name; false when it stays.
    static bool MoveAside(const std::string& path);
    // What the names of the atomic writer's temporaries carry, and nothing else.
    static constexpr const char* kTemporaryMarker = kx520::kTemporaryMarker;
    static constexpr int kMaxBackups = 100;
    // A byte-for-byte copy of the regular file `from` that atomically
    // replaces `to`; false (and `to` untouched) when either side fails.
    static bool CopyFile(const std::string& from, const std::string& to);
    // TimestampName(), bumped with "_1", "_2", ... while `taken` says the
    // name is in use: a new identifier never names an existing file.
    static std::string FreshName(const std::function<bool(const std::string&)>& taken);
    // True for anything at `path`, a dangling symbolic link included.
    static bool Exists(const std::string& path);
    // What must hold before a damaged file is replaced: nothing is there, or
    // a backup of it was kept. False: leave the file alone.
    static bool SafeToReplace(const std::string& path) { return !Exists(path) || !KeepBackup(path).empty(); }
    // The local time as 2024_03_09_14_05_07_042: a profile's identifier.
    static std::string TimestampName();
};

}  // namespace kx520::profiles
