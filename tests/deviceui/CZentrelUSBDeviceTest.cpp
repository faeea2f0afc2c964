#include "deviceui/CZentrelUSBDevice.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>

#include "../ui/UiTestSupport.h"
#include "DeviceTestSupport.h"
#include "app/MainWindowControls.h"
#include "lighting/LightColourControl.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "protocol/CommandSet.h"
#include "sim/PacketTrace.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "support/VirtualPaths.h"
#include "support/TraceReader.h"
#include "builder/CDialogBuilder.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {
namespace {

constexpr const char* kPage = R"(<VerticalLayout>
  <SelectPanel name="panel">
    <DeviceKeyButton name="a" userdata="light_0" float="true" pos="0,0,10,10"/>
    <DeviceKeyButton name="b" userdata="LIGHT_14" float="true" pos="10,0,20,10"/>
    <DeviceKeyButton name="c" userdata="light_15" float="true" pos="20,0,30,10"/>
    <DeviceKeyButton name="d" userdata="key_3" float="true" pos="30,0,40,10"/>
    <DeviceKeyButton name="e" userdata="nothing" float="true" pos="40,0,50,10"/>
  </SelectPanel>
  <TabLayout name="device_function_switch"><Control/><Control/><Control/><Control/></TabLayout>
  <TabLayout name="device_key_function_switch"><Control/><Control/><Control/></TabLayout>
</VerticalLayout>)";

constexpr const char* kPageWithoutPanel = R"(<VerticalLayout>
  <DeviceKeyButton name="loose" userdata="light_0"/>
</VerticalLayout>)";

// Counts what the base hands to its kinds.
class TestDevice : public CZentrelUSBDevice {
public:
    using CZentrelUSBDevice::CZentrelUSBDevice;
    void OnNotify() override { ++notifies; }
    int notifies = 0;
};

class DeviceBase : public ::testing::Test {
protected:
    void SetUp() override {
        backend.SetTrace(sim::PacketTrace::Open(temp.Path() + "/trace", nullptr));
        device = std::make_unique<TestDevice>(backend);
        device->SetLedCount(15);
        device->SetKeyCount(11);
        device->SetKindName(QStringLiteral("mouse"));
    }
    void LoadPage(const char* xml) {
        ui::CDialogBuilder builder;
        QString error;
        ui::CControlUI* page = builder.Create(
            test::WriteLayout(QString::fromStdString(temp.Path()), "page.xml", QString::fromUtf8(xml)),
            nullptr, nullptr, &error);
        ASSERT_NE(page, nullptr) << error.toStdString();
        device->Add(page);
        device->SetPageLayoutName(QStringLiteral("page.xml"));
        device->BuildPage();
    }
    void Connect(const char* product) {
        ASSERT_TRUE(test::ConnectVirtual(*device, backend, product));
    }
    size_t StreamedPackets() {
        size_t packets = 0;
        for (const auto& request : test::Requests(test::ReadTrace(temp.Path() + "/trace"))) {
            packets += request.Command() == protocol::kCmdStreamLight ? 1 : 0;
        }
        return packets;
    }
    CDeviceKeyButtonUI* Button(const char* name) {
        return dynamic_cast<CDeviceKeyButtonUI*>(
            ui::CPaintManagerUI::FindSubControlByName(device.get(), QString::fromLatin1(name)));
    }

    test::TempDir temp;
    sim::VirtualHidBackend backend;
    std::unique_ptr<TestDevice> device;
};

TEST_F(DeviceBase, BuildPageBindsKeyAndLightButtonsInRangeOnly) {
    LoadPage(kPage);
    EXPECT_EQ(device->LedButton(0), Button("a"));
    EXPECT_EQ(device->LedButton(14), Button("b"));  // the prefix compares without case
    EXPECT_EQ(device->KeyButton(3), Button("d"));
    EXPECT_EQ(device->LedButton(15), nullptr);      // "light_15" on a 15-LED device
    EXPECT_EQ(Button("a")->GetLightColour(), 0xFFFFFFu);
    EXPECT_EQ(Button("a")->GetLightLevel(), 255);
    EXPECT_NE(Button("c")->GetLightColour(), 0xFFFFFFu);  // never bound, never touched
}

