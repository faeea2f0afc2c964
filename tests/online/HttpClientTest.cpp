#include "online/HttpClient.h"

#include <gtest/gtest.h>
#include <json/reader.h>
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "online/LibProxySource.h"
#include "online/ProxySource.h"
#include "support/LoopbackUpdateService.h"
#include "support/TempDir.h"

namespace kx520::online {
namespace {

using test::LoopbackUpdateService;

// A port nothing listens on: bound, never listened, then closed.
int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

class FixedProxies : public ProxySource {
public:
    explicit FixedProxies(std::vector<std::string> answers, int* asked = nullptr)
        : m_answers(std::move(answers)), m_asked(asked) {}
    std::vector<std::string> ProxiesFor(const std::string&) override {
        if (m_asked != nullptr) {
            ++*m_asked;
        }
        return m_answers;
    }

private:
    std::vector<std::string> m_answers;
    int* m_asked;
};

HttpSettings Quick() {
    HttpSettings settings;
    settings.receiveMs = 1000;
    settings.sendMs = 1000;
    settings.transferMs = 10000;
    return settings;
}

std::unique_ptr<HttpClient> Client(std::vector<std::string> proxies = {"direct://"}, int* asked = nullptr,
                                   HttpSettings settings = Quick()) {
    return std::make_unique<HttpClient>(settings, std::make_unique<FixedProxies>(proxies, asked));
}

struct Result {
    int32_t count;
    std::vector<char> buffer;
    std::string Text() const { return std::string(buffer.data()); }
};

Result Post(HttpClient& client, const std::string& url, std::string body, size_t size = 4096,
            const char* verb = "POST") {
    Result result{0, std::vector<char>(size, '\x7f')};
    result.count = client.HttpRequest(verb, url, body.data(), body.size(), result.buffer.data(),
                                      result.buffer.size());
    return result;
}

// A reply whose body is {}.
Json::Value ObjectBody() {
    Json::Value reply;
    reply["body"] = Json::Value(Json::objectValue);
    return reply;
}

Json::Value Reply(const Json::Value& shape) {
    Json::Value replies;
    replies["*"] = shape;
    return replies;
}

TEST(HttpClientRefuses, WhatCannotBeStartedLeavesTheBufferUntouched) {
    LoopbackUpdateService service(Reply(ObjectBody()));
    auto client = Client();
    for (const char* verb : {"PUT", "DELETE", "", "GE"}) {
        const Result result = Post(*client, service.BaseUrl() + "/api/updates", "x", 16, verb);
        EXPECT_EQ(result.count, -1) << verb;
        EXPECT_EQ(result.buffer[0], '\x7f') << verb;
    }
    EXPECT_EQ(Post(*client, "", "x").count, -1);
    EXPECT_TRUE(service.Requests().empty());
}

TEST(HttpClientSends, TheVerbTheHeadersEachOnItsOwnAndTheBodyAsGiven) {
    Json::Value body;
    body["name"] = "KB";
    LoopbackUpdateService service(Reply([&] { Json::Value r; r["body"] = body; return r; }()));
    auto client = Client();
    const std::string sent("app_key=K&version=105\0", 22);
    const Result post = Post(*client, service.BaseUrl() + "/api/updates", sent, 4096, "post");
    EXPECT_EQ(post.Text(), R"({"name":"KB"})");
    EXPECT_EQ(post.count, static_cast<int32_t>(post.Text().size()));
    const Result get = Post(*client, service.BaseUrl() + "/api/updates?a=1", "", 4096, "get");
    EXPECT_EQ(get.count, post.count);

    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/api/updates");
    EXPECT_EQ(requests[0].body, sent);
    EXPECT_EQ(requests[0].Header("Content-Length"), "22");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].Header("Accept"), "application/prs.Pelmo.v1+json");
    EXPECT_EQ(requests[0].Header("User-Agent"), "WinHTTP Client/1.0");
    EXPECT_EQ(requests[0].headers.count("Expect"), 0u);
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].target, "/api/updates?a=1");
    EXPECT_EQ(requests[1].Header("Content-Length"), "0");
    EXPECT_TRUE(requests[1].body.empty());
}

TEST(HttpClientSends, TheFirstSendIgnoresTheEnvironmentsProxy) {
    LoopbackUpdateService service(Reply(ObjectBody()));
    ::setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(ClosedPort())).c_str(), 1);
    auto client = Client();
    const Result result = Post(*client, service.BaseUrl() + "/api/updates", "k");
    ::unsetenv("http_proxy");
    EXPECT_EQ(result.Text(), "{}");
    EXPECT_EQ(service.Requests().size(), 1u);
}

TEST(HttpClientSends, APostWithoutABodyCountsZero) {
    LoopbackUpdateService service(Reply(ObjectBody()));
    auto client = Client();
    Post(*client, service.BaseUrl() + "/x", "");
    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].Header("Content-Length"), "0");
    EXPECT_TRUE(requests[0].body.empty());
}

