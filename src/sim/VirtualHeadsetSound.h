#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kx520::sound {
class PulseLink;
}

namespace kx520::sim {

// The virtual headset's sound devices on the user's sound server: a null
// sink and a microphone remapped from its monitor, both "KX520 virtual
// headset" with the headset's USB ids, so that the headset's audio finds
// them as it finds the real ones. Present while the virtual headset is
// plugged; removed when it is unplugged, at exit, and at the next start
// after a run that could not remove them. Works on a thread of its own: a
// plug never waits for the server. Without a server it does nothing and
// tries again while the headset stays plugged.
class VirtualHeadsetSound {
public:
    static constexpr const char* kSink = "kx520_virtual_headset";
    static constexpr const char* kSource = "kx520_virtual_headset_mic";
    static constexpr const char* kMarker = "kx520.sim=headset";
    static constexpr std::chrono::milliseconds kRetry{1000};

    VirtualHeadsetSound();
    ~VirtualHeadsetSound();
    VirtualHeadsetSound(const VirtualHeadsetSound&) = delete;
    VirtualHeadsetSound& operator=(const VirtualHeadsetSound&) = delete;

    void SetPlugged(bool plugged);
    // Waits until the server has what was asked for (or `wait` passed);
    // whether the devices are there as wanted.
    bool WaitSettled(std::chrono::milliseconds wait);

private:
    void Run(std::stop_token stop);
    // Adds or removes the devices; whether the server now has what is wanted.
    static bool Apply(sound::PulseLink& link, bool plugged);

    std::mutex m_lock;
    std::condition_variable_any m_changed;
    bool m_wanted = false;
    bool m_settled = false;
    uint64_t m_asked = 0;
    std::jthread m_thread;  // last: it ends before what it uses
};

}  // namespace kx520::sim