TEST_F(DeviceBase, OnTheCableFramesArePaintedAndSent) {
    LoadPage(kPage);
    device->show();
    Connect("mouse");
    device->Core().SetCurrentEffect({4, 2, 0, false, Rgb{0x10, 0x20, 0x30}});
    device->Core().EffectStatic();
    device->StreamFrame();
    EXPECT_TRUE(Button("a")->IsLit());
    EXPECT_EQ(Button("a")->GetLightColour(), 0x10u | (0x30u << 8) | (0x20u << 16));
    ASSERT_TRUE(QTest::qWaitFor([this] { return device->Core().Sender().SentFrames() == 1; }, 5000));
    const auto light = backend.Firmware("mouse")->Firmware().LightFrame();
    EXPECT_EQ(light[0], LedEntry::Scale(0x10, 255));
    EXPECT_EQ(light[44], LedEntry::Scale(0x30, 255));
}

// Nobody sees the page: its keys keep their look, the device its light.
TEST_F(DeviceBase, AnUnseenPageIsNotPaintedButItsFramesAreSent) {
    LoadPage(kPage);
    Connect("mouse");
    device->Core().SetCurrentEffect({4, 2, 0, false, Rgb{0x10, 0x20, 0x30}});
    device->Core().EffectStatic();
    device->StreamFrame();
    EXPECT_FALSE(Button("a")->IsLit());
    ASSERT_TRUE(QTest::qWaitFor([this] { return device->Core().Sender().SentFrames() == 1; }, 5000));
    device->show();
    device->StreamFrame();  // seen again: the frame shows at once
    EXPECT_TRUE(Button("a")->IsLit());
}

// With the light thread running, it feeds the device whether or not the
// page is seen; the page only mirrors the frame.
TEST_F(DeviceBase, ARunningLightThreadSendsTheFramesAndThePageOnlyMirrorsThem) {
    LoadPage(kPage);
    Connect("mouse");
    device->Core().SetCurrentEffect({4, 2, 0, false, Rgb{0x10, 0x20, 0x30}});
    device->Core().EffectStatic();
    device->Core().StartLightLoop([](uint32_t) {}, "test light loop ended");
    EXPECT_FALSE(device->StreamFrame());  // unseen
    ASSERT_TRUE(QTest::qWaitFor([this] { return device->Core().Sender().SentFrames() >= 3; }, 5000));
    device->Core().StopLightThread();
    QTest::qWait(100);  // the last frame it handed over goes out
    const uint64_t sent = device->Core().Sender().SentFrames();
    device->show();
    EXPECT_TRUE(device->StreamFrame());
    EXPECT_TRUE(Button("a")->IsLit());
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->Core().Sender().SentFrames() == sent + 1; }, 5000));
}

TEST_F(DeviceBase, OnTheReceiverFramesArePaintedButNotSent) {
    LoadPage(kPage);
    device->show();
    Connect("mouse-receiver");
    device->Core().SetCurrentEffect({4, 2, 0, false, Rgb{1, 2, 3}});
    device->Core().EffectStatic();
    device->StreamFrame();
    QTest::qWait(30);
    EXPECT_TRUE(Button("a")->IsLit());
    EXPECT_EQ(StreamedPackets(), 0u);
}

TEST_F(DeviceBase, WithoutHostLightControlNothingIsPaintedOrSent) {
    LoadPage(kPage);
    Connect("mouse");
    device->SetHostLightControl(false);
    device->Core().EffectStatic();
    device->StreamFrame();
    QTest::qWait(30);
    EXPECT_FALSE(Button("a")->IsLit());
    EXPECT_EQ(StreamedPackets(), 0u);
}

TEST_F(DeviceBase, APageWithoutASelectPanelStillStreams) {
    LoadPage(kPageWithoutPanel);
    EXPECT_EQ(device->LedButton(0), nullptr);
    Connect("mouse");
    device->Core().EffectStatic();
    device->StreamFrame();
    ASSERT_TRUE(QTest::qWaitFor([this] { return device->Core().Sender().SentFrames() == 1; }, 5000));
}

