#include "builder/UiAutomation.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <optional>

#include "ui/UiTestSupport.h"
#include "support/TempDir.h"
#include "controls/CEditUI.h"
#include "windows/CMsgWnd.h"

namespace kx520::ui {
namespace {

using test::RecordingWindow;

constexpr const char* kLayout = R"(<Window size="400,300">
  <VerticalLayout name="root">
    <HorizontalLayout height="30">
      <Button name="ok" text="OK"/>
      <Button name="ask" text="Ask"/>
      <Button name="off" text="Off" enabled="false"/>
      <Button name="hidden" text="Hidden" visible="false"/>
      <Option name="a" group="g" selected="true"/>
      <Option name="b" group="g" userdata="second"/>
      <Option name="check"/>
    </HorizontalLayout>
    <HorizontalLayout height="30">
      <Edit name="dpi" numberonly="true" minvalue="100" maxvalue="200" maxchar="4"/>
      <Edit name="plain"/>
      <Combo name="rate"><Item text="125" userdata="u125"/><Item text="500" userdata="u500"/></Combo>
      <Slider name="level" min="0" max="10" value="5" step="1"/>
    </HorizontalLayout>
    <List name="list" height="90">
      <ListElement name="row0" text="zero" height="30"/>
      <ListElement name="row1" text="one" height="30"/>
    </List>
  </VerticalLayout>
</Window>)";

// A window whose "ask" button asks a modal question, as the pages do.
class AskingWindow : public RecordingWindow {
public:
    using RecordingWindow::RecordingWindow;
    void Notify(const Notification& notification) override {
        RecordingWindow::Notify(notification);
        if (notification.type == QLatin1String("click") && notification.sender != nullptr &&
            notification.sender->GetName() == QLatin1String("ask")) {
            answer = ShowMessageBox(this, {}, QStringLiteral("message_text_22"), 96, 1, 1);
        }
    }
    std::optional<int> answer;
};

class Automation : public ::testing::Test {
protected:
    void SetUp() override {
        const QString file =
            test::WriteLayout(QString::fromStdString(temp.Path()), "automation.xml", kLayout);
        window = std::make_unique<AskingWindow>(file);
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->Seen().contains("windowinit:root"); }, 5000));
        window->Clear();
        automation = std::make_unique<UiAutomation>(*window);
    }
    // Acts and waits for the answer: "" or the reason.
    QString Act(const char* control, const char* action, const QString& argument = {}) {
        std::optional<QString> reply;
        automation->Act(QLatin1String(control), QLatin1String(action), argument,
                        [&reply](const QString& error) { reply = error; });
        if (!QTest::qWaitFor([&reply] { return reply.has_value(); }, 5000)) {
            return QStringLiteral("no reply");
        }
        return *reply;
    }
    QJsonObject Get(const char* control) {
        QString out;
        EXPECT_TRUE(automation->ControlJson(QLatin1String(control), out)) << out.toStdString();
        return QJsonDocument::fromJson(out.toUtf8()).object();
    }

    test::TempDir temp;
    std::unique_ptr<AskingWindow> window;
    std::unique_ptr<UiAutomation> automation;
};

TEST_F(Automation, ClicksAndChoicesRaiseTheNotificationsAUserCauses) {
    EXPECT_EQ(Act("OK", "click"), QString());  // names ignore case
    EXPECT_EQ(Act("b", "check", QStringLiteral("1")), QString());
    EXPECT_EQ(Act("rate", "select", QStringLiteral("1")), QString());
    EXPECT_EQ(Act("list", "select", QStringLiteral("1")), QString());
    EXPECT_EQ(Act("level", "value", QStringLiteral("8")), QString());
    const QStringList seen = window->Seen();
    for (const char* expected : {"click:ok", "selectchanged:b", "selectchanged:a", "itemselect:rate",
                                 "itemselect:list", "valuechanged:level"}) {
        EXPECT_TRUE(seen.contains(QLatin1String(expected))) << expected << " in "
                                                              << seen.join(' ').toStdString();
    }
    EXPECT_TRUE(Get("a")[QStringLiteral("selected")] == false);
    EXPECT_EQ(Get("rate")[QStringLiteral("current")].toInt(), 1);
    EXPECT_EQ(Get("rate")[QStringLiteral("items")].toArray().size(), 2);
    EXPECT_EQ(Get("level")[QStringLiteral("value")].toInt(), 8);
    EXPECT_EQ(Get("#second")[QStringLiteral("name")].toString(), QStringLiteral("b"));
}

