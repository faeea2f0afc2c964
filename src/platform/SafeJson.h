#pragma once

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx520::json {

// Files are hand-edited, imported or half-written: a document that is too
// big or nests too deep is refused before it can hurt, and values of the
// wrong type read as 0 / "" / null instead of throwing as jsoncpp's
// converting accessors do.
struct ParseLimits {
    size_t maxBytes = 16u << 20;
    int maxDepth = 64;
};

// The document, or nothing (with `error` set) for a missing, oversized,
// too deep or malformed file.
std::optional<Json::Value> ReadFile(const std::string& path, std::string* error = nullptr,
                                    const ParseLimits& limits = {});
std::optional<Json::Value> Parse(std::string_view text, std::string* error = nullptr,
                                 const ParseLimits& limits = {});

// `value[key]` of an object; null for anything else or a missing key.
const Json::Value& Member(const Json::Value& value, const char* key);
// `value[index]` of an array; null outside it.
const Json::Value& Element(const Json::Value& value, size_t index);
// An integer that fits in 32 bits (or a whole double that does), else 0.
int32_t Int(const Json::Value& value);
// true for true and for a non-zero number.
bool Bool(const Json::Value& value);
// The text of a string, else "".
std::string String(const Json::Value& value);

}  // namespace kx520::json
