#include "support/LoopbackUpdateService.h"

#include <httplib.h>
#include <json/reader.h>
#include <json/writer.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kx520::test {

namespace {

std::string JsonText(const Json::Value& value) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, value);
}

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

std::string LoopbackUpdateService::Request::Header(const std::string& name) const {
    const auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

LoopbackUpdateService::LoopbackUpdateService(Json::Value replies, const std::string& certificate,
                                             const std::string& key)
    : m_tls(!certificate.empty()), m_replies(std::move(replies)) {
    if (m_tls) {
        m_server = std::make_unique<httplib::SSLServer>(certificate.c_str(), key.c_str());
    } else {
        m_server = std::make_unique<httplib::Server>();
    }
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        Answer(request, response);
    };
    m_server->Post(".*", handler);
    m_server->Get(".*", handler);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // Connections wait in the bound socket's backlog; stop() needs the loop running.
    while (!m_server->is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

LoopbackUpdateService::~LoopbackUpdateService() {
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_server->stop();
    m_thread.join();
}

Json::Value LoopbackUpdateService::RepliesFromFile(const std::string& path) {
    std::ifstream file(path);
    Json::Value root;
    Json::CharReaderBuilder reader;
    std::string errors;
    Json::parseFromStream(reader, file, &root, &errors);
    return root;
}

std::string LoopbackUpdateService::KeyOf(const std::string& body) {
    const std::string text(body.c_str());  // up to the zero byte
    const size_t start = text.find("app_key=");
    if (start == std::string::npos) {
        return {};
    }
    const size_t from = start + 8;
    const size_t end = text.find('&', from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::string LoopbackUpdateService::BaseUrl() const {
    return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port);
}

void LoopbackUpdateService::SetReplies(Json::Value replies) {
    std::lock_guard guard(m_lock);
    m_replies = std::move(replies);
}

std::vector<LoopbackUpdateService::Request> LoopbackUpdateService::Requests() const {
    std::lock_guard guard(m_lock);
    return m_requests;
}

bool LoopbackUpdateService::WaitForRequests(size_t count, int ms) const {
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, std::chrono::milliseconds(ms),
                              [&] { return m_requests.size() >= count; });
}

Json::Value LoopbackUpdateService::ReplyFor(const std::string& key) const {
    std::lock_guard guard(m_lock);
    if (m_replies.isObject() && m_replies.isMember(key)) {
        return m_replies[key];
    }
    if (m_replies.isObject() && m_replies.isMember("*")) {
        return m_replies["*"];
    }
    Json::Value missing;
    missing["status"] = 404;
    missing["body"] = Json::Value(Json::objectValue);
    return missing;
}

void LoopbackUpdateService::Answer(const httplib::Request& request, httplib::Response& response) {
    Request seen{request.method, request.target,
                 std::multimap<std::string, std::string>(request.headers.begin(), request.headers.end()),
                 request.body};
    {
        std::lock_guard guard(m_lock);
        m_requests.push_back(seen);
    }
    m_changed.notify_all();
    const Json::Value reply = ReplyFor(KeyOf(request.body));
    const std::string shape = reply.get("shape", "json").asString();
    response.status = reply.get("status", 200).asInt();
    const Json::Value& body = reply["body"];
    if (shape == "silent" || shape == "late") {
        std::unique_lock guard(m_lock);
        const auto wait = shape == "silent" ? std::chrono::hours(1)
                                            : std::chrono::milliseconds(reply.get("ms", 0).asInt());
        m_changed.wait_for(guard, wait, [this] { return m_stopping; });
        if (shape == "silent") {
            return;
        }
    }
    if (shape == "empty") {
        return;
    }
    if (shape == "text") {
        response.set_content(body.asString(), "text/plain");
        return;
    }
    if (shape == "large") {
        response.set_content(std::string(reply.get("bytes", 0).asUInt(), 'x'), "application/json");
        return;
    }
    if (shape == "chunks") {
        const std::string text = body.asString();
        const size_t step = std::max(1u, reply.get("bytes", 1).asUInt());
        response.set_chunked_content_provider(
            "application/json", [text, step](size_t offset, httplib::DataSink& sink) {
                if (offset >= text.size()) {
                    sink.done();
                    return true;
                }
                sink.write(text.data() + offset, std::min(step, text.size() - offset));
                return true;
            });
        return;
    }
    response.set_content(JsonText(body), "application/json");
}

TestCertificates TestCertificates::Make(const std::string& folder) {
    TestCertificates made;
    const std::string f = folder + "/";
    made.caCertificate = f + "ca.pem";
    made.serverCertificate = f + "server.pem";
    made.serverKey = f + "server.key";
    made.wrongNameCertificate = f + "wrong.pem";
    made.wrongNameKey = f + "wrong.key";
    made.selfSignedCertificate = f + "self.pem";
    made.selfSignedKey = f + "self.key";
    const std::string ca = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=kx520-test-ca -keyout " +
                           f + "ca.key -out " + made.caCertificate;
    const auto signedFor = [&](const std::string& name, const std::string& san) {
        const std::string ext = f + name + ".ext";
        std::ofstream(ext) << "subjectAltName=" << san << "\n";
        return Shell("openssl req -newkey rsa:2048 -nodes -subj /CN=" + name + " -keyout " + f + name +
                     ".key -out " + f + name + ".csr") &&
               Shell("openssl x509 -req -days 2 -in " + f + name + ".csr -CA " + made.caCertificate +
                     " -CAkey " + f + "ca.key -CAcreateserial -extfile " + ext + " -out " + f + name + ".pem");
    };
    made.ok = Shell(ca) && signedFor("server", "IP:127.0.0.1,DNS:localhost") &&
              signedFor("wrong", "DNS:elsewhere.invalid") &&
              Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                    "-addext subjectAltName=IP:127.0.0.1 -keyout " + made.selfSignedKey + " -out " +
                    made.selfSignedCertificate);
    return made;
}

}  // namespace kx520::test
