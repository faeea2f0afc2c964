#pragma once

#include <QObject>

#include <memory>
#include <string>
#include <vector>

#include "platform/EvdevEventReader.h"
#include "desktop/InputSource.h"

struct libevdev;
struct libevdev_uinput;
class QSocketNotifier;

namespace kx520 {

// Every keyboard and mouse of the machine, read from its input device
// (root, the "input" group or a uaccess rule may). While it runs the
// keyboards are grabbed, so a recorded keystroke reaches no other program;
// a keyboard with keys held at the start is grabbed once they are up, and
// a node that also moves the pointer never is. The lock keys are passed on
// through a virtual keyboard of its own when one can be made. Stop, a
// device's removal and the end of the program (the kernel drops a grab
// with its descriptor) all let them go. Without a keyboard to hold it does
// not start: another source must hear the keys.
class EvdevInputSource : public QObject, public InputSource {
    Q_OBJECT

public:
    static constexpr const char* kPassThroughName = "KX520 recording lock keys";

    explicit EvdevInputSource(std::string folder = "/dev/input", bool grabKeyboards = true);
    ~EvdevInputSource() override;
    bool Start(Sink sink, std::string& why) override;
    void Stop() override;
    bool SystemWide() const override { return true; }

    // What is open now: for tests and the debug trace.
    size_t DeviceCount() const { return m_devices.size(); }
    size_t GrabbedCount() const;
    // Keyboards grabbed, or to be grabbed once their held keys are up.
    size_t KeyboardsHeld() const;
    bool PassesLockKeys() const { return m_passThrough != nullptr; }

private:
    struct Device;

    bool Open(const std::string& path, int& lastError);
    void TryGrab(Device& device);
    void Read(Device& device);
    void Close(Device& device);
    void PassOn(uint16_t code, bool press);
    void CreatePassThrough();

    std::string m_folder;
    bool m_grabKeyboards;
    Sink m_sink;
    std::vector<std::unique_ptr<Device>> m_devices;
    libevdev_uinput* m_passThrough = nullptr;
    uint64_t m_generation = 0;  // a Stop ends every read in progress
};

}  // namespace kx520
