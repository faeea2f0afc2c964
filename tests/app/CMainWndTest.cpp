#include "app/CMainWnd.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <functional>
#include <random>

#include "devicelink/DeviceLinkManager.h"
#include "messages/RegisteredMessages.h"
#include "app/SettingsWindowLauncher.h"
#include "app/Startup.h"
#include "appwindow/TrayController.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "deviceui/CDeviceOptionUI.h"
#include "desktop/SettingsStore.h"
#include "protocol/CommandSet.h"
#include "sim/PacketTrace.h"
#include "sim/VirtualHidBackend.h"
#include "support/TraceReader.h"
#include "support/TempDir.h"
#include "ui/CControlUI.h"
#include "builder/CMenuWnd.h"
#include "ui/CPaintManagerUI.h"
#include "ui/MessageRegistry.h"
#include "ui/CTabLayoutUI.h"

#include "app/MainWindowFixture.h"

namespace kx520 {
namespace {

using test::MainWindow;
using test::WaitFor;


TEST_F(MainWindow, WithoutDevicesTheHintShowsAfterTheFirstPass) {
    Start();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(HintShown());
    EXPECT_EQ(window->CurrentDevice(), nullptr);
    // No page is built before its device first arrives.
    EXPECT_TRUE(window->DeviceOptions().empty());
    // The fit timer sizes the window for a 96-DPI screen.
    EXPECT_TRUE(WaitFor([this] { return window->width() == 1000 && window->height() == 640; }));
}

TEST_F(MainWindow, TheFirstDeviceBecomesCurrentAndTheLastToLeaveShowsTheHint) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    EXPECT_FALSE(HintShown());
    EXPECT_EQ(DevicePage(), Option("keyboard")->BoundTabIndex());
    EXPECT_TRUE(Device("keyboard")->Channel().IsOpen());
    EXPECT_FALSE(Device("keyboard")->Channel().ReceiverMode());

    backend.Plug("mouse");
    ASSERT_TRUE(WaitFor([this] { return Shown("mouse"); }));
    EXPECT_TRUE(Current("keyboard"));  // a second device does not take over

    backend.Unplug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return !Shown("keyboard"); }));
    EXPECT_TRUE(Current("mouse"));
    EXPECT_FALSE(Device("keyboard")->Channel().IsOpen());

    backend.Unplug("mouse");
    ASSERT_TRUE(WaitFor([this] { return HintShown(); }));
    EXPECT_EQ(window->CurrentDevice(), nullptr);
    EXPECT_EQ(DevicePage(), 0);
}

TEST_F(MainWindow, AMouseCableTakesOverFromItsReceiverAndHandsBack) {
    Start();
    backend.Plug("mouse-receiver");
    ASSERT_TRUE(WaitFor([this] { return Current("mouse"); }));
    CZentrelUSBDevice* mouse = Device("mouse");
    EXPECT_TRUE(mouse->Channel().ReceiverMode());

    backend.Plug("mouse");
    ASSERT_TRUE(WaitFor([mouse] { return !mouse->Channel().ReceiverMode(); }));
    EXPECT_TRUE(mouse->Channel().IsOpen());
    EXPECT_TRUE(Current("mouse"));

    backend.Unplug("mouse");
    ASSERT_TRUE(WaitFor([mouse] { return mouse->Channel().ReceiverMode(); }));
    EXPECT_TRUE(mouse->Channel().IsOpen());
    EXPECT_TRUE(Shown("mouse"));
    EXPECT_EQ(Device("mouse"), mouse);  // one device object for both links

    // The receiver leaving while nothing else is attached closes the link.
    backend.Unplug("mouse-receiver");
    ASSERT_TRUE(WaitFor([this] { return HintShown(); }));
    EXPECT_FALSE(mouse->Channel().IsOpen());
}

TEST_F(MainWindow, AReceiverThatStopsAnsweringNeverFreezesTheWindowOnTheSwitch) {
    Start();
    backend.Plug("mouse");
    ASSERT_TRUE(WaitFor([this] { return Current("mouse"); }));
    CZentrelUSBDevice* mouse = Device("mouse");
    ASSERT_TRUE(mouse->PowerFlag());  // the switch probes the receiver
    backend.Plug("mouse-receiver");
    QTest::qWait(300);
    backend.AddFault("mouse-receiver", {sim::SimFault::NoReply, sim::FaultSpec::kEvery});
    // The UI thread's longest pause while the cable leaves and the link moves.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    beat.start(10);
    backend.Unplug("mouse");
    ASSERT_TRUE(WaitFor([mouse] { return mouse->Channel().ReceiverMode(); }, 15000));
    QTest::qWait(200);
    // The probe is bound to about 1.5 s as a whole; unbounded, one
    // unanswered probe held the window for 2 x 5 s.
    EXPECT_LT(longest, 4000);
}

