#pragma once

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kx520::sim {

// The JSON models a test or a user gives the virtual firmware, checked and
// turned into the bytes it keeps.
class FirmwareModel {
public:
    // {"keys": [[type, param1, param2], ...], "leds": [...]}: the key table
    // (3 bytes a key, `tableSize` in all), the LED of each key (its index
    // where "leds" stops) and the count.
    struct Keyboard {
        std::vector<uint8_t> table;
        std::vector<uint8_t> leds;
        uint8_t keyCount = 0;
    };
    static std::optional<Keyboard> ParseKeyboard(const Json::Value& model, size_t tableSize, std::string& error);

    // {"sensor": N, "step": N, "highest": N, "lowest": N}, each member
    // optional: the info bytes they set, as (index, value).
    using InfoBytes = std::vector<std::pair<size_t, uint8_t>>;
    static std::optional<InfoBytes> ParseMouse(const Json::Value& model, std::string& error);

    // Lower-case hex of `bytes`, and back into exactly `bytes.size()` bytes
    // (false, `bytes` untouched, for text of another length or not hex).
    static std::string Hex(const std::vector<uint8_t>& bytes);
    static bool FromHex(const std::string& text, std::vector<uint8_t>& bytes);
};

}  // namespace kx520::sim
