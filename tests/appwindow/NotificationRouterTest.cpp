#include "appwindow/NotificationRouter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/CControlUI.h"

namespace kx520 {
namespace {

class Router : public ::testing::Test {
protected:
    // Sends `type` from a control called `name`; what ran is in `ran`.
    bool Send(const char* type, const QString& name) {
        ui::CControlUI sender;
        sender.SetName(name);
        return router.Route({QLatin1String(type), &sender, 0, 0});
    }
    void Row(const char* type, const char* name, NameMatch match, std::string label) {
        router.Add({type, name, match, [this, label](const ui::Notification&, int number) {
                        ran.push_back(label + ":" + std::to_string(number));
                    }});
    }
    NotificationRouter router;
    std::vector<std::string> ran;
};

TEST_F(Router, NamesMatchIgnoringCaseUnlessTheRowIsExact) {
    Row("click", "closebtn", NameMatch::CaseInsensitive, "close");
    Row("click", "profile_fun_spread_btn", NameMatch::Exact, "spread");
    EXPECT_TRUE(Send("click", QStringLiteral("CloseBtn")));
    EXPECT_FALSE(Send("click", QStringLiteral("Profile_fun_spread_btn")));
    EXPECT_TRUE(Send("click", QStringLiteral("profile_fun_spread_btn")));
    EXPECT_FALSE(Send("click", QStringLiteral("closebtn2")));
    EXPECT_EQ(ran, (std::vector<std::string>{"close:-1", "spread:-1"}));
}

TEST_F(Router, ThePrefixRowsCutTheTrailingNumberAndRefuseNamesWithoutOne) {
    Row("click", "key_", NameMatch::PrefixNumber, "key");
    Row("selectchanged", "DPI_enable_check_", NameMatch::PrefixNumber, "dpi");
    EXPECT_TRUE(Send("click", QStringLiteral("key_12")));
    EXPECT_TRUE(Send("click", QStringLiteral("KEY_0")));
    EXPECT_TRUE(Send("click", QStringLiteral("key_007")));
    EXPECT_FALSE(Send("click", QStringLiteral("key_")));
    EXPECT_FALSE(Send("click", QStringLiteral("key_x1")));   // the prefix must be whole
    EXPECT_FALSE(Send("click", QStringLiteral("key_1234567")));  // no index is that long
    EXPECT_TRUE(Send("selectchanged", QStringLiteral("dpi_enable_check_4")));
    EXPECT_FALSE(Send("click", QStringLiteral("DPI_enable_check_4")));  // the type counts
    EXPECT_EQ(ran, (std::vector<std::string>{"key:12", "key:0", "key:7", "dpi:4"}));
}

TEST_F(Router, TheFirstMatchingRowRunsAndUnknownNamesFallThrough) {
    Row("click", "device_select_prev", NameMatch::CaseInsensitive, "first");
    Row("click", "device_select_prev", NameMatch::CaseInsensitive, "second");
    Row("click", "device_select_", NameMatch::PrefixNumber, "prefix");
    EXPECT_TRUE(Send("click", QStringLiteral("device_select_prev")));
    EXPECT_FALSE(Send("click", QStringLiteral("nothing_here")));
    EXPECT_FALSE(Send("click", QString()));
    EXPECT_EQ(ran, (std::vector<std::string>{"first:-1"}));
    // A notification without a sender has no name to match.
    EXPECT_FALSE(router.Route({QStringLiteral("click"), nullptr, 0, 0}));
}

TEST(RouterNames, SplittingANameKeepsThePrefixAsWritten) {
    QString prefix;
    int number = -1;
    ASSERT_TRUE(NotificationRouter::SplitNumber(QStringLiteral("Color_Option_999999"), prefix, number));
    EXPECT_EQ(prefix, QStringLiteral("Color_Option_"));
    EXPECT_EQ(number, 999999);
    EXPECT_FALSE(NotificationRouter::SplitNumber(QStringLiteral("colour"), prefix, number));
    ASSERT_TRUE(NotificationRouter::SplitNumber(QStringLiteral("7"), prefix, number));
    EXPECT_TRUE(prefix.isEmpty());
    EXPECT_EQ(number, 7);
}

}  // namespace
}  // namespace kx520