// Host-drawn frames go to the keyboard on whichever link it has, each link
// in its own packets: never a cable's 56-byte packet through the receiver
// (a frame waiting for the old link when it changes is dropped:
// FrameSenderStream).
TEST_F(MainWindow, HostFramesGoInTheirLinksOwnPacketsAsTheKeyboardMovesBetweenCableAndReceiver) {
    const std::string tracePath = temp.Path() + "/trace";
    backend.SetTrace(sim::PacketTrace::Open(tracePath, nullptr));
    Start();
    backend.Plug("keyboard-receiver");
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    CZentrelUSBDevice* keyboard = Device("keyboard");
    // The keyboard takes frames from the host in its host-driven modes only.
    auto* own = dynamic_cast<CZentrelKeyboardDevice*>(keyboard);
    ASSERT_NE(own, nullptr);
    profiles::LightSetting host = own->Keyboard().Light();
    host.mode = KeyboardLightEngine::kHostColourMode;
    host.brightness = 4;
    auto streamed = [&tracePath](const char* product) {
        int frames = 0;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(tracePath))) {
            frames += line.product == product && line.Command() == protocol::kCmdStreamLight;
        }
        return frames;
    };
    auto longest = [&tracePath](const char* product) {
        int length = 0;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(tracePath))) {
            if (line.product == product && line.Command() == protocol::kCmdStreamLight) {
                length = std::max<int>(length, line.Length());
            }
        }
        return length;
    };
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(WaitFor([&] { return !keyboard->Channel().ReceiverMode(); }));
        // Each plug is a keyboard as it left the factory: host mode again.
        QTest::qWait(300);
        own->ApplyLightSetting(host);
        const int before = streamed("keyboard");
        ASSERT_TRUE(WaitFor([&] { return streamed("keyboard") > before + 20; }))  // streaming
            << "round " << round << ", mode " << int(own->Keyboard().EngineSetting().mode);
        backend.Unplug("keyboard");  // frames fail, and one waits out the rest after it
        ASSERT_TRUE(WaitFor([&] { return keyboard->Channel().ReceiverMode(); }));
        QTest::qWait(400);  // frames through the receiver while the mode is still the host's
        backend.Plug("keyboard");
    }
    EXPECT_LE(longest("keyboard-receiver"), protocol::CommandChannel::kReceiverChunkSize);
    EXPECT_EQ(longest("keyboard"), protocol::CommandChannel::kCableChunkSize);
}

TEST_F(MainWindow, PlugAndUnplugTheReceiverWhileTheCableIsAttachedChangesNothing) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    CZentrelUSBDevice* keyboard = Device("keyboard");
    backend.Plug("keyboard-receiver");
    QTest::qWait(400);
    EXPECT_FALSE(keyboard->Channel().ReceiverMode());
    backend.Unplug("keyboard-receiver");
    QTest::qWait(400);
    EXPECT_TRUE(keyboard->Channel().IsOpen());
    EXPECT_FALSE(keyboard->Channel().ReceiverMode());
}

TEST_F(MainWindow, PagesAreBuiltOnFirstArrivalAndReused) {
    Start();
    EXPECT_EQ(window->DeviceOptions().size(), 0u);
    backend.Plug("mousepad");
    ASSERT_TRUE(WaitFor([this] { return Current("MousePad"); }));
    CZentrelUSBDevice* pad = Device("MousePad");
    backend.Unplug("mousepad");
    ASSERT_TRUE(WaitFor([this] { return HintShown(); }));
    backend.Plug("mousepad");
    ASSERT_TRUE(WaitFor([this] { return Current("MousePad"); }));
    EXPECT_EQ(Device("MousePad"), pad);
    backend.Plug("headset");
    ASSERT_TRUE(WaitFor([this] { return Shown("HD"); }));
    EXPECT_EQ(window->DeviceOptions().size(), 2u);
    EXPECT_EQ(window->Devices().DevicesOf(DeviceLinkManager::MousePads).size(), 1u);
}

