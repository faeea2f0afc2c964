#include "profileui/CDeviceProfileUI.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "../ui/UiTestSupport.h"
#include "app/CMainWnd.h"
#include "app/Startup.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "deviceui/CDeviceOptionUI.h"
#include "desktop/SettingsStore.h"
#include "profiles/ProfileList.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "controls/CComboUI.h"
#include "builder/CDialogBuilder.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {
namespace {

class ProfileListControl : public ::testing::Test {
protected:
    void SetUp() override {
        ui::CDialogBuilder builder;
        QString error;
        root.reset(builder.Create(QStringLiteral("XML/CustomControlXML/DeviceProfile.xml"), nullptr,
                                  nullptr, &error));
        control = dynamic_cast<CDeviceProfileUI*>(root.get());
        ASSERT_NE(control, nullptr) << error.toStdString();
        folder = QString::fromStdString(temp.Sub("profiles"));
        templatePath = QString::fromStdString(temp.Path() + "/template.Json");
        std::ofstream(templatePath.toStdString()) << R"({"Device": [{"KeyList": []}]})";
    }
    void Init(int kind) {
        control->SetDeviceKind(kind);
        control->SetFolders(folder, templatePath);
        ASSERT_TRUE(control->InitList());
    }
    ui::CControlUI* Part(const char* name) {
        return ui::CPaintManagerUI::FindSubControlByName(control, QString::fromLatin1(name));
    }
    ui::CComboUI* Combo() { return dynamic_cast<ui::CComboUI*>(Part("device_profile_combo")); }
    // The combo shows exactly the list, in order.
    void ExpectInStep() {
        const auto& entries = control->List()->Entries();
        ASSERT_EQ(Combo()->GetCount(), static_cast<int>(entries.size()));
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(Combo()->GetItemText(static_cast<int>(i)).toStdString(), entries[i].name);
        }
        EXPECT_EQ(Combo()->GetCurSel(), control->List()->Selected());
    }

    test::TempDir temp;
    std::unique_ptr<ui::CControlUI> root;
    CDeviceProfileUI* control = nullptr;
    QString folder;
    QString templatePath;
};

TEST_F(ProfileListControl, AHugeNameFromAFileIsShownByItsStartAndKeptWhole) {
    const std::string huge(10u << 20, 'n');
    std::filesystem::create_directories(folder.toStdString());
    std::ofstream(folder.toStdString() + "/ProfileList.ini")
        << R"({"profilelist": [{"profilename": ")" << huge
        << R"(", "profileUUID": "a"}, {"profilename": "short", "profileUUID": "b"}], "profileselect": 0})";
    Init(profiles::ProfileList::kMouse);
    ASSERT_EQ(Combo()->GetCount(), 2);
    const QString shown = Combo()->GetItemText(0);
    EXPECT_EQ(shown.size(), static_cast<qsizetype>(profiles::ProfileList::kMaxNameCharacters) + 1);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_EQ(Combo()->GetItemText(1), QStringLiteral("short"));
    EXPECT_EQ(control->GetNameEditText().size(),
              static_cast<qsizetype>(profiles::ProfileList::kMaxNameCharacters));
    EXPECT_EQ(control->List()->Entries()[0].name, huge);  // nothing of it is dropped
}

TEST_F(ProfileListControl, TheKindDecidesWhichEditorTabsShow) {
    auto visible = [this](const char* name) { return Part(name)->IsVisible(); };
    Init(profiles::ProfileList::kKeyboard);
    EXPECT_FALSE(visible("cursor_Op_tab"));
    EXPECT_TRUE(visible("key_Op_tab"));
    EXPECT_FALSE(visible("6533_voice_Op_tab"));  // as the layout has it
    EXPECT_FALSE(visible("recoil_Op_tab"));
    Init(profiles::ProfileList::kMouse);
    EXPECT_TRUE(visible("recoil_Op_tab"));  // the mouse's own
    EXPECT_TRUE(Part("recoil_Op_tab")->IsEnabled());
    Init(profiles::ProfileList::kHeadset);
    // No page gives the virtual surround controls: its tab stays hidden.
    for (const char* hidden : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab", "Virtual7.1_Op_tab"}) {
        EXPECT_FALSE(visible(hidden)) << hidden;
    }
    for (const char* shown : {"6533_voice_Op_tab", "magic_Op_tab", "deng_Op_tab"}) {
        EXPECT_TRUE(visible(shown)) << shown;
        EXPECT_TRUE(Part(shown)->IsEnabled()) << shown;  // their pages are built
    }
    control->SelectTab(1);
    EXPECT_TRUE(dynamic_cast<ui::COptionUI*>(Part("key_Op_tab"))->IsSelected());
    EXPECT_FALSE(dynamic_cast<ui::COptionUI*>(Part("deng_Op_tab"))->IsSelected());
    control->SelectTab(9);  // outside: nothing changes
    EXPECT_TRUE(dynamic_cast<ui::COptionUI*>(Part("key_Op_tab"))->IsSelected());
}

