#include "builder/WindowImplBase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <future>
#include <thread>

#include "ui/UiTestSupport.h"
#include "ui/CPaintManagerUI.h"
#include "controls/CButtonUI.h"
#include "ui/CResourceManager.h"
#include "ui/MessageRegistry.h"

namespace kx520::ui {
namespace {

using namespace std::chrono_literals;

class MessageWindow : public test::RecordingWindow {
public:
    MessageWindow() : RecordingWindow(QStringLiteral("XML/gallery.xml")) {}
    qintptr HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                bool& handled) override {
        handled = true;
        messages.push_back({message, wParam, lParam});
        handledOn = std::this_thread::get_id();
        return static_cast<qintptr>(wParam) + lParam;
    }
    struct Message {
        uint32_t number;
        quintptr wParam;
        qintptr lParam;
    };
    std::vector<Message> messages;
    std::thread::id handledOn;
};

TEST(MessageRegistry, SameNameSameIdInTheRegisteredRange) {
    const uint32_t first = RegisterWindowMessage(QStringLiteral("KX520 PRO Keyboard"));
    const uint32_t again = RegisterWindowMessage(QStringLiteral("KX520 PRO Keyboard"));
    const uint32_t other = RegisterWindowMessage(QStringLiteral("Game_Start"));
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    for (uint32_t id : {first, other}) {
        EXPECT_GE(id, kFirstRegisteredMessage);
        EXPECT_LE(id, kLastRegisteredMessage);
    }
    EXPECT_EQ(RegisteredMessageName(other), QStringLiteral("Game_Start"));
    EXPECT_EQ(RegisterWindowMessage(QString()), 0u);
}

TEST(WindowMessages, SendFromAnotherThreadWaitsForTheUiThread) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    std::atomic<bool> returned{false};
    auto sender = std::async(std::launch::async, [&] {
        const qintptr result = window.SendMessage(3090, 4, 1);
        returned = true;
        return result;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned.load());  // the UI thread has not run yet
    while (!returned.load()) {
        QApplication::processEvents();
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(sender.get(), 5);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].number, 3090u);
    EXPECT_EQ(window.handledOn, std::this_thread::get_id());
}

TEST(WindowMessages, AWaitingSenderIsReleasedByItsStop) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    std::stop_source stop;
    auto sender = std::async(std::launch::async, [&] {
        qintptr result = 0;
        return window.SendMessage(3091, 1, 0, stop.get_token(), &result);
    });
    std::this_thread::sleep_for(30ms);
    stop.request_stop();  // the UI thread never gets to it
    ASSERT_EQ(sender.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(sender.get());
    QApplication::processEvents();  // still handled afterwards, harmlessly
}

TEST(WindowMessages, SameThreadSendIsDirectPostIsQueued) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.SendMessage(1054, 1, 0), 1);
    window.PostMessage(3331, 2, 1);
    EXPECT_EQ(window.messages.size(), 1u);
    QApplication::processEvents();
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[1].number, 3331u);
}

TEST(WindowMessages, TimersDeliverTheirIdUntilKilled) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    ASSERT_TRUE(window.SetTimer(1007, 5));
    ASSERT_TRUE(QTest::qWaitFor([&window] { return window.messages.size() >= 2; }, 5000));
    EXPECT_EQ(window.messages[0].number, kMsgTimer);
    EXPECT_EQ(window.messages[0].wParam, 1007u);
    EXPECT_TRUE(window.KillTimer(1007));
    EXPECT_FALSE(window.KillTimer(1007));
}

TEST(WindowModal, ShowModalReturnsTheCodeGivenToClose) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    QTimer::singleShot(0, &window, [&window] { window.Close(7); });
    EXPECT_EQ(window.ShowModal(), 7);
    EXPECT_FALSE(window.isVisible());
}

TEST(WindowModal, SystemCloseEndsTheDialogWithZero) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    EXPECT_EQ(window.ShowModal(), WindowImplBase::kIdCancel);
}

TEST(WindowDpi, TheWholeLayoutScales) {
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.size(), QSize(720, 600));
    auto* close = window.FindControl(QStringLiteral("gallery_close"));
    EXPECT_EQ(close->width(), 32);
    window.SetDPI(144);
    EXPECT_EQ(window.size(), QSize(1080, 900));
    EXPECT_EQ(close->width(), 48);
    EXPECT_EQ(window.CaptionRect().height(), 66);
}

