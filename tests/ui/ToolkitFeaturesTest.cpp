// What the pages ask of the toolkit beyond the basic controls: combo and
// list editing, named styles, locked containers, cursors, ellipsis.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
#include <QTest>

#include "UiTestSupport.h"
#include "support/TempDir.h"
#include "controls/CComboUI.h"
#include "controls/CLabelUI.h"
#include "builder/CListElementUI.h"
#include "builder/CListUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"

namespace kx520::ui {
namespace {

using test::RecordingWindow;

constexpr const char* kLayout = R"(<Window size="420,320">
  <Font id="0" name="DejaVu Sans" size="13" default="true"/>
  <Style name="macro_label_red_style" textcolor="#FFFF0000" font="0" height="20"/>
  <VerticalLayout name="root">
    <Combo name="combo" itemheight="28">
      <Item text="a" userdata="1"/><Item text="b" userdata="2"/><Item text="c" userdata="3"/>
    </Combo>
    <Label name="styled" text="styled" style="macro_label_red_style" textcolor="#FF00FF00"/>
    <Label name="long" text="a text far too long for the room it has here" width="60"
           endellipsis="true"/>
    <Label name="auto" text="auto" autowidth="true" inset="4,0,4,0"/>
    <Button name="hand" text="hand" cursor="hand" height="24"/>
    <HorizontalLayout height="24" bkcolor="#FF000000">
      <Button name="save" text="Save" width="60" bkcolor="#FF2F80ED"/>
      <Option name="way" text="L" width="40" bkcolor="#FF202020" selectedbkcolor="#FF2F80ED"/>
      <Label name="plain" text="" width="40" bkcolor="#FFFFFFFF"/>
      <Button name="own" text="" width="40" bkcolor="#FFFFFFFF" disabledimage="none.png"/>
    </HorizontalLayout>
    <VerticalLayout name="locked" mouse="false" height="40">
      <Button name="inside" text="inside" height="30"/>
    </VerticalLayout>
    <HorizontalLayout height="60">
      <Slider name="lying" width="200" height="20" min="0" max="100" value="50" trackcolor="#FF0000FF"
              fillcolor="#FFFF0000" thumbcolor="#FF00FF00" thumbsize="10" trackheight="8"/>
      <Slider name="standing" hor="false" width="20" height="60" min="0" max="100" value="50"
              trackcolor="#FF0000FF" fillcolor="#FFFF0000" thumbsize="6" trackheight="8"/>
    </HorizontalLayout>
    <List name="list" height="120" multiselect="true" columns="40,0" hotcolor="#20FFFFFF">
      <ListElement name="r0" height="24"><Label text="0"/><Label text="zero"/></ListElement>
      <ListElement name="r1" height="24"><Label text="1"/><Label text="one"/></ListElement>
      <ListElement name="r2" height="24"><Label text="2"/><Label text="two"/></ListElement>
    </List>
  </VerticalLayout>
</Window>)";

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override {
        const QString folder = QString::fromStdString(temp.Path());
        const QString file = test::WriteLayout(folder, "features.xml", kLayout);
        test::WriteLayout(folder, "row.xml",
                          R"(<HorizontalLayout height="26"><Label name="row_cell" text="from file"/></HorizontalLayout>)");
        rowFile = folder + "/row.xml";
        window = std::make_unique<RecordingWindow>(file);
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        window->show();
        QApplication::processEvents();
        window->Clear();
    }
    template <typename T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(window->FindControl(QString::fromLatin1(name)));
    }

    test::TempDir temp;
    QString rowFile;
    std::unique_ptr<RecordingWindow> window;
};

