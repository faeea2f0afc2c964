#include "keyboard/KeyboardCore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <filesystem>

#include "catalog/PageKeyDefaults.h"
#include "kx520ctl/ProductChannel.h"
#include "platform/SafeJson.h"
#include "profiles/MacroImage.h"
#include "profiles/ProfileTestFiles.h"
#include "sim/FirmwareDriver.h"
#include "sim/PacketTrace.h"
#include "sim/SimFault.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using namespace protocol;
using profiles::KeyAction;
using profiles::KeyAssignmentEntry;
using test::WriteText;

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        data = temp.Path() + "/keyboard/";
        std::filesystem::create_directories(data);
        backend.SetTrace(sim::PacketTrace::Open(temp.Path() + "/trace", nullptr));
        core.SetFolders(data, std::string(KX520_DATA_DIR) + "/DefaultData/");
        core.ProfileData().SetProfilePath(data + "p.Json");
        core.ProfileData().SetFallbackPath(std::string(KX520_DATA_DIR) + "/DefaultData/keyboard.Json");
        core.LoadDefaults();
    }

    void Connect(const char* product = "keyboard") {
        backend.Plug(product);
        ASSERT_EQ(ctl::ConnectProduct(core.Channel(), backend, product, nullptr),
                  ctl::ConnectResult::Connected);
        this->product = product;
    }

    sim::VirtualFirmware& Firmware() { return backend.Firmware(product)->Firmware(); }

    std::vector<test::TraceLine> Requests() {
        return test::Requests(test::ReadTrace(temp.Path() + "/trace"));
    }

    // The page's list: every position assigned its default code.
    static std::vector<KeyAssignmentEntry> DefaultList() {
        std::vector<KeyAssignmentEntry> list;
        for (size_t i = 0; i < kPageKeyDefaults.size(); ++i) {
            const KeyCode& code = kPageKeyDefaults[i];
            const KeyAction action{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
            list.push_back({action, action});
        }
        return list;
    }

    void WriteMacro(const std::string& id, size_t events) {
        std::string text = R"({"Events": [)";
        for (size_t i = 0; i < events; ++i) {
            text += std::string(i ? "," : "") + R"({"Action": "down", "Type": 1, "Button": 4, "Delay": "7"})";
        }
        WriteText(data + id + ".mac", text + "]}");
    }

    test::TempDir temp;
    std::string data;
    std::string product;
    sim::VirtualHidBackend backend;
    KeyboardCore core{backend};
};

TEST_F(Keyboard, TheStateReadSendsTheConnectionsCommandsInOrderAndMapsEveryKey) {
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    std::vector<uint8_t> commands;
    for (const auto& request : Requests()) {
        if (commands.empty() || commands.back() != request.Command()) {
            commands.push_back(request.Command());
        }
    }
    EXPECT_EQ(commands, (std::vector<uint8_t>{kCmdBegin, kCmdReadInfo, kCmdReadKeys,
                                              kCmdReadKeyExtra, kCmdEnd}));
    // The factory table holds the page's codes in page order; the first of
    // three keys with the same empty code takes all three positions.
    EXPECT_EQ(core.DeviceKeyOf(0), 0);
    EXPECT_EQ(core.DeviceKeyOf(125), 125);
    EXPECT_EQ(core.DeviceKeyOf(19), 18);
    EXPECT_EQ(core.KeyMap(1)[64], 64);
    EXPECT_EQ(core.DeviceKeyOf(126), KeyboardCore::kUnmapped);
}

TEST_F(Keyboard, AKeyMissingFromTheKeyboardStaysUnmapped) {
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    ASSERT_NE(core.DeviceKeyOf(64), KeyboardCore::kUnmapped);
    Firmware().SetInfoByte(5, 60);  // a smaller model: keys 60 and up are not there
    ASSERT_TRUE(core.ReadDeviceState());
    EXPECT_EQ(core.DeviceKeyOf(59), 59);
    EXPECT_EQ(core.DeviceKeyOf(64), KeyboardCore::kUnmapped);
    EXPECT_EQ(core.KeyMap(1)[64], KeyboardCore::kUnmapped);
}