TEST_F(ProfileListControl, TheComboStaysInStepWithTheList) {
    Init(profiles::ProfileList::kMouse);
    ExpectInStep();
    EXPECT_EQ(control->GetNameEditText(), QStringLiteral("profile1"));
    ASSERT_TRUE(control->NewProfile());
    ASSERT_TRUE(control->CopyProfile());
    ExpectInStep();
    EXPECT_EQ(control->GetCurrentIndex(), 2);  // a new profile, and a copy, is the one shown
    EXPECT_EQ(Combo()->GetItemText(2), QStringLiteral("profile2 copy"));
    control->SelectProfile(2, false);
    EXPECT_EQ(control->GetNameEditText(), QStringLiteral("profile2 copy"));
    // A user's name is shown as typed, never looked up as a text id.
    EXPECT_EQ(control->RenameProfile(QStringLiteral("main_title")), 1);
    ExpectInStep();
    EXPECT_EQ(Combo()->GetItemText(2), QStringLiteral("main_title"));
    ASSERT_TRUE(control->DeleteProfile());
    ExpectInStep();
    EXPECT_EQ(control->GetCurrentProfileId().toStdString(), control->List()->CurrentId());
    EXPECT_EQ(control->GetProfileCount(), 2);
    EXPECT_TRUE(control->GetProfilePathAt(1).endsWith(QStringLiteral(".Json")));
    EXPECT_TRUE(control->GetProfilePathAt(2).isEmpty());
}

TEST_F(ProfileListControl, TheSpreadButtonTogglesTheActions) {
    Init(profiles::ProfileList::kMouse);
    EXPECT_FALSE(control->IsProfileMenuVisible());
    control->ToggleExpanded();
    EXPECT_TRUE(control->IsProfileMenuVisible());
    control->ToggleExpanded();
    EXPECT_FALSE(control->IsProfileMenuVisible());
}

// The profile list driven through the main window, as a user clicks it.
class ProfileRouting : public ::testing::Test {
protected:
    void SetUp() override {
        // Profiles of one test never meet another's.
        ::setenv("XDG_DATA_HOME", temp.Sub("data").c_str(), 1);
        settings = std::make_unique<SettingsStore>(QString::fromStdString(temp.Sub("config")));
        Startup::RegisterControlClasses(backend);
        window = new CMainWnd(backend, *settings);
        window->SetDialogs(
            [this](const QString& id, int) {
                asked.push_back(id);
                return answer;
            },
            [this](bool, const QString&) { return path; });
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->FirstPassShown(); }, 5000));
        backend.Plug("mouse");
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->CurrentDevice() != nullptr; }, 5000));
        profiles = window->CurrentDevice()->ProfileControl();
        ASSERT_NE(profiles, nullptr);
    }
    void TearDown() override {
        window->Shutdown();
        delete window;
    }
    void ClickOn(const char* name) {
        ui::CControlUI* control =
            ui::CPaintManagerUI::FindSubControlByName(profiles, QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        window->Notify({QStringLiteral("click"), control, 0, 0});
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : profiles->List()->Entries()) {
            names.push_back(entry.name);
        }
        return names;
    }

    test::TempDir temp;
    sim::VirtualHidBackend backend;
    std::unique_ptr<SettingsStore> settings;
    CMainWnd* window = nullptr;
    CDeviceProfileUI* profiles = nullptr;
    std::vector<QString> asked;
    int answer = 1;
    QString path;
};

TEST_F(ProfileRouting, AMousePageStartsWithItsFirstProfileFromTheShippedTemplate) {
    EXPECT_EQ(Names(), std::vector<std::string>{"profile1"});
    EXPECT_EQ(profiles->GetDeviceKind(), profiles::ProfileList::kMouse);
    const std::string file = profiles->GetProfilePathAt(0).toStdString();
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("KeyList"), std::string::npos);  // the mouse template's sections
}

TEST_F(ProfileRouting, AddCopyDeleteAndTheSpreadButtonAreRouted) {
    ClickOn("device_add_btn");
    // The new profile is the one shown, and the one the list stores.
    EXPECT_EQ(profiles->GetCurrentIndex(), 1);
    EXPECT_EQ(profiles->List()->Selected(), 1);
    EXPECT_EQ(profiles->GetNameEditText(), QStringLiteral("profile2"));
    ClickOn("device_copy_btn");
    EXPECT_EQ(Names(), (std::vector<std::string>{"profile1", "profile2", "profile2 copy"}));
    EXPECT_EQ(profiles->List()->Selected(), 2);  // the copy is chosen
    EXPECT_TRUE(asked.empty());
    // Deleting asks first; declined, nothing goes.
    answer = 0;
    ClickOn("device_sub_btn");
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("message_profile_delete")});
    EXPECT_EQ(Names().size(), 3u);
    answer = 1;
    ClickOn("device_sub_btn");
    EXPECT_EQ(Names(), (std::vector<std::string>{"profile1", "profile2"}));  // the copy went
    ClickOn("profile_fun_spread_btn");
    EXPECT_TRUE(profiles->IsProfileMenuVisible());
}