// What each reply shape leaves in the buffer and returns.
TEST(HttpClientReplies, EveryShapeGivesItsBodyBoundedAndTerminated) {
    struct Case {
        const char* json;
        size_t buffer;
        int32_t count;
        std::string text;
    };
    const std::vector<Case> cases = {
        {R"({"status":404,"body":{"error":"none"}})", 4096, 16, R"({"error":"none"})"},
        {R"({"shape":"empty"})", 4096, 0, ""},
        {R"({"shape":"text","body":"not json"})", 4096, 8, "not json"},
        {R"({"shape":"chunks","body":"abcdefghij","bytes":3})", 4096, 10, "abcdefghij"},
        {R"({"shape":"large","bytes":204800})", 102400, 102399, std::string(102399, 'x')},
        {R"({"shape":"text","body":"abcdef"})", 4, 3, "abc"},
    };
    for (const Case& c : cases) {
        Json::Value shape;
        Json::Reader().parse(c.json, shape);
        LoopbackUpdateService service(Reply(shape));
        auto client = Client();
        const Result result = Post(*client, service.BaseUrl() + "/api/updates", "k", c.buffer);
        EXPECT_EQ(result.count, c.count) << c.json;
        EXPECT_EQ(result.Text(), c.text) << c.json;
        EXPECT_EQ(result.buffer[static_cast<size_t>(std::max(0, c.count))], '\0') << c.json;
    }
}

TEST(HttpClientReplies, NoAnswerInTimeGivesZeroAndLeavesTheBuffer) {
    LoopbackUpdateService service(Reply([] { Json::Value r; r["shape"] = "late"; r["ms"] = 3000; return r; }()));
    auto client = Client();
    const Result result = Post(*client, service.BaseUrl() + "/api/updates", "k", 64);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.buffer[0], '\x7f');
}

TEST(HttpClientUnreachable, NothingSentMarksTheBuffer) {
    auto client = Client();
    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/api/updates";
    const std::vector<std::string> urls = {
        closed,
        "ftp://127.0.0.1/x",
        "not a url",
        "http://" + std::string(260, 'a') + "/x",
        "http://127.0.0.1/" + std::string(1299, 'p'),
    };
    for (const std::string& url : urls) {
        const Result result = Post(*client, url, "k", 64);
        EXPECT_EQ(result.count, 0) << url.substr(0, 40);
        EXPECT_EQ(result.Text(), "NO_LINK_SERVER") << url.substr(0, 40);
    }
    // The marker is cut to a small buffer and terminated too.
    const Result small = Post(*client, closed, "k", 5);
    EXPECT_EQ(small.Text(), "NO_L");
}

// A host within the limit is tried (and, unresolvable, handed to the
// proxy); one past it is refused before anything is asked.
TEST(HttpClientUnreachable, TheHostLimitIsInclusive) {
    LoopbackUpdateService proxy(Reply(ObjectBody()));
    int asked = 0;
    auto client = Client({proxy.BaseUrl()}, &asked);
    const std::string longest(HttpClient::kMaxHostLength, 'a');
    EXPECT_EQ(Post(*client, "http://" + longest + "/x", "k").Text(), "{}");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Post(*client, "http://" + longest + "a/x", "k").Text(), "NO_LINK_SERVER");
    EXPECT_EQ(asked, 1);
}

TEST(HttpClientUnreachable, LimitsAreInclusive) {
    LoopbackUpdateService service(Reply(ObjectBody()));
    auto client = Client();
    // "/" and 1298 more: a path of exactly the limit is sent.
    const Result result = Post(*client, service.BaseUrl() + "/" + std::string(1298, 'p'), "k", 64);
    EXPECT_EQ(result.Text(), "{}");
}

TEST(HttpClientProxy, AFailedDirectSendGoesOnceThroughTheUsersProxy) {
    LoopbackUpdateService proxy(Reply([] { Json::Value r; r["body"]["via"] = "proxy"; return r; }()));
    int asked = 0;
    auto client = Client({"direct://", proxy.BaseUrl()}, &asked);
    const std::string target = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/api/updates";
    const Result result = Post(*client, target, "k");
    EXPECT_EQ(result.Text(), R"({"via":"proxy"})");
    EXPECT_EQ(asked, 1);
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, target);

    // A direct send that works never asks for a proxy.
    LoopbackUpdateService direct(Reply(ObjectBody()));
    Post(*client, direct.BaseUrl() + "/api/updates", "k");
    EXPECT_EQ(asked, 1);
}

TEST(HttpClientProxy, AProxyThatFailsTooMarksTheBufferOnce) {
    int asked = 0;
    auto client = Client({"http://127.0.0.1:" + std::to_string(ClosedPort())}, &asked);
    const Result result = Post(*client, "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x", "k");
    EXPECT_EQ(result.Text(), "NO_LINK_SERVER");
    EXPECT_EQ(asked, 1);
}