TEST_F(Keyboard, AKeyCountOverTheTableIsRefusedAndTheMapsStay) {
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    const auto before = core.KeyMap(0);
    Firmware().SetInfoByte(5, 171);
    EXPECT_FALSE(core.ReadDeviceState());
    EXPECT_EQ(core.KeyMap(0), before);
    EXPECT_EQ(Requests().back().Command(), kCmdReadInfo);  // no CMD_END after a refused limit
    EXPECT_EQ(core.WriteKeys(DefaultList()), kResultUnsupported);
}

TEST_F(Keyboard, WriteKeysRenumbersMacrosInOrderOfFirstUseAndFallsBackToTheDefault) {
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"},
        {"MacroName": "b", "Guid": "b"}, {"MacroName": "c", "Guid": "c"}]})");
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    auto list = DefaultList();
    list[64].assignment = {64, 0x70, 2, 0};  // macro c first
    list[65].assignment = {65, 0x71, 0, 0};  // then a
    list[66].assignment = {66, 0x70, 2, 0};  // c again
    list[67].assignment = {67, 0x70, 3, 0};  // no such macro: the default
    list[68].assignment = {68, 0x20, 0, 0x05};
    std::vector<int> order;
    core.BuildKeyTable(list, 3, order);
    EXPECT_EQ(order, (std::vector<int>{2, 0}));
    ASSERT_EQ(core.WriteKeys(list), kResultSuccess);
    const auto table = Firmware().KeyAssignments();
    auto key = [&table](size_t k) {
        return std::vector<uint8_t>(table.begin() + 3 * k, table.begin() + 3 * k + 3);
    };
    EXPECT_EQ(key(64), (std::vector<uint8_t>{0x70, 0, 0}));
    EXPECT_EQ(key(65), (std::vector<uint8_t>{0x71, 1, 0}));
    EXPECT_EQ(key(66), (std::vector<uint8_t>{0x70, 0, 0}));
    EXPECT_EQ(key(67), (std::vector<uint8_t>{0x20, 0, kPageKeyDefaults[67].param2}));
    EXPECT_EQ(key(68), (std::vector<uint8_t>{0x20, 0, 0x05}));
}

TEST_F(Keyboard, ReassignedKeysKeepTheirPlacesWhenTheKeyboardIsReadAgain) {
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"}]})");
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    auto list = DefaultList();
    list[64].assignment = {64, 0x70, 0, 0};
    list[58].assignment = {58, 0x20, 0, 0x04};  // another key becomes A: A's own key stays A's
    ASSERT_EQ(core.WriteKeys(list), kResultSuccess);
    ASSERT_TRUE(core.ReadDeviceState());  // a reconnection
    EXPECT_EQ(core.DeviceKeyOf(64), 64);
    EXPECT_EQ(core.DeviceKeyOf(58), 58);
    EXPECT_EQ(core.KeyMap(1)[64], 64);
    // So the next write reaches the same keys.
    list[64].assignment = {64, 0x20, 0, 0x05};
    ASSERT_EQ(core.WriteKeys(list), kResultSuccess);
    EXPECT_EQ(Firmware().KeyAssignments()[3 * 64 + 2], 0x05);
    EXPECT_EQ(Firmware().KeyAssignments()[3 * 58 + 2], 0x04);
}

TEST_F(Keyboard, TheKeyListOfTheKeyboardsTableShowsDefaultsWhereItLacksKeys) {
    backend.SetModel("keyboard", *json::Parse(R"({"keys": [[32, 0, 41], [32, 0, 58]]})"), nullptr);
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    const auto read = core.ReadKeyList(DefaultList(), 0);
    ASSERT_EQ(read.size(), 126u);
    EXPECT_EQ(read[0].assignment, (KeyAction{0, 0x20, 0, 0x29}));
    EXPECT_EQ(read[1].assignment, (KeyAction{1, 0x20, 0, 0x3a}));
    EXPECT_EQ(read[64].assignment, read[64].defaultAssignment);
    EXPECT_EQ(read[64].defaultAssignment, (KeyAction{64, 0x20, 0, 0x04}));
}

