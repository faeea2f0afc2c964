#include "pages/CMpDevicePowerUI.h"

#include <gtest/gtest.h>

#include <vector>

#include "../ui/UiTestSupport.h"
#include "support/TempDir.h"
#include "controls/CProgressUI.h"
#include "ui/CResourceManager.h"

#include <QApplication>

namespace kx520 {
namespace {

class PowerDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<test::RecordingWindow>(
            QStringLiteral("XML/CustomControlXML/MpDevicePower.xml"));
        ASSERT_TRUE(window->Create());
        power = dynamic_cast<CMpDevicePowerUI*>(window->FindControl(QStringLiteral("device_power")));
        ASSERT_NE(power, nullptr);
        progress = dynamic_cast<ui::CProgressUI*>(
            window->FindControl(QStringLiteral("device_Power_progress")));
    }
    ui::CControlUI* Part(const char* name) {
        return window->FindControl(QString::fromLatin1(name));
    }

    std::unique_ptr<test::RecordingWindow> window;
    CMpDevicePowerUI* power = nullptr;
    ui::CProgressUI* progress = nullptr;
};

TEST_F(PowerDisplay, LevelShowsAsTextAndTheBarCountsWhatIsUsed) {
    power->SetKind(2, 0);
    power->UpdatePower(std::vector<uint8_t>{57, 2, 0, 1, 0, 0});
    EXPECT_EQ(Part("device_power_value")->GetDisplayText(), QStringLiteral("57%"));
    EXPECT_EQ(progress->GetValue(), 43);
    EXPECT_TRUE(progress->IsVisible());
    EXPECT_TRUE(Part("device_wuxian_logo")->IsVisible());  // a wireless mouse
    EXPECT_EQ(Part("device_power_status")->GetBkImage(), QStringLiteral("file='power/power.png'"));
}

TEST_F(PowerDisplay, ChargeStatesPickTheirImages) {
    power->SetKind(2, 0);
    power->UpdatePower(std::vector<uint8_t>{80, 1, 0, 1, 0, 0});  // charging, wireless
    EXPECT_FALSE(progress->IsVisible());
    EXPECT_EQ(Part("device_power_status")->GetBkImage(),
              QStringLiteral("file='power/wuxian_powering.png'"));
    power->UpdatePower(std::vector<uint8_t>{80, 1, 0, 0, 0, 0});  // charging by cable
    EXPECT_TRUE(progress->IsVisible());
    EXPECT_FALSE(Part("device_wuxian_logo")->IsVisible());
    EXPECT_EQ(Part("device_power_status")->GetBkImage(),
              QStringLiteral("file='power/powering.png'"));
    power->UpdatePower(std::vector<uint8_t>{100, 0, 0, 0, 0, 0});
    EXPECT_EQ(Part("device_power_status")->GetBkImage(),
              QStringLiteral("file='power/powered.png'"));
}

TEST_F(PowerDisplay, APadShowsThePhoneOnItAndBadValuesAreBounded) {
    power->SetKind(3, 0);
    power->UpdatePower(std::vector<uint8_t>{100, 0, 0, 0, 0, 2});
    EXPECT_EQ(Part("device_phone_type")->GetToolTip(), QStringLiteral("Phone_type_samsung"));
    power->UpdatePower(std::vector<uint8_t>{100, 0, 0, 0, 0, 9});
    EXPECT_EQ(Part("device_phone_type")->GetToolTip(), QStringLiteral("Phone_type_no_device"));
    EXPECT_EQ(Part("device_phone_type")->GetBkImage(),
              QStringLiteral("file='power/Phone_type_no_device.png'"));
    power->UpdatePower(std::vector<uint8_t>{250});  // short and out of range
    EXPECT_EQ(Part("device_power_value")->GetDisplayText(), QStringLiteral("100%"));
    EXPECT_EQ(progress->GetValue(), 0);
}

TEST_F(PowerDisplay, AKeyboardNeitherTouchesTheWirelessLogoNorThePhone) {
    power->SetKind(1, 0);
    Part("device_wuxian_logo")->SetVisible(false);
    power->UpdatePower(std::vector<uint8_t>{40, 2, 0, 1, 0, 1});
    EXPECT_FALSE(Part("device_wuxian_logo")->IsVisible());
    EXPECT_TRUE(Part("device_phone_type")->GetToolTip().isEmpty());
    power->ShowPower(false);
    EXPECT_FALSE(Part("device_power_Layout")->IsVisible());
}

TEST_F(PowerDisplay, EveryLevelAndTheCableStateShowWhollyAtEveryDpi) {
    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
    window->show();
    for (int kind : {2, 3}) {
        power->SetKind(kind, 0);
        for (int dpi : {96, 144, 192}) {
            window->SetDPI(dpi);
            QApplication::processEvents();
            for (uint8_t level : {7, 57, 100}) {
                power->UpdatePower(std::vector<uint8_t>{level, 2, 0, 1, 0, 1});
                QApplication::processEvents();
                EXPECT_TRUE(Part("device_power_value")->TextFits())
                    << int(level) << "% at DPI " << dpi << " kind " << kind;
            }
            power->ShowCable();
            QApplication::processEvents();
            EXPECT_TRUE(Part("device_power_value")->TextFits()) << "cable at DPI " << dpi;
        }
    }
}

TEST_F(PowerDisplay, AWiredDeviceShowsItsCableAndABatteryComesBackWithItsLevel) {
    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
    power->SetKind(2, 0);
    power->ShowCable();
    EXPECT_EQ(Part("device_power_value")->GetDisplayText(), QStringLiteral("Wired"));
    EXPECT_FALSE(progress->IsVisible());
    EXPECT_FALSE(Part("device_power_status")->IsVisible());
    power->UpdatePower(std::vector<uint8_t>{64, 2, 0, 1, 0, 0});
    EXPECT_EQ(Part("device_power_value")->GetDisplayText(), QStringLiteral("64%"));
    EXPECT_TRUE(progress->IsVisible());
    EXPECT_TRUE(Part("device_power_status")->IsVisible());
}

TEST_F(PowerDisplay, AClickOnTheDisplaySelectsLikeItsOption) {
    window->show();
    QApplication::processEvents();
    window->Clear();
    test::Click(power);
    EXPECT_TRUE(window->Seen().contains(QStringLiteral("selectchanged:device_power")));
}

TEST(PowerDisplayParts, AMissingPartChangesNothing) {
    test::TempDir temp;
    test::RecordingWindow window(test::WriteLayout(
        QString::fromStdString(temp.Path()), "power.xml",
        "<MpDevicePower name='p'><Progress name='device_Power_progress' value='5'/>"
        "<Label name='device_power_value' text='old'/></MpDevicePower>"));
    ASSERT_TRUE(window.Create());
    auto* power = dynamic_cast<CMpDevicePowerUI*>(window.FindControl(QStringLiteral("p")));
    power->UpdatePower(std::vector<uint8_t>{57, 2, 0, 0, 0, 0});
    EXPECT_EQ(window.FindControl(QStringLiteral("device_power_value"))->GetText(),
              QStringLiteral("old"));
}

}  // namespace
}  // namespace kx520
