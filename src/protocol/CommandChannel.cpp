#include "protocol/CommandChannel.h"

#include <algorithm>
#include <cstdio>

#include "platform/DebugTrace.h"
#include "protocol/CommandPacket.h"

namespace kx520::protocol {

namespace {

// At most this many reads for one reply: the answer, or one stray before it.
constexpr int kMaxReads = 2;

// Two lines of 32 bytes, grouped in fours, as the firmware tools print them.
void DumpPacket(const uint8_t* bytes, size_t length) {
    uint8_t padded[kPacketSize] = {};
    std::copy_n(bytes, std::min(length, kPacketSize), padded);
    for (int line = 0; line < 2; ++line) {
        const uint8_t* b = padded + line * 32;
        char text[160];
        std::snprintf(text, sizeof text,
                      "%02x %02x %02x %02x   %02x %02x %02x %02x   %02x %02x %02x %02x   "
                      "%02x %02x %02x %02x  %02x %02x %02x %02x  %02x %02x %02x %02x  "
                      "%02x %02x %02x %02x  %02x %02x %02x %02x",
                      b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11],
                      b[12], b[13], b[14], b[15], b[16], b[17], b[18], b[19], b[20], b[21], b[22],
                      b[23], b[24], b[25], b[26], b[27], b[28], b[29], b[30], b[31]);
        DebugTrace(text);
    }
}

}  // namespace

const char* ResultText(int result) {
    switch (result) {
        case kResultSuccess: return "success";
        case kResultNoReply: return "channel not open or no reply";
        case kResultWriteFailed: return "write failed";
        case kResultReceiverAnswered: return "the receiver answered: device asleep or out of range";
        case kResultStatusFF: return "device reported error 0xFF";
        case kResultStatusFE: return "device reported error 0xFE";
        case kResultUnsupported: return "unsupported argument";
        default: return "unknown result";
    }
}

CommandChannel::CommandChannel(hid::HidBackend& backend)
    : m_firstLink(backend), m_secondLink(backend) {}

CommandChannel::~CommandChannel() {
    SetOpen(false);
    CloseLink(Link::First);
    CloseLink(Link::Second);
}

void CommandChannel::SetMode(int mode) {
    ++m_linkGeneration;
    const bool receiver = mode == 2;
    m_receiverMode.store(receiver ? 1 : 0);
    m_chunkSize.store(receiver ? kReceiverChunkSize : kCableChunkSize);
}

bool CommandChannel::SetBlockLimit(uint32_t limit) {
    if (limit > kMaxBlockLimit) {
        return false;
    }
    m_blockLimit.store(static_cast<uint16_t>(limit));
    return true;
}

bool CommandChannel::OpenLink(Link link, const std::string& path) {
    std::lock_guard lock(m_ioLock);
    ++m_linkGeneration;
    return Hid(link).Open(path, true, true, true, false);
}

void CommandChannel::CloseLink(Link link) {
    ++m_linkGeneration;
    // Closing wakes a read that waits on this link at once; taking ioLock
    // afterwards makes sure the exchange it belonged to has left.
    Hid(link).Close();
    std::lock_guard lock(m_ioLock);
}

int CommandChannel::Exchange(const uint8_t* request, size_t requestLength, uint8_t* reply,
                             size_t replyLength, size_t* count) {
    return Run(request, requestLength, reply, replyLength, count, DebugTraceEnabled());
}

int CommandChannel::ExchangeQuiet(const uint8_t* request, size_t requestLength, uint8_t* reply,
                                  size_t replyLength, size_t* count) {
    return Run(request, requestLength, reply, replyLength, count, false);
}

int CommandChannel::ExchangeUntil(Deadline deadline, const uint8_t* request,
                                  size_t requestLength, uint8_t* reply, size_t replyLength,
                                  size_t* count) {
    return Run(request, requestLength, reply, replyLength, count, DebugTraceEnabled(), deadline);
}

int CommandChannel::Run(const uint8_t* request, size_t requestLength, uint8_t* reply,
                        size_t replyLength, size_t* count, bool dump,
                        std::optional<Deadline> deadline) {
    m_busy.store(true);
    if (count != nullptr) {
        *count = 0;
    }
    int result = kResultNoReply;
    if (IsOpen() && request != nullptr && reply != nullptr) {
        const Packet packet = FrameRequest(std::span<const uint8_t>(request, requestLength));
        if (dump) {
            DebugTrace("命令");
            DumpPacket(packet.data(), packet.size());
        }
        result = Transfer(packet.data(), reply, replyLength, count, deadline);
        if (dump && result != kResultWriteFailed) {
            DebugTrace("返回");
            DumpPacket(reply, replyLength);
        }
    }
    m_busy.store(false);
    return result;
}

int CommandChannel::Transfer(const uint8_t* packet, uint8_t* reply, size_t replyLength,
                             size_t* count, std::optional<Deadline> deadline) {
    const bool receiver = ReceiverMode();
    hid::HidDevice& link = receiver ? m_secondLink : m_firstLink;
    const int linkTimeout = receiver ? kReceiverTimeoutMs : kCableTimeoutMs;
    // Each wait is the link's time-out, or what is left before the deadline.
    auto timeoutNow = [&]() {
        if (!deadline) {
            return linkTimeout;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            *deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::clamp<int64_t>(left.count(), 0, linkTimeout));
    };
    // One exchange keeps the link from its write to its last read, so no
    // other exchange (a light frame) can take its reply.
    std::unique_lock lock(m_ioLock, std::defer_lock);
    if (!deadline) {
        lock.lock();
    } else if (!lock.try_lock_until(*deadline)) {
        return kResultNoReply;
    }
    // A reply that came after an earlier exchange gave up must not be taken
    // for the answer to this request.
    link.DiscardInput();
    if (!link.Write(packet, kPacketSize, nullptr, timeoutNow())) {
        return kResultWriteFailed;
    }
    for (int read = 0; read < kMaxReads; ++read) {
        size_t received = 0;
        const int timeout = timeoutNow();
        if (deadline && timeout == 0 && read > 0) {
            break;  // the time is up
        }
        const bool ok = link.Read(reply, replyLength, &received, timeout);
        if (count != nullptr) {
            *count = received;
        }
        // A reply shorter than asked for is a failed read; a failed read is
        // followed by the second one like a reply that does not match.
        if (!ok || received < replyLength || replyLength <= kCommandByte) {
            continue;
        }
        if (reply[kCommandByte] == packet[kCommandByte]) {
            return kResultSuccess;
        }
        if (receiver && reply[kCommandByte] == kReceiverAnswer) {
            return kResultReceiverAnswered;
        }
    }
    // Two reads and neither answered this request.
    return kResultNoReply;
}

}  // namespace kx520::protocol
