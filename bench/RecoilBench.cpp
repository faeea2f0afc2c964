// The mouse's four recoil patterns written (a fresh information block, then
// the 2920-byte image in 56-byte packets between BEGIN and END, every step
// probed first through the receiver) on the virtual mouse with USB timing,
// against the bus at one report per millisecond each way (two a packet)
// plus the 10 ms CMD_END leaves the device.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "kx520ctl/ProductChannel.h"
#include "mouse/MouseCore.h"
#include "sim/FirmwareDriver.h"
#include "sim/VirtualHidBackend.h"

namespace {

using namespace kx520;
using Clock = std::chrono::steady_clock;

void BM_FourGunShootWrite(benchmark::State& state, const char* product) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kx520-bench-recoil";
    std::filesystem::create_directories(folder);
    sim::VirtualHidBackend backend;
    backend.AddFault(product, {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
    backend.Plug(product);
    MouseCore mouse(backend);
    if (ctl::ConnectProduct(mouse.Channel(), backend, product, nullptr) != ctl::ConnectResult::Connected) {
        state.SkipWithError("no virtual mouse");
        return;
    }
    mouse.SetFolders(folder.string() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
    sim::VirtualFirmware& firmware = backend.Firmware(product)->Firmware();
    double totalMs = 0;
    uint32_t packets = 0;
    for (auto _ : state) {
        const uint32_t before = firmware.Requests();
        const auto start = Clock::now();
        const MouseCore::ShootWrite written = mouse.WriteShoot();
        totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        packets = firmware.Requests() - before;
        if (written.result != 1) {
            state.SkipWithError(written.Reason().c_str());
            return;
        }
    }
    const double perWrite = totalMs / static_cast<double>(state.iterations());
    const double bound = 2.0 * packets + 10.0;
    state.counters["packets"] = packets;
    state.counters["ms"] = perWrite;
    state.counters["bus_bound_ms"] = bound;
    state.counters["ratio_to_bound"] = perWrite / bound;
    std::filesystem::remove_all(folder);
}
BENCHMARK_CAPTURE(BM_FourGunShootWrite, cable, "mouse")->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(BM_FourGunShootWrite, receiver, "mouse-receiver")->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