TEST_F(Keyboard, UnpluggedInTheMiddleOfAKeyTableWriteItFailsAndTheNextWriteIsWhole) {
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    auto list = DefaultList();
    list[64].assignment = {64, 0x20, 0, 0x05};  // A becomes B
    list[125].assignment = {125, 0x20, 0, 0x06};  // in the last packet
    // Gone after the info block, the begin and three of the seven key packets.
    backend.AddFault("keyboard", {sim::SimFault::Unplug, 5});
    const auto before = std::chrono::steady_clock::now();
    EXPECT_NE(core.WriteKeys(list), kResultSuccess);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    ASSERT_EQ(backend.Firmware("keyboard"), nullptr);

    core.Channel().SetOpen(false);
    Connect();  // plugged in again: a new device, as it left the factory
    ASSERT_EQ(core.WriteKeys(list), kResultSuccess);
    const auto table = Firmware().KeyAssignments();
    EXPECT_EQ(table[3 * 64 + 2], 0x05);
    EXPECT_EQ(table[3 * 125 + 2], 0x06);
}

TEST_F(Keyboard, MacrosOfTenAndTwentyEventsReachTheKeyboardAsOneCheckedImage) {
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"},
        {"MacroName": "b", "Guid": "b"}]})");
    WriteMacro("a", 10);
    WriteMacro("b", 20);
    Connect();
    ASSERT_EQ(core.WriteMacros({1, 0}), 0);
    const auto memory = Firmware().Macros();
    ASSERT_EQ(profiles::MacroImage::DeclaredLength(memory), 148u);
    EXPECT_TRUE(Firmware().MacroImageValid());
    EXPECT_EQ(memory[16], 20);
    EXPECT_EQ(memory[18], 104);
    EXPECT_EQ(memory[20], 20);  // macro b (20 events) is written first
    EXPECT_EQ(memory[104], 10);
}

TEST_F(Keyboard, AMacroImageTooLargeIsNotSentAndKeepsTheKeyTableUnwritten) {
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"},
        {"MacroName": "b", "Guid": "b"}]})");
    WriteMacro("a", 10);
    WriteMacro("b", 20);
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    Firmware().SetInfoByte(6, 1);  // 128 bytes of macro memory
    const size_t before = Requests().size();
    EXPECT_EQ(core.WriteMacros({0, 1}), 6);
    for (size_t i = before; i < Requests().size(); ++i) {
        EXPECT_NE(Requests()[i].Command(), kCmdWriteMacros);
    }
    const auto table = Firmware().KeyAssignments();
    auto list = DefaultList();
    list[64].assignment = {64, 0x70, 0, 0};
    list[65].assignment = {65, 0x70, 1, 0};
    const auto result = core.WriteAssignments(list);
    EXPECT_EQ(result.macros, 6);
    EXPECT_EQ(Firmware().KeyAssignments(), table);
}

