#include "pages/CVoice6533ControlUI.h"

#include <gtest/gtest.h>

#include "../ui/UiTestSupport.h"
#include "builder/CDialogBuilder.h"
#include "controls/CComboUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "pages/CMagicControlUI.h"
#include "pages/PageControls.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {
namespace {

// The headset's two audio pages on their shipped layouts.
class HeadsetPages : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPageControls();
        ASSERT_TRUE(window.Create());
        QString error;
        audio = dynamic_cast<CVoice6533ControlUI*>(
            test::BuildLayout(window, QStringLiteral("XML/CustomControlXML/Voice6533Control.xml"), error));
        ASSERT_NE(audio, nullptr) << error.toStdString();
        voice = dynamic_cast<CMagicControlUI*>(
            test::BuildLayout(window, QStringLiteral("XML/CustomControlXML/MagicControl.xml"), error));
        ASSERT_NE(voice, nullptr) << error.toStdString();
    }
    template <typename T = ui::CControlUI>
    T* Find(ui::CControlUI* page, const QString& name) {
        return dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(page, name));
    }
    bool Checked(ui::CControlUI* page, const QString& name) { return Find<ui::COptionUI>(page, name)->IsSelected(); }

    test::RecordingWindow window{QStringLiteral("XML/CustomControlXML/MpDevicePower.xml")};
    CVoice6533ControlUI* audio = nullptr;
    CMagicControlUI* voice = nullptr;
};

TEST_F(HeadsetPages, EveryControlTheHeadsetNamesIsThereAsWhatItIs) {
    for (int n = 1; n <= CVoice6533ControlUI::kPresets; ++n) {
        EXPECT_NE(Find<ui::COptionUI>(audio, QStringLiteral("6533_eq_option_%1").arg(n)), nullptr) << n;
    }
    for (int n = 0; n < CVoice6533ControlUI::kBands; ++n) {
        EXPECT_TRUE(audio->HasBand(n)) << n;
    }
    for (const char* option : {"6533_MicIn_option", "6533_MicMoniter_option"}) {
        EXPECT_NE(Find<ui::COptionUI>(audio, QLatin1String(option)), nullptr) << option;
    }
    for (const char* slider : {"6533_MicIn_slider", "6533_MicMoniter_slider"}) {
        EXPECT_EQ(Find<ui::CSliderUI>(audio, QLatin1String(slider))->GetMaxValue(), 100) << slider;
    }
    for (const char* name : {"custom_eq_option_layout", "custom_eq_name_edit", "hs_EQ_btn_save", "hs_EQ_btn_delete",
                             "6533_status_text"}) {
        EXPECT_NE(Find(audio, QLatin1String(name)), nullptr) << name;
    }
    EXPECT_NE(Find<ui::CComboUI>(audio, QStringLiteral("custom_eq_name_combo")), nullptr);
    for (const char* name : {"magic_enable_option", "magic_option_1", "magic_option_4"}) {
        EXPECT_NE(Find<ui::COptionUI>(voice, QLatin1String(name)), nullptr) << name;
    }
    EXPECT_FALSE(audio->HasBand(10));
    EXPECT_EQ(audio->Band(10), -1);
}

TEST_F(HeadsetPages, WhatThePagesAreToldTheyShowWithoutANotification) {
    audio->SelectPreset(4);
    EXPECT_TRUE(Checked(audio, QStringLiteral("6533_eq_option_4")));
    audio->SelectPreset(14);  // no such preset: none is checked, 0 kept
    EXPECT_EQ(audio->SelectedPreset(), 0);
    for (int n = 1; n <= CVoice6533ControlUI::kPresets; ++n) {
        EXPECT_FALSE(Checked(audio, QStringLiteral("6533_eq_option_%1").arg(n))) << n;
    }
    audio->SetBand(0, -5);
    EXPECT_EQ(audio->Band(0), -5);  // a cut reads as itself, not as "missing"
    audio->AppendCustom(QStringLiteral("light_effect_1"));  // a user's name, never a text id
    audio->SetCustomName(QStringLiteral("draft"));
    audio->SelectCustom(0);
    EXPECT_EQ(audio->CustomText(0), QStringLiteral("light_effect_1"));
    EXPECT_EQ(audio->SelectedCustom(), 0);
    EXPECT_TRUE(audio->CustomName().isEmpty());
    voice->SetSwitch(false);
    EXPECT_FALSE(Find(voice, QStringLiteral("magic_option_layout"))->IsEnabled());
    voice->SetSwitch(true);
    EXPECT_TRUE(voice->Switch());
    EXPECT_TRUE(Find(voice, QStringLiteral("magic_option_layout"))->IsEnabled());
    voice->SelectVoice(3);
    voice->SelectVoice(7);
    EXPECT_EQ(voice->SelectedVoice(), 0);
    EXPECT_FALSE(Checked(voice, QStringLiteral("magic_option_3")));
    EXPECT_TRUE(window.Seen().isEmpty()) << window.Seen().join(' ').toStdString();
}

}  // namespace
}  // namespace kx520
