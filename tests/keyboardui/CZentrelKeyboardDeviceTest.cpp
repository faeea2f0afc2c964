#include "keyboardui/CZentrelKeyboardDevice.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "../ui/UiTestSupport.h"
#include "deviceui/DeviceTestSupport.h"
#include "pages/PageControls.h"
#include "platform/KeyRepeatPlan.h"
#include "ui/CPaintManagerUI.h"
#include "catalog/PageKeyDefaults.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CSelectPanelUI.h"
#include "profiles/MacroStore.h"
#include "sim/FirmwareDriver.h"
#include "sim/SimFault.h"
#include "support/TempDir.h"
#include "ui/CResourceManager.h"
#include "sim/VirtualHidBackend.h"
#include "controls/CLabelUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"

namespace kx520 {
namespace {

QRgb Centre(CDeviceKeyButtonUI* button) {
    const QImage cap = button->grab().toImage();
    return cap.pixel(cap.width() / 2, cap.height() / 4);  // above the legend
}

// A keyboard of the first 60 page keys, their LEDs in reverse order.
Json::Value SmallModel() {
    Json::Value model(Json::objectValue);
    for (size_t k = 0; k < 60; ++k) {
        Json::Value code(Json::arrayValue);
        code.append(kPageKeyDefaults[k].type);
        code.append(kPageKeyDefaults[k].param1);
        code.append(kPageKeyDefaults[k].param2);
        model["keys"].append(code);
        model["leds"].append(static_cast<Json::UInt>(59 - k));
    }
    return model;
}

TEST(KeyboardPage, KeysShowTheirOwnLedThroughTheKeyMapAndAKeyTheKeyboardLacksStaysDark) {
    sim::VirtualHidBackend backend;
    std::string error;
    ASSERT_TRUE(backend.SetModel("keyboard", SmallModel(), &error)) << error;
    test::ShippedPage page(backend, "keyboarddevice.xml", 170);
    auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(page.Device());
    ASSERT_NE(keyboard, nullptr) << page.Error().toStdString();
    ASSERT_TRUE(test::ConnectVirtual(*keyboard, backend, "keyboard"));
    keyboard->OnConnected();
    ASSERT_TRUE(test::Settle(*keyboard));
    for (int led = 0; led < 170; ++led) {
        keyboard->Core().SetLed(led, LedEntry{255, 0, 0, 255});
    }
    keyboard->Core().SetLed(59, LedEntry{0, 255, 0, 255});  // key 0's LED on this model
    keyboard->StreamFrame();
    QApplication::processEvents();

    CDeviceKeyButtonUI* escape = keyboard->PositionButton(0);
    CDeviceKeyButtonUI* a = keyboard->PositionButton(64);
    ASSERT_NE(escape, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(escape->IsLit());
    EXPECT_GT(qGreen(Centre(escape)), 150) << std::hex << Centre(escape);
    EXPECT_LT(qRed(Centre(escape)), 90);
    EXPECT_FALSE(a->IsLit());
    const QRgb dark = Centre(a);
    EXPECT_LT(std::max({qRed(dark), qGreen(dark), qBlue(dark)}), 90) << std::hex << dark;
}

// On the shipped system panel: each option on its control, and back.
TEST(KeyboardPage, TheSixOptionsShowOnTheShippedSystemPanelAndReadBack) {
    RegisterPageControls();
    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
    test::RecordingWindow window{QStringLiteral("XML/CustomControlXML/KeyboardSystem.xml")};
    ASSERT_TRUE(window.Create());
    sim::VirtualHidBackend backend;
    CZentrelKeyboardDevice keyboard(backend);
    QString error;
    ui::CControlUI* panel = test::BuildLayout(window, QStringLiteral("XML/CustomControlXML/KeyboardSystem.xml"), error);
    ASSERT_NE(panel, nullptr) << error.toStdString();
    keyboard.Add(panel);
    auto find = [&keyboard](const QString& name) { return ui::CPaintManagerUI::FindSubControlByName(&keyboard, name); };
    auto option = [&find](const QString& name) { return dynamic_cast<ui::COptionUI*>(find(name)); };
    auto* slider = dynamic_cast<ui::CSliderUI*>(find(QStringLiteral("repeat_rate_slider")));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetMaxValue(), KeyRepeatPlan::kRateSteps - 1);
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(option(QStringLiteral("repeat_delay_check_%1").arg(i)), nullptr) << i;
        ASSERT_NE(option(QStringLiteral("polling_rate_option_%1").arg(i)), nullptr) << i;
    }
    EXPECT_EQ(option(QStringLiteral("polling_rate_option_4")), nullptr);  // the record keeps 0-3
    for (const char* flag : {"6flag_option", "wflag_option", "winlockflag_option"}) {
        ASSERT_NE(option(QLatin1String(flag)), nullptr) << flag;
    }

