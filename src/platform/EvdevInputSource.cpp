#include "platform/EvdevInputSource.h"

#include <QSocketNotifier>
#include <QTimer>

#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "devices/NativeScanCode.h"
#include "platform/DebugTrace.h"

namespace kx520 {

struct EvdevInputSource::Device {
    int fd = -1;
    libevdev* evdev = nullptr;
    bool keyboard = false;
    bool grabbed = false;
    std::unique_ptr<QSocketNotifier> notifier;
    EvdevEventReader reader;
};

namespace {

bool IsKeyboard(const libevdev* device) {
    return libevdev_has_event_code(device, EV_KEY, KEY_A) && libevdev_has_event_code(device, EV_KEY, KEY_Z);
}

bool IsMouse(const libevdev* device) {
    return libevdev_has_event_code(device, EV_KEY, BTN_LEFT);
}

std::vector<std::string> EventNodes(const std::string& folder) {
    std::vector<std::string> nodes;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return nodes;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, "event", 5) == 0) {
            nodes.push_back(folder + "/" + entry->d_name);
        }
    }
    ::closedir(dir);
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

}  // namespace

EvdevInputSource::EvdevInputSource(std::string folder, bool grabKeyboards)
    : m_folder(std::move(folder)), m_grabKeyboards(grabKeyboards) {}

EvdevInputSource::~EvdevInputSource() {
    Stop();
}

size_t EvdevInputSource::GrabbedCount() const {
    return static_cast<size_t>(std::count_if(m_devices.begin(), m_devices.end(),
                                             [](const auto& device) { return device->grabbed; }));
}

bool EvdevInputSource::Start(Sink sink, std::string& why) {
    Stop();
    m_sink = std::move(sink);
    const std::vector<std::string> nodes = EventNodes(m_folder);
    int lastError = nodes.empty() ? ENOENT : 0;
    for (const std::string& node : nodes) {
        Open(node, lastError);
    }
    if (m_devices.empty()) {
        why = lastError == EACCES || lastError == EPERM
                  ? "the input devices in " + m_folder + " may not be read by this user"
                  : "no keyboard or mouse found in " + m_folder;
        m_sink = nullptr;
        return false;
    }
    if (m_grabKeyboards && GrabbedCount() > 0) {
        CreatePassThrough();
    }
    DebugTrace("recording reads " + std::to_string(m_devices.size()) + " input devices, " +
               std::to_string(GrabbedCount()) + " grabbed");
    return true;
}

bool EvdevInputSource::Open(const std::string& path, int& lastError) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastError = errno;
        return false;
    }
    libevdev* evdev = nullptr;
    if (libevdev_new_from_fd(fd, &evdev) < 0) {
        ::close(fd);
        return false;
    }
    const char* name = libevdev_get_name(evdev);
    const bool ours = name != nullptr && std::strcmp(name, kPassThroughName) == 0;
    const bool keyboard = IsKeyboard(evdev);
    if (ours || (!keyboard && !IsMouse(evdev))) {
        libevdev_free(evdev);
        ::close(fd);
        return false;
    }
    auto device = std::make_unique<Device>();
    device->fd = fd;
    device->evdev = evdev;
    device->keyboard = keyboard;
    // A key held when the grab starts would stay down for the others.
    device->grabbed = keyboard && m_grabKeyboards && libevdev_grab(evdev, LIBEVDEV_GRAB) == 0;
    device->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    Device* raw = device.get();
    connect(device->notifier.get(), &QSocketNotifier::activated, this, [this, raw] { Read(*raw); });
    m_devices.push_back(std::move(device));
    return true;
}

void EvdevInputSource::Read(Device& device) {
    std::vector<CapturedInput> heard;
    const uint64_t generation = m_generation;
    const bool present = device.reader.ReadAvailable(device.fd, heard);
    for (const CapturedInput& input : heard) {
        if (device.keyboard && device.grabbed && input.kind == CapturedInput::Kind::kKey && IsLockKey(input.code)) {
            PassOn(input.code, input.press);
        }
        if (m_sink) {
            m_sink(input);  // may stop the recording, and this source with it
        }
        if (m_generation != generation) {
            return;  // stopped: `device` is gone
        }
    }
    if (!present) {
        // Unplugged: its descriptor goes (and a grab with it), the rest read on.
        device.notifier->setEnabled(false);
        Device* gone = &device;
        QTimer::singleShot(0, this, [this, gone] {
            auto it = std::find_if(m_devices.begin(), m_devices.end(),
                                   [gone](const auto& held) { return held.get() == gone; });
            if (it != m_devices.end()) {
                Close(**it);
                m_devices.erase(it);
            }
        });
    }
}

void EvdevInputSource::Close(Device& device) {
    // It may be the notifier whose signal is running now.
    if (device.notifier) {
        device.notifier->setEnabled(false);
        device.notifier.release()->deleteLater();
    }
    if (device.evdev != nullptr) {
        if (device.grabbed) {
            libevdev_grab(device.evdev, LIBEVDEV_UNGRAB);
        }
        libevdev_free(device.evdev);
        device.evdev = nullptr;
    }
    if (device.fd >= 0) {
        ::close(device.fd);
        device.fd = -1;
    }
}

void EvdevInputSource::Stop() {
    ++m_generation;
    for (auto& device : m_devices) {
        Close(*device);
    }
    m_devices.clear();
    if (m_passThrough != nullptr) {
        libevdev_uinput_destroy(m_passThrough);
        m_passThrough = nullptr;
    }
    m_sink = nullptr;
}

void EvdevInputSource::CreatePassThrough() {
    libevdev* keys = libevdev_new();
    libevdev_set_name(keys, kPassThroughName);
    libevdev_enable_event_type(keys, EV_KEY);
    for (const unsigned code : {KEY_CAPSLOCK, KEY_NUMLOCK, KEY_SCROLLLOCK}) {
        libevdev_enable_event_code(keys, EV_KEY, code, nullptr);
    }
    if (libevdev_uinput_create_from_device(keys, LIBEVDEV_UINPUT_OPEN_MANAGED, &m_passThrough) != 0) {
        m_passThrough = nullptr;
        DebugTrace("no uinput device: the lock keys do not lock while recording");
    }
    libevdev_free(keys);
}

void EvdevInputSource::PassOn(uint16_t code, bool press) {
    if (m_passThrough == nullptr) {
        return;
    }
    libevdev_uinput_write_event(m_passThrough, EV_KEY, code, press ? 1 : 0);
    libevdev_uinput_write_event(m_passThrough, EV_SYN, SYN_REPORT, 0);
}

}  // namespace kx520
