#include "mouse/MouseCore.h"
#include "mouse/MouseLightEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "catalog/PageKeyDefaults.h"
#include "kx520ctl/ProductChannel.h"
#include "profiles/ShootImage.h"
#include "profiles/ProfileTestFiles.h"
#include "protocol/CommandSet.h"
#include "sim/FirmwareDriver.h"
#include "sim/PacketTrace.h"
#include "sim/SimFault.h"
#include "sim/VirtualHidBackend.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using profiles::DpiStage;

class Mouse : public ::testing::Test {
protected:
    void SetUp() override {
        data = temp.Path() + "/mouse/";
        std::filesystem::create_directories(data);
        backend.SetTrace(sim::PacketTrace::Open(temp.Path() + "/trace", nullptr));
        core.SetKindNumber(2);
        core.SetFolders(data, std::string(KX520_DATA_DIR) + "/DefaultData/");
        const std::string shipped = std::string(KX520_DATA_DIR) + "/DefaultData/mouse.Json";
        std::filesystem::copy_file(shipped, data + "p.Json");
        core.Profile().SetProfilePath(data + "p.Json");
        core.Profile().SetFallbackPath(shipped);
        core.Profile().LoadSection(data + "p.Json");
        core.Profile().GetDPIStages();
        core.SetLight(core.Profile().GetLightInfo());
        core.LoadDefaults();
    }

    void Connect(const char* product) {
        backend.Plug(product);
        ASSERT_EQ(ctl::ConnectProduct(core.Channel(), backend, product, nullptr), ctl::ConnectResult::Connected);
        this->product = product;
    }
    sim::VirtualFirmware& Firmware() { return backend.Firmware(product)->Firmware(); }
    std::vector<uint8_t> Commands() {
        std::vector<uint8_t> commands;
        for (const auto& line : test::Requests(test::ReadTrace(temp.Path() + "/trace"))) {
            if (commands.empty() || commands.back() != line.Command()) {
                commands.push_back(line.Command());  // a block's packets as one
            }
        }
        return commands;
    }

    test::TempDir temp;
    std::string data;
    std::string product;
    sim::VirtualHidBackend backend;
    MouseCore core{backend};
};

TEST_F(Mouse, TheStartUpReadAsksTheReceiverFirstAndLearnsTheSensitivityScale) {
    Connect("mouse-receiver");
    const size_t before = Commands().size();
    ASSERT_TRUE(core.ReadDeviceState());
    const auto all = Commands();
    const std::vector<uint8_t> read(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    EXPECT_EQ(read, (std::vector<uint8_t>{kCmdReceiverProbe, kCmdBegin, kCmdReadInfo, kCmdReadKeys, kCmdEnd}));
    EXPECT_EQ(core.Scale().step, 50);
    EXPECT_EQ(core.Scale().lowest, 100);
    EXPECT_EQ(core.Scale().ValueOfStep(10), 600);
    // Asleep, nothing is read past the probe and what was read stays.
    Firmware().SetLinkAwake(false);
    EXPECT_FALSE(core.ReadDeviceState());
    EXPECT_EQ(core.Scale().step, 50);
    EXPECT_EQ(Commands().back(), kCmdReceiverProbe);
}

TEST_F(Mouse, Stage2SetTo1600InGreenIsWrittenAsTheConversionGivesWithTheActiveStage) {
    Connect("mouse");
    ASSERT_TRUE(core.ReadDeviceState());
    std::vector<DpiStage> stages = core.Profile().Stages();
    ASSERT_EQ(stages.size(), 5u);
    const auto step = static_cast<uint16_t>(core.Scale().StepOfValue(1600).value_or(0));
    stages[2] = DpiStage{1, 0, step, step, 0, 255, 0};
    core.Profile().SetDPIStages(stages);
    core.Profile().SetActiveStage(2);
    ASSERT_EQ(core.WriteLightConfig(0), kResultSuccess);
    const auto config = Firmware().Config();
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 14 + 18, config.begin() + 14 + 27),
              (std::vector<uint8_t>{1, 0, 30, 0, 30, 0, 0, 255, 0}));
    EXPECT_EQ(config[12], 2);
    EXPECT_EQ(core.Profile().GetDPIStages()[2].dpiX, 30);  // the profile holds the same
    EXPECT_EQ(core.WriteLightConfig(16), kResultUnsupported);  // no such record
}

