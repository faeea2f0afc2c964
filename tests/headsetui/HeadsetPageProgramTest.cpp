// The headset's pages as a user drives them on the running application,
// against the virtual headset and a sound server of the test's own: what
// reaches the headset, what the sound server does, what the plug-in was
// asked and what lands in the profile.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/AppProgram.h"
#include "platform/SafeJson.h"
#include "protocol/CommandSet.h"
#include "support/PrivateSoundServer.h"
#include "support/TempDir.h"
#include "support/TraceReader.h"

namespace kx520 {
namespace {

using test::App;
using test::Ui;
using test::WaitFor;

constexpr const char* kSink = "kx520_virtual_headset";
constexpr const char* kSource = "kx520_virtual_headset_mic";

struct AudioCall {
    std::string endpoint;
    bool write = false;
    std::string name;
    std::string value;
    int result = 0;
};

std::vector<AudioCall> AudioCalls(const std::string& path) {
    std::vector<AudioCall> calls;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        long ms = 0;
        std::string direction;
        AudioCall call;
        if (words >> ms >> call.endpoint >> direction >> call.name >> call.value >> call.result) {
            call.write = direction == "W";
            calls.push_back(call);
        }
    }
    return calls;
}

std::vector<AudioCall> WritesAfter(const std::string& path, size_t from) {
    std::vector<AudioCall> writes;
    const std::vector<AudioCall> calls = AudioCalls(path);
    for (size_t i = from; i < calls.size(); ++i) {
        if (calls[i].write) {
            writes.push_back(calls[i]);
        }
    }
    return writes;
}

Json::Value Profile() {
    return test::FirstProfileSection("HD");
}

class HeadsetPage : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::RunShell("command -v pulseaudio pactl paplay parec").exitCode != 0) {
            GTEST_SKIP() << "needs pulseaudio and pulseaudio-utils";
        }
        ASSERT_TRUE(server.Running());
    }
    std::string Environment() const {
        return server.Environment() + " QT_QPA_PLATFORM=offscreen KX520_SIM_TRACE='" + simTrace +
               "' KX520_AUDIO_TRACE='" + audioTrace + "'";
    }
    // The plug-in's device list made at the start and again at the
    // connection (which listens for notifications before it asks).
    bool Connected() const {
        size_t lists = 0;
        for (const AudioCall& call : AudioCalls(audioTrace)) {
            lists += call.name == "CreateDeviceList" ? 1 : 0;
        }
        return lists >= 2;
    }
    bool Applies() {
        return test::UiControl("6533_status_text")["text"].asString().find("apply to the headset") != std::string::npos;
    }

    test::TempDir temp;
    std::string simTrace = temp.Path() + "/sim";
    std::string audioTrace = temp.Path() + "/audio";
    test::PrivateSoundServer server;
};

