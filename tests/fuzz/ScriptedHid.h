#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "hid/HidBackend.h"
#include "hid/HidReportDescriptor.h"

namespace kx520::fuzz {

// One reply a scripted interface gives to the next read.
struct ScriptedReply {
    enum class Kind { Raw, Echo, Silence };
    Kind kind = Kind::Raw;
    // Raw: the report as it is. Echo: laid over the last request from the
    // status byte on, so that the reply matches the request it answers.
    std::vector<uint8_t> bytes;
};

// An interface whose reads return what the fuzzer scripted, never waiting:
// a device that says anything at all.
class ScriptedConnection : public hid::HidConnection {
public:
    ScriptedConnection(std::shared_ptr<const hid::HidReportDescriptor> descriptor, size_t collection,
                       std::deque<ScriptedReply> replies);

    const hid::HidAttributes& Attributes() const override { return m_attributes; }
    const hid::HidCollection& Collection() const override;
    hid::HidIoResult Read(std::span<uint8_t> buffer, int timeoutMs) override;
    hid::HidIoResult Write(std::span<const uint8_t> report, int timeoutMs) override;
    void DiscardInput() override {}
    void Cancel() override {}

private:
    std::shared_ptr<const hid::HidReportDescriptor> m_descriptor;
    size_t m_collection;
    hid::HidAttributes m_attributes;
    std::mutex m_lock;
    std::deque<ScriptedReply> m_replies;
    std::vector<uint8_t> m_lastRequest;
};

// A backend with one interface at every path: the scripted one.
class ScriptedBackend : public hid::HidBackend {
public:
    ScriptedBackend(std::shared_ptr<const hid::HidReportDescriptor> descriptor, size_t collection,
                    std::deque<ScriptedReply> replies = {});

    bool Enumerate(std::vector<std::string>& paths) override;
    bool Owns(const std::string&) const override { return true; }
    hid::HidOpenResult Open(const std::string& path, const hid::HidOpenMode& mode) override;
    bool Probe(const std::string&) override { return true; }

private:
    std::shared_ptr<ScriptedConnection> m_connection;
};

}  // namespace kx520::fuzz