TEST_F(Mouse, TheRecordReadGivesTheProfileTheLightAndTheStageTheMouseSwitchedTo) {
    Connect("mouse");
    Firmware().SwitchStage(3, 4);
    ASSERT_TRUE(core.ReadConfigRecord());
    EXPECT_EQ(core.OnboardProfile(), 3);
    EXPECT_EQ(core.Profile().GetActiveStage(), 4);
    EXPECT_EQ(core.Light().brightness, 4);
    EXPECT_EQ(core.Light().blue, 0xFF);
}

TEST_F(Mouse, ASleepingMouseIsSentNothingAfterTheFirstFalseProbe) {
    Connect("mouse-receiver");
    Firmware().SetLinkAwake(false);
    const size_t before = Commands().size();
    EXPECT_EQ(core.WriteLightConfig(0), 0);
    EXPECT_EQ(Commands().size(), before + 1);
    EXPECT_EQ(Commands().back(), kCmdReceiverProbe);
    EXPECT_FALSE(core.ReadConfigRecord());
}

TEST_F(Mouse, NotificationsSwitchTheProfileAndTheStageKeptInRange) {
    EXPECT_EQ(core.TakeNotification(0x1123), MouseCore::Notification::kIgnored);  // not connected
    Connect("mouse");
    EXPECT_EQ(core.TakeNotification(0x401), MouseCore::Notification::kSettingsChanged);
    EXPECT_EQ(core.TakeNotification(0x403), MouseCore::Notification::kFadeReaction);
    EXPECT_EQ(core.TakeNotification(0x1123), MouseCore::Notification::kProfileSwitched);
    EXPECT_EQ(core.OnboardProfile(), 3);
    EXPECT_EQ(core.Profile().GetActiveStage(), 2);
    EXPECT_EQ(core.TakeNotification(0x11F1), MouseCore::Notification::kProfileSwitched);
    EXPECT_EQ(core.Profile().GetActiveStage(), 4);  // stage 15 of five
    EXPECT_EQ(core.TakeNotification(0x1005), MouseCore::Notification::kProfileSwitched);
    EXPECT_EQ(core.Profile().GetActiveStage(), 4);  // a profile switch keeps the stage
    EXPECT_EQ(core.TakeNotification(0x2005), MouseCore::Notification::kIgnored);
}

TEST_F(Mouse, TheRecordCarriesTheChosenCorrectionAndNoStepBeyondTheSliders) {
    std::ofstream(data + "p.Json") << R"({"Device": [{"LightInfo": {"SelectItem": 1},
        "DPIStages": {"StageActive": 0, "StageDPIs": [{"StageActive": 1, "StageDPIX": 1600, "StageDPIY": 7}]},
        "CorrectInfo": [{"CorrectPixThresh": 9, "CorrectMinSq": 9, "CorrectSelect": 0},
                        {"CorrectPixThresh": 2, "CorrectMinSq": 4, "CorrectSelect": 1}]}]})";
    core.Profile().LoadSection(data + "p.Json");
    core.Profile().GetDPIStages();
    core.Profile().GetCorrections();
    Connect("mouse");
    ASSERT_TRUE(core.ReadDeviceState());
    const auto record = core.BuildRecord(0, 1, 1920, 1080);
    ASSERT_TRUE(record);
    EXPECT_EQ((*record)[14 + 2], 255);  // 1600 steps: the highest, 255
    EXPECT_EQ((*record)[14 + 4], 7);
    EXPECT_EQ((*record)[64], 4);  // the chosen preset's bytes 1 and 0
    EXPECT_EQ((*record)[65], 2);
    EXPECT_EQ((*record)[59], 1);
}