// The user's manual proxy as libproxy reads it from the environment.
TEST(HttpClientProxy, LibProxyGivesTheEnvironmentsProxy) {
    const char* before = std::getenv("http_proxy");
    const std::string kept = before != nullptr ? before : "";
    // Without a desktop session libproxy reads the environment.
    for (const char* desktop : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "GNOME_DESKTOP_SESSION_ID",
                                "KDE_FULL_SESSION"}) {
        ::unsetenv(desktop);
    }
    ::setenv("http_proxy", "http://127.0.0.1:3128", 1);
    const std::vector<std::string> answers = LibProxySource().ProxiesFor("http://updates.example/api/updates");
    if (before != nullptr) {
        ::setenv("http_proxy", kept.c_str(), 1);
    } else {
        ::unsetenv("http_proxy");
    }
    EXPECT_EQ(FirstProxy(answers), "http://127.0.0.1:3128");
}

TEST(HttpClientProxy, TheFirstAnswerThatIsNotDirectIsTaken) {
    EXPECT_EQ(FirstProxy({"direct://", "http://p:3128", "http://q:1"}), "http://p:3128");
    EXPECT_EQ(FirstProxy({"socks://s:1080"}), "socks5://s:1080");
    EXPECT_EQ(FirstProxy({"direct://", ""}), "");
    EXPECT_EQ(FirstProxy({}), "");
}

TEST(HttpClientCancel, AStopEndsAnExchangeThatWouldWaitAtOnce) {
    LoopbackUpdateService service(Reply([] { Json::Value r; r["shape"] = "silent"; return r; }()));
    HttpSettings patient;  // nothing but the stop ends this exchange within the test's time
    patient.sendMs = patient.receiveMs = 3600000;
    patient.transferMs = 7200000;
    auto client = Client({"direct://"}, nullptr, patient);
    std::stop_source stop;
    std::vector<char> buffer(64, '\x7f');
    int32_t count = -2;
    std::thread exchange([&] {
        count = client->HttpRequest("POST", service.BaseUrl() + "/api/updates", "k", 1, buffer.data(),
                                    buffer.size(), stop.get_token());
    });
    ASSERT_TRUE(service.WaitForRequests(1, 5000));
    stop.request_stop();
    exchange.join();  // the service still holds its answer: only the stop ended it
    EXPECT_EQ(count, 0);
    EXPECT_EQ(buffer[0], '\x7f');
    EXPECT_EQ(service.Requests().size(), 1u);
}

TEST(HttpClientCancel, AStopBeforeTheStartSendsNothing) {
    LoopbackUpdateService service(Reply(ObjectBody()));
    auto client = Client();
    std::stop_source stop;
    stop.request_stop();
    std::vector<char> buffer(64, '\x7f');
    EXPECT_EQ(client->HttpRequest("POST", service.BaseUrl() + "/x", "k", 1, buffer.data(), buffer.size(),
                                  stop.get_token()),
              0);
    EXPECT_EQ(buffer[0], '\x7f');
    EXPECT_TRUE(service.Requests().empty());
}

TEST(HttpClientInit, PutsTheDefaultsBack) {
    HttpClient client;
    EXPECT_EQ(client.Settings().userAgent, "WinHTTP Client/1.0");
    EXPECT_EQ(client.Settings().connectMs, 60000);
    EXPECT_EQ(client.Settings().sendMs, 30000);
    EXPECT_EQ(client.Settings().receiveMs, 30000);
    EXPECT_GT(client.Settings().resolveMs, 0);
    EXPECT_GT(client.Settings().transferMs, client.Settings().connectMs);
}

class HttpClientTls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new test::TempDir();
        s_certificates = test::TestCertificates::Make(s_folder->Path());
    }
    static void TearDownTestSuite() {
        delete s_folder;
    }
    static std::unique_ptr<HttpClient> TrustingTestCa() {
        HttpSettings settings = Quick();
        settings.caFile = s_certificates.caCertificate;
        return Client({"direct://"}, nullptr, settings);
    }
    static inline test::TempDir* s_folder = nullptr;
    static inline test::TestCertificates s_certificates;
};

TEST_F(HttpClientTls, ACertificateOfATrustedCaForThisNameIsExchanged) {
    ASSERT_TRUE(s_certificates.ok);
    LoopbackUpdateService service(Reply(ObjectBody()), s_certificates.serverCertificate,
                                  s_certificates.serverKey);
    EXPECT_EQ(Post(*TrustingTestCa(), service.BaseUrl() + "/api/updates", "k").Text(), "{}");
}

TEST_F(HttpClientTls, SelfSignedOrWrongNameCertificatesAreRefused) {
    ASSERT_TRUE(s_certificates.ok);
    const std::vector<std::pair<std::string, std::string>> refused = {
        {s_certificates.selfSignedCertificate, s_certificates.selfSignedKey},
        {s_certificates.wrongNameCertificate, s_certificates.wrongNameKey},
    };
    for (const auto& [certificate, key] : refused) {
        LoopbackUpdateService service(Reply(ObjectBody()), certificate, key);
        const Result result = Post(*TrustingTestCa(), service.BaseUrl() + "/api/updates", "k");
        EXPECT_EQ(result.Text(), "NO_LINK_SERVER") << certificate;
        EXPECT_TRUE(service.Requests().empty()) << certificate;
    }
}

}  // namespace
}  // namespace kx520::online
