#include "online/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>

#include "online/LibProxySource.h"
#include "online/ProxySource.h"

namespace kx520::online {

namespace {

constexpr int kPollMs = 250;

void GlobalInitOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// "GET" or "POST" for those two verbs in any case; "" for any other.
std::string NormalisedVerb(std::string_view verb) {
    std::string upper(verb);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper == "GET" || upper == "POST" ? upper : std::string();
}

std::string UrlPart(CURLU* url, CURLUPart part) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) {
        return {};
    }
    std::string value(text);
    curl_free(text);
    return value;
}

// The URL is one the service can take: http or https, a host and a path
// with query inside their limits.
bool SplitsWithinLimits(const std::string& text) {
    CURLU* url = curl_url();
    if (url == nullptr) {
        return false;
    }
    bool ok = curl_url_set(url, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK;
    if (ok) {
        const std::string scheme = UrlPart(url, CURLUPART_SCHEME);
        const std::string host = UrlPart(url, CURLUPART_HOST);
        const std::string query = UrlPart(url, CURLUPART_QUERY);
        const size_t pathLength = UrlPart(url, CURLUPART_PATH).size() +
                                  (query.empty() ? 0 : query.size() + 1);
        ok = (scheme == "http" || scheme == "https") && !host.empty() &&
             host.size() <= HttpClient::kMaxHostLength && pathLength <= HttpClient::kMaxPathLength;
    }
    curl_url_cleanup(url);
    return ok;
}

}  // namespace

// The state of one exchange: the handle, its headers and the body so far,
// which reaches the caller's buffer only once an answer is whole (or fills
// the buffer): a stopped exchange leaves the buffer as it was.
struct HttpClient::Exchange {
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    std::string body;
    size_t capacity = 0;  // bytes of body the buffer takes, its terminator aside

    ~Exchange() {
        curl_slist_free_all(headers);
        if (easy != nullptr) {
            curl_easy_cleanup(easy);
        }
    }

    static size_t Write(char* data, size_t size, size_t items, void* self) {
        auto& exchange = *static_cast<Exchange*>(self);
        const size_t length = size * items;
        const size_t taken = std::min(exchange.capacity - exchange.body.size(), length);
        exchange.body.append(data, taken);
        // A full buffer ends the transfer: the rest would only be dropped.
        return taken == length ? length : taken;
    }
};

HttpClient::HttpClient(HttpSettings defaults, std::unique_ptr<ProxySource> proxies)
    : m_defaults(std::move(defaults)), m_settings(m_defaults), m_proxies(std::move(proxies)) {
    GlobalInitOnce();
    if (m_proxies == nullptr) {
        m_proxies = std::make_unique<LibProxySource>();
    }
}

HttpClient::~HttpClient() = default;

void HttpClient::HttpInit() {
    m_settings = m_defaults;
}

bool HttpClient::Prepare(Exchange& exchange, std::string_view verb, std::string_view url,
                         const char* body, size_t bodyLength) const {
    CURL* easy = exchange.easy;
    const std::string address(url);
    if (!SplitsWithinLimits(address) || curl_easy_setopt(easy, CURLOPT_URL, address.c_str()) != CURLE_OK) {
        return false;
    }
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // A stop must not wait for a name lookup still running on its thread.
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, m_settings.userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, m_settings.connectMs);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, m_settings.transferMs);
    // A send or a receive that stalls: below a byte a second for that long.
    const long stallSeconds = std::max(1L, std::max(m_settings.sendMs, m_settings.receiveMs) / 1000);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m_settings.caFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, m_settings.caFile.c_str());
    }
    // The first send goes direct, whatever the environment says.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    if (verb == "POST") {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
    } else if (bodyLength > 0) {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "GET");
    }
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodyLength));
    if (bodyLength > 0 || verb == "POST") {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, bodyLength > 0 ? body : "");
    }
    const std::string length = "Content-Length: " + std::to_string(bodyLength);
    for (const char* line : {length.c_str(), "Content-Type: application/x-www-form-urlencoded",
                             "Accept:application/prs.Pelmo.v1+json", "Expect:"}) {
        exchange.headers = curl_slist_append(exchange.headers, line);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, exchange.headers);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Exchange::Write);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &exchange);
    return true;
}

HttpClient::Outcome HttpClient::Perform(Exchange& exchange, std::stop_token stop) const {
    CURLM* multi = curl_multi_init();
    if (multi == nullptr) {
        return Outcome::kNotSent;
    }
    curl_multi_add_handle(multi, exchange.easy);
    const auto start = std::chrono::steady_clock::now();
    bool resolveExpired = false;
    {
        // Ends the poll below at once from whichever thread asks to stop.
        std::stop_callback wake(stop, [multi] { curl_multi_wakeup(multi); });
        int running = 1;
        while (running > 0 && !stop.stop_requested()) {
            if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) {
                break;
            }
            curl_off_t resolved = 0;
            curl_easy_getinfo(exchange.easy, CURLINFO_NAMELOOKUP_TIME_T, &resolved);
            const auto elapsed = std::chrono::steady_clock::now() - start;
            if (resolved == 0 && elapsed > std::chrono::milliseconds(m_settings.resolveMs)) {
                resolveExpired = true;
                break;
            }
            curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
        }
    }
    long requestBytes = 0;
    long status = 0;
    curl_easy_getinfo(exchange.easy, CURLINFO_REQUEST_SIZE, &requestBytes);
    curl_easy_getinfo(exchange.easy, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi, exchange.easy);
    curl_multi_cleanup(multi);
    if (stop.stop_requested()) {
        return Outcome::kNoAnswer;
    }
    if (status > 0) {
        return Outcome::kAnswered;
    }
    return requestBytes > 0 && !resolveExpired ? Outcome::kNoAnswer : Outcome::kNotSent;
}

int32_t HttpClient::HttpRequest(std::string_view verb, std::string_view url, const char* body,
                                size_t bodyLength, char* response, size_t responseSize,
                                std::stop_token stop) {
    const std::string method = NormalisedVerb(verb);
    if (url.empty() || method.empty()) {
        return -1;
    }
    Exchange exchange;
    exchange.easy = curl_easy_init();
    if (exchange.easy == nullptr) {
        return -1;
    }
    exchange.capacity = responseSize > 0 ? responseSize - 1 : 0;
    Outcome outcome = Outcome::kNotSent;
    if (Prepare(exchange, method, url, body, bodyLength)) {
        outcome = Perform(exchange, stop);
        if (outcome == Outcome::kNotSent && !stop.stop_requested()) {
            const std::string proxy = FirstProxy(m_proxies->ProxiesFor(std::string(url)));
            if (!proxy.empty()) {
                exchange.body.clear();
                curl_easy_setopt(exchange.easy, CURLOPT_PROXY, proxy.c_str());
                outcome = Perform(exchange, stop);
            }
        }
    }
    if (outcome == Outcome::kNotSent && !stop.stop_requested() && responseSize > 0) {
        const size_t marker = std::min(kNoLinkServer.size(), exchange.capacity);
        std::memcpy(response, kNoLinkServer.data(), marker);
        response[marker] = '\0';
        return 0;
    }
    if (outcome != Outcome::kAnswered) {
        return 0;
    }
    if (responseSize > 0) {
        std::memcpy(response, exchange.body.data(), exchange.body.size());
        response[exchange.body.size()] = '\0';
    }
    return static_cast<int32_t>(exchange.body.size());
}

}  // namespace kx520::online