TEST_F(MainWindow, NotificationInterfacesFollowTheirDevice) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Device("keyboard") != nullptr && Device("keyboard")->NotifyAttached(KeyboardWired); }));
    backend.Unplug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return !Device("keyboard")->NotifyAttached(KeyboardWired); }));
}

TEST_F(MainWindow, PreviousAndNextWalkTheShownOptions) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    backend.Plug("mouse");
    ASSERT_TRUE(WaitFor([this] { return Shown("mouse"); }));
    backend.Plug("mousepad");
    ASSERT_TRUE(WaitFor([this] { return Shown("MousePad"); }));
    // The selector lists the options as their devices first came.
    ASSERT_EQ(OptionIndex("keyboard"), 0);
    ASSERT_EQ(OptionIndex("mouse"), 1);
    ASSERT_EQ(OptionIndex("MousePad"), 2);
    window->Selector().SelectNext();
    EXPECT_TRUE(Current("mouse"));
    window->Selector().SelectNext();
    EXPECT_TRUE(Current("MousePad"));
    window->Selector().SelectNext();
    EXPECT_TRUE(Current("MousePad"));  // nothing after the last
    window->Selector().SelectPrevious();
    EXPECT_TRUE(Current("mouse"));
    EXPECT_EQ(DevicePage(), Option("mouse")->BoundTabIndex());
    window->Selector().SelectPrevious();
    window->Selector().SelectPrevious();
    EXPECT_TRUE(Current("keyboard"));  // nothing before the first
}

TEST_F(MainWindow, TheTrayShowsAndHidesTheWindowAndMenuItemsRunTheirRows) {
    Start();
    ASSERT_TRUE(window->isVisible());
    window->SendMessage(msg::kTrayIcon, 107, TrayController::kLeftUp);
    EXPECT_FALSE(window->isVisible());
    window->SendMessage(msg::kTrayIcon, 107, TrayController::kLeftUp);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(HintShown());  // no device yet

    int ran = 0;
    window->Tray().AddMenuItem("test_item", [&ran] { ++ran; });
    ui::MenuCommand command;
    command.name = QStringLiteral("test_item");
    window->SendMessage(msg::kMenuClick, reinterpret_cast<quintptr>(&command), 0);
    EXPECT_EQ(ran, 1);
    // The settings item opens the settings window (closed again once it is up).
    QString opened;
    ui::WindowImplBase::SetModalObserver([&opened](ui::WindowImplBase* shown) {
        opened = shown->GetWindowClassName();
        QTimer::singleShot(0, shown, [shown] { shown->close(); });
    });
    EXPECT_TRUE(window->Tray().OnMenuClick(QStringLiteral("setwnd_menu")));
    ui::WindowImplBase::SetModalObserver(nullptr);
    EXPECT_EQ(opened, QStringLiteral("SetWnd"));
    EXPECT_FALSE(window->SettingsWindow().IsOpen());
    EXPECT_FALSE(window->Tray().OnMenuClick(QStringLiteral("Test_Item")));  // names are exact
    EXPECT_FALSE(window->Tray().OnMenuClick(QStringLiteral("no_such_item")));
    // A suspended system leaves the menu alone.
    window->SendMessage(msg::kPowerBroadcast, msg::kPowerSuspend, 0);
    window->SendMessage(msg::kMenuClick, reinterpret_cast<quintptr>(&command), 0);
    EXPECT_EQ(ran, 1);
}

TEST_F(MainWindow, ShutdownStopsTheScanSoLaterDevicesAreNotSeen) {
    Start();
    EXPECT_TRUE(window->Shutdown());
    EXPECT_TRUE(window->Shutdown());  // the second call has nothing left to do
    backend.Plug("keyboard");
    QTest::qWait(300);  // three scan periods: a running scan would have seen it
    EXPECT_FALSE(Shown("keyboard"));
}

TEST_F(MainWindow, WithNothingAttachedThePanelOffersTheVirtualDevices) {
    Start();
    ASSERT_TRUE(HintShown());
    ui::CControlUI* offer = window->FindControl(QStringLiteral("no_device_simulate_btn"));
    ASSERT_NE(offer, nullptr);
    EXPECT_FALSE(offer->IsVisible());  // nobody to ask yet
    window->SetVirtualDevicesHandler([this] { backend.Plug("keyboard"); });
    EXPECT_TRUE(offer->IsVisible());
    window->Notify({QStringLiteral("click"), offer, 0, 0});
    EXPECT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    EXPECT_FALSE(HintShown());
}

