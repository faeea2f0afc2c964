#include "sim/VirtualHeadsetSound.h"

#include <cstdio>
#include <string>

#include "catalog/DeviceCatalog.h"
#include "soundserver/PulseLink.h"

namespace kx520::sim {

namespace {

using sound::PulseLink;

std::string Properties(const char* description) {
    char ids[64];
    std::snprintf(ids, sizeof ids, "device.vendor.id=%04x device.product.id=%04x", kHeadsetVendorId,
                  kHeadsetProductId);
    return std::string("\"device.description='") + description + "' " + ids + " device.bus=usb " +
           VirtualHeadsetSound::kMarker + "\"";
}

}  // namespace

VirtualHeadsetSound::VirtualHeadsetSound() {
    m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

VirtualHeadsetSound::~VirtualHeadsetSound() {
    m_thread.request_stop();
    m_changed.notify_all();
}

void VirtualHeadsetSound::SetPlugged(bool plugged) {
    std::lock_guard lock(m_lock);
    m_wanted = plugged;
    m_settled = false;
    ++m_asked;
    m_changed.notify_all();
}

bool VirtualHeadsetSound::WaitSettled(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, wait, [this] { return m_settled; });
}

bool VirtualHeadsetSound::Apply(PulseLink& link, bool plugged) {
    if (!link.Connect("KX520 virtual headset")) {
        return false;
    }
    const auto modules = link.Modules();
    if (!modules) {
        return false;
    }
    bool sink = false;
    bool source = false;
    // Ours, from this run or one that ended without removing them.
    for (const PulseLink::Module& module : *modules) {
        if (module.argument.find(kMarker) == std::string::npos) {
            continue;
        }
        const bool isSink = module.name == "module-null-sink";
        if (!plugged) {
            link.UnloadModule(module.index);
            continue;
        }
        (isSink ? sink : source) = true;
    }
    if (!plugged) {
        return true;
    }
    if (!sink && !link.LoadModule("module-null-sink", std::string("sink_name=") + kSink +
                                                          " channels=2 sink_properties=" +
                                                          Properties("KX520 virtual headset"))) {
        return false;
    }
    return source || link.LoadModule("module-remap-source", std::string("source_name=") + kSource + " master=" +
                                                                 kSink + ".monitor source_properties=" +
                                                                 Properties("KX520 virtual headset microphone"));
}

void VirtualHeadsetSound::Run(std::stop_token stop) {
    PulseLink link;
    std::unique_lock lock(m_lock);
    // The leftovers of a run that ended without removing them go first.
    bool wanted = false;
    uint64_t done = 0;
    bool pending = true;
    while (!stop.stop_requested()) {
        if (pending) {
            lock.unlock();
            const bool ok = Apply(link, wanted);
            lock.lock();
            pending = !ok && wanted;  // without a server, nothing to remove
            m_settled = !pending && done == m_asked;
            m_changed.notify_all();
        }
        // While plugged the server is looked at again now and then: one that
        // restarted gets the devices back.
        const bool woken = m_changed.wait_for(lock, stop, wanted ? kRetry : std::chrono::hours(24),
                                              [this, done] { return m_asked != done; });
        if (woken) {
            wanted = m_wanted;
            done = m_asked;
        }
        pending = pending || woken || wanted;
    }
    lock.unlock();
    Apply(link, false);
}

}  // namespace kx520::sim
