#include "windows/CMsgWnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "../ui/UiTestSupport.h"
#include "ui/CControlUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {
namespace {

// What the box looked like when it came up, and what the test did to it.
struct Seen {
    bool confirmVisible = false;
    bool cancelVisible = false;
    QString text;
    QSize size;
};
Seen g_seen;
std::function<void(CMsgWnd&)> g_action;
void OnShown(CMsgWnd& box);

// Once the box's modal loop runs, looks at it and acts as the user would.
void WhenShown() {
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = dynamic_cast<CMsgWnd*>(widget); box != nullptr && box->isVisible()) {
                OnShown(*box);
                return;
            }
        }
    });
}

void OnShown(CMsgWnd& box) {
    g_seen.confirmVisible = box.FindControl(QStringLiteral("confirm_btn"))->IsVisible();
    g_seen.cancelVisible = box.FindControl(QStringLiteral("cancel_btn"))->IsVisible();
    g_seen.text = box.FindControl(QStringLiteral("MessageText"))->GetDisplayText();
    g_seen.size = box.size();
    g_action(box);
}

// ShowMessageBox, with the test's action run once the box is up.
int ShowAndAct(QWidget* owner, const QString& title, const QString& text, int dpi,
               int resourceText, int buttons) {
    WhenShown();
    return ShowMessageBox(owner, title, text, dpi, resourceText, buttons);
}

class MessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"),
                                                                  nullptr));
        g_seen = Seen{};
    }

    static std::function<void(CMsgWnd&)> ClickOn(const char* name) {
        return [name](CMsgWnd& box) {
            test::Click(box.FindControl(QString::fromLatin1(name)));
        };
    }
};

TEST_F(MessageBox, OneButtonShowsOnlyConfirmWhichReturnsOne) {
    g_action = ClickOn("confirm_btn");
    EXPECT_EQ(ShowAndAct(nullptr, {}, QStringLiteral("message_text_22"), 96, 1, 0), 1);
    EXPECT_TRUE(g_seen.confirmVisible);
    EXPECT_FALSE(g_seen.cancelVisible);
}

TEST_F(MessageBox, CloseAndCancelReturnZero) {
    g_action = ClickOn("closebtn");
    EXPECT_EQ(ShowAndAct(nullptr, {}, QStringLiteral("message_text_22"), 96, 1, 1), 0);
    EXPECT_TRUE(g_seen.cancelVisible);
    g_action = ClickOn("cancel_btn");
    EXPECT_EQ(ShowAndAct(nullptr, {}, QStringLiteral("message_text_22"), 96, 1, 1), 0);
}

TEST_F(MessageBox, ResourceTextResolvesThePlainTextDoesNot) {
    g_action = ClickOn("confirm_btn");
    ShowAndAct(nullptr, {}, QStringLiteral("message_text_5"), 96, 1, 0);
    EXPECT_EQ(g_seen.text, QStringLiteral("This name is already in use. Please choose another."));
    ShowAndAct(nullptr, {}, QStringLiteral("message_text_5"), 96, 0, 0);
    EXPECT_EQ(g_seen.text, QStringLiteral("message_text_5"));
}

TEST_F(MessageBox, KeysAndTheSystemCloseNeverConfirmByAccident) {
    g_action = [](CMsgWnd& box) { QTest::keyClick(&box, Qt::Key_Escape); };
    EXPECT_EQ(ShowAndAct(nullptr, {}, QStringLiteral("message_text_22"), 96, 1, 1), 0);
    g_action = [](CMsgWnd& box) { QTest::keyClick(&box, Qt::Key_Return); };
    EXPECT_EQ(ShowAndAct(nullptr, {}, QStringLiteral("message_text_22"), 96, 1, 1), 1);
    g_action = [](CMsgWnd& box) { box.close(); };
    EXPECT_EQ(ShowAndAct(nullptr, {}, QStringLiteral("message_text_22"), 96, 1, 1), 0);
}

TEST_F(MessageBox, DpiScalesTheBoxAndABadValueIsTakenAs96) {
    g_action = ClickOn("confirm_btn");
    ShowAndAct(nullptr, {}, QStringLiteral("x"), 144, 0, 0);
    EXPECT_EQ(g_seen.size, QSize(570, 300));
    ShowAndAct(nullptr, {}, QStringLiteral("x"), 100, 0, 0);
    EXPECT_EQ(g_seen.size, QSize(380, 200));
}

}  // namespace
}  // namespace kx520
