#include "audioplugin/AudioPlugin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "audioplugin/CapsEqualiserCurve.h"
#include "audioplugin/PluginStore.h"
#include "support/PrivateSoundServer.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::audio {
namespace {

TEST(PluginStore, KeepsItsValuesAcrossRunsAndLeavesOutWhatIsNotALine) {
    test::TempDir temp;
    const std::string path = temp.Path() + "/state/audio.state";
    {
        PluginStore store(path);
        EXPECT_FALSE(store.Get("EQ_Slider1").has_value());  // never set
        store.Set("EQ_Slider1", "7");
        store.Set("AAVolumeScalarControl", "0.2500");
        store.Set("bad=name", "1");
        store.Set("line", "two\nlines");
        ASSERT_TRUE(store.Save());
    }
    PluginStore again(path);
    EXPECT_EQ(again.GetInt("EQ_Slider1", 0), 7);
    EXPECT_DOUBLE_EQ(again.GetDouble("AAVolumeScalarControl", 1.0), 0.25);
    EXPECT_FALSE(again.Get("bad=name").has_value());
    EXPECT_FALSE(again.Get("line").has_value());
    std::ofstream(path) << "no equals sign\n=value\nMuteControl=1\n";
    PluginStore damaged(path);
    EXPECT_EQ(damaged.GetInt("MuteControl", 0), 1);
    EXPECT_FALSE(damaged.Get("").has_value());
}

// The bands overlap: a band next to a raised one cannot be kept down; the
// raised band and those two or more away from it land where asked.
TEST(CapsEqualiserCurve, ARaisedBandPeaksAtTheInputLevelAndTheFarBandsLandWhereAsked) {
    using Gains = std::array<int, CapsEqualiserCurve::kBands>;
    const Gains curves[] = {{7, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                            {0, 0, 0, 0, 0, 7, 0, 0, 0, 0},
                            {0, 0, 0, 0, 0, 0, 0, 0, 0, 10},
                            {12, 12, 0, 0, 0, 0, 0, 0, 0, 0}};
    for (const Gains& gains : curves) {
        const auto controls = CapsEqualiserCurve::Controls(gains);
        const auto response = CapsEqualiserCurve::Response(controls);
        const auto peak = std::max_element(gains.begin(), gains.end());
        const int highest = *peak;
        for (int k = 0; k < CapsEqualiserCurve::kBands; ++k) {
            EXPECT_GE(controls[k], CapsEqualiserCurve::kLowestControl);
            EXPECT_LE(controls[k], CapsEqualiserCurve::kHighestControl);
            EXPECT_LE(response[k], 0.5) << "band " << k;  // nothing past the input: no clipping
            bool far = true;
            for (int j = 0; j < CapsEqualiserCurve::kBands; ++j) {
                far = far && !(gains[j] == highest && std::abs(j - k) == 1);
            }
            if (far && gains[k] >= highest - 12) {
                EXPECT_NEAR(response[k], gains[k] - highest, 1.0) << "band " << k;
            }
        }
        EXPECT_NEAR(response[peak - gains.begin()], 0.0, 0.5);
    }
    EXPECT_TRUE(CapsEqualiserCurve::Flat({3, 3, 3, 3, 3, 3, 3, 3, 3, 3}));
    EXPECT_FALSE(CapsEqualiserCurve::Flat({3, 3, 3, 3, 3, 3, 3, 3, 3, 2}));
}

// The plug-in against a sound server of the test's own, with a headset
// sink and microphone of the headset's USB ids and unrelated defaults.
class PluginOnServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::RunShell("command -v pulseaudio pactl").exitCode != 0) {
            GTEST_SKIP() << "needs pulseaudio and pulseaudio-utils";
        }
        ASSERT_TRUE(server.Running());
        const std::string ids = "device.vendor.id=0c76 device.product.id=1630";
        ASSERT_EQ(server.Pactl("load-module module-null-sink sink_name=hs 'sink_properties=\"" + ids + "\"'").exitCode, 0);
        ASSERT_EQ(server.Pactl("load-module module-remap-source source_name=hs_mic master=hs.monitor "
                               "'source_properties=\"" + ids + "\"'")
                      .exitCode,
                  0);
        ::setenv("PULSE_SERVER", ("unix:" + server.Folder() + "/pulse/native").c_str(), 1);
        settings.statePath = temp.Path() + "/audio.state";
    }
    void TearDown() override { ::unsetenv("PULSE_SERVER"); }

    static int Write(AudioPlugin& plugin, int32_t id, const char* name, int32_t value) {
        char data[AudioPlugin::kReplySize] = {};
        std::memcpy(data, &value, sizeof value);
        return plugin.Property({id, id, 0, 1}, name, data, nullptr, true);
    }
    static int Read(AudioPlugin& plugin, int32_t id, const char* name, std::string& reply) {
        char data[AudioPlugin::kReplySize] = {};
        const int result = plugin.Property({id, id, 0, 1}, name, data, nullptr, false);
        reply = data;
        return result;
    }
    int OurModules() {
        std::istringstream lines(server.Pactl("list short modules").out);
        int count = 0;
        for (std::string line; std::getline(lines, line);) {
            count += line.find("kx520.audio=") != std::string::npos ? 1 : 0;
        }
        return count;
    }
    std::string DefaultSource() {
        const std::string info = server.Pactl("get-default-source").out;
        return info.substr(0, info.find('\n'));
    }

    test::TempDir temp;
    test::PrivateSoundServer server;
    AudioPlugin::Settings settings;
};