// Twelve output reports in a row: both sides, each channel in its two blocks.
bool TwelveReportsAtTheCeiling(const std::string& trace) {
    const std::vector<uint8_t> order[] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
                                          {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
                                          {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
    std::vector<test::TraceLine> reports;
    for (const test::TraceLine& line : test::ReadTrace(trace)) {
        if (line.out && line.product == "headset" && !line.report.empty() && line.report[0] == 0xFF) {
            reports.push_back(line);
        }
    }
    for (size_t start = 0; start + 12 <= reports.size(); ++start) {
        bool all = true;
        for (size_t r = 0; r < 12 && all; ++r) {
            const std::vector<uint8_t>& bytes = reports[start + r].report;
            all = bytes.size() == 17 && bytes[1] == order[r][0] && bytes[2] == order[r][1] && bytes[3] == 0;
            for (size_t i = 4; i < 11 && all; ++i) {
                all = bytes[i] == 247;
            }
        }
        if (all) {
            return true;
        }
    }
    return false;
}

TEST_F(HeadsetPage, EachControlReachesTheHeadsetItsSoundDevicesAndTheProfileAndNothingElse) {
    App app("--simulate=headset --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return server.VolumePercent("source", kSource) >= 0; })) << "no virtual headset";
    Ui("click 6533_voice_Op_tab");
    ASSERT_TRUE(WaitFor([&] { return Applies(); })) << test::UiControl("6533_status_text")["text"].asString();
    const int otherSink = server.VolumePercent("sink", "other");
    const int otherSource = server.VolumePercent("source", "other_mic");

    // The microphone at 40: the headset's source only, and the profile.
    Ui("value 6533_MicIn_slider 40");
    EXPECT_TRUE(WaitFor([&] { return server.VolumePercent("source", kSource) == 40; }));
    EXPECT_TRUE(WaitFor([] { return Profile()["SystemSetStages"]["MicInValue"].asInt() == 40; }));
    EXPECT_EQ(server.VolumePercent("sink", "other"), otherSink);
    EXPECT_EQ(server.VolumePercent("source", "other_mic"), otherSource);

    // Preset 5: the equaliser on and ten zero gains, slot 5 filled.
    size_t before = AudioCalls(audioTrace).size();
    Ui("click 6533_eq_option_5");
    ASSERT_TRUE(WaitFor([&] { return WritesAfter(audioTrace, before).size() >= 11; }));
    std::vector<AudioCall> writes = WritesAfter(audioTrace, before);
    EXPECT_EQ(writes[0].name, "Enable_EQ_GFX");
    EXPECT_EQ(writes[0].value, "1");
    for (int band = 1; band <= 10; ++band) {
        EXPECT_EQ(writes[band].name, "EQ_Slider" + std::to_string(band));
        EXPECT_EQ(writes[band].value, "0");
    }
    EXPECT_TRUE(WaitFor([] { return Profile()["SystemSetStages"]["EqType"].asInt() == 5; }));
    EXPECT_EQ(Profile()["EQHzValueInfo"][5].size(), 10u);

    // A band moved under preset 3: the custom curve, that band alone.
    Ui("click 6533_eq_option_3");
    ASSERT_TRUE(WaitFor([] { return Profile()["SystemSetStages"]["EqType"].asInt() == 3; }));
    ASSERT_TRUE(WaitFor([&] { return WritesAfter(audioTrace, before).size() >= 22; }));
    before = AudioCalls(audioTrace).size();
    Ui("value 6533_eq_hz_slider_2 4");
    ASSERT_TRUE(WaitFor([&] { return !WritesAfter(audioTrace, before).empty(); }));
    writes = WritesAfter(audioTrace, before);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].name, "EQ_Slider3");
    EXPECT_EQ(writes[0].value, "4");
    EXPECT_TRUE(test::UiControl("6533_eq_option_13")["selected"].asBool());

    // Static white at full brightness: every channel byte at the ceiling.
    before = AudioCalls(audioTrace).size();
    Ui("click deng_Op_tab");
    Ui("select light_combo_modeSelect 3");
    Ui("value deng_light_slider 4");
    Ui("click color_option_7");
    EXPECT_TRUE(WaitFor([&] { return TwelveReportsAtTheCeiling(simTrace); }));
    EXPECT_TRUE(WritesAfter(audioTrace, before).empty());  // lighting is no audio property
}

size_t ConfigWrites(const std::string& trace) {
    size_t writes = 0;
    for (const test::TraceLine& line : test::Requests(test::ReadTrace(trace))) {
        writes += line.product == "headset" && line.Command() == protocol::kCmdWriteConfig ? 1 : 0;
    }
    return writes;
}

TEST_F(HeadsetPage, CurvesByNameAndAnotherProfileThatChangesTheLightButNoAudioSetting) {
    App app("--simulate=headset --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return test::Ctl("headset show --json").out.find("apply to the headset") != std::string::npos; }));
    // Once connected: the connection shows the profile again (a band moved
    // before it and not saved as a curve is not kept).
    ASSERT_TRUE(WaitFor([&] { return Connected(); }));
    EXPECT_EQ(test::Ctl("headset eq band 0 7").exitCode, 0);
    EXPECT_EQ(test::Ctl("headset eq save Bass").exitCode, 0);
    const test::ProgramRun taken = test::Ctl("headset eq save BASS");
    EXPECT_NE(taken.exitCode, 0);
    EXPECT_NE(taken.err.find("exists"), std::string::npos) << taken.err;
    EXPECT_NE(test::Ctl("headset eq band 10 1").exitCode, 0);
    const Json::Value shown = json::Parse(test::Ctl("headset show --json").out).value_or(Json::Value());
    EXPECT_EQ(shown["preset"].asInt(), 13);
    EXPECT_EQ(shown["customCurves"][0].asString(), "Bass");
    EXPECT_EQ(shown["bands"][0].asInt(), 7);
    EXPECT_EQ(Profile()["CustomEQNameInfo"][0]["Name"].asString(), "Bass");

    // A new profile is chosen and sent: its light, and not one audio property.
    const size_t audioBefore = AudioCalls(audioTrace).size();
    const size_t recordsBefore = ConfigWrites(simTrace);
    Ui("click profile_fun_spread_btn");
    Ui("click device_add_btn");
    EXPECT_TRUE(WaitFor([&] { return ConfigWrites(simTrace) > recordsBefore; }));
    EXPECT_TRUE(WritesAfter(audioTrace, audioBefore).empty());

}

TEST_F(HeadsetPage, AChangeMadeOnTheHeadsetReadsWhatItsFirstBytePointsAt) {
    App app("--simulate=headset --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([&] { return Connected(); }));
    // Its byte at 0, then the 26 bytes at 25 x that byte.
    const auto reads = [&] {
        std::vector<test::TraceLine> found;
        for (const test::TraceLine& line : test::Requests(test::ReadTrace(simTrace))) {
            if (line.product == "headset" && line.Command() == protocol::kCmdReadConfig) {
                found.push_back(line);
            }
        }
        return found;
    };
    const size_t readsBefore = reads().size();
    EXPECT_EQ(test::Ctl("sim notify headset 0x401").exitCode, 0);
    ASSERT_TRUE(WaitFor([&] { return reads().size() >= readsBefore + 2; }));
    const std::vector<test::TraceLine> after = reads();
    EXPECT_EQ(after[readsBefore].Offset(), 0);
    EXPECT_EQ(after[readsBefore].Length(), 1);
    EXPECT_EQ(after[readsBefore + 1].Offset() % 25, 0);
}

// The level of `frequency` in the recording's last steady stretch (half a
// second ending 0.3 s before the tone stopped), from one bin of its DFT.
double ToneLevel(const std::string& raw, double frequency) {
    const std::string bytes = test::ReadAll(raw);
    std::vector<double> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8)) / 32768.0;
    }
    size_t end = samples.size();
    while (end > 0 && std::abs(samples[end - 1]) < 0.01) {
        --end;
    }
    constexpr size_t kRate = 44100;
    if (end < kRate) {
        return 0.0;
    }
    const size_t last = end - kRate * 3 / 10;
    const size_t first = last - kRate / 2;
    double re = 0.0;
    double im = 0.0;
    for (size_t n = first; n < last; ++n) {
        const double phase = 2.0 * M_PI * frequency * static_cast<double>(n) / kRate;
        re += samples[n] * std::cos(phase);
        im -= samples[n] * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / static_cast<double>(last - first);
}

// A tone played into the headset's sink, as its monitor hears it.
double Heard(const test::PrivateSoundServer& server, const std::string& folder, int frequency) {
    const std::string wav = folder + "/tone" + std::to_string(frequency) + ".wav";
    const std::string raw = folder + "/heard" + std::to_string(frequency) + ".raw";
    test::RunShell("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 2 sine " + std::to_string(frequency) + " vol 0.25");
    const std::string env = server.Environment();
    test::RunShell(env + " parec -d " + std::string(kSink) + ".monitor --latency-msec=20 --format=s16le --rate=44100 --channels=1 --raw > '" +
                   raw + "' & P=$!; sleep 0.3; " + env + " paplay -d " + kSink + " '" + wav +
                   "'; sleep 0.3; kill $P; wait $P");
    return ToneLevel(raw, frequency);
}

double Decibels(double ratio) {
    return 20.0 * std::log10(ratio);
}

TEST_F(HeadsetPage, TheEqualiserChangesWhatTheHeadsetPlays) {
    if (test::RunShell("command -v sox").exitCode != 0) {
        GTEST_SKIP() << "needs sox";
    }
    App app("--simulate=headset --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Ui("click 6533_voice_Op_tab");
    ASSERT_TRUE(WaitFor([&] { return Applies(); })) << test::UiControl("6533_status_text")["text"].asString();
    Ui("click 6533_eq_option_5");
    Ui("value 6533_eq_hz_slider_0 7");
    ASSERT_TRUE(WaitFor([&] { return server.HasModuleWith("sink_name=kx520_eq"); }));
    const double boosted = Decibels(Heard(server, temp.Path(), 31) / Heard(server, temp.Path(), 1000));
    EXPECT_NEAR(boosted, 7.0, 1.0);
    RecordProperty("boosted_db", std::to_string(boosted));

    // Flat again: no filter, the two tones level.
    Ui("click 6533_eq_option_5");
    ASSERT_TRUE(WaitFor([&] { return !server.HasModuleWith("sink_name=kx520_eq"); }));
    const double flat = Decibels(Heard(server, temp.Path(), 31) / Heard(server, temp.Path(), 1000));
    EXPECT_NEAR(flat, 0.0, 1.0);
    RecordProperty("flat_db", std::to_string(flat));
}

TEST_F(HeadsetPage, WithoutASoundServerTheLightWorksAndTheFirstChangeAfterItCameApplies) {
    server.Stop();
    App app("--simulate=headset --automation", Environment());
    ASSERT_TRUE(app.Ready()) << app.Errors();
    Ui("click 6533_voice_Op_tab");
    EXPECT_TRUE(WaitFor([&] {
        return test::UiControl("6533_status_text")["text"].asString().find("no sound server") != std::string::npos;
    })) << test::UiControl("6533_status_text")["text"].asString();
    Ui("click deng_Op_tab");
    Ui("select light_combo_modeSelect 3");
    Ui("value deng_light_slider 4");
    Ui("click color_option_7");
    EXPECT_TRUE(WaitFor([&] { return TwelveReportsAtTheCeiling(simTrace); }));

    // The server comes (the headset's sound devices some time after it).
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(WaitFor([&] { return server.VolumePercent("source", kSource) >= 0; }));
    Ui("click 6533_voice_Op_tab");
    Ui("value 6533_MicIn_slider 40");
    EXPECT_TRUE(WaitFor([&] { return server.VolumePercent("source", kSource) == 40; }));

    // Restarted mid-run: found again, the next change applies.
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(WaitFor([&] { return server.VolumePercent("source", kSource) >= 0; }));
    Ui("value 6533_MicIn_slider 55");
    EXPECT_TRUE(WaitFor([&] { return server.VolumePercent("source", kSource) == 55; }))
        << test::ReadAll(audioTrace).substr(test::ReadAll(audioTrace).size() > 1500 ? test::ReadAll(audioTrace).size() - 1500 : 0);
    EXPECT_TRUE(WaitFor([&] { return Applies(); }));
}

}  // namespace
}  // namespace kx520
