#include "pages/CLightControlUI.h"

#include <gtest/gtest.h>

#include "../ui/UiTestSupport.h"
#include "pages/PageControls.h"
#include "controls/CColorPaletteUI.h"
#include "controls/CComboUI.h"
#include "builder/CDialogBuilder.h"
#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "controls/CSliderUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {
namespace {

using profiles::AudioLightSetting;
using profiles::LightSetting;

class LightPage : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPageControls();
        ASSERT_TRUE(window.Create());
        QString error;
        page = dynamic_cast<CLightControlUI*>(
            test::BuildLayout(window, QStringLiteral("XML/CustomControlXML/LightControl.xml"), error));
        ASSERT_NE(page, nullptr) << error.toStdString();
        page->SetManager(&window.GetPaintManager());
        page->SetKind(1);
        std::vector<std::string> names;
        std::vector<bool> visible;
        for (int i = 0; i < 31; ++i) {
            names.push_back("light_effect_" + std::to_string(i));
            visible.push_back(i != 0 && i != 20);
        }
        page->FillEffects(names, visible);
    }

    template <typename T = ui::CControlUI>
    T* Find(const char* name) {
        return dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(page, QLatin1String(name)));
    }
    bool Enabled(const char* name) { return Find(name)->IsEnabled(); }
    bool Shown(const char* name) { return !Find(name)->isHidden(); }

    static LightSetting Setting(uint8_t mode) {
        LightSetting setting;
        setting.mode = mode;
        setting.brightness = 2;
        setting.speed = 3;
        setting.direction = 1;
        setting.multiColor = 1;
        setting.red = 10;
        setting.green = 20;
        setting.blue = 30;
        return setting;
    }

    test::RecordingWindow window{QStringLiteral("XML/CustomControlXML/MpDevicePower.xml")};
    CLightControlUI* page = nullptr;
};

TEST_F(LightPage, TheEffectListHonoursItsFlagsAndTheSlidersRunZeroToFour) {
    auto* effects = Find<ui::CComboUI>("light_combo_modeSelect");
    ASSERT_EQ(effects->GetCount(), 31);
    EXPECT_FALSE(effects->IsItemVisible(0));
    EXPECT_FALSE(effects->IsItemVisible(20));
    EXPECT_TRUE(effects->IsItemVisible(19));
    EXPECT_EQ(effects->GetItemUserData(7), QStringLiteral("light_effect_7"));
    EXPECT_EQ(Find<ui::CSliderUI>("deng_light_slider")->GetMaxValue(), 4);
    EXPECT_EQ(Find<ui::CSliderUI>("deng_speed_slider")->GetMaxValue(), 4);
}

TEST_F(LightPage, ASettingIsShownInEveryControlAndReadBack) {
    page->ShowSetting(Setting(5));
    EXPECT_EQ(page->SelectedEffect(), 5);
    EXPECT_EQ(page->Brightness(), 2);
    EXPECT_EQ(page->Speed(), 3);
    EXPECT_EQ(page->EditText(0), QStringLiteral("10"));
    EXPECT_EQ(page->EditText(2), QStringLiteral("30"));
    EXPECT_EQ(page->PaletteColour(), 0xFF0A141Eu);
    EXPECT_EQ(Find("deng_colordp_btn")->GetBkColor(), QColor(10, 20, 30));
    EXPECT_TRUE(page->MultiColour());
    EXPECT_TRUE(Find<ui::COptionUI>("deng_FXL_check")->IsSelected());
    EXPECT_FALSE(Find<ui::COptionUI>("deng_FXR_check")->IsSelected());
    EXPECT_EQ(page->PresetColour(0), 0xFFE53935u);
    EXPECT_EQ(page->PresetColour(99), 0u);
    // No notification for what the page was told to show.
    EXPECT_TRUE(window.Seen().isEmpty()) << window.Seen().join(' ').toStdString();
}

TEST_F(LightPage, EachEffectEnablesAndShowsWhatItUses) {
    page->ShowSetting(Setting(29));  // music: its style, colour tab 1, no speed
    EXPECT_TRUE(Shown("light_combo_AudiomodeSelectLayout"));
    EXPECT_FALSE(Shown("deng_speed_layout"));
    EXPECT_EQ(Find<ui::CTabLayoutUI>("light_color_tablayout")->GetCurSel(), 1);
    page->ShowSetting(Setting(19));  // the keys' own colours
    EXPECT_TRUE(Shown("lightcustom_layout"));
    EXPECT_FALSE(Shown("light_combo_AudiomodeSelectLayout"));
    EXPECT_FALSE(Enabled("deng_7color_check"));
    EXPECT_TRUE(Enabled("deng_color_layout"));
    EXPECT_EQ(Find<ui::CTabLayoutUI>("light_color_tablayout")->GetCurSel(), 0);
    page->ShowSetting(Setting(17));  // the colour choice instead of the speed
    EXPECT_TRUE(Shown("light_combo_ZZCCmodeSelectLayout"));
    EXPECT_FALSE(Enabled("light_color_layout"));
    EXPECT_FALSE(Shown("lightcustom_layout"));
    page->ShowSetting(Setting(3));
    EXPECT_EQ(Find("deng_FXL_check")->GetText(), QStringLiteral("light_set_clockwise_text"));
    EXPECT_TRUE(Enabled("deng_fx_layout"));
    page->ShowSetting(Setting(5));
    EXPECT_EQ(Find("deng_FXR_check")->GetText(), QStringLiteral("light_set_left_to_right_text"));
    EXPECT_FALSE(Enabled("deng_fx_layout"));
    page->ShowSetting(Setting(20));  // no effect: nothing to set
    EXPECT_FALSE(Enabled("deng_light_layout"));
    EXPECT_FALSE(Enabled("colorpallet_layout"));
}

