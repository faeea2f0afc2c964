// The mouse's page without the application: its button list, logo and
// pointer panels.
#include "mouseui/CZentrelMouseDevice.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "deviceui/DeviceTestSupport.h"
#include "lighting/LedEntry.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "sim/VirtualHidBackend.h"
#include "builder/CListUI.h"
#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {
namespace {

template <typename T>
T* Find(CZentrelMouseDevice& mouse, const char* name) {
    return dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(&mouse, QLatin1String(name)));
}

QString RowText(ui::CListUI& list, int row, int cell) {
    auto* element = dynamic_cast<ui::CContainerUI*>(list.GetItemAt(row));
    return element != nullptr && element->GetCount() > cell ? element->GetItemAt(cell)->GetText() : QString();
}

// The shipped mouse page, bound as the main window binds it.
class MousePage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(mouse, nullptr) << page.Error().toStdString(); }

    sim::VirtualHidBackend backend;
    test::ShippedPage page{backend, "mousedevice.xml", 15};
    CZentrelMouseDevice* mouse = dynamic_cast<CZentrelMouseDevice*>(page.Device());
};

TEST_F(MousePage, TheButtonListGrowsOnceAndThenOnlyFollowsTheAssignments) {
    auto* list = Find<ui::CListUI>(*mouse, "device_setkeyinfo_list");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetCount(), 11);
    EXPECT_FALSE(RowText(*list, 4, 0).isEmpty());  // the button's own name
    const QString before = RowText(*list, 4, 1);
    WordAssignment dpi;
    dpi.form.kind = kKindDpi;
    dpi.form.row = 2;
    ASSERT_EQ(mouse->AssignKey(4, dpi), "");
    EXPECT_EQ(list->GetCount(), 11);  // rewritten, not added
    EXPECT_NE(RowText(*list, 4, 1), before);
    EXPECT_EQ(RowText(*list, 4, 1), mouse->KeyButton(4)->GetToolTip().section(QLatin1Char('\n'), 1));
    mouse->RefreshKeyLabels();
    EXPECT_EQ(list->GetCount(), 11);
}

TEST_F(MousePage, TheLogoShowsTheLedItIsGivenAndNoneBeforeThat) {
    CDeviceKeyButtonUI* logo = nullptr;
    for (CDeviceKeyButtonUI* button : mouse->findChildren<CDeviceKeyButtonUI*>()) {
        logo = button->GetUserData() == QLatin1String("logo") ? button : logo;
    }
    ASSERT_NE(logo, nullptr);
    mouse->Core().SetLed(3, LedEntry{0, 200, 0, 255});
    mouse->StreamFrame();
    EXPECT_FALSE(logo->IsLit());  // the catalogue gives the logo no LED
    mouse->SetValue(3);
    mouse->StreamFrame();
    EXPECT_TRUE(logo->IsLit());
    EXPECT_EQ(logo->GetLightColour(), 200u << 16);  // green, as the buttons pack it
    mouse->SetValue(99);  // beyond the frame: dark
    mouse->StreamFrame();
    EXPECT_EQ(logo->GetLightLevel(), 0);
}

TEST_F(MousePage, ASettingsPanelBeyondTheTabsShowsTheFirst) {
    auto* tabs = Find<ui::CTabLayoutUI>(*mouse, "mouse_device_seting_layout");
    ASSERT_NE(tabs, nullptr);
    mouse->ShowSettingsPanel(1);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_TRUE(Find<ui::COptionUI>(*mouse, "mouse_device_seting_option_1")->IsSelected());
    EXPECT_FALSE(Find<ui::COptionUI>(*mouse, "mouse_device_seting_option_0")->IsSelected());
    mouse->ShowSettingsPanel(7);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(Find<ui::COptionUI>(*mouse, "mouse_device_seting_option_0")->IsSelected());
    EXPECT_FALSE(Find<ui::COptionUI>(*mouse, "mouse_device_seting_option_1")->IsSelected());
}

TEST_F(MousePage, ADraggedSliderShowsItsValueAndIsTakenWhenLetGo) {
    auto* slider = Find<ui::CSliderUI>(*mouse, "DPI_slider_2");
    auto* edit = Find<ui::CEditUI>(*mouse, "DPI_edit_2");
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(edit, nullptr);
    mouse->PreviewSlider(2);  // no scale yet: nothing to show
    EXPECT_TRUE(edit->GetText().isEmpty());
    ASSERT_TRUE(test::ConnectVirtual(*mouse, backend, "mouse"));
    mouse->OnConnected();
    ASSERT_TRUE(test::Settle(*mouse));
    auto stage2 = [this] {
        const auto& stages = mouse->Mouse().Profile().Stages();
        return stages.size() > 2 ? static_cast<int>(stages[2].dpiX) : -1;
    };
    const int before = stage2();
    ASSERT_NE(before, 30);
    slider->SetValue(30);
    mouse->PreviewSlider(2);
    EXPECT_EQ(edit->GetText(), QStringLiteral("1600"));
    EXPECT_EQ(stage2(), before);  // not taken while dragged
    ASSERT_TRUE(mouse->TakeSlider(2));
    EXPECT_EQ(stage2(), 30);
}

TEST_F(MousePage, TheFadeReactionFlaresFromTheCablesNoticesOnly) {
    ASSERT_TRUE(test::ConnectVirtual(*mouse, backend, "mouse"));
    mouse->Core().StopLightThread();  // the test steps the light itself
    profiles::LightSetting light = mouse->Mouse().Light();
    light.mode = 6;  // the fade reaction
    light.brightness = 4;
    light.speed = 4;
    mouse->Mouse().SetLight(light);
    auto brightest = [this] {
        static uint32_t now = 0;
        for (int i = 0; i < 7; ++i) {
            mouse->Mouse().LightPass(now += 16);  // one step at speed 4
        }
        int level = 0;
        for (const LedEntry& led : mouse->Core().FrameCopy()) {
            level = std::max<int>(level, led.level);
        }
        return level;
    };
    EXPECT_EQ(brightest(), 0);
    mouse->OnReceiverNotification(0x403);
    EXPECT_EQ(brightest(), 0);
    mouse->OnNotification(0x403);
    EXPECT_GT(brightest(), 200);
}

}  // namespace
}  // namespace kx520
