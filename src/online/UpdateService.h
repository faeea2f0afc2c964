#pragma once

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

#include "catalog/DeviceCatalog.h"
#include "online/UpdateRecord.h"

namespace kx520::online {

class HttpClient;

// The maker's update service: one POST to <base>/api/updates per product.
class UpdateService {
public:
    // The reply buffer; a longer body is cut there.
    static constexpr size_t kReplyBufferSize = 102400;
    // KX520_UPDATE_URL when set, else `configured` (the settings' entry).
    static std::string ServiceAddress(const std::string& configured);
    // "<base>/api/updates" for a base with or without the "/api" path; ""
    // for an empty base.
    static std::string UpdatesUrl(std::string_view base);

    // `base` "": nothing leaves the machine, every check is unreachable.
    UpdateService(HttpClient& client, std::string base);

    // brand_kind_project_type_enabled; "NULL" for a row without a version.
    static std::string AppKey(const FirmwareIdEntry& row);
    // The body as sent: the form text and one zero byte.
    static std::string RequestBody(const std::string& key, int32_t currentVersion, bool hexVersion);
    // A reply's "version": hexadecimal for a device, decimal for the
    // application. Anything but digits of that base, or a number past
    // 32 bits, offers 0.
    static int32_t OfferedVersion(std::string_view text, bool hexVersion);
    // "V%04x" for a device, "V%d" for the application.
    static std::string VersionText(int32_t version, bool hexVersion);

    // What a reply body says, read into `record`; a body that is not a
    // JSON object leaves it as it is.
    static void ReadReply(std::string_view text, int32_t currentVersion, bool hexVersion, UpdateRecord& record);

    // The record of one product; its name is "NO_LINK_SERVER" when the
    // service could not be reached and "" when it answered nothing usable.
    UpdateRecord CheckForUpdate(const std::string& key, int32_t currentVersion, bool hexVersion,
                                std::stop_token stop = {});
    const std::string& Url() const { return m_url; }

private:
    HttpClient& m_client;
    std::string m_url;
};

}  // namespace kx520::online