TEST_F(Keyboard, TheLightRecordRoundTripsThroughTheKeyboardsConfigurationMemory) {
    Connect();
    profiles::LightSetting setting;
    setting.mode = 5;
    setting.brightness = 2;
    setting.speed = 3;
    setting.direction = 1;
    setting.multiColor = 1;
    setting.red = 0xFF;
    core.SetLight(setting);
    core.SetOptions({0, 0, 1, 2, 1, 0});
    ASSERT_EQ(core.WriteLightConfig(2, 2), kResultSuccess);
    const auto config = Firmware().Config();
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 50, config.begin() + 59),
              (std::vector<uint8_t>{2, 5, 2, 1, 1, 1, 0xFF, 0, 0}));
    EXPECT_EQ(config[50 + 19], 1);  // wFlag
    EXPECT_EQ(config[50 + 20], 1);  // 6-key flag
    EXPECT_EQ(config[50 + 22], 2);  // polling rate

    Firmware().SwitchProfile(2);
    core.SetLight({});
    bool changed = false;
    ASSERT_TRUE(core.ReadLightRecord(changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(core.OnboardProfile(), 2);
    EXPECT_EQ(core.LastRecord()[0], 2);  // byte 0 reads back as the profile number
    EXPECT_EQ(core.Light().mode, 5);
    EXPECT_EQ(core.Light().speed, 3);
    EXPECT_EQ(core.Light().brightness, 2);
    EXPECT_EQ(core.Options().wFlag, 1);
    // What was read is kept in the profile.
    profiles::CKeyboardProfiledata saved;
    saved.LoadSection(data + "p.Json");
    EXPECT_EQ(saved.GetLightInfo().mode, 5);
    EXPECT_EQ(saved.GetSystemStages().key6Flag, 1);
}

TEST_F(Keyboard, HostDrivenModesAreWrittenAs0xFEAndReadingItBackKeepsThePagesMode) {
    Connect();
    profiles::LightSetting setting;
    setting.mode = 29;
    core.SetLight(setting);
    ASSERT_EQ(core.WriteLightConfig(0, 0), kResultSuccess);
    EXPECT_EQ(Firmware().Config()[1], KeyboardCore::kHostDrivenMode);
    setting.mode = 30;
    core.SetLight(setting);
    ASSERT_EQ(core.WriteLightConfig(0, 0), kResultSuccess);
    bool changed = true;
    ASSERT_TRUE(core.ReadLightRecord(changed));
    EXPECT_EQ(core.Light().mode, 30);
    EXPECT_FALSE(changed);
}

TEST_F(Keyboard, AModeWithoutACodeSendsNothingAndAClosedChannelIsNoSuccess) {
    Connect();
    profiles::LightSetting setting;
    setting.mode = 200;
    core.SetLight(setting);
    const size_t before = Requests().size();
    EXPECT_NE(core.WriteLightConfig(0, 0), kResultSuccess);
    EXPECT_EQ(Requests().size(), before);
    core.SetLight({});
    WriteText(data + "macro.config", R"({"MacroInfo": [{"MacroName": "a", "Guid": "a"}]})");
    WriteMacro("a", 300);  // too big for any keyboard, but the closed link is what fails
    core.Channel().SetOpen(false);
    EXPECT_NE(core.WriteLightConfig(0, 0), kResultSuccess);
    EXPECT_EQ(core.WriteKeys(DefaultList()), 0);
    EXPECT_EQ(core.WriteMacros({0}), KeyboardCore::kMacroWriteFailed);
}

TEST_F(Keyboard, ProfileSwitchNotificationsTakeTheLowFourBits) {
    Connect();
    EXPECT_EQ(core.TakeNotification(0x1003), KeyboardCore::Notification::kProfileSwitched);
    EXPECT_EQ(core.OnboardProfile(), 3);
    EXPECT_EQ(core.TakeNotification(0x1123), KeyboardCore::Notification::kProfileSwitched);
    EXPECT_EQ(core.OnboardProfile(), 3);
    EXPECT_EQ(core.TakeNotification(0x1201), KeyboardCore::Notification::kIgnored);
    EXPECT_EQ(core.TakeNotification(0x401), KeyboardCore::Notification::kSettingsChanged);
    KeyboardCore::ReloadFlag() = false;
    EXPECT_EQ(core.TakeNotification(0x402), KeyboardCore::Notification::kReload);
    EXPECT_TRUE(KeyboardCore::ReloadFlag().exchange(false));
}

TEST_F(Keyboard, PerKeyColoursReachTheKeyboardAtTheKeysLedPositions) {
    // Esc and F1-F9, their LEDs in another order: Esc is LED 9, F1 LED 4.
    backend.SetModel("keyboard", *json::Parse(R"({"keys": [[32, 0, 41], [32, 0, 58], [32, 0, 59],
        [32, 0, 60], [32, 0, 61], [32, 0, 62], [32, 0, 63], [32, 0, 64], [32, 0, 65], [32, 0, 66]],
        "leds": [9, 4, 1, 2, 3, 0, 6, 7, 8, 5]})"), nullptr);
    Connect();
    ASSERT_TRUE(core.ReadDeviceState());
    core.SetLedCount(170);
    core.ProfileData().LoadSection(data + "p.Json");
    // LED 9 (Esc) blue, LED 4 (F1) green; LED 12 red, but no key of this model has it.
    std::vector<profiles::LightColor> colours(170);
    colours[9] = {0, 0, 255, 0};
    colours[4] = {0, 255, 0, 0};
    colours[12] = {255, 0, 0, 0};
    core.Profile().SetCustomLightColors(colours, 0);
    core.Profile().SetCustomLightGroup(0);
    profiles::LightSetting setting;
    setting.mode = KeyboardLightEngine::kPerKeyColourMode;
    setting.brightness = 4;
    core.TakeLightSetting(setting);
    const auto table = Firmware().KeyColours();
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 27, table.begin() + 30), (std::vector<uint8_t>{0, 0, 254}));
    EXPECT_EQ(std::vector<uint8_t>(table.begin() + 12, table.begin() + 15), (std::vector<uint8_t>{0, 254, 0}));
    EXPECT_EQ(table[36], 0);  // LED 12: no key, and past the 30 bytes of 10 keys
    EXPECT_EQ(core.GetLed(9), (LedEntry{0, 0, 255, 255}));
}

