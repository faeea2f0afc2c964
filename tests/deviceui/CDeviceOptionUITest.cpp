#include "deviceui/CDeviceOptionUI.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "../deviceui/DeviceTestSupport.h"
#include "../ui/UiTestSupport.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "protocol/CommandSet.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "support/VirtualPaths.h"
#include "builder/CControlFactory.h"
#include "controls/COptionUI.h"

namespace kx520 {
namespace {

constexpr const char* kOption = R"(<Window size="200,40">
  <DeviceOption name="option">
    <Option name="device_select" width="40"/>
    <Option name="synchro_device_select" width="20" visible="false"/>
    <Label name="device_select_name"/>
  </DeviceOption>
</Window>)";

// A device that probes its receiver as the real mouse will, and counts hooks.
class ProbingDevice : public CZentrelUSBDevice {
public:
    using CZentrelUSBDevice::CZentrelUSBDevice;
    bool ProbeChannel() override {
        return Channel().IsOpen() && Channel().ReceiverMode() && protocol::CMD_RECEIVER_PROBE(Channel());
    }
    void OnConnected() override { ++connected; }
    void RefreshPower() override { ++powerRefreshes; }
    void OnNotify() override { ++notifies; }
    int connected = 0;
    int powerRefreshes = 0;
    int notifies = 0;
};

// Stands in for the main window: shows or hides the option as it is asked.
class PresenceWindow : public test::RecordingWindow {
public:
    explicit PresenceWindow(QString layout) : RecordingWindow(std::move(layout)) {}
    qintptr HandleCustomMessage(uint32_t message, quintptr, qintptr lParam, bool& handled) override {
        if (message == CDeviceOptionUI::kMsgDevicePresence) {
            handled = true;
            presence.push_back(static_cast<int>(lParam));
        }
        return 0;
    }
    std::vector<int> presence;
};

class DeviceOption : public ::testing::Test {
protected:
    void SetUp() override {
        ui::CControlFactory::Instance().RegisterControl(QStringLiteral("DeviceOption"),
                                                       [] { return new CDeviceOptionUI(); });
        window = std::make_unique<PresenceWindow>(
            test::WriteLayout(QString::fromStdString(temp.Path()), "option.xml", kOption));
        ASSERT_TRUE(window->Create());
        option = dynamic_cast<CDeviceOptionUI*>(window->FindControl(QStringLiteral("option")));
        ASSERT_NE(option, nullptr);
        device = std::make_unique<ProbingDevice>(backend);
    }
    void Connect(const char* product) {
        ASSERT_TRUE(test::ConnectVirtual(*device, backend, product));
        device->SetLedCount(15);
        option->AttachDevice(device.get(), nullptr);
        option->SetMainWindow(window.get(), 0);
    }

    test::TempDir temp;
    sim::VirtualHidBackend backend;
    std::unique_ptr<PresenceWindow> window;
    CDeviceOptionUI* option = nullptr;
    std::unique_ptr<ProbingDevice> device;
};

TEST_F(DeviceOption, IconSetsFollowKindAndVariant) {
    auto* select = dynamic_cast<ui::COptionUI*>(window->FindControl(QStringLiteral("device_select")));
    option->SetKind(3, 2);  // a pad of an unknown variant keeps the unknown icons
    EXPECT_EQ(option->Images()[3], QStringLiteral("common/device_ico/unknow_device_normal.png"));
    option->SetKind(1, 5);
    EXPECT_EQ(option->Images()[3], QStringLiteral("common/device_ico/kb_device_normal.png"));
    EXPECT_EQ(option->Images()[0], QStringLiteral("common/device_ico/kb_device_synchro_selected.png"));
    EXPECT_EQ(select->GetToolTip(), QStringLiteral("kb_device_name_text"));
    option->SetKind(7, 0);
    EXPECT_EQ(option->NameKey(), QStringLiteral("hd_device_name_text"));
    option->ShowSynchro(true);
    option->SetSynchroSelected(true);
    EXPECT_TRUE(option->IsSynchroSelected());
    option->Select(true);
    EXPECT_TRUE(option->IsSelected());
}

TEST_F(DeviceOption, ASleepingReceiverStaysHiddenAndReturnsWhenItWakes) {
    Connect("mouse-receiver");
    device->SetPowerFlag(true);
    backend.Firmware("mouse-receiver")->Firmware().SetLinkAwake(false);
    option->StartConnect();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->presence.empty(); }, 3000));
    EXPECT_EQ(window->presence, std::vector<int>{0});
    EXPECT_FALSE(option->IsOptionVisible());
    EXPECT_TRUE(option->IsTimerActive(CDeviceOptionUI::kConnectTimer));  // probed again in 3 s
    EXPECT_EQ(device->connected, 0);
    backend.Firmware("mouse-receiver")->Firmware().SetLinkAwake(true);
    ASSERT_TRUE(QTest::qWaitFor([this] { return device->powerRefreshes > 0; }, 6000));
    EXPECT_EQ(window->presence, (std::vector<int>{0, 1}));
    EXPECT_EQ(device->connected, 1);
    EXPECT_TRUE(option->IsTimerActive(CDeviceOptionUI::kPollTimer));
    EXPECT_TRUE(option->IsTimerActive(CDeviceOptionUI::kLinkCheckTimer));
    EXPECT_EQ(option->ProbeFailures(), 0);
}

TEST_F(DeviceOption, OnTheCableThePollTickStreamsFrames) {
    Connect("mouse");
    option->StartConnect();
    ASSERT_TRUE(QTest::qWaitFor([this] { return device->Core().Sender().SentFrames() >= 3; }, 5000));
    EXPECT_TRUE(window->presence.empty());  // a cable is never probed
    EXPECT_FALSE(option->IsTimerActive(CDeviceOptionUI::kLinkCheckTimer));
}

TEST_F(DeviceOption, SettingsChangedOnTheDeviceRunTheNotifyTimer) {
    Connect("mouse-receiver");
    const std::string notifyPath = test::CollectionPath(backend, "mouse-receiver", 3);
    ASSERT_TRUE(device->AttachNotify(notifyPath, MouseReceiver));
    backend.Firmware("mouse-receiver")->SendNotification(0x401);
    EXPECT_TRUE(QTest::qWaitFor([this] { return device->notifies == 1; }, 5000));
    device->DetachNotify(MouseReceiver);
}

}  // namespace
}  // namespace kx520