    keyboard.ShowOptions({20, 2, 1, 3, 0, 1});
    EXPECT_EQ(slider->GetValue(), 20);
    EXPECT_TRUE(option(QStringLiteral("repeat_delay_check_2"))->IsSelected());
    EXPECT_FALSE(option(QStringLiteral("repeat_delay_check_0"))->IsSelected());
    EXPECT_TRUE(option(QStringLiteral("polling_rate_option_3"))->IsSelected());
    EXPECT_TRUE(option(QStringLiteral("6flag_option"))->IsSelected());
    EXPECT_FALSE(option(QStringLiteral("wflag_option"))->IsSelected());
    EXPECT_TRUE(option(QStringLiteral("winlockflag_option"))->IsSelected());
    EXPECT_EQ(find(QStringLiteral("repeat_delay_time_label1"))->GetText(), QStringLiteral("Repeat delay: 750ms"));
    EXPECT_EQ(find(QStringLiteral("repeat_rate_label"))->GetText(), QStringLiteral("Repeat rate: 20.2 a second"));
    EXPECT_EQ(keyboard.ReadOptions(), (profiles::KeyboardSystemSettings{20, 2, 1, 3, 0, 1}));

    // Steps the page does not offer show as the first.
    keyboard.ShowOptions({0, 9, 0, 7, 1, 0});
    EXPECT_TRUE(option(QStringLiteral("repeat_delay_check_0"))->IsSelected());
    EXPECT_TRUE(option(QStringLiteral("polling_rate_option_0"))->IsSelected());
    EXPECT_EQ(find(QStringLiteral("repeat_delay_time_label1"))->GetText(), QStringLiteral("Repeat delay: 250ms"));
    EXPECT_EQ(keyboard.ReadOptions().repeatDelay, 0);
    option(QStringLiteral("wflag_option"))->Selected(false, false);
    EXPECT_EQ(keyboard.ReadOptions().wFlag, 0);
}

std::vector<profiles::KeyAssignmentEntry> DefaultKeyList() {
    std::vector<profiles::KeyAssignmentEntry> list;
    for (size_t i = 0; i < kPageKeyDefaults.size(); ++i) {
        const KeyCode& code = kPageKeyDefaults[i];
        const profiles::KeyAction action{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
        list.push_back({action, action});
    }
    return list;
}

TEST(KeyboardPage, AKeyWriteCutByAnUnplugTellsTheUserAndTheNextOneAfterTheReplugIsWhole) {
    test::TempDir temp;
    sim::VirtualHidBackend backend;
    CZentrelKeyboardDevice keyboard(backend);
    keyboard.Keyboard().SetFolders(temp.Path() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
    QStringList told;
    keyboard.SetTeller([&told](const QString& text) { told << text; });
    ASSERT_TRUE(test::ConnectVirtual(keyboard, backend, "keyboard"));
    ASSERT_TRUE(keyboard.Keyboard().ReadDeviceState());
    auto list = DefaultKeyList();
    list[125].assignment = {125, 0x20, 0, 0x06};
    backend.AddFault("keyboard", {sim::SimFault::Unplug, 5});
    EXPECT_EQ(keyboard.WriteKeyList(list), CZentrelKeyboardDevice::KeyWrite::kFailed);
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0], ui::CResourceManager::Instance().GetText(QStringLiteral("message_key_write_failed")));

    keyboard.Channel().SetOpen(false);
    ASSERT_TRUE(test::ConnectVirtual(keyboard, backend, "keyboard"));
    EXPECT_EQ(keyboard.WriteKeyList(list), CZentrelKeyboardDevice::KeyWrite::kWritten);
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(backend.Firmware("keyboard")->Firmware().KeyAssignments()[3 * 125 + 2], 0x06);
}

TEST(KeyboardPage, MacrosTooLargeForTheKeyboardSayByHowMuch) {
    test::TempDir temp;
    profiles::MacroStore store(temp.Path());
    store.Load();
    ASSERT_TRUE(store.NewMacro().has_value());
    std::vector<profiles::MacroRow> rows(40, profiles::MacroRow{profiles::MacroStore::EventObject({}), "1"});
    ASSERT_EQ(store.SaveMacro(0, rows), profiles::MacroStore::SaveResult::kSaved);
    sim::VirtualHidBackend backend;
    CZentrelKeyboardDevice keyboard(backend);
    keyboard.Keyboard().SetFolders(temp.Path() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
    QStringList told;
    keyboard.SetTeller([&told](const QString& text) { told << text; });
    ASSERT_TRUE(test::ConnectVirtual(keyboard, backend, "keyboard"));
    backend.Firmware("keyboard")->Firmware().SetInfoByte(6, 1);  // 128 bytes
    ASSERT_TRUE(keyboard.Keyboard().ReadDeviceState());
    auto list = DefaultKeyList();
    list[64].assignment = {64, 0x70, 0, 0};
    const auto before = backend.Firmware("keyboard")->Firmware().KeyAssignments();
    EXPECT_EQ(keyboard.WriteKeyList(list), CZentrelKeyboardDevice::KeyWrite::kMacrosTooLarge);
    // 16 + 6 + 160 = 182 bytes: (182 - 128) / 4 + 1 = 14 events too many.
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0], ui::CResourceManager::Instance().GetText(QStringLiteral("message_text_16")).arg(14));
    EXPECT_EQ(backend.Firmware("keyboard")->Firmware().KeyAssignments(), before);
}

