#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "hid/HidDevice.h"

namespace kx520::protocol {

// Results of exchanges and commands.
inline constexpr int kResultSuccess = 1;
inline constexpr int kResultNoReply = 0;  // not open, or no (matching) reply
inline constexpr int kResultWriteFailed = -1;
inline constexpr int kResultReceiverAnswered = -101;
inline constexpr int kResultStatusFF = -102;
inline constexpr int kResultStatusFE = -103;
inline constexpr int kResultUnsupported = -201;

const char* ResultText(int result);

// A device's 64-byte command channel over two links: the cable interface
// and the receiver interface. One exchange sends one request and collects
// its reply on the link the mode selects.
//
// Locks, outer to inner: commandLock or lightLock (one command's whole
// transfer), then ioLock (one exchange, from the write to its last read; the
// owner also holds it to open, close or switch links). secondLinkLock guards
// the second link when a channel only holds notification links.
class CommandChannel {
public:
    enum class Link { First, Second };

    static constexpr uint16_t kMaxBlockLimit = 512;
    static constexpr uint8_t kCableChunkSize = 56;
    static constexpr uint8_t kReceiverChunkSize = 24;
    static constexpr int kCableTimeoutMs = 1000;
    static constexpr int kReceiverTimeoutMs = 5000;

    explicit CommandChannel(hid::HidBackend& backend);
    ~CommandChannel();
    CommandChannel(const CommandChannel&) = delete;
    CommandChannel& operator=(const CommandChannel&) = delete;

    // 2: the receiver with 24-byte chunks; anything else: the cable with 56.
    void SetMode(int mode);
    // False (and nothing changes) above 512.
    bool SetBlockLimit(uint32_t limit);

    // Sends `request` (cut or zero-padded to 64 bytes, checksum set) and
    // reads its reply into `reply`. `count`, when given, gets the byte count
    // of the last read. Returns 1, 0, -1 or -101. Exchange also writes the
    // debug dump.
    int Exchange(const uint8_t* request, size_t requestLength, uint8_t* reply,
                 size_t replyLength, size_t* count);
    int ExchangeQuiet(const uint8_t* request, size_t requestLength, uint8_t* reply,
                      size_t replyLength, size_t* count);
    // An exchange that gives up at `deadline`, whatever the link's time-out:
    // for callers that must not wait the receiver's 2 x 5 s.
    using Deadline = std::chrono::steady_clock::time_point;
    int ExchangeUntil(Deadline deadline, const uint8_t* request, size_t requestLength,
                      uint8_t* reply, size_t replyLength, size_t* count);

    // Owner operations. Opening takes ioLock; closing first wakes a read
    // that waits on the link, then waits for the exchange to leave.
    bool OpenLink(Link link, const std::string& path);
    void CloseLink(Link link);
    void SetOpen(bool open) { m_open.store(open ? 1 : 0); }
    bool IsOpen() const { return m_open.load() != 0; }

    // Changes whenever a link is opened or closed or the mode changes: what
    // was made for one link is never sent on another.
    uint64_t LinkGeneration() const { return m_linkGeneration.load(); }

    bool Busy() const { return m_busy.load(); }
    uint16_t BlockLimit() const { return m_blockLimit.load(); }
    uint8_t ChunkSize() const { return m_chunkSize.load(); }
    bool ReceiverMode() const { return m_receiverMode.load() != 0; }

    hid::HidDevice& FirstLink() { return m_firstLink; }
    hid::HidDevice& SecondLink() { return m_secondLink; }
    std::recursive_timed_mutex& IoLock() { return m_ioLock; }
    std::recursive_timed_mutex& CommandLock() { return m_commandLock; }
    std::recursive_timed_mutex& LightLock() { return m_lightLock; }
    std::recursive_timed_mutex& SecondLinkLock() { return m_secondLinkLock; }

private:
    int Run(const uint8_t* request, size_t requestLength, uint8_t* reply, size_t replyLength,
            size_t* count, bool dump, std::optional<Deadline> deadline = std::nullopt);
    int Transfer(const uint8_t* packet, uint8_t* reply, size_t replyLength, size_t* count,
                 std::optional<Deadline> deadline);
    hid::HidDevice& Hid(Link link) { return link == Link::Second ? m_secondLink : m_firstLink; }

    std::atomic<uint16_t> m_blockLimit{kMaxBlockLimit};
    std::atomic<bool> m_busy{false};
    std::atomic<uint64_t> m_linkGeneration{0};
    std::atomic<int> m_open{0};
    hid::HidDevice m_firstLink;
    hid::HidDevice m_secondLink;
    std::recursive_timed_mutex m_ioLock;
    std::recursive_timed_mutex m_commandLock;
    std::recursive_timed_mutex m_lightLock;
    std::recursive_timed_mutex m_secondLinkLock;
    std::atomic<int> m_receiverMode{0};
    std::atomic<uint8_t> m_chunkSize{kReceiverChunkSize};
};

}  // namespace kx520::protocol
