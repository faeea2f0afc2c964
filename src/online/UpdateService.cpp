#include "online/UpdateService.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "online/HttpClient.h"
#include "platform/DebugTrace.h"
#include "platform/SafeJson.h"

namespace kx520::online {

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// Replies are small: deep nesting or a huge document is refused unread.
constexpr json::ParseLimits kReplyLimits{UpdateService::kReplyBufferSize, 32};

}  // namespace

std::string UpdateService::ServiceAddress(const std::string& configured) {
    const char* override = std::getenv("KX520_UPDATE_URL");
    return override != nullptr && *override != '\0' ? std::string(override) : configured;
}

std::string UpdateService::UpdatesUrl(std::string_view base) {
    while (!base.empty() && base.back() == '/') {
        base.remove_suffix(1);
    }
    if (base.empty()) {
        return {};
    }
    std::string url(base);
    if (!url.ends_with("/api")) {
        url += "/api";
    }
    return url + "/updates";
}

UpdateService::UpdateService(HttpClient& client, std::string base)
    : m_client(client), m_url(UpdatesUrl(base)) {
    if (m_url.empty()) {
        DebugTrace("update check: no service address (the UpdateService setting or "
                   "KX520_UPDATE_URL); nothing is sent");
    }
}

std::string UpdateService::AppKey(const FirmwareIdEntry& row) {
    if (row.currentVersion == 0) {
        return "NULL";
    }
    return std::string(row.brand) + "_" + std::to_string(row.updateKind) + "_" + row.projectCode +
           "_" + row.typeCode + "_" + std::to_string(row.enabled);
}

std::string UpdateService::RequestBody(const std::string& key, int32_t currentVersion,
                                       bool hexVersion) {
    char version[16];
    std::snprintf(version, sizeof version, hexVersion ? "%x" : "%d",
                  hexVersion ? static_cast<unsigned>(currentVersion) : currentVersion);
    std::string body = "app_key=" + key + "&version=" + version;
    body.push_back('\0');
    return body;
}

int32_t UpdateService::OfferedVersion(std::string_view text, bool hexVersion) {
    const int base = hexVersion ? 16 : 10;
    if (text.empty()) {
        return 0;
    }
    int64_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c);
        if (digit >= base) {
            return 0;
        }
        value = value * base + digit;
        if (value > INT32_MAX) {
            return 0;
        }
    }
    return static_cast<int32_t>(value);
}

std::string UpdateService::VersionText(int32_t version, bool hexVersion) {
    char text[16];
    if (hexVersion) {
        std::snprintf(text, sizeof text, "V%04x", static_cast<unsigned>(version));
    } else {
        std::snprintf(text, sizeof text, "V%d", version);
    }
    return text;
}

void UpdateService::ReadReply(std::string_view text, int32_t currentVersion, bool hexVersion,
                              UpdateRecord& record) {
    const std::optional<Json::Value> root = json::Parse(text, nullptr, kReplyLimits);
    if (!root || !root->isObject()) {
        return;
    }
    record.downloadPath = json::String(json::Member(*root, "path"));
    record.name = json::String(json::Member(*root, "name"));
    record.versionName = json::String(json::Member(*root, "version_name"));
    const std::string version = json::String(json::Member(*root, "version"));
    record.newVersionText = hexVersion ? "V" + version : record.versionName;
    record.deviceId = json::Int(json::Member(*root, "device_id"));
    record.currentVersionText = VersionText(currentVersion, hexVersion);
    const int32_t offered = OfferedVersion(version, hexVersion);
    record.status = offered > currentVersion ? 1 : UpdateRecord::kPlaceholderStatus;
}

UpdateRecord UpdateService::CheckForUpdate(const std::string& key, int32_t currentVersion,
                                           bool hexVersion, std::stop_token stop) {
    UpdateRecord record;
    if (m_url.empty()) {
        record.name = HttpClient::kNoLinkServer;
        return record;
    }
    m_client.HttpInit();
    const std::string body = RequestBody(key, currentVersion, hexVersion);
    std::vector<char> reply(kReplyBufferSize, '\0');
    const int32_t length =
        m_client.HttpRequest("POST", m_url, body.data(), body.size(), reply.data(), reply.size(), stop);
    if (length == 0) {
        record.name = reply.data();
    }
    if (length < 0) {
        return record;
    }
    ReadReply(std::string_view(reply.data()), currentVersion, hexVersion, record);
    return record;
}

}  // namespace kx520::online