std::vector<profiles::KeyAssignmentEntry> FactoryButtons() {
    std::vector<profiles::KeyAssignmentEntry> list;
    for (size_t i = 0; i < kMouseButtonDefaults.size(); ++i) {
        const KeyCode& code = kMouseButtonDefaults[i];
        const profiles::KeyAction action{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
        list.push_back({action, action});
    }
    return list;
}

TEST_F(Mouse, AButtonGivenAMacroWritesTheMacroImageThenTheTableWithTheMacrosNewNumber) {
    std::ofstream(data + "macro.config")
        << R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"}, {"MacroName": "b", "Guid": "b"}]})";
    std::ofstream(data + "b.mac") << R"({"Events": [{"Action": "down", "Type": 1, "Button": 1, "Delay": "9"},
        {"Action": "up", "Type": 1, "Button": 1, "Delay": "0"}]})";
    Connect("mouse-receiver");
    ASSERT_TRUE(core.ReadDeviceState());
    auto list = FactoryButtons();
    list[2].assignment = {2, 0x70, 1, 2};  // the middle button plays macro b, mode 2
    const auto result = core.WriteAssignments(list);
    EXPECT_EQ(result.macros, 0);
    EXPECT_EQ(result.keys, kResultSuccess);
    EXPECT_TRUE(Firmware().MacroImageValid());
    const auto table = Firmware().KeyAssignments();
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 6, table.begin() + 9), (std::vector<uint8_t>{0x70, 0, 2}));
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 3), (std::vector<uint8_t>{0x10, 0x01, 0}));
    // The macro image holds b's two events only (the first macro used is b).
    const auto macros = Firmware().Macros();
    EXPECT_EQ(macros[4], 1);  // one record

    // Asleep behind the receiver: one probe, and nothing after it.
    Firmware().SetLinkAwake(false);
    const size_t before = Commands().size();
    list[2].assignment = list[2].defaultAssignment;  // no macro to write
    EXPECT_EQ(core.WriteAssignments(list).keys, 0);
    EXPECT_EQ(Commands().size(), before + 1);
}

TEST(MouseButtons, OnlyTheSoleLeftButtonIsGuarded) {
    auto list = [](std::initializer_list<KeyCode> codes) {
        std::vector<profiles::KeyAssignmentEntry> entries;
        for (const KeyCode& code : codes) {
            const profiles::KeyAction action{static_cast<uint16_t>(entries.size()), code.type, code.param1,
                                             code.param2};
            entries.push_back({action, action});
        }
        return entries;
    };
    const auto factory = list({{0x10, 1, 0}, {0x10, 2, 0}, {0x10, 4, 0}});
    EXPECT_TRUE(MouseCore::IsOnlyLeftButton(factory, 0));
    EXPECT_FALSE(MouseCore::IsOnlyLeftButton(factory, 1));
    EXPECT_FALSE(MouseCore::IsOnlyLeftButton(factory, 3));  // beyond the list
    const auto two = list({{0x10, 1, 0}, {0x10, 1, 0}});
    EXPECT_FALSE(MouseCore::IsOnlyLeftButton(two, 0));
    // Left with a parameter is another function: the plain left stays alone.
    const auto odd = list({{0x10, 1, 0}, {0x10, 1, 1}});
    EXPECT_TRUE(MouseCore::IsOnlyLeftButton(odd, 0));
}

TEST_F(Mouse, LightModesAreNamedFromTheDefaultAndTheCustomLists) {
    bool resolved = false;
    const std::string first = core.LightModeName(0, resolved);
    EXPECT_TRUE(resolved);
    EXPECT_FALSE(first.empty());
    EXPECT_TRUE(core.LightModeName(9999, resolved).empty());
    EXPECT_FALSE(resolved);  // from 10 on the custom names, shown as they are
    EXPECT_TRUE(core.LightModeName(-1, resolved).empty());
}

