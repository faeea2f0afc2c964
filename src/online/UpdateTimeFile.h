#pragma once

#include <string>

namespace kx520::online {

// "updatetime.config" in the user's data folder: the date of the last
// update check, {"updatelasttime": {"value": "2024-3-5"}}.
class UpdateTimeFile {
public:
    static constexpr const char* kFileName = "updatetime.config";

    // The stored date, or "" when there is none (no file, another shape).
    static std::string Read(const std::string& folder);
    // The stored date; on the first check ever, today's, which is written.
    static std::string ReadOrStart(const std::string& folder);
    // Rewrites the whole file; false when it could not be written.
    static bool Write(const std::string& folder, const std::string& date);
    // Today's local date as year-month-day without leading zeros.
    static std::string Today();
};

}  // namespace kx520::online
