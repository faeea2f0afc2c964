#include "online/UpdateTimeFile.h"

#include <ctime>

#include "platform/SafeJson.h"
#include "profiles/JsonFile.h"

namespace kx520::online {

std::string UpdateTimeFile::Read(const std::string& folder) {
    const Json::Value root = profiles::JsonFile::ReadJson(folder + kFileName);
    const Json::Value& value = json::Member(json::Member(root, "updatelasttime"), "value");
    if (value.isNull()) {
        return {};
    }
    // A hand-edited number is shown as its digits; anything else as nothing.
    if (value.isString()) {
        return value.asString();
    }
    return value.isInt64() ? std::to_string(value.asInt64()) : std::string();
}

std::string UpdateTimeFile::ReadOrStart(const std::string& folder) {
    std::string date = Read(folder);
    if (date.empty()) {
        date = Today();
        Write(folder, date);
    }
    return date;
}

bool UpdateTimeFile::Write(const std::string& folder, const std::string& date) {
    Json::Value root(Json::objectValue);
    root["updatelasttime"]["value"] = date;
    return profiles::JsonFile::WriteJson(folder + kFileName, root);
}

std::string UpdateTimeFile::Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::to_string(local.tm_year + 1900) + "-" + std::to_string(local.tm_mon + 1) + "-" +
           std::to_string(local.tm_mday);
}

}  // namespace kx520::online