// The light loop run for `passes` ticks of the effect clock.
void RunLight(MouseCore& core, int passes) {
    static uint32_t now = 0;
    for (int i = 0; i < passes; ++i) {
        now += 16;
        core.LightPass(now);
    }
}

TEST_F(Mouse, TheLightLoopStepsItsModeAtTheModesPace) {
    core.SetLedCount(MouseLightEngine::kLeds);
    profiles::LightSetting light;
    light.mode = 3;  // static
    light.brightness = 4;
    light.speed = 4;  // a step every 7 ticks
    light.red = 0;
    light.green = 255;
    light.blue = 0;
    core.SetLight(light);
    RunLight(core, 6);
    EXPECT_EQ(core.FrameCopy()[0].level, 0);  // not yet
    RunLight(core, 1);
    const LedEntry first = core.FrameCopy()[0];
    EXPECT_EQ((std::array<int, 4>{first.red, first.green, first.blue, first.level}),
              (std::array<int, 4>{0, 255, 0, 255}));
    light.mode = 9;  // off
    core.SetLight(light);
    RunLight(core, 7);
    EXPECT_EQ(core.FrameCopy()[14].level, 0);
}

TEST_F(Mouse, ADamagedMissingOrNonFileGunIsKeptAsideAndTheShippedOneIsSentInItsPlace) {
    Connect("mouse");
    const std::string shipped = std::string(KX520_DATA_DIR) + "/DefaultData/";
    ASSERT_EQ(core.ProvideGuns(), "");
    const std::vector<uint8_t> whole = profiles::ShootImage::BuildFromFolder(data);
    ASSERT_EQ(whole.size(), 2920u);
    const auto gun = [&](size_t g) { return profiles::ShootImage::GunPath(data, g); };
    test::WriteText(gun(0), "not json");
    std::filesystem::remove(gun(1));
    std::filesystem::remove(gun(2));
    std::filesystem::create_directory(gun(2));  // not a file at all
    test::WriteText(gun(3), "{\"Events\": 7}");
    const MouseCore::ShootWrite written = core.WriteShoot();
    EXPECT_EQ(written.result, kResultSuccess) << written.Reason();
    std::vector<uint8_t> sent = Firmware().Shoot();
    sent.resize(whole.size());
    EXPECT_EQ(sent, whole);
    EXPECT_EQ(test::ReadAll(gun(0) + ".bak"), "not json");
    EXPECT_TRUE(std::filesystem::is_directory(gun(2) + ".bak"));
    EXPECT_EQ(test::ReadAll(gun(3) + ".bak"), "{\"Events\": 7}");
    for (size_t g = 0; g < profiles::ShootImage::kGuns; ++g) {
        EXPECT_EQ(test::ReadAll(gun(g)), test::ReadAll(profiles::ShootImage::GunPath(shipped, g))) << g;
    }
}

TEST_F(Mouse, AShootWriteTellsARefusalANoAnswerAndASleepingMouseApart) {
    const struct {
        const char* product;
        const char* fault;
        const char* reason;
    } cases[] = {{"mouse", "status-ff", "refused"},
                 {"mouse", "no-reply", "did not answer"},
                 {"mouse-receiver", "asleep", "cannot reach"}};
    for (const auto& c : cases) {
        if (product != c.product) {
            Connect(c.product);
        }
        backend.Firmware(product)->AddFault({*sim::SimFaultFromName(c.fault)});
        const MouseCore::ShootWrite written = core.WriteShoot();
        EXPECT_NE(written.result, kResultSuccess) << c.fault;
        EXPECT_NE(written.Reason().find(c.reason), std::string::npos) << c.fault << ": " << written.Reason();
        backend.Firmware(product)->ClearFaults();
    }
}

}  // namespace
}  // namespace kx520
