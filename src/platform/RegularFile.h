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

}  // namespace kx520