TEST_F(Keyboard, HostLightingIsAskedOfTheWiredKeyboardOnly) {
    Connect("keyboard-receiver");
    EXPECT_EQ(core.SendHostLight(), 0);
    EXPECT_FALSE(Firmware().HostLight());
    core.Channel().SetOpen(false);
    Connect("keyboard");
    EXPECT_EQ(core.SendHostLight(), kResultSuccess);
    EXPECT_TRUE(Firmware().HostLight());
}

TEST_F(Keyboard, PowerIsReadOverTheReceiverOnlyWhenTheKeyboardAnswers) {
    Connect("keyboard-receiver");
    const auto status = core.ReadPower();
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ((*status)[3], 1);
    EXPECT_EQ((*status)[4], 85);
    EXPECT_TRUE(core.ProbeLink());
    Firmware().SetLinkAwake(false);
    EXPECT_FALSE(core.ReadPower().has_value());
    EXPECT_FALSE(core.ProbeLink());
    core.SetPowerPaused(true);
    Firmware().SetLinkAwake(true);
    EXPECT_FALSE(core.ReadPower().has_value());
}

}  // namespace
}  // namespace kx520

namespace kx520 {
namespace {

// The page refresh takes the light list and the custom effect from the
// profile; every pass lays the list over the effect.
TEST_F(Keyboard, TheProfilesLightListLiesOverTheEffectAndModesWithoutOnePlayTheCustomEffect) {
    WriteText(data + "p.Json", R"({"Device": [{"LightInfo": {"SelectItem": 6, "Light": 4,
        "Speed": 2, "MultiColor": false, "Red": 255, "Green": 0, "Blue": 0},
        "LightList": [null, {"LEDREGMode": 1, "LEDBrightness": 4, "red": 0, "green": 0, "blue": 255},
                      {"LEDREGMode": 4}]}]})");
    WriteText(data + "pelmo_light.config", R"({"LightInfo": [[{"Guid": "zero"}]]})");
    WriteText(data + "zero.light", R"({"LEDEffectList": [{"LEDREGMode": 5, "LEDBrightness": 4,
        "LEDSpeed": 4, "Time": 1000}]})");
    Connect();
    core.SetLedCount(170);
    auto& profile = core.ProfileData();
    profile.LoadSection(data + "p.Json");
    profile.LoadLightConfig(data + "pelmo_light.config");
    core.RefreshLighting(profile.GetLightInfo());
    for (uint32_t t = 1; t <= 8; ++t) {
        core.LightPass(16 * t);
    }
    EXPECT_EQ(core.GetLed(0), (LedEntry{255, 0, 0, 255}));  // the static effect
    EXPECT_EQ(core.GetLed(1), (LedEntry{0, 0, 255, 255}));  // its own colour
    EXPECT_EQ(core.GetLed(2), LedEntry{});                  // switched off
    // Mode 0 has no effect of its own: the custom effect of mode 0 plays,
    // and the list still lies over it.
    profiles::LightSetting custom = profile.GetLightInfo();
    custom.mode = 0;
    profile.SetLightInfo(custom);
    core.RefreshLighting(custom);
    EXPECT_EQ(core.CustomEffectPosition(), (std::pair<size_t, size_t>{0, 1}));
    core.LightPass(1000);
    core.LightPass(1016);
    EXPECT_EQ(core.GetLed(0), (LedEntry{kRainbowTable[2].red, kRainbowTable[2].green, kRainbowTable[2].blue, 255}));
    EXPECT_EQ(core.GetLed(1), (LedEntry{0, 0, 255, 255}));
}

