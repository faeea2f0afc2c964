#include "builder/CDialogBuilder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <memory>

#include "ui/UiTestSupport.h"
#include "support/TempDir.h"
#include "controls/CComboUI.h"
#include "builder/CControlFactory.h"
#include "controls/CEditUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520::ui {
namespace {

using test::WriteLayout;

class Builder : public ::testing::Test {
protected:
    QString Folder() const { return QString::fromStdString(temp.Path()); }
    QString Layout(const QString& name, const QString& body) {
        return WriteLayout(Folder(), name, body);
    }
    // Builds and keeps the tree; the error when there is none.
    CControlUI* Build(const QString& file, IDialogBuilderCallback* callback = nullptr) {
        error.clear();
        root.reset(builder.Create(file, &manager, callback, &error));
        if (root) {
            manager.AttachRoot(root.get());
        }
        return root.get();
    }

    test::TempDir temp;
    CDialogBuilder builder;
    CPaintManagerUI manager;
    std::unique_ptr<CControlUI> root;
    QString error;
};

TEST_F(Builder, TheGalleryHoldsEveryControlKind) {
    ASSERT_NE(Build(QStringLiteral("XML/gallery.xml")), nullptr) << error.toStdString();
    EXPECT_EQ(builder.WindowSize(), QSize(720, 600));
    for (const char* name : {"gallery_button", "gallery_option_0", "gallery_dpi_edit",
                             "gallery_rate", "gallery_brightness", "gallery_battery",
                             "gallery_profiles", "gallery_palette", "gallery_tabs",
                             "gallery_keys", "key_3", "gallery_speed", "gallery_level",
                             "gallery_layer", "gallery_long", "gallery_tag"}) {
        EXPECT_NE(manager.FindControl(QString::fromLatin1(name)), nullptr) << name;
    }
    auto* combo = dynamic_cast<CComboUI*>(manager.FindControl(QStringLiteral("gallery_rate")));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 3);
    EXPECT_EQ(combo->GetCurSel(), 1);  // "cursel" given before the items
    EXPECT_EQ(combo->GetItemUserData(2), QStringLiteral("1000"));
    EXPECT_EQ(manager.FindControl(QStringLiteral("KEY_3"))->GetClass(), "DeviceKeyButton");
}

TEST_F(Builder, NamesCompareWithoutCaseUnlessExactIsAsked) {
    ASSERT_NE(Build(Layout("names.xml",
                           "<VerticalLayout name='Root'><Button name='Save_Btn'/>"
                           "<HorizontalLayout name='row'><Label name='Deep'/></HorizontalLayout>"
                           "</VerticalLayout>")),
              nullptr)
        << error.toStdString();
    EXPECT_NE(manager.FindControl(QStringLiteral("save_btn")), nullptr);
    EXPECT_EQ(manager.FindControlExact(QStringLiteral("save_btn")), nullptr);
    EXPECT_NE(manager.FindControlExact(QStringLiteral("Save_Btn")), nullptr);
    EXPECT_EQ(manager.FindControl(QStringLiteral("root")), root.get());
    CControlUI* row = manager.FindControl(QStringLiteral("ROW"));
    EXPECT_NE(CPaintManagerUI::FindSubControlByName(row, QStringLiteral("deep")), nullptr);
    EXPECT_EQ(CPaintManagerUI::FindSubControlByNameExact(row, QStringLiteral("deep")), nullptr);
    EXPECT_EQ(CPaintManagerUI::FindSubControlByName(row, QStringLiteral("save_btn")), nullptr);
}

TEST_F(Builder, MistakesNameTheFileAndTheLine) {
    struct Case {
        const char* what;
        const char* xml;
        const char* expected;
    };
    const Case cases[] = {
        {"unknown attribute", "<VerticalLayout>\n  <Button colour='red'/>\n</VerticalLayout>",
         ":2: unknown attribute or bad value colour"},
        {"bad value", "<VerticalLayout>\n\n  <Button width='wide'/>\n</VerticalLayout>", ":3:"},
        {"broken xml", "<VerticalLayout>\n  <Button>\n</VerticalLayout>", ":3:"},
        {"unknown tag", "<VerticalLayout>\n  <Gizmo/>\n</VerticalLayout>",
         ":2: unknown tag <Gizmo>"},
        {"missing include", "<VerticalLayout>\n  <Include source='nowhere.xml'/>\n</VerticalLayout>",
         "nowhere.xml"},
        {"child of a leaf", "<Button>\n  <Label/>\n</Button>", "<Button> cannot hold <Label>"},
        {"empty", "", "bad.xml"},
    };
    for (const Case& c : cases) {
        const QString file = Layout(QStringLiteral("bad.xml"), QString::fromUtf8(c.xml));
        EXPECT_EQ(Build(file), nullptr) << c.what;
        EXPECT_TRUE(error.contains(QStringLiteral("bad.xml"))) << c.what << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.expected)))
            << c.what << ": " << error.toStdString();
    }
}