TEST_F(MainWindow, ADeviceThisUserMayNotOpenIsExplainedWithTheFix) {
    window = new CMainWnd(backend, *settings);
    QString error;
    ASSERT_TRUE(window->Create(&error)) << error.toStdString();
    window->SetVirtualDevicesHandler([] {});
    // What the scan reports from its thread for a node it may not open.
    window->OnOpenFailed("/dev/hidraw3", hid::HidError::AccessDenied);
    ui::CControlUI* fix = window->FindControl(QStringLiteral("no_device_fix"));
    ASSERT_TRUE(WaitFor([fix] { return fix->IsVisible(); }));
    EXPECT_TRUE(fix->GetText().contains(QLatin1String("kx520ctl udev-rules")));
    EXPECT_TRUE(fix->GetText().contains(QLatin1String("udevadm")));
    EXPECT_TRUE(window->FindControl(QStringLiteral("no_device_reason"))->IsVisible());
    EXPECT_FALSE(window->FindControl(QStringLiteral("no_device_simulate_btn"))->IsVisible());
    // Any other failure (a device gone between the listing and the open) says nothing.
    auto* other = new CMainWnd(backend, *settings);
    ASSERT_TRUE(other->Create(&error));
    other->OnOpenFailed("/dev/hidraw4", hid::HidError::NotFound);
    QTest::qWait(50);
    EXPECT_FALSE(other->FindControl(QStringLiteral("no_device_fix"))->IsVisible());
    other->Shutdown();
    delete other;
}

TEST_F(MainWindow, ASecondStartRestoresTheHiddenWindow) {
    Start();
    window->hide();
    const int before = window->InstanceMessages();
    window->SendMessage(ui::RegisterWindowMessage(QLatin1String(kInstanceMessage.registration)), 0, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->InstanceMessages(), before + 1);
}

TEST_F(MainWindow, TheCloseButtonHidesOrMinimisesButKeepsTheDevicesRunning) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    window->close();
    // With a tray the window hides into it; without one (offscreen, some
    // desktops) it is minimised rather than lost.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_FALSE(window->isVisible());
    } else {
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isMinimized());
    }
    EXPECT_TRUE(Device("keyboard")->Channel().IsOpen());
    EXPECT_FALSE(window->FindControl(QStringLiteral("device_select_layout")) == nullptr);
}

TEST(MainWindowDpi, TheMonitorRuleUsesPhysicalPixels) {
    EXPECT_EQ(CMainWnd::DpiForScreen({1920, 1080}), 144);
    EXPECT_EQ(CMainWnd::DpiForScreen({1366, 768}), 96);
    EXPECT_EQ(CMainWnd::DpiForScreen({1501, 960}), 96);  // both must be above
    EXPECT_EQ(CMainWnd::DpiForScreen({1501, 961}), 144);
}

TEST_F(MainWindow, TheLanguageChoiceIsStoredAndAppliedOnce) {
    ASSERT_TRUE(settings->SaveLanguageId(2052));
    Start();
    EXPECT_EQ(window->LanguageIndex(), 1);
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Shown("keyboard"); }));
    auto name = [this] {
        return ui::CPaintManagerUI::FindSubControlByName(Option("keyboard"),
                                                         QStringLiteral("device_select_name"))
            ->GetText();
    };
    EXPECT_EQ(name(), QStringLiteral("键盘"));
    window->ApplyLanguage(0);
    EXPECT_EQ(settings->LanguageId(), 1033);
    EXPECT_EQ(name(), QStringLiteral("Keyboard"));
    // Applying the current language stores nothing.
    QFile::remove(settings->FilePath());
    window->ApplyLanguage(0);
    EXPECT_FALSE(QFile::exists(settings->FilePath()));
}

TEST_F(MainWindow, AStoredLanguageThatNamesNoEntryStartsWithTheFirst) {
    ASSERT_TRUE(settings->SaveLanguageId(4242));
    Start();
    EXPECT_EQ(window->LanguageIndex(), 0);
}

}  // namespace
}  // namespace kx520