TEST(KeyboardPage, KeysAreNamedAndMarkedWhenTheyDoSomethingElse) {
    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
    sim::VirtualHidBackend backend;
    test::ShippedPage page(backend, "keyboarddevice.xml", 170);
    auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(page.Device());
    ASSERT_NE(keyboard, nullptr);
    auto& profile = keyboard->Keyboard().Profile();
    profile.LoadSection(std::string(KX520_DATA_DIR) + "/DefaultData/keyboard.Json");
    keyboard->RefreshKeyLabels();
    CDeviceKeyButtonUI* a = keyboard->PositionButton(64);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetLegend(), QStringLiteral("keyboard_key_A"));
    EXPECT_TRUE(a->IsKeySetImageHidden());  // A does A
    EXPECT_EQ(a->GetToolTip(), QStringLiteral("A → A"));

    auto keys = profile.GetKeyList();
    keys[64].assignment = {64, 0x20, 0x02, 0x05};  // Shift+B
    profile.SetKeyList(keys);
    keyboard->RefreshKeyLabels();
    EXPECT_FALSE(a->IsKeySetImageHidden());
    EXPECT_EQ(a->GetToolTip(), QStringLiteral("A → LShift+B"));

    keys[64].assignment = keys[64].defaultAssignment;  // back to its own
    profile.SetKeyList(keys);
    keyboard->RefreshKeyLabels();
    EXPECT_TRUE(a->IsKeySetImageHidden());

    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/zh_CN.xml"), nullptr));
    keyboard->RefreshKeyLabels();
    EXPECT_EQ(keyboard->PositionButton(108)->GetToolTip(), QStringLiteral("空格 → 空格"));
    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
}

TEST(KeyboardPage, TheFnLayerSwitchesKey110) {
    sim::VirtualHidBackend backend;
    CZentrelKeyboardDevice keyboard(backend);
    auto* panel = new CSelectPanelUI();
    auto* fn = new CDeviceKeyButtonUI();
    fn->SetUserData(QStringLiteral("light_110"));
    panel->Add(fn);
    keyboard.Add(panel);
    keyboard.SetLedCount(170);
    keyboard.SetPageLayoutName(QStringLiteral("keyboard.xml"));
    keyboard.BuildPage();
    ASSERT_EQ(keyboard.PositionButton(CZentrelKeyboardDevice::kFnSwitchedKey), fn);
    keyboard.ShowFunction(2);
    EXPECT_FALSE(fn->IsEnabled());
    keyboard.ShowFunction(1);
    EXPECT_TRUE(fn->IsEnabled());
}

}  // namespace
}  // namespace kx520
