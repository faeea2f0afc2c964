#include "builder/CMenuWnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QPointer>

#include "ui/UiTestSupport.h"
#include "controls/CMenuElementUI.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {
namespace {

// An owner that keeps a copy of every menu command it is sent.
class Owner : public test::RecordingWindow {
public:
    Owner() : RecordingWindow(QStringLiteral("XML/gallery.xml")) {}
    qintptr HandleCustomMessage(uint32_t message, quintptr wParam, qintptr, bool& handled) override {
        if (message == kMsgMenuClick) {
            handled = true;
            commands.push_back(*reinterpret_cast<const MenuCommand*>(wParam));
        }
        return 0;
    }
    std::vector<MenuCommand> commands;
};

TEST(Menu, PlacementFollowsTheAlignment) {
    const QPoint point(300, 200);
    const QSize size(180, 104);
    const int leftTop = CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop;         // 6
    const int topRight = CMenuWnd::kAlignTop | CMenuWnd::kAlignRight;       // 12
    const int leftBottom = CMenuWnd::kAlignLeft | CMenuWnd::kAlignBottom;   // 18
    const int rightBottom = CMenuWnd::kAlignRight | CMenuWnd::kAlignBottom; // 24
    EXPECT_EQ(CMenuWnd::Place(point, size, leftTop), QPoint(300, 200));
    EXPECT_EQ(CMenuWnd::Place(point, size, topRight), QPoint(120, 200));
    EXPECT_EQ(CMenuWnd::Place(point, size, leftBottom), QPoint(300, 96));
    EXPECT_EQ(CMenuWnd::Place(point, size, rightBottom), QPoint(120, 96));
}

TEST(Menu, AMenuStaysInsideTheScreensFreeArea) {
    const QSize size(180, 104);
    const QRect screen(0, 0, 1920, 1040);  // a 40-pixel panel at the bottom
    const int leftTop = CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop;
    const int leftBottom = CMenuWnd::kAlignLeft | CMenuWnd::kAlignBottom;
    // A tray icon in the bottom-right corner, under the panel.
    EXPECT_EQ(CMenuWnd::Place({1900, 1060}, size, leftTop, screen), QPoint(1740, 936));
    // A tray at the top: aligned upwards it would leave the screen.
    EXPECT_EQ(CMenuWnd::Place({10, 20}, size, leftBottom, screen), QPoint(10, 0));
    // Inside already: unchanged.
    EXPECT_EQ(CMenuWnd::Place({300, 200}, size, leftTop, screen), QPoint(300, 200));
}

TEST(Menu, AChosenItemReachesTheOwnerWithItsRecord) {
    ASSERT_TRUE(CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
    Owner owner;
    ASSERT_TRUE(owner.Create());
    QString error;
    QPointer<CMenuWnd> menu =
        CMenuWnd::Show(&owner, QStringLiteral("XML/Menus/gallery_menu.xml"), QPoint(40, 50),
                       CMenuWnd::kAlignLeft | CMenuWnd::kAlignTop, &error);
    ASSERT_FALSE(menu.isNull()) << error.toStdString();
    EXPECT_EQ(menu->pos(), QPoint(40, 50));
    auto* sync = dynamic_cast<CMenuElementUI*>(menu->FindControl(QStringLiteral("menu_sync")));
    ASSERT_NE(sync, nullptr);
    EXPECT_TRUE(sync->IsChecked());
    test::Click(sync);
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0].name, QStringLiteral("menu_sync"));
    EXPECT_EQ(owner.commands[0].text, QStringLiteral("Sync lighting"));
    EXPECT_FALSE(owner.commands[0].checked);  // the choice flipped it
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(menu.isNull());  // closed and gone
}

TEST(Menu, ABrokenMenuLayoutIsReported) {
    Owner owner;
    ASSERT_TRUE(owner.Create());
    QString error;
    EXPECT_EQ(CMenuWnd::Show(&owner, QStringLiteral("XML/Menus/none.xml"), QPoint(), 6, &error),
              nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("none.xml")));
}

TEST(Menu, ARightClickOnAControlNotifiesMenuWithThePoint) {
    Owner owner;
    ASSERT_TRUE(owner.Create());
    CControlUI* button = owner.FindControl(QStringLiteral("gallery_button"));
    owner.Clear();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 4), QPoint(123, 456));
    QApplication::sendEvent(button, &event);
    ASSERT_EQ(owner.Seen(), QStringList{"menu:gallery_button"});
    EXPECT_EQ(owner.notifications[0].lParam & 0xFFFF, 123);
    EXPECT_EQ(owner.notifications[0].lParam >> 16, 456);
}

}  // namespace
}  // namespace kx520::ui
