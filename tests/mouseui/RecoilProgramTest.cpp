// The mouse's recoil page on the running application against the virtual
// mouse on its receiver: a bullet edited on the page, the guns written and
// what reaches the mouse, packet by packet; the shell's recoil commands.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>
#include <vector>

#include "mouseui/MouseProgramSupport.h"
#include "profiles/ProfileTestFiles.h"
#include "platform/SafeJson.h"
#include "profiles/ShootImage.h"
#include "protocol/CommandSet.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using test::Ui;
using test::WaitFor;

std::vector<test::TraceLine> Sent(const test::MouseRun& run, size_t from) {
    std::vector<test::TraceLine> mouse;
    for (const test::TraceLine& line : test::Requests(test::ReadTrace(run.trace))) {
        if (line.product == "mouse-receiver" && line.Command() != kCmdReadStatus) {
            mouse.push_back(line);
        }
    }
    return std::vector<test::TraceLine>(mouse.begin() + static_cast<std::ptrdiff_t>(std::min(from, mouse.size())),
                                        mouse.end());
}

TEST(RecoilPage, ABulletEditedOnThePageReachesTheMouseInWholePacketsAfterTrueProbes) {
    test::MouseRun run("mouse-receiver --automation");
    ASSERT_TRUE(run.Started("mouse-receiver")) << run.app.Errors();
    const std::string folder = run.data + "/KX520 PRO Keyboard/mouse/";
    Ui("click recoil_Op_tab");
    Ui("click bullet_op_4");
    EXPECT_EQ(test::UiControl("bullet_select_index")["text"].asString(), "5");
    Ui("click bullet_x_check");  // left
    Ui("text bullet_x_eidt 3");
    Ui("text bullet_y_eidt 9");  // the vertical option unchosen: down
    Ui("text bullet_delay_eidt 40");
    const size_t before = Sent(run, 0).size();
    Ui("click shootdate_save_btn");
    ASSERT_TRUE(WaitFor([&] { return test::UiControl("shoot_status_label")["text"].asString() == "Written to the mouse"; }))
        << test::UiControl("shoot_status_label")["text"].asString();

    // The file holds the bullet; the mouse holds the file's image.
    const std::vector<uint8_t> image = profiles::ShootImage::BuildFromFolder(folder);
    ASSERT_EQ(image.size(), 2920u);
    const size_t bullet4 = 24 + 4 + 4 * 24;  // gun 0's block, its events from bullet 4
    const std::vector<uint8_t> events(image.begin() + static_cast<std::ptrdiff_t>(bullet4),
                                      image.begin() + static_cast<std::ptrdiff_t>(bullet4 + 24));
    EXPECT_EQ(events, (std::vector<uint8_t>{10, 0, 0x81, 1, 0, 0, 1, 1,  // the shot: left button down, up
                                            5, 0, 0x84, 3, 40, 0, 5, 9,  // 3 left, then 9 down 40 ms on
                                            0, 0, 0x84, 0, 0, 0, 5, 0}));
    EXPECT_EQ(test::WrittenImage(run.trace, "mouse-receiver", kCmdWriteShoot, image.size()), image);

    // Every step after a true probe; the image in 56-byte packets.
    const std::vector<test::TraceLine> sent = Sent(run, before);
    std::vector<uint8_t> steps;
    size_t packets = 0;
    for (const test::TraceLine& line : sent) {
        if (line.Command() == kCmdWriteShoot) {
            EXPECT_EQ(line.Length(), ++packets < 53 ? 56 : 2920 - 52 * 56);
        }
        if (steps.empty() || steps.back() != line.Command()) {
            steps.push_back(line.Command());
        }
    }
    EXPECT_EQ(packets, 53u);
    EXPECT_EQ(steps, (std::vector<uint8_t>{kCmdReceiverProbe, kCmdReadInfo, kCmdReceiverProbe, kCmdBegin,
                                           kCmdReceiverProbe, kCmdWriteShoot, kCmdReceiverProbe, kCmdEnd}));

    // Asleep: the first probe finds no mouse and nothing follows it.
    ASSERT_EQ(test::Ctl("sim fault mouse-receiver asleep").exitCode, 0);
    const size_t asleep = Sent(run, 0).size();
    Ui("click shootdate_save_btn");
    ASSERT_TRUE(WaitFor([&] {
        return test::UiControl("shoot_status_label")["text"].asString().find("cannot reach the mouse") != std::string::npos;
    })) << test::UiControl("shoot_status_label")["text"].asString();
    const std::vector<test::TraceLine> tried = Sent(run, asleep);
    ASSERT_FALSE(tried.empty());
    for (const test::TraceLine& line : tried) {
        EXPECT_EQ(line.Command(), kCmdReceiverProbe);  // the power display may ask too, never more
    }
}

TEST(RecoilPage, TheShellSetsShowsResetsAndCopiesGunsAsThePageDoes) {
    test::MouseRun run("mouse --automation");
    ASSERT_TRUE(run.Started("mouse")) << run.app.Errors();
    auto json = [](const std::string& words) {
        const test::ProgramRun ran = test::Ctl("mouse recoil " + words + " --json");
        return json::Parse(ran.out).value_or(Json::Value());
    };
    EXPECT_EQ(json("list")["guns"].size(), 4u);
    EXPECT_EQ(json("list")["guns"][3]["bullets"].asInt(), 30);
    Json::Value gun = json("set 2 29 --x -300 --y -7 --delay 70000");
    ASSERT_TRUE(gun.isObject()) << gun;
    EXPECT_EQ(gun["bullets"][29]["x"].asInt(), -255);  // kept to what a bullet holds
    EXPECT_EQ(gun["bullets"][29]["y"].asInt(), -7);
    EXPECT_EQ(gun["bullets"][29]["delay"].asInt(), 65535);
    EXPECT_EQ(test::UiControl("bullet_x_eidt")["text"].asString(), "255");  // the page shows it as kept
    EXPECT_EQ(test::UiControl("bullet_select_index")["text"].asString(), "30");
    const std::string copy = run.temp.Path() + "/gun2.shoot";
    EXPECT_EQ(test::Ctl("mouse recoil export 2 '" + copy + "'").exitCode, 0);
    EXPECT_EQ(json("reset 2")["bullets"][29]["x"].asInt(), 0);
    EXPECT_EQ(json("import 2 '" + copy + "'")["bullets"][29]["x"].asInt(), -255);
    EXPECT_NE(test::Ctl("mouse recoil set 4 0 --x 1").exitCode, 0);
    EXPECT_NE(test::Ctl("mouse recoil set 0 30 --x 1").exitCode, 0);
    test::WriteText(copy, "[1]");
    const test::ProgramRun refused = test::Ctl("mouse recoil import 2 '" + copy + "'");
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.err.find("not a recoil pattern"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace kx520
