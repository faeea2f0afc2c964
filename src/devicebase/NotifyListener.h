#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>

#include "devicebase/DeviceWorker.h"
#include "hid/HidDevice.h"

namespace kx520 {

// One notification interface of a device and the thread that reads it. The
// thread waits for reports without a time-out; each report that carries a
// notification code (0x401: the settings changed on the device itself) goes
// to the handler, on the listener's thread: a handler that touches the UI
// posts to the UI thread.
class NotifyListener {
public:
    // A device-wide notification code.
    static constexpr uint16_t kSettingsChanged = 0x401;

    using Handler = std::function<void(uint16_t code)>;

    NotifyListener(hid::HidBackend& backend, Handler handler);
    ~NotifyListener();
    NotifyListener(const NotifyListener&) = delete;
    NotifyListener& operator=(const NotifyListener&) = delete;

    // Opens `path` and starts reading; an attached listener is detached
    // first. False when the interface cannot be opened.
    bool Attach(const std::string& path);
    // Stops the thread (closing the link wakes its read at once), joins it
    // and closes the link.
    void Detach();
    bool IsAttached() const { return m_attached.load(); }

private:
    void Run(std::stop_token stop);

    hid::HidDevice m_link;
    Handler m_handler;
    std::mutex m_linkLock;
    std::atomic<bool> m_attached{false};
    DeviceWorker m_worker{std::chrono::milliseconds(500)};
};

}  // namespace kx520
