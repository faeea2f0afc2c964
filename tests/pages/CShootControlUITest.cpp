#include "pages/CShootControlUI.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../ui/UiTestSupport.h"
#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "pages/CRecoilPlotUI.h"
#include "pages/PageControls.h"
#include "profiles/ProfileTestFiles.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {
namespace {

using profiles::Bullet;
using profiles::ShootGun;

// The recoil page on its shipped layout, over a data folder of its own
// with the shipped guns as defaults.
class ShootPage : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPageControls();
        ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
        ASSERT_TRUE(window.Create());
        QString error;
        page = dynamic_cast<CShootControlUI*>(
            test::BuildLayout(window, QStringLiteral("XML/CustomControlXML/ShootControl.xml"), error));
        ASSERT_NE(page, nullptr) << error.toStdString();
        data = temp.Path() + "/mouse/";
        std::filesystem::create_directories(data);
        page->SetFolders(data, shipped);
    }
    template <typename T = ui::CControlUI>
    T* Find(const char* name) {
        return dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(page, QLatin1String(name)));
    }
    QString Text(const char* name) { return Find(name)->GetText(); }
    void Type(const char* name, const QString& text) { Find(name)->SetText(text); }

    test::RecordingWindow window{QStringLiteral("XML/CustomControlXML/ShootControl.xml")};
    CShootControlUI* page = nullptr;
    test::TempDir temp;
    std::string data;
    std::string shipped = std::string(KX520_DATA_DIR) + "/DefaultData/";
};

TEST_F(ShootPage, BuildFindsEveryControlAndPutsBackGunsThatAreMissingOrNotJson) {
    test::WriteText(data + "ShootData_1.Shoot", "{ not json");
    ASSERT_EQ(page->Build(), "");
    EXPECT_TRUE(page->AllControlsFound());
    for (int gun = 0; gun < 4; ++gun) {
        EXPECT_EQ(test::ReadAll(page->GunPath(gun)), test::ReadAll(shipped + "ShootData_" + std::to_string(gun) + ".Shoot"));
    }
    EXPECT_TRUE(std::filesystem::exists(data + "ShootData_1.Shoot.bak"));  // the damaged one kept
    EXPECT_TRUE(Find<ui::COptionUI>("shoot_gun_op_0")->IsSelected());
    EXPECT_EQ(page->Bullet(), -1);
    EXPECT_TRUE(Text("bullet_x_eidt").isEmpty());
    EXPECT_FALSE(Find("bullet_edit_layout")->IsEnabled());
    auto* plot = dynamic_cast<CRecoilPlotUI*>(Find<ui::CTabLayoutUI>("shoot_image_display_switch")->GetItemAt(0));
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->Bullets().size(), 30u);
}

TEST_F(ShootPage, SelectionsAreClampedAndTheEditsShowTheChosenBullet) {
    ASSERT_EQ(page->Build(), "");
    struct Step {
        std::function<void()> act;
        int bullet;
    };
    const Step steps[] = {{[&] { page->SelectBullet(29); }, 29}, {[&] { page->Next(); }, 29},
                          {[&] { page->SelectBullet(0); }, 0},   {[&] { page->Previous(); }, 0},
                          {[&] { page->SelectBullet(99); }, 29}, {[&] { page->SelectBullet(-5); }, 0}};
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(page->Bullet(), step.bullet);
        EXPECT_EQ(Text("bullet_select_index"), QString::number(step.bullet + 1));
        EXPECT_TRUE(Find<ui::COptionUI>(("bullet_op_" + std::to_string(step.bullet)).c_str())->IsSelected());
    }
    page->SelectGun(7);
    EXPECT_EQ(page->Gun(), 3);
    EXPECT_EQ(Find<ui::CTabLayoutUI>("shoot_image_display_switch")->GetCurSel(), 3);
    const Bullet first = *ShootGun::Read(page->GunPath(3), 0);
    EXPECT_EQ(Text("bullet_y_eidt"), QString::number(first.y));
    EXPECT_EQ(Text("bullet_delay_eidt"), QString::number(first.delay));
    EXPECT_EQ(Text("bullet_y_check"), first.up ? "Move up" : "Move down");
}