TEST_F(Toolkit, ComboItemsAreEditedInPlaceAndTheSelectionFollowsItsItem) {
    auto* combo = Find<CComboUI>("combo");
    ASSERT_TRUE(combo->SelectItem(1, false));
    EXPECT_EQ(combo->InsertItem(0, QStringLiteral("first"), QStringLiteral("0"), true), 0);
    EXPECT_EQ(combo->GetCurSel(), 2);  // still "b"
    EXPECT_EQ(combo->GetItemUserData(2), QStringLiteral("2"));
    ASSERT_TRUE(combo->RemoveItem(0));
    EXPECT_EQ(combo->GetCurSel(), 1);
    ASSERT_TRUE(combo->RemoveItem(1));  // the selected item goes: none is selected
    EXPECT_EQ(combo->GetCurSel(), -1);
    EXPECT_EQ(combo->ComboBox()->currentIndex(), -1);
    EXPECT_EQ(combo->GetCount(), 2);
    EXPECT_TRUE(combo->SetItemText(1, QStringLiteral("renamed")));
    EXPECT_TRUE(combo->SetItemUserData(1, QStringLiteral("9")));
    EXPECT_EQ(combo->ComboBox()->itemText(1), QStringLiteral("renamed"));
    EXPECT_EQ(combo->GetItemUserData(1), QStringLiteral("9"));
    EXPECT_FALSE(combo->RemoveItem(5));
    EXPECT_FALSE(combo->SetItemText(-1, QString()));
    // None can be selected on purpose too, and nothing is told of it silently.
    ASSERT_TRUE(combo->SelectItem(0, false));
    ASSERT_TRUE(combo->SelectItem(-1, true));
    EXPECT_EQ(combo->GetCurSel(), -1);
    EXPECT_TRUE(window->Seen().contains("itemselect:combo"));
    EXPECT_FALSE(combo->SelectItem(-2));
}

TEST_F(Toolkit, AHiddenComboItemKeepsItsPlaceButIsNotOffered) {
    auto* combo = Find<CComboUI>("combo");
    ASSERT_TRUE(combo->SetItemVisible(1, false));
    EXPECT_FALSE(combo->IsItemVisible(1));
    EXPECT_TRUE(combo->IsItemVisible(2));
    EXPECT_EQ(combo->GetItemUserData(2), QStringLiteral("3"));  // indices do not move
    ASSERT_TRUE(combo->SetItemVisible(1, true));
    EXPECT_TRUE(combo->IsItemVisible(1));
    EXPECT_FALSE(combo->SetItemVisible(3, false));
    // The row height is the skin's, scaled with the window.
    EXPECT_TRUE(combo->ComboBox()->styleSheet().contains(QLatin1String("min-height: 28px")));
    window->SetDPI(192);
    EXPECT_TRUE(combo->ComboBox()->styleSheet().contains(QLatin1String("min-height: 56px")));
    EXPECT_TRUE(combo->ComboBox()->styleSheet().contains(QLatin1String("combo_arrow@2x.png")));
}

// A long list at a large scale: its rows take the window's scale and it
// stays on the screen, scrolling, above the combo when there is no room below.
TEST_F(Toolkit, AnOpenListIsScaledAndStaysOnTheScreen) {
    auto* combo = Find<CComboUI>("combo");
    for (int i = 0; i < 80; ++i) {
        combo->AddPlainItem(QStringLiteral("effect %1").arg(i));
    }
    window->SetDPI(144);
    const QRect screen = window->screen()->availableGeometry();
    for (const bool nearBottom : {false, true}) {
        // The combo heads the window: near the bottom, no list fits below it.
        window->move(screen.left() + 10, nearBottom ? screen.bottom() - 60 : screen.top());
        QApplication::processEvents();
        combo->ComboBox()->showPopup();
        QApplication::processEvents();
        QWidget* popup = combo->ComboBox()->view()->window();
        ASSERT_TRUE(popup->isVisible());
        const QRect shown = popup->geometry();
        const QRect face(combo->ComboBox()->mapToGlobal(QPoint(0, 0)), combo->ComboBox()->size());
        EXPECT_TRUE(screen.contains(shown)) << "popup " << shown.y() << "+" << shown.height() << " screen "
                                            << screen.height() << " near bottom " << nearBottom;
        EXPECT_EQ(combo->ComboBox()->view()->font().pixelSize(), combo->ComboBox()->font().pixelSize());
        EXPECT_GE(combo->ComboBox()->view()->sizeHintForRow(0), 42);  // 28 at 1.5
        if (nearBottom) {
            EXPECT_LE(shown.bottom(), face.top() + 1) << "opens upward";
        }
        combo->ComboBox()->hidePopup();
    }
}

