#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string_view>

#include "online/HttpSettings.h"
#include "online/ProxySource.h"

namespace kx520::online {

// One HTTP exchange at a time: a GET or POST with a form body, sent direct
// and, when that send fails, once more through the user's proxy; the body
// of any answer is copied into the caller's buffer. Certificates are
// verified against the system's CA store.
class HttpClient {
public:
    static constexpr size_t kMaxHostLength = 259;
    static constexpr size_t kMaxPathLength = 1299;
    // What the buffer starts with when nothing could be sent at all.
    static constexpr std::string_view kNoLinkServer = "NO_LINK_SERVER";

    // `defaults` are what HttpInit writes; `proxies` null: libproxy.
    explicit HttpClient(HttpSettings defaults = {}, std::unique_ptr<ProxySource> proxies = nullptr);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Puts the client's settings back to its defaults.
    void HttpInit();
    const HttpSettings& Settings() const { return m_settings; }

    // -1: no URL, a verb other than GET or POST (any case), or no session.
    // Otherwise the count of body bytes copied into `response`: at most
    // responseSize - 1, then a terminating zero. 0 with "NO_LINK_SERVER"
    // at the start of `response` when neither send went out; 0 and the
    // buffer untouched when no answer came (time-out, error, `stop`).
    // A stop request ends the exchange at once, in name resolution too.
    int32_t HttpRequest(std::string_view verb, std::string_view url, const char* body,
                        size_t bodyLength, char* response, size_t responseSize,
                        std::stop_token stop = {});

private:
    struct Exchange;
    enum class Outcome { kNotSent, kNoAnswer, kAnswered };
    Outcome Perform(Exchange& exchange, std::stop_token stop) const;
    bool Prepare(Exchange& exchange, std::string_view verb, std::string_view url,
                 const char* body, size_t bodyLength) const;

    HttpSettings m_defaults;
    HttpSettings m_settings;
    std::unique_ptr<ProxySource> m_proxies;
};

}  // namespace kx520::online
