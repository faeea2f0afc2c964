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

namespace kx520 {
namespace {

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<SettingsStore>(QString::fromStdString(temp.Sub("config")));
        Startup::RegisterControlClasses(backend);
    }
    void TearDown() override {
        if (window != nullptr) {
            window->Shutdown();
            delete window;
        }
    }
    // Creates the window and waits for the first scan pass to show it.
    void Start() {
        window = new CMainWnd(backend, *settings);
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        ASSERT_TRUE(WaitFor([this] { return window->FirstPassShown(); }));
    }
    CDeviceOptionUI* Option(const char* kind) const {
        for (CDeviceOptionUI* option : window->DeviceOptions()) {
            if (option->Device() != nullptr && option->Device()->KindName() == QLatin1String(kind)) {
                return option;
            }
        }
        return nullptr;
    }
    bool Shown(const char* kind) const {
        CDeviceOptionUI* option = Option(kind);
        return option != nullptr && option->IsOptionVisible();
    }
    bool Current(const char* kind) const {
        return window->CurrentDevice() != nullptr &&
               window->CurrentDevice()->KindName() == QLatin1String(kind);
    }
    bool HintShown() const {
        const ui::CControlUI* hint = window->FindControl(QStringLiteral("No_device_Link"));
        return hint != nullptr && hint->IsVisible();
    }
    int DevicePage() const {
        return dynamic_cast<ui::CTabLayoutUI*>(window->FindControl(QStringLiteral("device_switch")))
            ->GetCurSel();
    }
    CZentrelUSBDevice* Device(const char* kind) const {
        CDeviceOptionUI* option = Option(kind);
        return option != nullptr ? option->Device() : nullptr;
    }

    test::TempDir temp;
    sim::VirtualHidBackend backend;
    std::unique_ptr<SettingsStore> settings;
    CMainWnd* window = nullptr;
};

TEST_F(MainWindow, WithoutDevicesTheHintShowsAfterTheFirstPass) {
    Start();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(HintShown());
    EXPECT_EQ(window->CurrentDevice(), nullptr);
    // The mouse and keyboard pages exist from the start, hidden.
    ASSERT_NE(Option("mouse"), nullptr);
    ASSERT_NE(Option("keyboard"), nullptr);
    EXPECT_FALSE(Shown("mouse"));
    EXPECT_EQ(DevicePage(), 0);
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

TEST_F(MainWindow, NoLightFrameMadeForTheCableEverGoesThroughTheReceiver) {
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
        QTest::qWait(400);
        backend.Plug("keyboard");
    }
    EXPECT_EQ(streamed("keyboard-receiver"), 0);
}

TEST_F(MainWindow, WhateverOtherProgramsSendIsRefusedOrHandledAndTheWindowGoesOn) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    std::mt19937 random(1054);
    auto number = [&random] {
        static constexpr qint64 kEdges[] = {0, 1, -1, 2, 3, 255, 256, 65535, 0x7FFFFFFF,
                                            -0x80000000LL, 0xFFFFFFFFLL};
        return random() % 3 == 0 ? static_cast<qint64>(random()) - 0x80000000LL
                                 : kEdges[random() % std::size(kEdges)];
    };
    int accepted = 0;
    for (int round = 0; round < 1500; ++round) {
        // A message by a name of the table, a mangled one or noise.
        const auto& table = RegisteredMessages();
        QString name = QLatin1String(table[random() % table.size()].codeName);
        if (random() % 3 == 0) {
            name[static_cast<qsizetype>(random() % static_cast<uint32_t>(name.size()))] =
                QChar(static_cast<char16_t>(random()));
        }
        accepted += window->PostFromOutside(name, static_cast<quint32>(number()), number()) ? 1 : 0;
        QByteArray data(static_cast<qsizetype>(random() % 9000), '\0');
        for (char& byte : data) {
            byte = static_cast<char>(random());
        }
        window->AcceptCopyData(static_cast<quint32>(number()), data);
        if (round % 50 == 0) {
            QCoreApplication::processEvents();
        }
    }
    QCoreApplication::processEvents();
    EXPECT_GT(accepted, 0);
    // Messages the application never takes from others are never accepted.
    EXPECT_FALSE(window->PostFromOutside(QStringLiteral("InstanceMessage"), 0, 1));
    EXPECT_FALSE(window->PostFromOutside(QStringLiteral("AudioRecordCommandMessage"), 0, 1));
    EXPECT_FALSE(window->AcceptCopyData(1, QByteArray(1 << 20, 'x')));
    EXPECT_FALSE(window->StatusJson().isEmpty());
    EXPECT_TRUE(Current("keyboard"));
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

TEST_F(MainWindow, PadAndHeadsetPagesAreBuiltOnFirstArrivalAndReused) {
    Start();
    EXPECT_EQ(window->DeviceOptions().size(), 2u);
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
    EXPECT_EQ(window->DeviceOptions().size(), 4u);
    EXPECT_EQ(window->Devices().DevicesOf(DeviceLinkManager::MousePads).size(), 1u);
}

