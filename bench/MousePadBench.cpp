// The mouse pad's exchanges on the virtual pad with USB timing, against the
// bus at one report per millisecond each way (two reports a packet) plus
// the 10 ms CMD_END leaves the device to finish: the start-up read (BEGIN,
// the information block in two 24-byte packets, END) and one light record
// written (BEGIN, 21 bytes, END).
#include <benchmark/benchmark.h>

#include <chrono>

#include "kx520ctl/ProductChannel.h"
#include "mousepad/MousePadCore.h"
#include "sim/VirtualHidBackend.h"

namespace {

using namespace kx520;
using Clock = std::chrono::steady_clock;

constexpr double kMsPerPacket = 2.0;
constexpr double kEndPauseMs = 10.0;

struct PadRig {
    PadRig() {
        backend.AddFault("mousepad", {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
        backend.Plug("mousepad");
        connected = ctl::ConnectProduct(pad.Channel(), backend, "mousepad", nullptr) == ctl::ConnectResult::Connected;
        pad.SetKindNumber(2);
        pad.SetFolders("/nonexistent/", std::string(KX520_DATA_DIR) + "/DefaultData/");
        pad.LoadDefaults();
    }
    sim::VirtualHidBackend backend;
    MousePadCore pad{backend};
    bool connected = false;
};

void Report(benchmark::State& state, double totalMs, int packets) {
    const double perRun = totalMs / static_cast<double>(state.iterations());
    const double bound = kMsPerPacket * packets + kEndPauseMs;
    state.counters["ms"] = perRun;
    state.counters["bus_bound_ms"] = bound;
    state.counters["ratio_to_bound"] = perRun / bound;
}

void BM_PadStartUpExchange(benchmark::State& state) {
    PadRig rig;
    if (!rig.connected) {
        state.SkipWithError("no virtual pad");
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(rig.pad.FetchInfo());
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    Report(state, total, 4);
}
BENCHMARK(BM_PadStartUpExchange)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_PadLightWrite(benchmark::State& state) {
    PadRig rig;
    if (!rig.connected) {
        state.SkipWithError("no virtual pad");
        return;
    }
    profiles::LightSetting breathing;
    breathing.mode = 2;
    breathing.speed = 3;
    breathing.green = 200;
    double total = 0;
    for (auto _ : state) {
        breathing.red = static_cast<uint8_t>(breathing.red + 1);
        rig.pad.SetLight(breathing);
        const auto start = Clock::now();
        benchmark::DoNotOptimize(rig.pad.LightConfigWrite(0)());
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    Report(state, total, 3);
}
BENCHMARK(BM_PadLightWrite)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