TEST_F(PluginOnServer, OnlyTheHeadsetIsAnEndpointAndItsDefaultsAreThoseOfTheServer) {
    AudioPlugin plugin(settings);
    ASSERT_EQ(plugin.CreateDeviceList(), kAudioOk);
    int outputs = 0;
    int microphones = 0;
    plugin.DeviceCount(0, outputs);
    plugin.DeviceCount(1, microphones);
    EXPECT_EQ(outputs, 1);
    EXPECT_EQ(microphones, 1);
    std::string reply;
    EXPECT_EQ(Read(plugin, AudioPlugin::kOutputId, "Enable_EQ_GFX", reply), kAudioNeverSet);
    EXPECT_EQ(Read(plugin, AudioPlugin::kMicrophoneId, "AAMuteControl", reply), kAudioOk);
    EXPECT_EQ(reply, "1");  // no loopback: the monitor is off
    EXPECT_EQ(Read(plugin, AudioPlugin::kMicrophoneId, "VolumeScalarControl", reply), kAudioOk);
    EXPECT_EQ(reply, "1.0000");
    // Reverb on is kept but not made real; off is true.
    EXPECT_EQ(Write(plugin, AudioPlugin::kOutputId, "Enable_RFX_GFX", 1), kAudioNotApplied);
    EXPECT_EQ(Read(plugin, AudioPlugin::kOutputId, "Enable_RFX_GFX", reply), kAudioOk);
    EXPECT_EQ(reply, "1");
    EXPECT_EQ(Write(plugin, AudioPlugin::kOutputId, "Enable_RFX_GFX", 0), kAudioOk);
    EXPECT_EQ(Write(plugin, AudioPlugin::kOutputId, "NoSuchProperty", 0), kAudioUnknownProperty);
}

TEST_F(PluginOnServer, ItsChainsAreReusedByTheNextStartAndGoneWithTheDefaultsBackAtTheEnd) {
    server.Pactl("set-default-source hs_mic");
    {
        AudioPlugin plugin(settings);
        ASSERT_EQ(plugin.CreateDeviceList(), kAudioOk);
        ASSERT_EQ(Write(plugin, AudioPlugin::kMicrophoneId, "Enable_MAGICVOICE", 1), kAudioOk);
        EXPECT_EQ(DefaultSource(), "kx520_voice");  // the microphone was the default
        EXPECT_EQ(OurModules(), 4);
    }  // ended without tidying up, as a crash would
    AudioPlugin again(settings);
    ASSERT_EQ(again.CreateDeviceList(), kAudioOk);
    EXPECT_EQ(OurModules(), 4);  // the same set, not a second one
    ASSERT_EQ(Write(again, AudioPlugin::kMicrophoneId, "Enable_MAGICVOICE", 0), kAudioOk);
    EXPECT_EQ(OurModules(), 0);
    EXPECT_EQ(DefaultSource(), "hs_mic");
    ASSERT_EQ(Write(again, AudioPlugin::kMicrophoneId, "Enable_MAGICVOICE", 1), kAudioOk);
    EXPECT_EQ(again.UnInit(), kAudioOk);
    EXPECT_EQ(OurModules(), 0);
    EXPECT_EQ(DefaultSource(), "hs_mic");

    // Another microphone as the default: the voice changer does not take it.
    server.Pactl("set-default-source other_mic");
    ASSERT_EQ(again.CreateDeviceList(), kAudioOk);
    ASSERT_EQ(Write(again, AudioPlugin::kMicrophoneId, "Enable_MAGICVOICE", 1), kAudioOk);
    EXPECT_EQ(DefaultSource(), "other_mic");
    again.UnInit();
}

}  // namespace
}  // namespace kx520::audio