// Every kind of control reads as disabled: faded over what is behind it, a
// disabled option showing no choice; a skin's own disabled picture is drawn
// as it is.
TEST_F(Toolkit, DisabledControlsLookDisabled) {
    // Drawn in its place, over the black row behind it.
    auto centre = [this](CControlUI* control) {
        const QPoint at = control->mapTo(window.get(), control->rect().center());
        return window->grab().toImage().pixelColor(at);
    };
    Find<COptionUI>("way")->Selected(true, false);
    const struct {
        const char* name;
        bool fades;
    } cases[] = {{"save", true}, {"way", true}, {"plain", true}, {"own", false}};
    for (const auto& c : cases) {
        CControlUI* control = Find<CControlUI>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        const QColor enabled = centre(control);
        control->SetEnabled(false);
        const QColor disabled = centre(control);
        control->SetEnabled(true);
        if (c.fades) {
            EXPECT_LT(disabled.value(), enabled.value() * 0.6) << c.name;
        } else {
            EXPECT_EQ(disabled, enabled) << c.name;
        }
    }
    // Disabled, the chosen way shows its unchosen look (faded), not the accent.
    auto* way = Find<COptionUI>("way");
    way->SetEnabled(false);
    EXPECT_LT(centre(way).blue(), 0x40);
}

