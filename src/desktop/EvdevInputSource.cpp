#include "desktop/EvdevInputSource.h"

#include <QPointer>
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
#include <set>

#include "keycodes/NativeScanCode.h"
#include "platform/DebugTrace.h"

namespace kx520 {

struct EvdevInputSource::Device {
    int fd = -1;
    libevdev* evdev = nullptr;
    bool keyboard = false;
    bool grabbed = false;
    // A keyboard is grabbed once the keys held when recording started are
    // up: grabbed while down, they would stay down for the other programs.
    bool grabPending = false;
    std::set<uint16_t> heldAtStart;
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

// A node that also moves the pointer is never grabbed: the stop button
// could not be clicked.
bool Grabbable(const libevdev* device) {
    return IsKeyboard(device) && !IsMouse(device) && !libevdev_has_event_type(device, EV_REL) &&
           !libevdev_has_event_type(device, EV_ABS);
}

std::set<uint16_t> KeysDown(const libevdev* device) {
    std::set<uint16_t> down;
    for (unsigned code = 1; code < 0x100; ++code) {
        if (libevdev_has_event_code(device, EV_KEY, code) && libevdev_get_event_value(device, EV_KEY, code) != 0) {
            down.insert(static_cast<uint16_t>(code));
        }
    }
    return down;
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

size_t EvdevInputSource::KeyboardsHeld() const {
    return static_cast<size_t>(std::count_if(m_devices.begin(), m_devices.end(), [](const auto& device) {
        return device->grabbed || device->grabPending;
    }));
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
    // Keys that would reach every program (and this one's fields) are no
    // recording of the machine: another source has to hear them.
    if (m_grabKeyboards && KeyboardsHeld() == 0) {
        why = "no keyboard in " + m_folder + " could be held for recording";
        Stop();
        return false;
    }
    if (m_grabKeyboards) {
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
    if (m_grabKeyboards && Grabbable(evdev)) {
        device->heldAtStart = KeysDown(evdev);
        device->grabPending = true;
        TryGrab(*device);
    }
    device->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    Device* raw = device.get();
    connect(device->notifier.get(), &QSocketNotifier::activated, this, [this, raw] { Read(*raw); });
    m_devices.push_back(std::move(device));
    return true;
}

void EvdevInputSource::TryGrab(Device& device) {
    if (!device.grabPending || !device.heldAtStart.empty()) {
        return;
    }
    device.grabPending = false;
    device.grabbed = libevdev_grab(device.evdev, LIBEVDEV_GRAB) == 0;
    if (!device.grabbed) {
        DebugTrace("a keyboard could not be grabbed (another program holds it)");
    }
}

void EvdevInputSource::Read(Device& device) {
    std::vector<CapturedInput> heard;
    const uint64_t generation = m_generation;
    const QPointer<EvdevInputSource> alive(this);
    const bool present = device.reader.ReadAvailable(device.fd, heard);
    for (const CapturedInput& input : heard) {
        const bool key = input.kind == CapturedInput::Kind::kKey;
        if (key && !input.press && device.heldAtStart.erase(input.code) > 0) {
            continue;  // the end of a press from before the recording
        }
        if (device.keyboard && device.grabbed && key && IsLockKey(input.code)) {
            PassOn(input.code, input.press);
        }
        if (m_sink) {
            m_sink(input);  // may stop the recording, and end this source with it
        }
        if (!alive || m_generation != generation) {
            return;  // stopped: `device` (and perhaps this source) is gone
        }
    }
    TryGrab(device);
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
