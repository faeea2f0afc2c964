// Notifications raised by real Qt events on a window built from a layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

#include "UiTestSupport.h"
#include "support/TempDir.h"
#include "controls/CButtonUI.h"
#include "controls/CComboUI.h"
#include "controls/CEditUI.h"
#include "builder/CListUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520::ui {
namespace {

using test::RecordingWindow;

constexpr const char* kLayout = R"(<Window size="400,300">
  <VerticalLayout name="root">
    <HorizontalLayout height="30">
      <Button name="ok" text="OK"/>
      <Option name="a" group="g" selected="true"/>
      <Option name="b" group="g"/>
      <Option name="check"/>
    </HorizontalLayout>
    <HorizontalLayout height="30">
      <Edit name="dpi" numberonly="true" minvalue="100" maxvalue="200" maxchar="4"/>
      <Edit name="plain"/>
      <Combo name="rate"><Item text="125" userdata="u125"/><Item text="500" userdata="u500"/></Combo>
      <Slider name="level" min="0" max="10" value="5" step="1"/>
    </HorizontalLayout>
    <TabLayout name="tabs"><Label name="t0"/><Label name="t1"/></TabLayout>
    <List name="list" height="90">
      <ListElement name="row0" text="zero" height="30"/>
      <ListElement name="row1" text="one" height="30"/>
    </List>
  </VerticalLayout>
</Window>)";

class Notifications : public ::testing::Test {
protected:
    void SetUp() override {
        const QString file =
            test::WriteLayout(QString::fromStdString(temp.Path()), "controls.xml", kLayout);
        window = std::make_unique<RecordingWindow>(file);
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return window->Seen().contains("windowinit:root"); }, 5000));
        window->Clear();
    }
    template <typename T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(window->FindControl(QString::fromLatin1(name)));
    }

    test::TempDir temp;
    std::unique_ptr<RecordingWindow> window;
};

TEST_F(Notifications, WindowInitComesAfterTheFirstPaintOnce) {
    RecordingWindow fresh(QStringLiteral("XML/gallery.xml"));
    ASSERT_TRUE(fresh.Create());
    EXPECT_TRUE(fresh.Seen().filter("windowinit").isEmpty());
    fresh.show();
    fresh.repaint();
    QApplication::processEvents();
    fresh.repaint();
    QApplication::processEvents();
    EXPECT_EQ(fresh.Seen().filter("windowinit").size(), 1);
}

