#include "headset/HeadsetAudio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "headset/FakeAudioPlugin.h"

namespace kx520 {
namespace {

using Write = test::FakeAudioPlugin::Write;

bool Wrote(const test::FakeAudioPlugin& plugin, const std::string& name) {
    const auto names = plugin.WrittenNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(HeadsetAudioStart, DefaultsGoOnlyToPropertiesNeverSetAndAFailedReadWritesNothing) {
    test::FakeAudioPlugin plugin;
    plugin.values["MuteControl"] = "1";
    plugin.values["GetSupportFeature"] = "0x20000,0,0,0,4,0,6";
    plugin.answers["AAMuteControl"] = kAudioTimedOut;
    plugin.answers["Enable_RFX_GFX"] = kAudioFailed;
    HeadsetAudio audio;
    ASSERT_TRUE(audio.Sdk().Use(plugin.Entries()));
    const HeadsetAudio::StartReport report = audio.StartLoaded();
    EXPECT_TRUE(report.devices);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_FALSE(Wrote(plugin, "MuteControl"));    // the user's mute stays
    EXPECT_FALSE(Wrote(plugin, "AAMuteControl"));  // a timeout says nothing
    EXPECT_FALSE(Wrote(plugin, "Enable_RFX_GFX"));
    EXPECT_TRUE(Wrote(plugin, "EQ_Slider10"));
    EXPECT_TRUE(Wrote(plugin, "MagicVoice_Selection"));
    EXPECT_EQ(plugin.values["VirtualSurroundEffectControl"], "0");
    EXPECT_TRUE(report.state.microphone.muted.value_or(false));
    EXPECT_EQ(audio.Microphone().features, 0x20000u);
    EXPECT_EQ(audio.Microphone().featureWord6, 6);
    EXPECT_TRUE(report.state.magicEnable.has_value());  // the voice feature is there
}

TEST(HeadsetAudioStart, TheOutputIsChosenByTypeInOrderAndAShortFeatureReplyIsSaid) {
    struct Case {
        std::vector<AudioEndpoint> outputs;
        int32_t chosen;  // id, 0 none
    };
    const Case cases[] = {
        {{{7, 4, 0, 1}, {8, 7, 0, 1}, {9, 12, 0, 1}}, 9},
        {{{7, 1, 0, 0}, {8, 4, 0, 1}}, 8},  // an inactive one is passed over
        {{{7, 3, 0, 1}}, 0},
    };
    for (const Case& c : cases) {
        test::FakeAudioPlugin plugin;
        plugin.outputs = c.outputs;
        plugin.initResult = 1;
        plugin.values["GetSupportFeature"] = "1,2,3";
        HeadsetAudio audio;
        ASSERT_TRUE(audio.Sdk().Use(plugin.Entries()));
        const HeadsetAudio::StartReport report = audio.StartLoaded();
        EXPECT_EQ(audio.Output().endpoint.id, c.chosen);
        ASSERT_FALSE(report.messages.empty());
        EXPECT_EQ(report.messages[0], "ConfLibInit called failed!");
        EXPECT_EQ(report.messages[1], "UpdateAPOAvailable failed!");
        EXPECT_FALSE(report.state.magicEnable.has_value());  // no voice feature: not asked
    }
}

TEST(HeadsetAudioStart, LevelsReadBackRoundedAndClampedAndNoDevicesMeansNoReads) {
    const std::pair<const char*, int> levels[] = {{"0.404", 40}, {"0.996", 100}, {"1.7", 100}, {"-0.2", 0}};
    for (const auto& [scalar, percent] : levels) {
        test::FakeAudioPlugin plugin;
        plugin.values["VolumeScalarControl"] = scalar;
        HeadsetAudio audio;
        ASSERT_TRUE(audio.Sdk().Use(plugin.Entries()));
        EXPECT_EQ(audio.StartLoaded().state.microphone.percent, percent) << scalar;
    }
    test::FakeAudioPlugin none;
    none.outputs.clear();
    none.microphones.clear();
    HeadsetAudio audio;
    ASSERT_TRUE(audio.Sdk().Use(none.Entries()));
    EXPECT_FALSE(audio.StartLoaded().devices);
    EXPECT_TRUE(none.writes.empty());
}

// A reply that fills the whole buffer, with no end of its own.
int Unterminated(AudioEndpoint, const char*, void** data, void**, int) {
    std::memset(*data, 'x', AudioSdk::kBufferSize);
    return 0;
}

TEST(AudioSdkBridge, APluginIsUsedOnlyWhenAllItsEntriesResolveAndRepliesStayTerminated) {
    AudioSdk sdk;
    std::string why;
    EXPECT_FALSE(sdk.Load({"/nonexistent/osConfLib.so", "libc.so.6"}, why));
    EXPECT_NE(why.find("/nonexistent/osConfLib.so"), std::string::npos);
    EXPECT_NE(why.find("lacks ConfLibInit"), std::string::npos);  // libc loads but is no plug-in
    EXPECT_FALSE(sdk.Loaded());
    int count = 5;
    EXPECT_NE(sdk.GetDeviceCount(0, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(sdk.Read({}, "MuteControl").has_value());

    test::FakeAudioPlugin plugin;
    AudioSdkEntries entries = plugin.Entries();
    entries.PropertyControl = nullptr;
    EXPECT_FALSE(sdk.Use(entries));
    entries.PropertyControl = Unterminated;
    ASSERT_TRUE(sdk.Use(entries));
    const auto reply = sdk.Read({}, "KX_Status");
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->size(), AudioSdk::kBufferSize);
    EXPECT_FALSE(sdk.ReadInt({}, "MuteControl").has_value());  // "xxx..." is no number
}

TEST(AudioSdkBridge, ThePluginIsLookedForBesideTheProgramThenWhereItIsInstalled) {
    const auto paths = AudioSdk::Candidates("/opt/kx520/bin/", "/usr/lib/x86_64-linux-gnu/");
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], std::string("/opt/kx520/bin/SDK/") + AudioSdk::Architecture() + "/osConfLib.so");
    EXPECT_EQ(paths[1], "/usr/lib/x86_64-linux-gnu/kx520/SDK/osConfLib.so");
}

}  // namespace
}  // namespace kx520