TEST_F(Keyboard, ItsBreathingAndStaticAreTheKeyboardsOwnByColumnsAndRings) {
    core.SetLedCount(170);
    profiles::LightSetting setting;
    setting.mode = 6;
    setting.brightness = 4;
    setting.multiColor = 1;
    core.TakeLightSetting(setting);
    core.EffectStatic();
    // Key 51 is the centre ring: rainbow index 138; key 41 the outer ring (11).
    EXPECT_EQ(core.GetLed(51), (LedEntry{kRainbowTable[138].red, kRainbowTable[138].green, kRainbowTable[138].blue, 255}));
    EXPECT_EQ(core.GetLed(41), (LedEntry{kRainbowTable[6].red, kRainbowTable[6].green, kRainbowTable[6].blue, 255}));
    core.EffectBreathe();  // column 2 (key 0) in rainbow step 14, the curve's first step up
    EXPECT_EQ(core.GetLed(0),
              (LedEntry{kRainbowTable[14].red, kRainbowTable[14].green, kRainbowTable[14].blue,
                        static_cast<uint8_t>(kBreathCurve[1] * 255 / 256)}));
}

TEST_F(Keyboard, MusicModeDrawsTheBandsOnEverySecondTick) {
    Connect();
    core.SetLedCount(170);
    core.ProfileData().LoadSection(data + "p.Json");
    profiles::LightSetting music;
    music.mode = KeyboardLightEngine::kMusicMode;
    music.brightness = 4;
    core.RefreshLighting(music);
    profiles::AudioLightSetting audio;
    audio.fgGreen = 255;
    core.SetAudioLight(audio);
    std::vector<int32_t> bands(25, 0);
    bands[2] = 2000;
    core.SetAudioBands(bands);
    core.LightPass(16);
    EXPECT_EQ(core.GetLed(22), LedEntry{});  // one tick: not yet
    core.LightPass(32);
    EXPECT_EQ(core.GetLed(22), (LedEntry{0, 255, 0, 254}));
    EXPECT_EQ(core.AudioLight(), audio);
}

}  // namespace
}  // namespace kx520

namespace kx520 {
namespace {

// Music and app colour are drawn by the host: their frames go to the
// keyboard on its receiver as on its cable, red, blue, green at each
// key's LED; the keyboard's own effects are never streamed.
TEST_F(Keyboard, HostDrawnFramesReachTheKeyboardOnEitherLink) {
    struct Case {
        const char* product;
        uint8_t mode;
        bool streamed;
    };
    for (const Case& c : {Case{"keyboard-receiver", KeyboardLightEngine::kHostColourMode, true},
                          Case{"keyboard-receiver", 29, true}, Case{"keyboard", KeyboardLightEngine::kHostColourMode, true},
                          Case{"keyboard-receiver", 5, false}}) {
        SCOPED_TRACE(std::string(c.product) + " mode " + std::to_string(c.mode));
        backend.Unplug("keyboard");
        backend.Unplug("keyboard-receiver");
        Connect(c.product);
        ASSERT_TRUE(core.ReadDeviceState());
        core.SetLedCount(170);
        profiles::LightSetting setting;
        setting.mode = c.mode;
        setting.brightness = 4;
        core.TakeLightSetting(setting);
        const uint64_t sent = core.Sender().SentFrames();
        std::vector<LedEntry> frame(170);
        frame[64] = LedEntry{200, 10, 30, 255};  // A's LED in the factory table
        core.SendFrame(frame);
        // Streamed: until it went; not: long enough for one to have gone.
        for (int i = 0; i < (c.streamed ? 400 : 20) && core.Sender().SentFrames() == sent; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(core.Sender().SentFrames() > sent, c.streamed);
        if (c.streamed) {
            const std::vector<uint8_t> memory = Firmware().LightFrame();
            EXPECT_EQ(std::vector<uint8_t>(memory.begin() + 3 * 64, memory.begin() + 3 * 64 + 3),
                      (std::vector<uint8_t>{199, 29, 9}));  // red, blue, green at level 255/256
        }
    }
}

}  // namespace
}  // namespace kx520
