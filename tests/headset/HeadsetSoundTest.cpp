#include "headset/HeadsetSound.h"

#include <gtest/gtest.h>

#include "headset/FakeAudioPlugin.h"
#include "profiles/ProfileSectionTest.h"

namespace kx520 {
namespace {

using profiles::CHs6533Profiledata;
using Write = test::FakeAudioPlugin::Write;

// The page as plain values.
struct FakeView : HeadsetAudioView {
    int preset = -1;
    std::array<int, 10> bands{};
    bool customLayout = false;
    bool micOption = false;
    bool monitorOption = false;
    int micLevel = 0;
    int monitorLevel = 0;
    std::string micText;
    std::string monitorText;
    std::string name;
    std::vector<std::string> customs;
    int selected = -1;
    bool voiceSwitch = false;
    int voice = 0;
    std::vector<std::string> told;
    std::vector<std::pair<std::string, int>> refused;

    void SelectPreset(int n) override { preset = n >= 1 && n <= 13 ? n : 0; }
    void SetBand(int band, int value) override { bands[static_cast<size_t>(band)] = value; }
    std::optional<int> Band(int band) const override { return bands[static_cast<size_t>(band)]; }
    void EnableCustomLayout(bool enabled) override { customLayout = enabled; }
    void SetMicOption(bool checked) override { micOption = checked; }
    void SetMonitorOption(bool checked) override { monitorOption = checked; }
    void SetMicLevel(int level) override { micLevel = level; }
    int MicLevel() const override { return micLevel; }
    void SetMonitorLevel(int level) override { monitorLevel = level; }
    int MonitorLevel() const override { return monitorLevel; }
    void ShowMicDecibels(const std::string& text) override { micText = text; }
    void ShowMonitorDecibels(const std::string& text) override { monitorText = text; }
    std::string CustomName() const override { return name; }
    void SetCustomName(const std::string& text) override { name = text; }
    void AppendCustom(const std::string& text) override { customs.push_back(text); }
    int SelectedCustom() const override { return selected; }
    int CustomCount() const override { return static_cast<int>(customs.size()); }
    void SelectCustom(int index) override {
        selected = index;
        name.clear();
    }
    void RemoveCustom(int index) override { customs.erase(customs.begin() + index); }
    void ClearCustom() override { customs.clear(); }
    void SetVoiceSwitch(bool on) override { voiceSwitch = on; }
    bool VoiceSwitch() const override { return voiceSwitch; }
    void SelectVoice(int n) override { voice = n >= 1 && n <= 4 ? n : 0; }
    void Tell(const std::string& textId) override { told.push_back(textId); }
    void ShowRefused(const std::string& what, int result) override { refused.push_back({what, result}); }
};

struct AtOnce : HeadsetAudioRunner {
    explicit AtOnce(HeadsetAudio& audio) : audio(audio) {}
    void Run(std::function<void(HeadsetAudio&)> work, std::function<void()> done) override {
        work(audio);
        done();
    }
    HeadsetAudio& audio;
};

class HeadsetSoundTest : public test::ProfileSectionTest<CHs6533Profiledata> {
protected:
    void SetUp() override {
        Load(R"({"LightInfo": {}, "SystemSetStages": {"EqType": 3, "MicInSelect": 1, "MicInValue": 30}})");
        ASSERT_TRUE(audio.Sdk().Use(plugin.Entries()));
        audio.StartLoaded();
        plugin.writes.clear();
        sound.LoadFromProfile();
        sound.ShowOnPage();
    }
    std::vector<std::string> Bands(int from) {
        std::vector<std::string> names;
        for (int band = from; band <= 10; ++band) {
            names.push_back("EQ_Slider" + std::to_string(band));
        }
        return names;
    }

