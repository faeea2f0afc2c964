#include "platform/SafeJson.h"

#include "platform/RegularFile.h"

#include <json/reader.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>

namespace kx520::json {

namespace {

const Json::Value& Null() {
    static const Json::Value null;
    return null;
}

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

}  // namespace

std::optional<Json::Value> ReadFile(const std::string& path, std::string* error,
                                    const ParseLimits& limits) {
    std::string text;
    if (!ReadRegularFile(path, limits.maxBytes, text, error)) {
        return std::nullopt;
    }
    return Parse(text, error, limits);
}

std::optional<Json::Value> Parse(std::string_view text, std::string* error,
                                 const ParseLimits& limits) {
    if (text.size() > limits.maxBytes) {
        SetError(error, "the document is larger than " + std::to_string(limits.maxBytes) + " bytes");
        return std::nullopt;
    }
    Json::CharReaderBuilder builder;
    builder["stackLimit"] = limits.maxDepth;
    builder["collectComments"] = false;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
            SetError(error, errors.empty() ? "not JSON" : errors);
            return std::nullopt;
        }
    } catch (const std::exception& failure) {  // the depth limit throws
        SetError(error, failure.what());
        return std::nullopt;
    }
    return root;
}

const Json::Value& Member(const Json::Value& value, const char* key) {
    if (!value.isObject()) {
        return Null();
    }
    const Json::Value* member = value.find(key, key + std::char_traits<char>::length(key));
    return member != nullptr ? *member : Null();
}

const Json::Value& Element(const Json::Value& value, size_t index) {
    if (!value.isArray() || index >= value.size()) {
        return Null();
    }
    return value[static_cast<Json::ArrayIndex>(index)];
}

int32_t Int(const Json::Value& value) {
    if (value.isBool()) {
        return value.asBool() ? 1 : 0;
    }
    if (value.isInt()) {
        return value.asInt();
    }
    if (value.isDouble()) {
        const double number = value.asDouble();
        if (std::isfinite(number) && std::trunc(number) == number &&
            number >= std::numeric_limits<int32_t>::min() &&
            number <= std::numeric_limits<int32_t>::max()) {
            return static_cast<int32_t>(number);
        }
    }
    return 0;
}

bool Bool(const Json::Value& value) {
    return Int(value) != 0;
}

std::string String(const Json::Value& value) {
    return value.isString() ? value.asString() : std::string();
}

}  // namespace kx520::json