TEST_F(LightPage, TheSameEffectButtonShowsOnlyWithMoreThanOneDevice) {
    page->ShowSetting(Setting(6));
    EXPECT_FALSE(Shown("deng_same_mode"));
    page->SetSameAllowed(true);
    EXPECT_TRUE(Shown("deng_same_mode"));
    page->ShowSetting(Setting(1));  // the wave has no counterpart
    EXPECT_FALSE(Shown("deng_same_mode"));
    page->ShowSetting(Setting(28));
    EXPECT_TRUE(Shown("deng_same_mode"));
    page->SetSameAllowed(false);
    EXPECT_FALSE(Shown("deng_same_mode"));
}

TEST_F(LightPage, TypedComponentsAreClampedAndAChosenColourEndsTheRainbow) {
    page->ShowSetting(Setting(6));
    Find<ui::CEditUI>("deng_edit_G")->SetText(QStringLiteral("300"));
    LightSetting setting = page->TakeEditComponent(Setting(6), 1);
    EXPECT_EQ(setting.green, 255);
    EXPECT_EQ(setting.red, 10);
    EXPECT_EQ(page->EditText(1), QStringLiteral("255"));
    EXPECT_EQ(setting.multiColor, 0);
    EXPECT_FALSE(page->MultiColour());
    Find<ui::CEditUI>("deng_edit_B")->SetText(QString());
    setting = page->TakeEditComponent(setting, 2);
    EXPECT_EQ(setting.blue, 0);
    EXPECT_EQ(page->EditText(2), QStringLiteral("0"));
    EXPECT_EQ(Find("deng_colordp_btn")->GetBkColor(), QColor(10, 255, 0));
    // A preset while the rainbow is on turns it off.
    page->ShowSetting(Setting(6));
    ASSERT_TRUE(page->MultiColour());
    setting = page->TakeColour(Setting(6), page->PresetColour(3));
    EXPECT_EQ(setting.multiColor, 0);
    EXPECT_FALSE(page->MultiColour());
    EXPECT_EQ(page->PaletteColour(), page->PresetColour(3));
    EXPECT_EQ(page->EditText(0), QString::number(setting.red));
}

TEST_F(LightPage, TheMusicSettingShowsTheColourBeingEdited) {
    AudioLightSetting audio;
    audio.audioMode = 2;
    audio.fgRed = 200;
    audio.bkBlue = 60;
    audio.sevenColor = 1;
    audio.colorType = 1;
    ASSERT_TRUE(page->ShowAudioSetting(audio));
    EXPECT_EQ(Find<ui::CComboUI>("light_combo_audiomodeSelect")->GetCurSel(), 2);
    EXPECT_TRUE(Find<ui::COptionUI>("audio_FgColor_check")->IsSelected());
    EXPECT_TRUE(Enabled("deng_7audiocolor_check"));
    EXPECT_TRUE(Find<ui::COptionUI>("deng_7audiocolor_check")->IsSelected());
    EXPECT_EQ(Find<ui::CEditUI>("deng_audioedit_R")->GetText(), QStringLiteral("200"));
    audio.colorType = 0;  // the background: no rainbow for it
    audio.audioMode = 3;  // the rings have no colours to choose
    ASSERT_TRUE(page->ShowAudioSetting(audio));
    EXPECT_FALSE(Enabled("deng_7audiocolor_check"));
    EXPECT_EQ(Find<ui::CEditUI>("deng_audioedit_B")->GetText(), QStringLiteral("60"));
    EXPECT_FALSE(Enabled("light_audiocolor_layout"));
    EXPECT_FALSE(Enabled("audiocolorpallet_layout"));
    // Choosing the foreground reads back as colour type 1; the swatch's
    // colour goes to the colour being edited.
    Find<ui::COptionUI>("audio_FgColor_check")->Selected(true, false);
    auto read = page->ReadAudioSetting(true);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->colorType, 1);
    EXPECT_EQ(read->fgBlue, 60);  // the swatch showed the background
    // A preset for the foreground ends its rainbow.
    read->sevenColor = 1;
    const AudioLightSetting taken = page->TakeAudioColour(*read, 0xFF112233u, true);
    EXPECT_EQ(taken.fgRed, 0x11);
    EXPECT_EQ(taken.sevenColor, 0);
    Find<ui::CEditUI>("deng_audioedit_G")->SetText(QStringLiteral("999"));
    EXPECT_EQ(page->TakeAudioEditComponent(taken, 1).fgGreen, 255);
}

TEST_F(LightPage, AnotherKindHasNoKeyboardPartsAndItsOwnRows) {
    page->SetKind(2);
    EXPECT_FALSE(Shown("light_combo_AudiomodeSelectLayout"));
    EXPECT_FALSE(Shown("lightcustom_layout"));
    page->SetSameAllowed(true);
    page->ShowSetting(Setting(3));  // the mouse's static: colour yes, rainbow no
    EXPECT_FALSE(Enabled("deng_7color_check"));
    EXPECT_TRUE(Enabled("colorpallet_layout"));
    EXPECT_FALSE(Enabled("deng_speed_layout"));
    EXPECT_TRUE(Shown("deng_same_mode"));
    EXPECT_FALSE(Shown("lightcustom_layout"));  // never on a mouse
}

}  // namespace
}  // namespace kx520