    test::FakeAudioPlugin plugin;
    HeadsetAudio audio;
    AtOnce runner{audio};
    FakeView view;
    int saves = 0;
    HeadsetSound sound{data, view, runner, [this] {
                           ++saves;
                           return data.Save();
                       }};
};

TEST_F(HeadsetSoundTest, APresetSendsItsTenGainsAndFillsItsSlot) {
    sound.ApplyPreset(5);
    std::vector<std::string> expected{"Enable_EQ_GFX"};
    for (const std::string& band : Bands(1)) {
        expected.push_back(band);
    }
    EXPECT_EQ(plugin.WrittenNames(), expected);
    for (size_t i = 1; i < plugin.writes.size(); ++i) {
        EXPECT_EQ(plugin.writes[i].value, "0");
    }
    EXPECT_EQ(view.preset, 5);
    EXPECT_EQ(data.GetSystemSetStages().eqType, 5);
    EXPECT_EQ(data.GetEQBands(5), std::vector<int32_t>(10, 0));
    EXPECT_GE(saves, 1);
    // No such preset: nothing is chosen and nothing is sent or stored.
    plugin.writes.clear();
    sound.ApplyPreset(14);
    EXPECT_EQ(view.preset, 0);
    EXPECT_TRUE(plugin.writes.empty());
    EXPECT_EQ(data.GetSystemSetStages().eqType, 5);
}

TEST_F(HeadsetSoundTest, ABandMovedUnderAFixedPresetSwitchesToTheCustomCurveAndSendsThatBandOnly) {
    view.selected = 0;
    view.bands[3] = 6;
    sound.BandChanged(3);
    EXPECT_EQ(plugin.writes, (std::vector<Write>{{"EQ_Slider4", "6"}}));
    EXPECT_EQ(view.preset, 13);
    EXPECT_EQ(view.selected, -1);
    EXPECT_TRUE(view.customLayout);
    EXPECT_EQ(data.GetSystemSetStages().eqType, 13);
}

TEST_F(HeadsetSoundTest, TheVoiceChangerOnSwitchesTheEchoOffAndOffLeavesIt) {
    view.voiceSwitch = true;
    sound.SetVoiceChanger();
    EXPECT_EQ(plugin.writes, (std::vector<Write>{{"Enable_MAGICVOICE", "1"}, {"Enable_MICECHO", "0"}}));
    plugin.writes.clear();
    view.voiceSwitch = false;
    sound.SetVoiceChanger();
    EXPECT_EQ(plugin.writes, (std::vector<Write>{{"Enable_MAGICVOICE", "0"}}));
    sound.SelectVoice(3);
    EXPECT_EQ(plugin.writes.back(), (Write{"MagicVoice_Selection", "2"}));
    EXPECT_EQ(data.GetSystemSetStages().magicType, 3);
    // Refused, the page says so and the choice is still kept.
    plugin.answers["Enable_MAGICVOICE"] = kAudioNotApplied;
    view.voiceSwitch = true;
    sound.SetVoiceChanger();
    EXPECT_EQ(view.refused, (std::vector<std::pair<std::string, int>>{{"hs_what_voice_changer", kAudioNotApplied}}));
    EXPECT_EQ(data.GetSystemSetStages().magicEnable, 1);
}

TEST_F(HeadsetSoundTest, ALevelIsKeptOnlyWhenTheDriverTookIt) {
    plugin.values["VolumeControl"] = "-12.5";
    view.micLevel = 40;
    sound.SetMicLevel();
    EXPECT_EQ(plugin.writes, (std::vector<Write>{{"VolumeScalarControl", "0.40"}}));
    EXPECT_EQ(view.micText, "-12.50");
    EXPECT_EQ(data.GetSystemSetStages().micInValue, 40);
    plugin.answers["AAVolumeScalarControl"] = kAudioFailed;
    plugin.answers["VolumeScalarControl"] = kAudioTimedOut;
    view.micLevel = 70;
    view.monitorLevel = 20;
    sound.SetMicLevel();
    sound.SetMonitorLevel();
    EXPECT_EQ(data.GetSystemSetStages().micInValue, 40);
    EXPECT_EQ(data.GetSystemSetStages().micMonitorValue, 0);
    EXPECT_EQ(view.refused.size(), 2u);
}

TEST_F(HeadsetSoundTest, AMuteClickWritesTheStateAskedForAndARefusalPutsTheOptionBack) {
    // The page shows it live; another program muted it meanwhile. The
    // click unchecks the option: muted is written, not a flip to live.
    plugin.values["MuteControl"] = "1";
    sound.ToggleMicMute(false);
    EXPECT_EQ(plugin.writes, (std::vector<Write>{{"MuteControl", "1"}}));
    EXPECT_TRUE(sound.MicMuted());
    EXPECT_EQ(data.GetSystemSetStages().micInSelect, 0);
    plugin.answers["MuteControl"] = kAudioFailed;
    view.micOption = true;
    sound.ToggleMicMute(true);
    EXPECT_FALSE(view.micOption);  // still muted on the driver
    EXPECT_TRUE(sound.MicMuted());
    EXPECT_EQ(data.GetSystemSetStages().micInSelect, 0);
}

TEST_F(HeadsetSoundTest, NamedCurvesAreUniqueAtMostTwentyAndDeletingFallsBackInFull) {
    view.bands = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    view.name = "Bass";
    EXPECT_EQ(sound.SaveCustomCurve(), 1);
    view.name = "BASS";
    EXPECT_EQ(sound.SaveCustomCurve(), 0);
    view.name.clear();
    view.selected = -1;
    EXPECT_EQ(sound.SaveCustomCurve(), -1);  // no name and nothing chosen
    for (int i = 1; i < 20; ++i) {
        view.name = "curve " + std::to_string(i);
        ASSERT_EQ(sound.SaveCustomCurve(), 1) << i;
    }
    view.name = "one too many";
    EXPECT_EQ(sound.SaveCustomCurve(), -1);
    EXPECT_EQ(view.told, (std::vector<std::string>{"headset_eq_list_full"}));
    EXPECT_EQ(data.GetCustomEQNames().size(), 20u);
    EXPECT_EQ(view.customs.size(), 20u);

    // Deleting one that is not the last applies curve 0 in full.
    plugin.writes.clear();
    view.selected = 5;
    sound.DeleteCustomCurve();
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(plugin.writes.size(), 11u);
    EXPECT_EQ(plugin.writes[1], (Write{"EQ_Slider1", "1"}));
    EXPECT_EQ(data.GetSystemSetStages().customEqIndex, 0);
    EXPECT_EQ(data.GetCustomEQNames().size(), 19u);
}

TEST_F(HeadsetSoundTest, DeletingTheLastCurveAppliesPresetOne) {
    view.name = "Only";
    ASSERT_EQ(sound.SaveCustomCurve(), 1);
    plugin.writes.clear();
    sound.DeleteCustomCurve();
    EXPECT_TRUE(view.customs.empty());
    EXPECT_TRUE(data.GetCustomEQNames().empty());
    EXPECT_TRUE(data.GetCustomEQBands(0).empty());
    EXPECT_EQ(view.preset, 1);
    EXPECT_FALSE(view.customLayout);
    EXPECT_EQ(plugin.writes.size(), 11u);
    EXPECT_EQ(data.GetSystemSetStages().eqType, 1);
}

TEST_F(HeadsetSoundTest, TheDriversStateAtTheStartFillsLevelsMutesAndVoice) {
    HeadsetAudioState state;
    state.microphone.muted = true;
    state.microphone.percent = 55;
    state.microphone.decibels = -3.0;
    state.monitorPresent = true;
    state.monitor.percent = 10;
    state.magicType = 2;
    sound.TakeAudioState(state);
    sound.ShowOnPage();
    EXPECT_FALSE(view.micOption);
    EXPECT_EQ(view.micLevel, 55);
    EXPECT_EQ(view.micText, "-3.00");
    EXPECT_EQ(view.monitorLevel, 10);
    EXPECT_EQ(view.voice, 2);
    EXPECT_TRUE(sound.MicMuted());
}

}  // namespace
}  // namespace kx520
