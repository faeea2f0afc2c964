#include "fuzz/ScriptedHid.h"

#include <algorithm>

#include "protocol/CommandPacket.h"

namespace kx520::fuzz {

ScriptedConnection::ScriptedConnection(std::shared_ptr<const hid::HidReportDescriptor> descriptor,
                                       size_t collection, std::deque<ScriptedReply> replies)
    : m_descriptor(std::move(descriptor)), m_collection(collection), m_replies(std::move(replies)) {
    m_attributes.vendorId = 0x320F;
    m_attributes.productId = 0x50C2;
}

const hid::HidCollection& ScriptedConnection::Collection() const {
    return m_descriptor->Collections()[m_collection];
}

hid::HidIoResult ScriptedConnection::Read(std::span<uint8_t> buffer, int) {
    std::lock_guard lock(m_lock);
    if (m_replies.empty()) {
        return {hid::HidIoStatus::TimedOut, 0};
    }
    const ScriptedReply reply = std::move(m_replies.front());
    m_replies.pop_front();
    std::vector<uint8_t> report = reply.bytes;
    switch (reply.kind) {
        case ScriptedReply::Kind::Silence:
            return {hid::HidIoStatus::TimedOut, 0};
        case ScriptedReply::Kind::Echo:
            report = m_lastRequest;
            report.resize(std::max(report.size(), protocol::kPacketSize));
            std::copy_n(reply.bytes.begin(),
                        std::min(reply.bytes.size(), report.size() - protocol::kStatusByte),
                        report.begin() + protocol::kStatusByte);
            break;
        case ScriptedReply::Kind::Raw:
            break;
    }
    const size_t count = std::min(report.size(), buffer.size());
    std::copy_n(report.begin(), count, buffer.begin());
    return {hid::HidIoStatus::Ok, count};
}

hid::HidIoResult ScriptedConnection::Write(std::span<const uint8_t> report, int) {
    std::lock_guard lock(m_lock);
    m_lastRequest.assign(report.begin(), report.end());
    return {hid::HidIoStatus::Ok, report.size()};
}

ScriptedBackend::ScriptedBackend(std::shared_ptr<const hid::HidReportDescriptor> descriptor,
                                 size_t collection, std::deque<ScriptedReply> replies)
    : m_connection(std::make_shared<ScriptedConnection>(std::move(descriptor), collection,
                                                        std::move(replies))) {}

bool ScriptedBackend::Enumerate(std::vector<std::string>& paths) {
    paths.push_back("scripted#vid_320f&pid_50c2&mi_01&col04#1");
    return true;
}

hid::HidOpenResult ScriptedBackend::Open(const std::string&, const hid::HidOpenMode&) {
    return {m_connection, hid::HidError::None};
}

}  // namespace kx520::fuzz