TEST_F(ProfileRouting, RenameReportsANameInUseAndABlankName) {
    ClickOn("device_add_btn");
    profiles->SetNameEditText(QStringLiteral("PROFILE1"));
    ClickOn("device_profile_edit_save_btn");
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("message_text_5")});
    profiles->SetNameEditText(QStringLiteral("   "));
    ClickOn("device_profile_edit_save_btn");
    EXPECT_EQ(asked.back(), QStringLiteral("message_text_25"));
    asked.clear();
    profiles->SetNameEditText(QString());
    ClickOn("device_profile_edit_save_btn");
    EXPECT_TRUE(asked.empty());  // an empty edit starts nothing
    profiles->SetNameEditText(QStringLiteral("Aim"));
    ClickOn("device_profile_edit_save_btn");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Names()[1], "Aim");
}

TEST_F(ProfileRouting, ResetAsksFirstAndImportOrExportFailuresAreShown) {
    const std::string file = profiles->GetProfilePathAt(0).toStdString();
    std::ofstream(file, std::ios::trunc) << R"({"profilename": "profile1", "Device": [{"Mine": 1}]})";
    answer = 0;
    ClickOn("device_reset_btn");
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("message_text_22")});
    std::ifstream kept(file);
    EXPECT_NE(std::string((std::istreambuf_iterator<char>(kept)), {}).find("Mine"), std::string::npos);
    answer = 1;
    ClickOn("device_reset_btn");
    std::ifstream reset(file);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(reset)), {}).find("Mine"), std::string::npos);

    asked.clear();
    path = QString::fromStdString(temp.Path() + "/Team.json");
    ClickOn("device_export_btn");
    EXPECT_TRUE(asked.empty());
    ClickOn("device_import_btn");
    EXPECT_EQ(Names(), (std::vector<std::string>{"profile1", "Team"}));
    std::ofstream(path.toStdString(), std::ios::trunc) << "[]";
    ClickOn("device_import_btn");
    EXPECT_EQ(asked, std::vector<QString>{QStringLiteral("message_profile_import")});
    path = QStringLiteral("/nonexistent-folder/out.json");
    ClickOn("device_export_btn");
    EXPECT_EQ(asked.back(), QStringLiteral("message_profile_export"));
    path.clear();  // a cancelled dialog does nothing
    asked.clear();
    ClickOn("device_import_btn");
    EXPECT_TRUE(asked.empty());
    // A name typed without an extension is saved as a .json the import sees.
    path = QString::fromStdString(temp.Path() + "/Plain");
    ClickOn("device_export_btn");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(temp.Path() + "/Plain.json")));
}

TEST_F(ProfileRouting, ChoosingInTheComboSwitchesAfterAPause) {
    ClickOn("device_add_btn");
    auto* combo = dynamic_cast<ui::CComboUI*>(
        ui::CPaintManagerUI::FindSubControlByName(profiles, QStringLiteral("device_profile_combo")));
    ASSERT_NE(combo, nullptr);
    combo->SelectItem(0, true);  // the user's choice raises "itemselect"
    EXPECT_EQ(profiles->List()->Selected(), 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return profiles->List()->Selected() == 0; }, 3000));
    EXPECT_EQ(profiles->GetNameEditText(), QStringLiteral("profile1"));
}

TEST_F(ProfileRouting, EachPageKeepsItsOwnSelectedTab) {
    backend.Plug("keyboard");
    ASSERT_TRUE(QTest::qWaitFor(
        [this] {
            for (auto* option : window->DeviceOptions()) {
                if (option->Device()->KindName() == QLatin1String("keyboard") &&
                    option->IsOptionVisible()) {
                    return true;
                }
            }
            return false;
        },
        5000));
    for (auto* option : window->DeviceOptions()) {
        CDeviceProfileUI* page = option->Device()->ProfileControl();
        ASSERT_NE(page, nullptr);
        auto* keys = dynamic_cast<ui::COptionUI*>(
            ui::CPaintManagerUI::FindSubControlByName(page, QStringLiteral("key_Op_tab")));
        EXPECT_TRUE(keys->IsSelected()) << option->Device()->KindName().toStdString();
    }
}

TEST_F(ProfileRouting, EditorTabsSwitchTheDevicesPanels) {
    auto* tab = dynamic_cast<ui::COptionUI*>(
        ui::CPaintManagerUI::FindSubControlByName(profiles, QStringLiteral("deng_Op_tab")));
    ASSERT_NE(tab, nullptr);
    tab->Selected(true, false);
    window->Notify({QStringLiteral("selectchanged"), tab, 0, 0});
    EXPECT_EQ(window->CurrentDevice()->GetPageFunction(), 1);
    auto* keys = dynamic_cast<ui::COptionUI*>(
        ui::CPaintManagerUI::FindSubControlByName(profiles, QStringLiteral("system_Op_tab")));
    keys->Selected(true, false);
    window->Notify({QStringLiteral("selectchanged"), keys, 0, 0});
    EXPECT_EQ(window->CurrentDevice()->GetPageFunction(), 4);
}

}  // namespace
}  // namespace kx520