TEST_F(Notifications, ClickOnlyWhenReleasedInside) {
    auto* ok = Find<CButtonUI>("ok");
    ASSERT_NE(ok, nullptr);
    test::Click(ok);
    EXPECT_EQ(window->Seen(), QStringList{"click:ok"});
    window->Clear();
    test::SendMouse(ok, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    test::SendMouse(ok, QEvent::MouseButtonRelease, {ok->width() + 20, 2}, Qt::LeftButton,
                    Qt::NoButton);
    EXPECT_TRUE(window->Seen().isEmpty());
    ok->SetEnabled(false);  // may move the focus away: killfocus, but never a click
    test::Click(ok);
    EXPECT_TRUE(window->Seen().filter("click").isEmpty());
    ok->SetEnabled(true);
    ok->setFocus();
    QApplication::processEvents();
    window->Clear();
    QTest::keyClick(ok, Qt::Key_Space);
    EXPECT_EQ(window->Seen(), QStringList{"click:ok"});
}

TEST_F(Notifications, OptionsOfAGroupAreExclusive) {
    auto* a = Find<COptionUI>("a");
    auto* b = Find<COptionUI>("b");
    ASSERT_TRUE(a->IsSelected());
    test::Click(b);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_EQ(window->Seen(), (QStringList{"click:b", "selectchanged:a", "selectchanged:b"}));
    window->Clear();
    test::Click(b);  // a selected member of a group stays selected
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ(window->Seen(), QStringList{"click:b"});
    auto* check = Find<COptionUI>("check");
    test::Click(check);
    test::Click(check);
    EXPECT_FALSE(check->IsSelected());
    EXPECT_EQ(window->Seen().filter("selectchanged:check").size(), 2);
}

TEST_F(Notifications, NumberOnlyEditKeepsToDigitsLengthAndRange) {
    auto* dpi = Find<CEditUI>("dpi");
    dpi->LineEdit()->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(dpi->LineEdit(), "12a34x5");
    EXPECT_EQ(dpi->LineEdit()->text(), QStringLiteral("1234"));  // digits, four at most
    // What the field shows is the text while the user still types.
    EXPECT_EQ(dpi->GetText(), QStringLiteral("1234"));
    EXPECT_EQ(window->Seen().filter("textchanged:dpi").size(), 4);
    Find<CEditUI>("plain")->LineEdit()->setFocus();  // leave the field: the range applies
    QApplication::processEvents();
    EXPECT_EQ(dpi->LineEdit()->text(), QStringLiteral("200"));
    EXPECT_EQ(dpi->GetText(), QStringLiteral("200"));
    EXPECT_TRUE(window->Seen().contains("killfocus:dpi"));
    EXPECT_TRUE(window->Seen().contains("setfocus:plain"));
}

TEST_F(Notifications, FocusFromTheKeyboardIsShownAndAClickIsNot) {
    auto* ok = Find<CButtonUI>("ok");
    auto* plain = Find<CEditUI>("plain");
    plain->LineEdit()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(plain->HasFocusRing());
    ok->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(ok->hasFocus());
    EXPECT_TRUE(ok->HasFocusRing());
    plain->LineEdit()->setFocus(Qt::BacktabFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(ok->HasFocusRing());  // the ring goes with the focus
    EXPECT_TRUE(plain->HasFocusRing());
    ok->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(ok->HasFocusRing());
}

TEST_F(Notifications, ComboSelectionCarriesNewAndOldIndex) {
    auto* rate = Find<CComboUI>("rate");
    ASSERT_EQ(rate->GetCurSel(), 0);
    rate->ComboBox()->setCurrentIndex(1);  // as a pick from the list does
    ASSERT_EQ(window->notifications.size(), 1u);
    EXPECT_EQ(window->notifications[0].type, QStringLiteral("itemselect"));
    EXPECT_EQ(window->notifications[0].wParam, 1u);
    EXPECT_EQ(window->notifications[0].lParam, 0);
    EXPECT_EQ(rate->GetItemUserData(rate->GetCurSel()), QStringLiteral("u500"));
    window->Clear();
    rate->SelectItem(0, false);
    EXPECT_TRUE(window->Seen().isEmpty());
    EXPECT_FALSE(rate->SelectItem(5));
}

TEST_F(Notifications, SliderDragAndKeyboard) {
    auto* level = Find<CSliderUI>("level");
    QSlider* slider = level->Slider();
    slider->setFocus();
    QApplication::processEvents();
    window->Clear();
    QTest::keyClick(slider, Qt::Key_Right);
    QApplication::processEvents();
    EXPECT_EQ(level->GetValue(), 6);
    EXPECT_EQ(window->Seen(), QStringList{"valuechanged:level"});
    window->Clear();
    // Drag the handle: moves while dragging, one change on release.
    slider->setSliderDown(true);
    slider->setSliderPosition(8);
    slider->setSliderPosition(9);
    slider->setSliderDown(false);
    QApplication::processEvents();
    EXPECT_EQ(window->Seen(), (QStringList{"movevaluechanged:level", "movevaluechanged:level",
                                           "valuechanged:level"}));
    EXPECT_EQ(level->GetValue(), 9);
}

TEST_F(Notifications, FocusMovesAreToldByEveryKindOfControl) {
    Find<CComboUI>("rate")->ComboBox()->setFocus();
    QApplication::processEvents();
    window->Clear();
    Find<CSliderUI>("level")->Slider()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(window->Seen(), (QStringList{"killfocus:rate", "setfocus:level"}));
}

TEST_F(Notifications, ControlTimersTellTheirId) {
    CControlUI* label = window->FindControl(QStringLiteral("t0"));
    auto& manager = window->GetPaintManager();
    ASSERT_TRUE(manager.SetTimer(label, 42, 5));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->notifications.empty(); }, 5000));
    EXPECT_EQ(window->Seen().first(), QStringLiteral("timer:t0"));
    EXPECT_EQ(window->notifications.front().wParam, 42u);
    EXPECT_TRUE(manager.KillTimer(label, 42));
    EXPECT_FALSE(manager.KillTimer(label, 42));
}

TEST_F(Notifications, DoubleClicksAreToldOnPlainControls) {
    CControlUI* label = window->FindControl(QStringLiteral("t0"));
    test::SendMouse(label, QEvent::MouseButtonDblClick, {3, 3}, Qt::LeftButton, Qt::LeftButton);
    test::SendMouse(label, QEvent::MouseButtonDblClick, {3, 3}, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(window->Seen(), QStringList{"dbclick:t0"});
}

TEST_F(Notifications, TabsAndLists) {
    auto* tabs = Find<CTabLayoutUI>("tabs");
    CControlUI* page0 = window->FindControl(QStringLiteral("t0"));
    CControlUI* page1 = window->FindControl(QStringLiteral("t1"));
    EXPECT_TRUE(page0->isVisible());
    EXPECT_FALSE(page1->isVisible());  // only the selected page shows
    EXPECT_TRUE(tabs->SelectItem(1));
    EXPECT_FALSE(page0->isVisible());
    EXPECT_TRUE(page1->isVisible());
    EXPECT_FALSE(tabs->SelectItem(2));
    EXPECT_EQ(window->Seen(), QStringList{"tabselect:tabs"});
    window->Clear();
    auto* list = Find<CListUI>("list");
    CControlUI* row1 = window->FindControl(QStringLiteral("row1"));
    test::Click(row1);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(window->Seen(), (QStringList{"itemclick:row1", "itemselect:list"}));
    window->Clear();
    test::SendMouse(row1, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(window->Seen(), QStringList{"itemactivate:row1"});
}

}  // namespace
}  // namespace kx520::ui
