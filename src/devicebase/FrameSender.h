#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

#include "lighting/LedEntry.h"

namespace kx520 {

namespace protocol {
class CommandChannel;
}

// The bytes of an LED frame as the device takes them: red, green, blue of
// each LED scaled by its level, 3 bytes per LED, at most 170 LEDs.
std::vector<uint8_t> EncodeLedFrame(std::span<const LedEntry> frame);

// Streams LED frames to a device from a thread of its own, so the UI thread
// never waits on the bus (a keyboard frame is 10 packets, about 20 ms). The
// UI hands over the latest frame; a frame replaced before it went out is
// dropped. After a frame fails, nothing is sent for 200 ms.
class FrameSender {
public:
    static constexpr std::chrono::milliseconds kBackoff{200};

    // How a frame's bytes reach the device: a result of the command set
    // (kResultSuccess or why not). CMD_STREAM_LIGHT unless set otherwise.
    using Transport = std::function<int(protocol::CommandChannel&, std::span<const uint8_t>)>;

    explicit FrameSender(protocol::CommandChannel& channel);
    ~FrameSender();
    FrameSender(const FrameSender&) = delete;
    FrameSender& operator=(const FrameSender&) = delete;

    // For a kind whose frames are not command packets (the headset's
    // output reports); only before Start (false after it).
    bool SetTransport(Transport transport);
    void Start();
    // Wakes and joins the thread; a frame being sent finishes first.
    void Stop();
    // The frame to send next, replacing one that is still waiting. It goes
    // out only on the link it was made for: a frame that waits (the rest
    // after a failure) while the link changes is dropped.
    void Submit(std::vector<uint8_t> bytes);

    uint64_t SentFrames() const;
    uint64_t DroppedFrames() const;
    uint64_t FailedFrames() const;

private:
    void Run(std::stop_token stop);

    protocol::CommandChannel& m_channel;
    Transport m_transport;
    mutable std::mutex m_lock;
    std::condition_variable_any m_changed;
    std::optional<std::vector<uint8_t>> m_pending;
    // The link generation the pending frame was made for.
    uint64_t m_pendingGeneration = 0;
    std::chrono::steady_clock::time_point m_resumeAt{};
    uint64_t m_sent = 0;
    uint64_t m_dropped = 0;
    uint64_t m_failed = 0;
    std::jthread m_thread;
};

}  // namespace kx520
