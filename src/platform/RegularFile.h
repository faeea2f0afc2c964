#pragma once

#include <cstddef>
#include <string>

namespace kx520 {

// Reads data files without trusting what sits at their path: only a regular
// file is read (a FIFO, a device or a socket would block or never end), it
// is opened without blocking, and one larger than `maxBytes` is refused
// before anything is allocated. False, with `error` set, otherwise.
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text,
                     std::string* error = nullptr);

// True when `path` names a regular file (symbolic links followed).
bool IsRegularFile(const std::string& path);

// What the names of the atomic writer's temporaries carry, and nothing else.
inline constexpr const char* kTemporaryMarker = ".kx520-tmp-";
// All of `text` to `fd`, through interruptions; false on a failed write.
bool WriteAll(int fd, const std::string& text);
// "<folder>/.<name>.kx520-tmp-XXXXXX", a template for mkstemp: hidden, and
// a form no user file has, so that a cut-off write's leftovers are known.
std::string TemporaryTemplate(const std::string& path);
// Replaces `path` with `text` atomically (a temporary file in the same
// folder, flushed, renamed over it): an interrupted write leaves the old
// file or the new one. False, the old file untouched and the system's
// reason in `error`, when it could not be written.
bool ReplaceFile(const std::string& path, const std::string& text, std::string* error = nullptr);

}  // namespace kx520