TEST_F(DeviceBase, SettingsChangedOnTheDeviceReachOnNotify) {
    Connect("mouse-receiver");
    const std::string notifyPath = test::CollectionPath(backend, "mouse-receiver", 3);
    ASSERT_TRUE(device->AttachNotify(notifyPath, MouseReceiver));
    backend.Firmware("mouse-receiver")->SendNotification(0x401);
    EXPECT_TRUE(QTest::qWaitFor([this] { return device->notifies == 1; }, 5000));
    backend.Firmware("mouse-receiver")->SendNotification(0x402);  // not a settings change
    QTest::qWait(100);
    EXPECT_EQ(device->notifies, 1);
    device->DetachNotify(MouseReceiver);
}

TEST_F(DeviceBase, LedsOutsideTheFrameAreIgnored) {
    device->Core().SetLed(3, LedEntry{1, 2, 3, 4});
    EXPECT_EQ(device->Core().GetLed(3), (LedEntry{1, 2, 3, 4}));
    device->Core().SetLed(15, LedEntry{9, 9, 9, 9});
    device->Core().SetLed(-1, LedEntry{9, 9, 9, 9});
    EXPECT_EQ(device->Core().GetLed(15), LedEntry{});
    EXPECT_EQ(device->Core().GetLed(-1), LedEntry{});
}

TEST_F(DeviceBase, ShowFunctionSwitchesThePanels) {
    LoadPage(kPage);
    auto tab = [this](const char* name) {
        return dynamic_cast<ui::CTabLayoutUI*>(
                   ui::CPaintManagerUI::FindSubControlByName(device.get(), QString::fromLatin1(name)))
            ->GetCurSel();
    };
    device->ShowFunction(2);
    EXPECT_EQ(tab("device_function_switch"), 0);
    EXPECT_EQ(tab("device_key_function_switch"), 1);
    EXPECT_EQ(device->GetPageFunction(), 2);
    device->ShowFunction(5);
    EXPECT_EQ(tab("device_function_switch"), 2);
    DeviceInterfaceEntry pad;
    pad.deviceClass = MousePad;
    device->SetIdentity(pad);
    device->ShowFunction(4);  // not a keyboard or mouse: as 7
    EXPECT_EQ(tab("device_function_switch"), 0);
    EXPECT_EQ(tab("device_key_function_switch"), 2);
}

TEST_F(DeviceBase, FoldersFollowTheUserDataFolderAndTheShippedData) {
    const QString data = device->DataFolder();
    EXPECT_TRUE(data.endsWith(QStringLiteral("/KX520 PRO Keyboard/mouse/")));
    EXPECT_TRUE(QDir(data).exists());
    EXPECT_TRUE(device->DefaultProfilePath().endsWith(QStringLiteral("DefaultData/mouse.Json")));
    // A missing profile section comes from the kind's shipped template.
    EXPECT_EQ(device->ProfileData().GetFallbackPath(), device->DefaultProfilePath().toStdString());
    device->ProfileData().SetDeviceIndex(3);
    device->SetKindNumber(1);
    EXPECT_EQ(device->ProfileData().GetDeviceIndex(), 0);
}

// Stands for the lighting page's control.
class ColourControl : public LightColourControl {
public:
    void SetColour(int r, int g, int b) override { colour = {r, g, b}; }
    void Colour(int& r, int& g, int& b) const override {
        r = colour[0];
        g = colour[1];
        b = colour[2];
    }
    std::array<int, 3> colour{};
};

TEST_F(DeviceBase, LightColourIsMirroredWithTheLightingControl) {
    device->SetLightColour(1, 2, 3);  // no control yet: kept all the same
    EXPECT_EQ(device->LightColour(), (std::array<int, 3>{1, 2, 3}));
    ColourControl control;
    device->SetLightControl(&control);
    device->SetLightColour(10, 20, 30);
    EXPECT_EQ(control.colour, (std::array<int, 3>{10, 20, 30}));
    control.colour = {7, 8, 9};  // the user picked another colour
    device->GetLightColour();
    EXPECT_EQ(device->LightColour(), (std::array<int, 3>{7, 8, 9}));
}