TEST_F(ShootPage, ADirectionAloneLeavesTheFileAndAnEditGoesToTheBulletItWasShownFor) {
    ASSERT_EQ(page->Build(), "");
    page->SelectBullet(4);
    const std::string before = test::ReadAll(page->GunPath(0));
    auto* x = Find<ui::COptionUI>("bullet_x_check");
    x->Selected(!x->IsSelected(), false);
    page->ShowDirections();
    EXPECT_EQ(Text("bullet_x_check"), x->IsSelected() ? "Move left" : "Move right");
    page->SelectBullet(5);  // nothing typed: the direction is not written
    EXPECT_EQ(test::ReadAll(page->GunPath(0)), before);

    // Typed for bullet 5 of gun 0, then gun 1 chosen: bullet 5 of gun 0 takes it.
    Type("bullet_x_eidt", QStringLiteral("300"));
    Type("bullet_delay_eidt", QStringLiteral("abc"));
    page->SelectGun(1);
    const Bullet written = *ShootGun::Read(page->GunPath(0), 5);
    EXPECT_EQ(written.x, 255);
    EXPECT_EQ(written.delay, 0);
    EXPECT_EQ(test::ReadAll(page->GunPath(1)), test::ReadAll(shipped + "ShootData_1.Shoot"));

    // With no bullet chosen the edits change nothing.
    CShootControlUI fresh;
    fresh.SetFolders(data, shipped);
    EXPECT_EQ(fresh.SaveBullet(), "");
    EXPECT_EQ(fresh.CommitEdits(), "");
}

TEST_F(ShootPage, ResetImportAndExportReplaceOnlyTheSelectedGun) {
    ASSERT_EQ(page->Build(), "");
    page->SelectGun(2);
    page->SelectBullet(0);
    ASSERT_EQ(page->SetBullet(2, 0, {9, true, 9, true, 9}), "");
    EXPECT_EQ(Text("bullet_x_eidt"), "9");
    const std::string out = temp.Path() + "/out.shoot";
    ASSERT_EQ(page->Export(out), "");
    ASSERT_EQ(page->ResetGun(), "");
    EXPECT_EQ(test::ReadAll(page->GunPath(2)), test::ReadAll(shipped + "ShootData_2.Shoot"));
    EXPECT_NE(Text("bullet_x_eidt"), "9");
    ASSERT_EQ(page->Import(out), "");
    EXPECT_EQ(Text("bullet_x_eidt"), "9");
    test::WriteText(out, R"({"Events": "no"})");
    EXPECT_NE(page->Import(out), "");
    EXPECT_EQ(ShootGun::Read(page->GunPath(2), 0)->x, 9);  // the refused file left it
}

// A gun shorter than the bullet shown: passing through it writes nothing;
// typing does, with the bullets before it completed.
TEST_F(ShootPage, ABulletTheFileLacksIsWrittenOnlyWhenSomethingIsTyped) {
    ASSERT_EQ(page->Build(), "");
    const std::string one = temp.Path() + "/one.shoot";
    test::WriteText(one, R"({"Events": [{"Action": "down", "Button": 1, "Delay": 10, "Type": 1},
        {"Action": "up", "Button": 1, "Delay": 0, "Type": 1}, {"Action": "up", "Button": 2, "Delay": 5, "Type": 4},
        {"Action": "up", "Button": 4, "Delay": 90, "Type": 5}, {"Action": "up", "Button": 0, "Delay": 0, "Type": 4},
        {"Action": "up", "Button": 0, "Delay": 0, "Type": 5}]})");
    ASSERT_EQ(page->Import(one), "");
    const std::string imported = test::ReadAll(page->GunPath(0));
    page->SelectBullet(3);
    EXPECT_TRUE(Text("bullet_x_eidt").isEmpty());
    EXPECT_EQ(page->Next(), "");
    EXPECT_EQ(page->SaveBullet(), "");  // an edit left with nothing in it
    EXPECT_EQ(page->SelectGun(1), "");
    EXPECT_EQ(test::ReadAll(page->GunPath(0)), imported);
    page->SelectGun(0);
    page->SelectBullet(2);
    Type("bullet_y_eidt", QStringLiteral("6"));
    EXPECT_EQ(page->SelectBullet(0), "");
    EXPECT_EQ(ShootGun::ReadAll(page->GunPath(0)).size(), 3u);
    EXPECT_EQ(ShootGun::Read(page->GunPath(0), 2)->y, 6);
    EXPECT_EQ(ShootGun::Read(page->GunPath(0), 1), ShootGun::Read(shipped + "ShootData_0.Shoot", 1));
}

TEST_F(ShootPage, AnEditThatCannotBeSavedKeepsTheBulletAndWhatWasTyped) {
    ASSERT_EQ(page->Build(), "");
    page->SelectBullet(4);
    Type("bullet_x_eidt", QStringLiteral("42"));
    test::WriteText(page->GunPath(0), "damaged");
    EXPECT_NE(page->SelectBullet(5), "");
    EXPECT_EQ(page->Bullet(), 4);
    EXPECT_EQ(Text("bullet_x_eidt"), "42");
    EXPECT_NE(page->SetBullet(0, 9, {1, false, 1, false, 1}), "");
    EXPECT_EQ(page->Bullet(), 4);  // nothing typed into another bullet
    EXPECT_EQ(page->ResetGun(), "");  // the reset that puts the file right is no edit
}

}  // namespace
}  // namespace kx520