TEST_F(Automation, TypedTextIsSeenAsTypingAndTheFocusLeavesAfterwards) {
    EXPECT_EQ(Act("dpi", "text", QStringLiteral("5x0")), QString());
    const QStringList seen = window->Seen();
    // "5", "50" (the x is refused as a user's is), then "100" as the range applies.
    EXPECT_EQ(seen.filter("textchanged:dpi").size(), 3);
    EXPECT_TRUE(seen.contains("setfocus:dpi"));
    EXPECT_TRUE(seen.contains("killfocus:dpi"));
    // The range applies as the focus leaves.
    EXPECT_EQ(Get("dpi")[QStringLiteral("text")].toString(), QStringLiteral("100"));
    EXPECT_EQ(Act("plain", "text", QStringLiteral("Aim")), QString());
    EXPECT_EQ(Act("plain", "text", QString()), QString());
    EXPECT_EQ(dynamic_cast<CEditUI*>(window->FindControl(QStringLiteral("plain")))->GetText(), QString());
}

TEST_F(Automation, WhatAUserCannotDoIsRefusedWithTheReason) {
    EXPECT_TRUE(Act("nothing", "click").contains(QLatin1String("no control")));
    EXPECT_TRUE(Act("off", "click").contains(QLatin1String("disabled")));
    EXPECT_TRUE(Act("hidden", "click").contains(QLatin1String("not shown")));
    EXPECT_TRUE(Act("rate", "select", QStringLiteral("2")).contains(QLatin1String("no item")));
    EXPECT_TRUE(Act("rate", "select", QStringLiteral("x")).contains(QLatin1String("no item")));
    EXPECT_TRUE(Act("a", "check", QStringLiteral("0")).contains(QLatin1String("group")));
    EXPECT_TRUE(Act("level", "value", QStringLiteral("11")).contains(QLatin1String("0 to 10")));
    EXPECT_TRUE(Act("ok", "text", QStringLiteral("x")).contains(QLatin1String("not an edit")));
    EXPECT_TRUE(Act("ok", "menu").contains(QLatin1String("not a menu item")));
    EXPECT_TRUE(Act("ok", "fly").contains(QLatin1String("unknown action")));
    window->FindControl(QStringLiteral("root"))->SetMouseEnabled(false);
    EXPECT_TRUE(Act("ok", "click").contains(QLatin1String("no mouse input")));
    window->FindControl(QStringLiteral("root"))->SetMouseEnabled(true);
    EXPECT_TRUE(window->Seen().isEmpty());
    QString out;
    EXPECT_FALSE(automation->ControlsJson(QStringLiteral("NoSuchWindow"), out));
}

TEST_F(Automation, AnActionThatOpensAModalWindowIsAnsweredOnceItShows) {
    std::optional<QString> opened;
    std::optional<QString> confirmed;
    QJsonArray windows;
    QString controls;
    // The answer comes while the question is open; a second caller then
    // sees the box on top and answers it, as a script does.
    automation->Act(QStringLiteral("ask"), QStringLiteral("click"), QString(),
                    [&](const QString& error) {
                        opened = error;
                        EXPECT_FALSE(window->answer.has_value());
                        windows = QJsonDocument::fromJson(automation->WindowsJson().toUtf8()).array();
                        automation->ControlsJson(QString(), controls);
                        automation->Act(QStringLiteral("confirm_btn"), QStringLiteral("click"),
                                        QString(),
                                        [&](const QString& error2) { confirmed = error2; });
                    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->answer.has_value(); }, 5000));
    EXPECT_EQ(*window->answer, 1);
    EXPECT_EQ(opened, QString());
    EXPECT_EQ(confirmed, QString());
    ASSERT_GE(windows.size(), 2);
    EXPECT_EQ(windows[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("MsgWnd"));
    EXPECT_TRUE(windows[0].toObject()[QStringLiteral("modal")].toBool());
    EXPECT_TRUE(controls.contains(QLatin1String("confirm_btn")));
    const QString picture = QString::fromStdString(temp.Path() + "/top.png");
    QString error;
    EXPECT_TRUE(automation->Screenshot(picture, error)) << error.toStdString();
    EXPECT_FALSE(automation->Screenshot(QStringLiteral("/nonexistent/x.png"), error));
}

}  // namespace
}  // namespace kx520::ui