TEST_F(Toolkit, ListRowsComeAndGoAtAnIndexAndTheCurrentRowStaysPut) {
    auto* list = Find<CListUI>("list");
    ASSERT_TRUE(list->SelectItem(1, false));
    ASSERT_NE(list->AddRowFromLayout(rowFile, 0), nullptr);
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_EQ(list->GetCurSel(), 2);  // "one" moved down with its row
    EXPECT_NE(window->FindControl(QStringLiteral("row_cell")), nullptr);
    ASSERT_TRUE(list->RemoveAt(0));
    EXPECT_EQ(list->GetCurSel(), 1);
    ASSERT_TRUE(list->RemoveAt(1));  // the current row goes: the next takes its place
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetItemAt(1)->GetName(), QStringLiteral("r2"));
    ASSERT_TRUE(list->RemoveAt(1));  // the last one: the new last row
    EXPECT_EQ(list->GetCurSel(), 0);
    ASSERT_TRUE(list->RemoveAt(0));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_FALSE(list->RemoveAt(0));
    QString error;
    EXPECT_EQ(list->AddRowFromLayout(QStringLiteral("no/such.xml"), -1, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Toolkit, CtrlClicksAddRowsToTheSelectionAndColumnsAlignTheCells) {
    auto* list = Find<CListUI>("list");
    auto* r0 = Find<CListElementUI>("r0");
    auto* r2 = Find<CListElementUI>("r2");
    test::Click(r0);
    QTest::mouseClick(r2, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedRows(), (QList<int>{0, 2}));
    EXPECT_EQ(list->GetCurSel(), 0);
    QTest::mouseClick(r2, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedRows(), (QList<int>{0}));
    test::Click(r2);  // a plain click selects that row alone
    EXPECT_EQ(list->SelectedRows(), (QList<int>{2}));
    EXPECT_EQ(r0->ChildControls().front()->GetFixedWidth(), 40);
    EXPECT_LE(r0->ChildControls().back()->GetFixedWidth(), 0);  // 0: the rest
    list->ScrollToEnd();
    list->ScrollToRow(0);
}

TEST_F(Toolkit, AStyleGivesItsAttributesAndTheControlsOwnComeAfter) {
    auto* styled = Find<CLabelUI>("styled");
    EXPECT_EQ(styled->GetFixedHeight(), 20);
    EXPECT_EQ(styled->GetTextColor(), QColor(0, 255, 0));  // given after the style
    EXPECT_TRUE(styled->ApplyStyle(QStringLiteral("MACRO_LABEL_RED_STYLE")));  // at run time too
    EXPECT_EQ(styled->GetTextColor(), QColor(255, 0, 0));
    EXPECT_FALSE(styled->ApplyStyle(QStringLiteral("no_such_style")));
    const QString folder = QString::fromStdString(temp.Path());
    RecordingWindow broken(test::WriteLayout(folder, "broken.xml",
                                             R"(<Window><Label style="missing"/></Window>)"));
    QString error;
    EXPECT_FALSE(broken.Create(&error));
    EXPECT_TRUE(error.contains(QLatin1String("unknown style")));
}

TEST_F(Toolkit, ALockedContainerTakesNoClicksAndLabelsKeepToTheirRoom) {
    // Through the window, as the pointer reaches it.
    auto clickInside = [this] {
        auto* inside = Find<CControlUI>("inside");
        const QPoint at = inside->mapTo(window.get(), inside->rect().center());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
    };
    clickInside();
    EXPECT_FALSE(window->Seen().contains("click:inside"));
    Find<CControlUI>("locked")->SetMouseEnabled(true);
    clickInside();
    EXPECT_TRUE(window->Seen().contains("click:inside"));
    EXPECT_EQ(Find<CControlUI>("hand")->cursor().shape(), Qt::PointingHandCursor);
    // The long text ellipsises rather than being cut, the auto label grows.
    EXPECT_TRUE(Find<CLabelUI>("long")->TextFits());
    auto* autoLabel = Find<CLabelUI>("auto");
    const int before = autoLabel->GetFixedWidth();
    autoLabel->SetText(QStringLiteral("a much longer automatic text"));
    EXPECT_GT(autoLabel->GetFixedWidth(), before);
    QApplication::processEvents();
    EXPECT_TRUE(autoLabel->TextFits());
}

// Red (the fill) or blue (the track) dominates the pixel.
bool Reddish(QRgb pixel) {
    return qRed(pixel) > 150 && qBlue(pixel) < 100;
}
bool Bluish(QRgb pixel) {
    return qBlue(pixel) > 150 && qRed(pixel) < 100;
}

TEST_F(Toolkit, SlidersAreDrawnInTheSkinsColoursLyingAndStanding) {
    QApplication::processEvents();
    auto* lying = Find<CSliderUI>("lying");
    const QImage flat = lying->grab().toImage();
    const int middle = flat.height() / 2;
    EXPECT_TRUE(Reddish(flat.pixel(flat.width() / 5, middle))) << std::hex << flat.pixel(flat.width() / 5, middle);
    EXPECT_TRUE(Bluish(flat.pixel(flat.width() * 4 / 5, middle))) << std::hex << flat.pixel(flat.width() * 4 / 5, middle);
    auto* standing = Find<CSliderUI>("standing");
    const QImage upright = standing->grab().toImage();
    const int centre = upright.width() / 2;
    EXPECT_TRUE(Reddish(upright.pixel(centre, upright.height() * 9 / 10)));  // filled from below
    EXPECT_TRUE(Bluish(upright.pixel(centre, upright.height() / 10)));
    // Sizes follow the scale.
    EXPECT_TRUE(lying->SkinStyleSheet().contains(QLatin1String("height: 8px")));
    window->SetDPI(192);
    EXPECT_TRUE(lying->SkinStyleSheet().contains(QLatin1String("height: 16px")));
    EXPECT_TRUE(lying->SkinStyleSheet().contains(QLatin1String("width: 20px")));
    EXPECT_FALSE(lying->SetAttribute(QStringLiteral("thumbsize"), QStringLiteral("0")));
    EXPECT_FALSE(lying->SetAttribute(QStringLiteral("fillcolor"), QStringLiteral("red-ish")));
}

}  // namespace
}  // namespace kx520::ui