TEST_F(MainWindow, NotificationInterfacesFollowTheirDevice) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Device("keyboard")->NotifyAttached(KeyboardWired); }));
    backend.Unplug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return !Device("keyboard")->NotifyAttached(KeyboardWired); }));
}

TEST_F(MainWindow, PreviousAndNextWalkTheShownOptions) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    backend.Plug("mouse");
    backend.Plug("mousepad");
    ASSERT_TRUE(WaitFor([this] { return Shown("mouse") && Shown("MousePad"); }));
    // Selector order: mouse, keyboard, then the pad built on arrival.
    window->Selector().SelectNext();
    EXPECT_TRUE(Current("MousePad"));
    window->Selector().SelectNext();
    EXPECT_TRUE(Current("MousePad"));  // nothing after the last
    window->Selector().SelectPrevious();
    EXPECT_TRUE(Current("keyboard"));
    window->Selector().SelectPrevious();
    EXPECT_TRUE(Current("mouse"));
    window->Selector().SelectPrevious();
    EXPECT_TRUE(Current("mouse"));
    EXPECT_EQ(DevicePage(), Option("mouse")->BoundTabIndex());
}

TEST_F(MainWindow, LightCommandMessageSwitchesHostLighting) {
    Start();
    backend.Plug("mouse");
    ASSERT_TRUE(WaitFor([this] { return Current("mouse"); }));
    CZentrelUSBDevice* mouse = Device("mouse");
    auto send = [this](quint32 wParam, qint64 lParam) {
        ASSERT_TRUE(window->PostFromOutside(QStringLiteral("LightCommandMessage"), wParam, lParam));
        QTest::qWait(20);
    };
    auto statusText = [this] {
        return window->FindControl(QStringLiteral("control_light_status"))->GetText();
    };
    send(1, 0);
    EXPECT_FALSE(window->LightControlEnabled());
    EXPECT_FALSE(mouse->HostLightControl());
    EXPECT_EQ(statusText(), QStringLiteral("main_light_control_off"));
    send(2, 1);  // only wParam 1 is a command
    EXPECT_FALSE(window->LightControlEnabled());
    mouse->SetHostLightControl(true);
    send(1, 2);  // the flag stays and is handed out again
    EXPECT_FALSE(window->LightControlEnabled());
    EXPECT_FALSE(mouse->HostLightControl());
    send(1, 1);
    EXPECT_TRUE(window->LightControlEnabled());
    EXPECT_TRUE(mouse->HostLightControl());
    EXPECT_EQ(statusText(), QStringLiteral("main_light_control_on"));
}

TEST_F(MainWindow, TheLightStateIsAnnouncedAtStartAndWhenTheUserSwitchesIt) {
    std::vector<std::pair<quint32, qint64>> announced;
    window = new CMainWnd(backend, *settings);
    window->SetLightStateSink([&](quint32 w, qint64 l) { announced.emplace_back(w, l); });
    QString error;
    ASSERT_TRUE(window->Create(&error)) << error.toStdString();
    ASSERT_TRUE(WaitFor([this] { return window->FirstPassShown(); }));
    ASSERT_EQ(announced, (std::vector<std::pair<quint32, qint64>>{{1, 1}}));
    ui::CControlUI* status = window->FindControl(QStringLiteral("control_light_status"));
    window->Notify({QStringLiteral("click"), status, 0, 0});
    EXPECT_FALSE(window->LightControlEnabled());
    EXPECT_EQ(announced.back(), (std::pair<quint32, qint64>{1, 0}));
    EXPECT_EQ(status->GetText(), QStringLiteral("main_light_control_off"));
    window->Notify({QStringLiteral("click"), status, 0, 0});
    EXPECT_TRUE(window->LightControlEnabled());
    EXPECT_EQ(announced.back(), (std::pair<quint32, qint64>{1, 1}));
    // A command from another program is not announced back.
    window->PostFromOutside(QStringLiteral("LightCommandMessage"), 1, 0);
    QTest::qWait(20);
    EXPECT_EQ(announced.size(), 3u);
}

TEST_F(MainWindow, OnlyMessagesMeantForOtherProgramsAreTakenFromThem) {
    Start();
    EXPECT_TRUE(window->PostFromOutside(QStringLiteral("Game_Start"), 1, 0));
    EXPECT_TRUE(window->PostFromOutside(
        QStringLiteral("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}"), 0, 0));
    EXPECT_FALSE(window->PostFromOutside(QStringLiteral("InstanceMessage"), 0, 1));
    EXPECT_FALSE(window->PostFromOutside(QStringLiteral("LightStateMessage"), 1, 1));
    EXPECT_FALSE(window->PostFromOutside(QStringLiteral("WM_HOOK_KEY_SINGLEKEY_MSG"), 1, 1));
    EXPECT_FALSE(window->PostFromOutside(QStringLiteral("3090"), 0, 0));
    EXPECT_FALSE(window->PostFromOutside(QString(), 0, 0));
}

