#include "devicebase/FrameSender.h"

#include <algorithm>
#include <mutex>

#include "protocol/CommandChannel.h"
#include "protocol/CommandSet.h"

namespace kx520 {

namespace {

constexpr size_t kMaxFrameLeds = 170;

}  // namespace

std::vector<uint8_t> EncodeLedFrame(std::span<const LedEntry> frame) {
    const size_t leds = std::min(frame.size(), kMaxFrameLeds);
    std::vector<uint8_t> bytes(3 * leds);
    for (size_t i = 0; i < leds; ++i) {
        bytes[3 * i] = frame[i].ShownRed();
        bytes[3 * i + 1] = frame[i].ShownGreen();
        bytes[3 * i + 2] = frame[i].ShownBlue();
    }
    return bytes;
}

FrameSender::FrameSender(protocol::CommandChannel& channel)
    : m_channel(channel), m_transport([](protocol::CommandChannel& link, std::span<const uint8_t> bytes) {
          return protocol::CMD_STREAM_LIGHT(link, bytes);
      }) {}

bool FrameSender::SetTransport(Transport transport) {
    if (m_thread.joinable() || !transport) {
        return false;  // the running thread reads it unlocked
    }
    m_transport = std::move(transport);
    return true;
}

FrameSender::~FrameSender() {
    Stop();
}

void FrameSender::Start() {
    if (!m_thread.joinable()) {
        m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
    }
}

void FrameSender::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    m_thread.request_stop();
    m_changed.notify_all();
    m_thread.join();
    m_thread = std::jthread();
}

void FrameSender::Submit(std::vector<uint8_t> bytes) {
    {
        std::lock_guard lock(m_lock);
        if (m_pending) {
            ++m_dropped;
        }
        m_pending = std::move(bytes);
        m_pendingGeneration = m_channel.LinkGeneration();
    }
    m_changed.notify_all();
}

void FrameSender::Run(std::stop_token stop) {
    std::unique_lock lock(m_lock);
    while (!stop.stop_requested()) {
        if (!m_changed.wait(lock, stop, [this] { return m_pending.has_value(); })) {
            return;  // stopped
        }
        // After a failure the device gets a rest; frames keep replacing
        // each other meanwhile.
        if (std::chrono::steady_clock::now() < m_resumeAt) {
            m_changed.wait_until(lock, stop, m_resumeAt, [] { return false; });
            continue;
        }
        std::vector<uint8_t> frame = std::move(*m_pending);
        const uint64_t generation = m_pendingGeneration;
        m_pending.reset();
        lock.unlock();
        int result = protocol::kResultSuccess;
        bool stale = false;
        {
            // Held across the check and the send: a link switch takes it too,
            // so it waits for this frame or this frame sees the new link.
            std::lock_guard light(m_channel.LightLock());
            stale = m_channel.LinkGeneration() != generation;
            if (!stale) {
                result = m_transport(m_channel, frame);
            }
        }
        lock.lock();
        if (stale) {
            ++m_dropped;
        } else if (result == protocol::kResultSuccess) {
            ++m_sent;
        } else {
            ++m_failed;
            m_resumeAt = std::chrono::steady_clock::now() + kBackoff;
        }
    }
}

uint64_t FrameSender::SentFrames() const {
    std::lock_guard lock(m_lock);
    return m_sent;
}

uint64_t FrameSender::DroppedFrames() const {
    std::lock_guard lock(m_lock);
    return m_dropped;
}

uint64_t FrameSender::FailedFrames() const {
    std::lock_guard lock(m_lock);
    return m_failed;
}

}  // namespace kx520
