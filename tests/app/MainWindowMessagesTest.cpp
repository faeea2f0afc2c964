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

#include "app/MainWindowFixture.h"

namespace kx520 {
namespace {

using test::MainWindow;
using test::WaitFor;

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
    const auto mouse = static_cast<quintptr>(OptionIndex("mouse"));
    window->SendMessage(msg::kDevicePresence, mouse, 0);  // dropped while asleep
    EXPECT_TRUE(Shown("mouse"));
    backend.Unplug("keyboard");
    ASSERT_TRUE(WaitFor([this] { return !Shown("keyboard"); }));

    window->SendMessage(msg::kPowerBroadcast, msg::kPowerResume, 0);
    EXPECT_TRUE(window->Awake());
    EXPECT_TRUE(Device("mouse")->HostLightControl());
    window->SendMessage(msg::kDevicePresence, mouse, 0);
    EXPECT_FALSE(Shown("mouse"));
}

}  // namespace
}  // namespace kx520
