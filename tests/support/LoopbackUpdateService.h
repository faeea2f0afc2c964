#pragma once

#include <json/value.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace kx520::test {

// An update service on 127.0.0.1 for the tests: it answers each request by
// the "app_key" of its body from a table of replies, and records what came.
//
// A reply is {"shape": S, "status": N, "body": B, "ms": T, "bytes": N}:
//   "json"    B (any JSON value) written out, the default shape
//   "text"    B (a string) as it is
//   "empty"   no body
//   "chunks"  B (a string) in "bytes"-sized chunks of a chunked body
//   "large"   "bytes" bytes of 'x'
//   "late"    the "json" reply after T ms
//   "silent"  no answer until the service stops
// The key "*" answers every key the table lacks; without it, 404 and {}.
class LoopbackUpdateService {
public:
    struct Request {
        std::string method;
        std::string target;  // as the request line gave it (absolute through a proxy)
        std::multimap<std::string, std::string> headers;
        std::string body;                      // every byte, the zero included
        std::string Header(const std::string& name) const;
    };

    // Plain http; with `certificate` and `key` (PEM files), https.
    explicit LoopbackUpdateService(Json::Value replies, const std::string& certificate = {},
                                   const std::string& key = {});
    ~LoopbackUpdateService();
    LoopbackUpdateService(const LoopbackUpdateService&) = delete;
    LoopbackUpdateService& operator=(const LoopbackUpdateService&) = delete;

    // A table from a JSON file of replies.
    static Json::Value RepliesFromFile(const std::string& path);
    // The key a body carries ("" when none).
    static std::string KeyOf(const std::string& body);

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT" (https:// for TLS).
    std::string BaseUrl() const;
    void SetReplies(Json::Value replies);
    std::vector<Request> Requests() const;
    // Waits up to `ms` for `count` requests to have arrived.
    bool WaitForRequests(size_t count, int ms) const;

private:
    void Answer(const httplib::Request& request, httplib::Response& response);
    Json::Value ReplyFor(const std::string& key) const;

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    bool m_tls = false;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    bool m_stopping = false;
    Json::Value m_replies;
    std::vector<Request> m_requests;
};

// Made with openssl at test time in `folder`: a CA, a server certificate it
// signed for 127.0.0.1 and localhost, one it signed for another name, and
// a self-signed one for 127.0.0.1.
struct TestCertificates {
    std::string caCertificate;
    std::string serverCertificate, serverKey;
    std::string wrongNameCertificate, wrongNameKey;
    std::string selfSignedCertificate, selfSignedKey;
    bool ok = false;
    static TestCertificates Make(const std::string& folder);
};

}  // namespace kx520::test