TEST_F(DeviceBase, PerLedLightSettingsAreZeroedWhenTheLedCountChanges) {
    profiles::LightSetting setting;
    setting.mode = 3;
    setting.red = 200;
    device->Core().SetLedSetting(14, setting);
    device->Core().SetLedSetting(15, setting);  // outside: ignored
    EXPECT_EQ(device->Core().LedSetting(14), setting);
    EXPECT_EQ(device->Core().LedSetting(15), profiles::LightSetting{});
    device->SetLedCount(20);
    EXPECT_EQ(device->Core().LedSetting(14), profiles::LightSetting{});
}

TEST_F(DeviceBase, KeyMapsAreKeptApart) {
    device->Core().SetKeyMap(2, {1, 2, 255});
    EXPECT_EQ(device->Core().KeyMap(2), (std::vector<uint8_t>{1, 2, 255}));
    EXPECT_TRUE(device->Core().KeyMap(0).empty());
}

TEST_F(DeviceBase, TheLightThreadRunsEffectsUntilStoppedAndRestartsCleanly) {
    device->Core().SetCurrentEffect({4, 2, 1, false, Rgb{255, 0, 0}});
    std::atomic<int> steps{0};
    auto body = [this, &steps](std::stop_token stop) {
        while (DeviceWorker::WaitFor(stop, std::chrono::milliseconds(2))) {
            device->Core().EffectStatic();
            ++steps;
        }
    };
    device->Core().StartLightThread(body);
    while (steps < 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(device->Core().GetLed(0), (LedEntry{255, 0, 0, 255}));
    device->Core().StartLightThread(body);  // a new connection restarts it
    EXPECT_TRUE(device->Core().LightThreadRunning());
    EXPECT_TRUE(device->Core().StopLightThread());
    EXPECT_FALSE(device->Core().LightThreadRunning());
    const int after = steps;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(steps, after);
}

TEST(ShippedKeyboardPage, ALitKeyGlowsInItsColourAndAnUnlitKeyStaysDark) {
    sim::VirtualHidBackend backend;
    test::ShippedPage page(backend, "keyboarddevice.xml");
    CZentrelUSBDevice* device = page.Device();
    ASSERT_NE(device, nullptr) << page.Error().toStdString();
    // Through the device base, as its effects do: key 0 red, key 1 unlit.
    device->Core().SetLed(0, LedEntry{255, 0, 0, 255});
    device->Core().SetLed(1, LedEntry{0, 0, 0, 0});
    device->StreamFrame();
    QApplication::processEvents();
    CDeviceKeyButtonUI* lit = device->LedButton(0);
    CDeviceKeyButtonUI* dark = device->LedButton(1);
    ASSERT_NE(lit, nullptr);
    ASSERT_NE(dark, nullptr);
    const QImage litCap = lit->grab().toImage();
    // Above the legend the cap centre prints.
    const QRgb centre = litCap.pixel(litCap.width() / 2, litCap.height() / 4);
    EXPECT_GT(qRed(centre), 150) << std::hex << centre;
    EXPECT_LT(qGreen(centre), 90) << std::hex << centre;
    EXPECT_LT(qBlue(centre), 90) << std::hex << centre;
    const QImage darkCap = dark->grab().toImage();
    const QRgb unlit = darkCap.pixel(darkCap.width() / 2, darkCap.height() / 4);
    EXPECT_LT(std::max({qRed(unlit), qGreen(unlit), qBlue(unlit)}), 90) << std::hex << unlit;
    if (const char* keep = std::getenv("KX520_TEST_KEEP_PICTURES")) {
        device->grab().save(QString::fromLatin1(keep) + QStringLiteral("/keyboard-page.png"));
    }
}

}  // namespace
}  // namespace kx520