TEST_F(Builder, IncludesNestAndCyclesAreStopped) {
    Layout("row.xml", "<HorizontalLayout name='row'><Include source='" + Folder() +
                          "/leaf.xml'/></HorizontalLayout>");
    Layout("leaf.xml", "<Window><Label name='leaf' text='x'/></Window>");
    ASSERT_NE(Build(Layout("main.xml", "<VerticalLayout><Include source='" + Folder() +
                                           "/row.xml' name='renamed'/></VerticalLayout>")),
              nullptr)
        << error.toStdString();
    EXPECT_NE(manager.FindControl(QStringLiteral("leaf")), nullptr);
    EXPECT_NE(manager.FindControl(QStringLiteral("renamed")), nullptr);  // include's attributes

    Layout("loop.xml", "<VerticalLayout><Include source='" + Folder() + "/loop.xml'/></VerticalLayout>");
    EXPECT_EQ(Build(Folder() + "/loop.xml"), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("nested too deeply"))) << error.toStdString();
}

class Gadget : public CControlUI {
public:
    QString GetClass() const override { return QStringLiteral("Gadget"); }
};

class TagCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const QString& className) override {
        asked.append(className);
        return className == QLatin1String("Gadget") ? new Gadget : nullptr;
    }
    QStringList asked;
};

TEST_F(Builder, UnknownTagsGoToTheCallbackThenTheFactory) {
    CControlFactory::Instance().RegisterControl(QStringLiteral("Widget2"),
                                                [] { return new Gadget; });
    TagCallback callback;
    ASSERT_NE(Build(Layout("tags.xml", "<VerticalLayout><Gadget name='g'/><Widget2 name='w'/>"
                                       "<Button name='b'/></VerticalLayout>"),
                    &callback),
              nullptr)
        << error.toStdString();
    EXPECT_EQ(callback.asked, (QStringList{"Gadget", "Widget2"}));  // built-ins never asked
    EXPECT_EQ(manager.FindControl(QStringLiteral("w"))->GetClass(), "Gadget");
}

TEST_F(Builder, AttributesReachTheControls) {
    ASSERT_NE(Build(Layout("attrs.xml",
                           "<TabLayout name='tabs' selectedid='1'>"
                           "<Edit name='e' numberonly='true' minvalue='100' maxvalue='200' "
                           "maxchar='3' width='80' height='24' userdata='u' tooltip='t' "
                           "visible='false' enabled='false'/>"
                           "<Label name='l'/></TabLayout>")),
              nullptr)
        << error.toStdString();
    auto* edit = dynamic_cast<CEditUI*>(manager.FindControl(QStringLiteral("e")));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->IsNumberOnly());
    EXPECT_EQ(edit->GetMinValue(), 100);
    EXPECT_EQ(edit->GetMaxValue(), 200);
    EXPECT_EQ(edit->GetMaxChar(), 3);
    EXPECT_EQ(edit->GetFixedWidth(), 80);
    EXPECT_EQ(edit->width(), 80);
    EXPECT_EQ(edit->GetUserData(), QStringLiteral("u"));
    EXPECT_FALSE(edit->IsVisible());
    EXPECT_FALSE(edit->IsEnabled());
    EXPECT_EQ(dynamic_cast<CTabLayoutUI*>(root.get())->GetCurSel(), 1);
    manager.SetDPI(144);
    EXPECT_EQ(edit->width(), 120);
    manager.SetDPI(100);  // not a DPI of the list: 96
    EXPECT_EQ(manager.GetDPI(), 96);
    EXPECT_EQ(edit->width(), 80);
}

}  // namespace
}  // namespace kx520::ui
