#pragma once

#include <cstdint>
#include <string>

namespace kx520::online {

// One row of the update list: what the service said about one product, or
// its placeholder while there is no usable answer.
struct UpdateRecord {
    static constexpr int32_t kPlaceholderStatus = 7;

    int32_t status = 0;
    int32_t deviceId = 0;
    std::string name;
    std::string currentVersionText;
    std::string versionName;
    std::string newVersionText;
    std::string downloadPath;
    std::string localFile;
    // The service could not be reached for this row: its placeholder stays,
    // and the row must not read as up to date.
    bool unreachable = false;
};

}  // namespace kx520::online
