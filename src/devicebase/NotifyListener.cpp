#include "devicebase/NotifyListener.h"

#include <chrono>
#include <vector>

#include "platform/DebugTrace.h"

namespace kx520 {

namespace {

// A failed read (a link closed under it) is tried again after this pause.
constexpr auto kRetryPause = std::chrono::milliseconds(1);

}  // namespace

NotifyListener::NotifyListener(hid::HidBackend& backend, Handler handler)
    : m_link(backend), m_handler(std::move(handler)) {}

NotifyListener::~NotifyListener() {
    Detach();
}

bool NotifyListener::Attach(const std::string& path) {
    Detach();
    {
        std::lock_guard lock(m_linkLock);
        if (!m_link.Open(path, true, true, true, false)) {
            return false;
        }
        m_attached.store(true);
    }
    m_worker.Start([this](std::stop_token stop) { Run(stop); });
    return true;
}

void NotifyListener::Detach() {
    // Closing the link wakes the read that waits for ever.
    m_worker.Stop([this] { m_link.Close(); });
    std::lock_guard lock(m_linkLock);
    m_attached.store(false);
    m_link.Close();
}

void NotifyListener::Run(std::stop_token stop) {
    std::vector<uint8_t> report(64);
    while (!stop.stop_requested()) {
        size_t count = 0;
        if (!m_link.Read(report.data(), report.size(), &count, hid::kInfiniteTimeout)) {
            DeviceWorker::WaitFor(stop, kRetryPause);
            continue;
        }
        const auto code = m_link.ParseNotificationCode(report.data(), count);
        if (!code) {
            continue;  // a release, or a report without a code
        }
        DebugTrace("接收到自动添加设备的同步信息要求  TEST");
        if (*code == kSettingsChanged) {
            DebugTrace("接收到自动添加设备的同步信息要求");
        }
        if (m_handler) {
            m_handler(*code);
        }
    }
}

}  // namespace kx520
