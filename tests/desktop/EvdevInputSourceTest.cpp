// Input capture's sources: the machine's input devices (against a virtual
// keyboard made through uinput, where the machine allows one) and the
// application's own window.
#include "desktop/EvdevInputSource.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "../profiles/ProfileTestFiles.h"
#include "desktop/InputCapture.h"
#include "desktop/WindowInputSource.h"
#include "support/TempDir.h"

namespace kx520 {
namespace {

void ProcessUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 3000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

TEST(EvdevInputSource, WithoutAKeyboardOrMouseToReadItDoesNotStartAndSaysWhy) {
    test::TempDir temp;
    std::string why;
    EvdevInputSource missing(temp.Path() + "/none");
    EXPECT_FALSE(missing.Start([](const CapturedInput&) {}, why));
    EXPECT_NE(why.find("no keyboard or mouse"), std::string::npos) << why;
    // A node that is no input device is opened, found wanting and closed.
    test::WriteText(temp.Path() + "/event0", "not a device");
    EvdevInputSource plain(temp.Path());
    EXPECT_FALSE(plain.Start([](const CapturedInput&) {}, why));
    EXPECT_EQ(plain.DeviceCount(), 0u);
}

// A virtual keyboard of the test's own, where /dev/uinput may be used.
class VirtualKeyboard {
public:
    VirtualKeyboard() {
        libevdev* keys = libevdev_new();
        libevdev_set_name(keys, "kx520 test keyboard");
        libevdev_enable_event_type(keys, EV_KEY);
        for (unsigned code = KEY_ESC; code <= KEY_CAPSLOCK; ++code) {
            libevdev_enable_event_code(keys, EV_KEY, code, nullptr);
        }
        if (libevdev_uinput_create_from_device(keys, LIBEVDEV_UINPUT_OPEN_MANAGED, &m_device) != 0) {
            m_device = nullptr;
        }
        libevdev_free(keys);
    }
    ~VirtualKeyboard() {
        if (m_device != nullptr) {
            libevdev_uinput_destroy(m_device);
        }
    }
    bool Made() const { return m_device != nullptr; }
    const char* Node() const { return libevdev_uinput_get_devnode(m_device); }
    void Key(unsigned code, int value) {
        libevdev_uinput_write_event(m_device, EV_KEY, code, value);
        libevdev_uinput_write_event(m_device, EV_SYN, SYN_REPORT, 0);
    }

private:
    libevdev_uinput* m_device = nullptr;
};

TEST(EvdevInputSource, AVirtualKeyboardIsReadAndGrabbedUntilStop) {
    if (::access("/dev/uinput", W_OK) != 0) {
        GTEST_SKIP() << "/dev/uinput is missing or not writable here: no virtual keyboard to read "
                        "(the event parsing is tested on a recorded stream)";
    }
    VirtualKeyboard keyboard;
    if (!keyboard.Made() || keyboard.Node() == nullptr) {
        GTEST_SKIP() << "uinput refused a virtual keyboard";
    }
    ProcessUntil([&] { return std::filesystem::exists(keyboard.Node()); });
    keyboard.Key(KEY_ENTER, 1);  // held when recording starts (the Enter that started it)
    std::vector<CapturedInput> heard;
    EvdevInputSource source;
    std::string why;
    ASSERT_TRUE(source.Start([&heard](const CapturedInput& input) { heard.push_back(input); }, why)) << why;
    const size_t grabbedBefore = source.GrabbedCount();
    keyboard.Key(KEY_ENTER, 0);  // its release reaches the desktop, and is no action
    ProcessUntil([&] { return source.GrabbedCount() > grabbedBefore; });
    EXPECT_GT(source.GrabbedCount(), grabbedBefore);
    keyboard.Key(KEY_A, 1);
    keyboard.Key(KEY_A, 0);
    ProcessUntil([&] { return heard.size() >= 2; });
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ(heard[0], (CapturedInput{CapturedInput::Kind::kKey, true, KEY_A}));
    EXPECT_EQ(heard[1], (CapturedInput{CapturedInput::Kind::kKey, false, KEY_A}));
    source.Stop();
    // Nobody holds it any more: another grab succeeds.
    const int fd = ::open(keyboard.Node(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::ioctl(fd, EVIOCGRAB, 1), 0);
    ::close(fd);
}

TEST(WindowInputSource, KeysAreHeardOnceAndKeptFromTheWidgetsUntilStop) {
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    QWindow* window = edit.windowHandle();
    ASSERT_NE(window, nullptr);
    std::vector<CapturedInput> heard;
    WindowInputSource source;
    std::string why;
    ASSERT_TRUE(source.Start([&heard](const CapturedInput& input) { heard.push_back(input); }, why));
    // A: evdev 30, native 38 under X11 and Wayland.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, QStringLiteral("a"));
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, QStringLiteral("a"), true);
    QCoreApplication::sendEvent(window, &repeat);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0, 0, QStringLiteral("a"));
    QCoreApplication::sendEvent(window, &release);
    ASSERT_EQ(heard.size(), 2u);  // the auto-repeat is not a new press
    EXPECT_EQ(heard[0], (CapturedInput{CapturedInput::Kind::kKey, true, KEY_A}));
    EXPECT_FALSE(heard[1].press);
    EXPECT_TRUE(edit.text().isEmpty());  // recorded, not typed
    source.Stop();
    QKeyEvent after(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, 56, 0, 0, QStringLiteral("b"));
    QCoreApplication::sendEvent(window, &after);
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(edit.text(), QStringLiteral("b"));
}

TEST(InputCapture, SwitchedOffItFailsWithItsReasonAndTakesNoInjectedInput) {
    InputCapture off(InputCapture::Choice::kNone);
    std::string why;
    EXPECT_EQ(off.Start([](const CapturedInput&) {}, why), InputCapture::Scope::kOff);
    EXPECT_NE(why.find("KX520_INPUT_CAPTURE"), std::string::npos);
    EXPECT_FALSE(off.Inject({}));

    InputCapture window(InputCapture::Choice::kWindow);
    int heard = 0;
    EXPECT_EQ(window.Start([&heard](const CapturedInput&) { ++heard; }, why), InputCapture::Scope::kWindow);
    EXPECT_TRUE(window.Inject({CapturedInput::Kind::kButton, true, kButtonLeft}));
    window.Stop();
    EXPECT_FALSE(window.Inject({CapturedInput::Kind::kButton, false, kButtonLeft}));
    EXPECT_EQ(heard, 1);
    // Told to read the input devices and unable to, it does not fall back.
    InputCapture evdev(InputCapture::Choice::kEvdev, "/nonexistent-input");
    EXPECT_EQ(evdev.Start([](const CapturedInput&) {}, why), InputCapture::Scope::kOff);
}

}  // namespace
}  // namespace kx520