TEST(WindowDpi, AHighPixelRatioIsNotScaledTwice) {
    CPaintManagerUI manager;
    manager.SetDPI(192);
    EXPECT_DOUBLE_EQ(manager.GetScale(), 2.0);
    manager.SetDevicePixelRatio(2.0);  // Qt doubles every pixel already
    EXPECT_DOUBLE_EQ(manager.GetScale(), 1.0);
    manager.SetDPI(144);
    EXPECT_DOUBLE_EQ(manager.GetScale(), 0.75);
    manager.SetDevicePixelRatio(0.0);  // a broken report counts as 1
    EXPECT_DOUBLE_EQ(manager.GetScale(), 1.5);
    manager.SetDevicePixelRatio(1e9);
    EXPECT_DOUBLE_EQ(manager.GetScale(), 1.5);
}

TEST(WindowPlacement, ADialogCentresOnItsOwnerAndStaysOnTheScreen) {
    MessageWindow owner;
    ASSERT_TRUE(owner.Create());
    owner.move(40, 60);
    owner.show();
    QApplication::processEvents();
    test::RecordingWindow dialog(QStringLiteral("XML/XML_MSG.xml"));
    dialog.setParent(&owner, dialog.windowFlags());
    ASSERT_TRUE(dialog.Create());
    dialog.CenterWindow();
    EXPECT_LE((dialog.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
    // An owner half off the screen does not take the dialog with it.
    owner.move(-600, -400);
    QApplication::processEvents();
    dialog.CenterWindow();
    const QRect area = owner.screen()->availableGeometry();
    EXPECT_GE(dialog.frameGeometry().left(), area.left());
    EXPECT_GE(dialog.frameGeometry().top(), area.top());
}

TEST(WindowPopup, APopupClosesWhenItLosesTheFocus) {
    MessageWindow owner;
    ASSERT_TRUE(owner.Create());
    owner.show();
    test::RecordingWindow picker(QStringLiteral("XML/XML_MSG.xml"));
    ASSERT_TRUE(picker.Create());
    picker.SetPopup(true);
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker, 2000));
    owner.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&picker] { return !picker.isVisible(); }, 2000));
    // A click on another window closes it too.
    picker.show();
    QApplication::processEvents();
    ASSERT_TRUE(picker.isVisible());
    QTest::mouseClick(&owner, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_FALSE(picker.isVisible());
    // An ordinary window stays when another is activated.
    test::RecordingWindow plain(QStringLiteral("XML/XML_MSG.xml"));
    ASSERT_TRUE(plain.Create());
    plain.show();
    plain.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&plain, 2000));
    owner.activateWindow();
    QTest::qWait(50);
    EXPECT_TRUE(plain.isVisible());
}

TEST(Language, TextIdsResolveAndReloadOnAChange) {
    auto& resources = CResourceManager::Instance();
    QString error;
    ASSERT_TRUE(resources.LoadLanguage(QStringLiteral("lang/en.xml"), &error)) << error.toStdString();
    MessageWindow window;
    ASSERT_TRUE(window.Create());
    CControlUI* title = window.FindControl(QStringLiteral("gallery_title"));
    EXPECT_EQ(title->GetDisplayText(), QStringLiteral("Skin gallery"));
    ASSERT_TRUE(resources.LoadLanguage(QStringLiteral("lang/zh_CN.xml"), &error));
    resources.ReloadText();
    EXPECT_EQ(resources.GetLanguage(), QStringLiteral("简体中文"));
    EXPECT_EQ(title->GetDisplayText(), QStringLiteral("皮肤示例"));
    title->SetPlainText(true);
    EXPECT_EQ(title->GetDisplayText(), QStringLiteral("gallery_title"));
    EXPECT_FALSE(resources.LoadLanguage(QStringLiteral("lang/missing.xml"), &error));
    EXPECT_EQ(resources.GetLanguage(), QStringLiteral("简体中文"));  // unchanged
    ASSERT_TRUE(resources.LoadLanguage(QStringLiteral("lang/en.xml"), &error));
}

}  // namespace
}  // namespace kx520::ui
