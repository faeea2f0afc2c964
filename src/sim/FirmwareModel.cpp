#include "sim/FirmwareModel.h"

#include <algorithm>
#include <iterator>

namespace kx520::sim {

std::optional<FirmwareModel::Keyboard> FirmwareModel::ParseKeyboard(const Json::Value& model, size_t tableSize,
                                                                     std::string& error) {
    const Json::Value& keys = model.isObject() ? model["keys"] : Json::Value::nullSingleton();
    const Json::Value& leds = model.isObject() ? model["leds"] : Json::Value::nullSingleton();
    if (!keys.isArray() || keys.size() > tableSize / 3 || (!leds.isNull() && !leds.isArray())) {
        error = "a model is {\"keys\": [[type, param1, param2], ...], \"leds\": [...]} with at most " +
                std::to_string(tableSize / 3) + " keys";
        return std::nullopt;
    }
    Keyboard parsed{std::vector<uint8_t>(tableSize, 0), std::vector<uint8_t>(tableSize / 3, 0xFF),
                    static_cast<uint8_t>(keys.size())};
    for (Json::ArrayIndex k = 0; k < keys.size(); ++k) {
        const Json::Value& code = keys[k];
        if (!code.isArray() || code.size() != 3) {
            error = "key " + std::to_string(k) + " is not [type, param1, param2]";
            return std::nullopt;
        }
        for (Json::ArrayIndex b = 0; b < 3; ++b) {
            if (!code[b].isUInt() || code[b].asUInt() > 0xFF) {
                error = "key " + std::to_string(k) + " has a byte outside 0-255";
                return std::nullopt;
            }
            parsed.table[3 * k + b] = static_cast<uint8_t>(code[b].asUInt());
        }
        const bool hasLed = leds.isArray() && k < leds.size();
        if (hasLed && (!leds[k].isUInt() || leds[k].asUInt() > 0xFF)) {
            error = "led " + std::to_string(k) + " is outside 0-255";
            return std::nullopt;
        }
        parsed.leds[k] = static_cast<uint8_t>(hasLed ? leds[k].asUInt() : k);
    }
    return parsed;
}

std::optional<FirmwareModel::InfoBytes> FirmwareModel::ParseMouse(const Json::Value& model, std::string& error) {
    // Info bytes 9-10, 11, 12 and 14-15; two-byte values low byte first.
    struct Field {
        const char* key;
        size_t byte;
        unsigned maximum;
    };
    constexpr Field kFields[] = {{"sensor", 9, 0xFFFF}, {"step", 11, 0xFF}, {"highest", 12, 0xFF}, {"lowest", 14, 0xFFFF}};
    const auto known = [&kFields](const std::string& name) {
        return std::any_of(std::begin(kFields), std::end(kFields), [&name](const Field& f) { return name == f.key; });
    };
    const std::vector<std::string> names = model.isObject() ? model.getMemberNames() : std::vector<std::string>();
    if (names.empty() || !std::all_of(names.begin(), names.end(), known)) {
        error = "a mouse model is {\"sensor\": N, \"step\": N, \"highest\": N, \"lowest\": N}";
        return std::nullopt;
    }
    InfoBytes bytes;
    for (const Field& field : kFields) {
        const Json::Value& value = model[field.key];
        if (value.isNull()) {
            continue;
        }
        if (!value.isUInt() || value.asUInt() > field.maximum) {
            error = std::string("the mouse model's ") + field.key + " is outside 0-" + std::to_string(field.maximum);
            return std::nullopt;
        }
        bytes.emplace_back(field.byte, static_cast<uint8_t>(value.asUInt()));
        if (field.maximum > 0xFF) {
            bytes.emplace_back(field.byte + 1, static_cast<uint8_t>(value.asUInt() >> 8));
        }
    }
    return bytes;
}

std::string FirmwareModel::Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * bytes.size());
    for (uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

bool FirmwareModel::FromHex(const std::string& text, std::vector<uint8_t>& bytes) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    if (text.size() != 2 * bytes.size()) {
        return false;
    }
    std::vector<uint8_t> parsed(bytes.size());
    for (size_t i = 0; i < parsed.size(); ++i) {
        const int high = digit(text[2 * i]);
        const int low = digit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        parsed[i] = static_cast<uint8_t>(high << 4 | low);
    }
    bytes = std::move(parsed);
    return true;
}

}  // namespace kx520::sim