TEST_F(MainWindow, EveryRegisteredMessageIsTakenFromOutsideExactlyWhenKx520ctlSendsIt) {
    Start();
    // kx520ctl refuses client-side what the window's table refuses.
    for (const RegisteredMessage& message : RegisteredMessages()) {
        EXPECT_EQ(window->PostFromOutside(QLatin1String(message.codeName), 0, 0),
                  message.fromOutside)
            << message.codeName;
        EXPECT_EQ(window->PostFromOutside(QLatin1String(message.registration), 0, 0),
                  message.fromOutside)
            << message.registration;
    }
}

TEST_F(MainWindow, TheLightingSwitchShowsItsStateInTheChosenLanguage) {
    ASSERT_TRUE(settings->SaveLanguageId(2052));
    Start();
    ui::CControlUI* status = window->FindControl(QStringLiteral("control_light_status"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->GetDisplayText(), QStringLiteral("控制灯光"));
    window->ToggleLightControl();
    EXPECT_EQ(status->GetDisplayText(), QStringLiteral("不控制灯光"));
    window->ApplyLanguage(0);
    EXPECT_EQ(status->GetDisplayText(), QStringLiteral("App lighting off"));
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
    EXPECT_TRUE(window->Tray().OnMenuClick(QStringLiteral("setwnd_menu")));
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

TEST_F(MainWindow, CopyDataIsTakenOnlyInTheSizesItsKindHolds) {
    Start();
    EXPECT_TRUE(window->AcceptCopyData(1, QByteArray(4200, 'a')));
    EXPECT_FALSE(window->AcceptCopyData(1, QByteArray(4201, 'a')));
    EXPECT_TRUE(window->AcceptCopyData(2, QByteArray(156, 'b')));
    EXPECT_FALSE(window->AcceptCopyData(2, QByteArray(157, 'b')));
    EXPECT_FALSE(window->AcceptCopyData(2, QByteArray()));
    EXPECT_FALSE(window->AcceptCopyData(3, QByteArray(4, 'c')));
}

// The audio-capture program's data reaches the first keyboard: the music
// state as its host values, spectrum frames as band levels its music draws.
TEST_F(MainWindow, TheAudioProgramsDataDrivesTheKeyboardsMusic) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(Device("keyboard"));
    ASSERT_NE(keyboard, nullptr);
    ASSERT_TRUE(WaitFor([keyboard] { return keyboard->Keyboard().LightThreadRunning(); }));
    QByteArray state(156, '\0');
    state[0] = 0x40;
    state[4] = 0x20;
    ASSERT_TRUE(window->AcceptCopyData(2, state));
    EXPECT_EQ(keyboard->Keyboard().HostValues()[0], 0x40u);
    EXPECT_EQ(keyboard->Keyboard().HostValues()[1], 0x20u);
    profiles::LightSetting music = keyboard->CurrentLightSetting();
    music.mode = 29;
    music.brightness = 4;
    keyboard->ApplyLightSetting(music);
    profiles::AudioLightSetting audio;
    audio.fgGreen = 255;  // column bars in green on black
    keyboard->ApplyAudioLight(audio);
    auto frame = [](uint32_t value) {
        QByteArray bytes(2000, '\0');
        for (int i = 0; i < 2000; i += 4) {
            bytes[i] = static_cast<char>(value & 0xFF);
            bytes[i + 1] = static_cast<char>(value >> 8);
        }
        return bytes;
    };
    // Every value moves by 2000 on the third frame: every band at the top.
    ASSERT_TRUE(window->AcceptCopyData(1, frame(0)));
    ASSERT_TRUE(window->AcceptCopyData(1, frame(0)));
    EXPECT_NE(keyboard->Keyboard().GetLed(22).green, 255);  // not lit before the third
    ASSERT_TRUE(window->AcceptCopyData(1, frame(2000)));
    EXPECT_TRUE(WaitFor([keyboard] { return keyboard->Keyboard().GetLed(22).green == 255; },
                        2000));
}

TEST_F(MainWindow, WhileSuspendedDevicesStillComeAndGoButOtherMessagesWait) {
    Start();
    backend.Plug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return Current("keyboard"); }));
    window->SendMessage(msg::kPowerBroadcast, msg::kPowerSuspend, 0);
    EXPECT_FALSE(window->Awake());
    EXPECT_FALSE(Device("keyboard")->HostLightControl());

    backend.Plug("mouse");
    ASSERT_TRUE(WaitFor([this] { return Shown("mouse"); }));
    window->SendMessage(msg::kDevicePresence, 0, 0);  // dropped while asleep
    EXPECT_TRUE(Shown("mouse"));
    backend.Unplug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return !Shown("keyboard"); }));

    window->SendMessage(msg::kPowerBroadcast, msg::kPowerResume, 0);
    EXPECT_TRUE(window->Awake());
    EXPECT_TRUE(Device("mouse")->HostLightControl());
    window->SendMessage(msg::kDevicePresence, 0, 0);
    EXPECT_FALSE(Shown("mouse"));
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
