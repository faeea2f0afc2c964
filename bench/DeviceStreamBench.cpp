// LED streaming as a user sees it: frames per second that actually reach a
// virtual keyboard with USB timing, against the bus bound, and how long one
// poll tick holds the UI thread with a healthy device and with one that
// stopped answering.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "deviceui/CZentrelUSBDevice.h"
#include "keyboard/KeyboardCore.h"
#include "keyboard/KeyboardLightEngine.h"
#include "kx520ctl/ProductChannel.h"
#include "sim/VirtualHidBackend.h"

namespace {

using namespace kx520;
using Clock = std::chrono::steady_clock;

constexpr size_t kKeyboardLeds = 170;

struct StreamRig {
    StreamRig() {
        backend.AddFault("keyboard", {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
        backend.Plug("keyboard");
        device = std::make_unique<CZentrelUSBDevice>(backend);
        connected = ctl::ConnectProduct(device->Channel(), backend, "keyboard", nullptr) ==
                    ctl::ConnectResult::Connected;
        DeviceInterfaceEntry identity;
        identity.deviceClass = KeyboardWired;
        device->SetIdentity(identity);
        device->SetLedCount(kKeyboardLeds);
        device->Core().SetCurrentEffect({4, 2, 1, true, Rgb{255, 255, 255}});
    }
    sim::VirtualHidBackend backend;
    std::unique_ptr<CZentrelUSBDevice> device;
    bool connected = false;
};

// The poll tick every 5 ms for the iteration's second: effect step plus
// StreamFrame, as the option's timer runs them.
void BM_FramesDeliveredToKeyboard(benchmark::State& state) {
    StreamRig rig;
    if (!rig.connected) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    const uint64_t sentBefore = rig.device->Core().Sender().SentFrames();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::seconds(1)) {
            rig.device->Core().EffectSpectrum();
            rig.device->StreamFrame();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    const double sent = static_cast<double>(rig.device->Core().Sender().SentFrames() - sentBefore);
    // 510 bytes in 56-byte packets is 10 packets, each a 1 ms report out
    // and a 1 ms reply in.
    state.counters["frames_per_s"] = sent / seconds;
    state.counters["bus_bound_per_s"] = 1000.0 / (10 * 2);
    state.counters["dropped"] = static_cast<double>(rig.device->Core().Sender().DroppedFrames());
}
BENCHMARK(BM_FramesDeliveredToKeyboard)->Iterations(3)->Unit(benchmark::kMillisecond);

// App colour through the receiver: the light loop's frame every 15.6 ms
// (its clock step), as the light thread hands it over, for a second. The
// 378 bytes of the page keys go in 24-byte packets: 16, each a 1 ms report
// out and a 1 ms reply in.
void BM_HostFramesToKeyboardOnItsReceiver(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    backend.AddFault("keyboard-receiver", {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
    backend.Plug("keyboard-receiver");
    KeyboardCore core(backend);
    if (ctl::ConnectProduct(core.Channel(), backend, "keyboard-receiver", nullptr) != ctl::ConnectResult::Connected ||
        !core.ReadDeviceState()) {
        state.SkipWithError("no virtual keyboard on its receiver");
        return;
    }
    core.SetLedCount(kKeyboardLeds);
    profiles::LightSetting host;
    host.mode = KeyboardLightEngine::kHostColourMode;
    host.brightness = 4;
    core.TakeLightSetting(host);
    std::vector<LedEntry> frame(kKeyboardLeds, LedEntry{255, 64, 0, 255});
    const uint64_t sentBefore = core.Sender().SentFrames();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::seconds(1)) {
            frame[0].red = static_cast<uint8_t>(frame[0].red + 1);
            core.SendFrame(frame);
            std::this_thread::sleep_for(std::chrono::microseconds(15625));
        }
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    const double sent = static_cast<double>(core.Sender().SentFrames() - sentBefore);
    const double bound = 1000.0 / (16 * 2);
    state.counters["frames_per_s"] = sent / seconds;
    state.counters["bus_bound_per_s"] = bound;
    state.counters["ratio_to_bound"] = sent / seconds / bound;
    state.counters["dropped"] = static_cast<double>(core.Sender().DroppedFrames());
}
BENCHMARK(BM_HostFramesToKeyboardOnItsReceiver)->Iterations(3)->Unit(benchmark::kMillisecond);

// One poll tick on the UI thread; `dead`: the keyboard stopped answering.
void PollTickBlock(benchmark::State& state, bool dead) {
    StreamRig rig;
    if (!rig.connected) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    if (dead) {
        rig.backend.AddFault("keyboard", {sim::SimFault::NoReply, sim::FaultSpec::kEvery});
    }
    Clock::duration longest{};
    for (auto _ : state) {
        rig.device->Core().EffectSpectrum();
        const auto start = Clock::now();
        rig.device->StreamFrame();
        longest = std::max(longest, Clock::now() - start);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    state.counters["longest_block_us"] =
        std::chrono::duration<double, std::micro>(longest).count();
}
void BM_PollTickBlock_Healthy(benchmark::State& state) {
    PollTickBlock(state, false);
}
void BM_PollTickBlock_NotAnswering(benchmark::State& state) {
    PollTickBlock(state, true);
}
BENCHMARK(BM_PollTickBlock_Healthy)->Iterations(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PollTickBlock_NotAnswering)->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
