// The headset's costs against their bounds: one LED frame (twelve output
// reports) against the bus at one report per millisecond; one audio
// property through the plug-in and the sound server, and a band moved on
// the page until the filter runs with it, against 16 ms of UI time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "headset/HeadsetAudio.h"
#include "headset/HeadsetLedReports.h"
#include "kx520ctl/ProductChannel.h"
#include "protocol/CommandChannel.h"
#include "sim/VirtualHidBackend.h"
#include "soundserver/PulseLink.h"
#include "support/PrivateSoundServer.h"

namespace {

using namespace kx520;
using Clock = std::chrono::steady_clock;

constexpr double kBusMsPerReport = 1.0;
constexpr double kUiFrameMs = 16.0;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

void BM_HeadsetFrameOnTheBus(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    backend.AddFault("headset", {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
    backend.Plug("headset");
    protocol::CommandChannel channel(backend);
    if (ctl::ConnectProduct(channel, backend, "headset", nullptr) != ctl::ConnectResult::Connected) {
        state.SkipWithError("no virtual headset");
        return;
    }
    std::vector<LedEntry> frame(kHeadsetLeds, LedEntry{255, 128, 0, 255});
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        frame[0].red = static_cast<uint8_t>(frame[0].red + 1);
        benchmark::DoNotOptimize(SendHeadsetReports(channel, EncodeHeadsetFrame(frame, kHeadsetLeds)));
        total += Ms(Clock::now() - start);
    }
    const double perFrame = total / static_cast<double>(state.iterations());
    state.counters["ms_per_frame"] = perFrame;
    state.counters["ratio_to_bus"] = perFrame / (kHeadsetReports * kBusMsPerReport);
}
BENCHMARK(BM_HeadsetFrameOnTheBus)->Unit(benchmark::kMillisecond)->Iterations(200);

// The plug-in on a sound server of its own with a headset's sink and microphone.
struct AudioRig {
    AudioRig() {
        if (!server.Running()) {
            return;
        }
        const std::string ids = "device.vendor.id=0c76 device.product.id=1630";
        server.Pactl("load-module module-null-sink sink_name=hs 'sink_properties=\"" + ids + "\"'");
        server.Pactl("load-module module-remap-source source_name=hs_mic master=hs.monitor 'source_properties=\"" +
                     ids + "\"'");
        ::setenv("PULSE_SERVER", ("unix:" + server.Folder() + "/pulse/native").c_str(), 1);
        ::setenv("XDG_STATE_HOME", server.Folder().c_str(), 1);
        ready = audio.Start({KX520_PLUGIN_PATH}).devices;
    }
    ~AudioRig() { ::unsetenv("PULSE_SERVER"); }
    test::PrivateSoundServer server;
    HeadsetAudio audio;
    bool ready = false;
};

void BM_MicrophoneLevelRoundTrip(benchmark::State& state) {
    AudioRig rig;
    if (!rig.ready) {
        state.SkipWithError("no sound server with the plug-in");
        return;
    }
    int level = 0;
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const HeadsetAudio::LevelWrite write = rig.audio.SetMicLevel(level = (level + 7) % 100);
        total += Ms(Clock::now() - start);
        if (write.result != 0 || !write.decibels) {
            state.SkipWithError("the plug-in refused the level");
            return;
        }
    }
    const double perCall = total / static_cast<double>(state.iterations());
    state.counters["ms_per_write_and_read"] = perCall;
    state.counters["ratio_to_ui_frame"] = perCall / kUiFrameMs;
}
BENCHMARK(BM_MicrophoneLevelRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(200);

// A band changed until the server runs the new curve (changes within
// 100 ms go as one rebuild, so this bounds a slider's lag, not UI time).
void BM_BandToFilter(benchmark::State& state) {
    AudioRig rig;
    if (!rig.ready) {
        state.SkipWithError("no sound server with the plug-in");
        return;
    }
    sound::PulseLink link;
    if (!link.Connect("bench")) {
        state.SkipWithError("no sound server");
        return;
    }
    const auto eqArgument = [&link] {
        for (const auto& module : link.Modules().value_or(std::vector<sound::PulseLink::Module>{})) {
            if (module.argument.find("sink_name=kx520_eq") != std::string::npos) {
                return module.argument;
            }
        }
        return std::string();
    };
    rig.audio.ApplyBands({3, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    int gain = 4;
    double total = 0;
    for (auto _ : state) {
        const std::string before = eqArgument();
        const auto start = Clock::now();
        rig.audio.SetBand(0, gain = gain == 4 ? 6 : 4);
        while (eqArgument() == before && Clock::now() - start < std::chrono::seconds(2)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        total += Ms(Clock::now() - start);
    }
    const double perChange = total / static_cast<double>(state.iterations());
    state.counters["ms_band_to_filter"] = perChange;
    state.counters["ratio_to_ui_frame"] = perChange / kUiFrameMs;
}
BENCHMARK(BM_BandToFilter)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
