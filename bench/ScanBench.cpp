// Cost of one device-scan pass, reported as microseconds per pass and as the
// share of one core the scan takes at its 100 ms period.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "discovery/DeviceScanThread.h"
#include "discovery/InterfaceSlotTable.h"
#include "hid/HidDescriptorBuilder.h"
#include "hid/HidrawBackend.h"
#include "sim/VirtualHidBackend.h"
#include "sim/VirtualProducts.h"
#include "support/FakeSysfs.h"
#include "support/TempDir.h"

namespace {

using namespace kx520;

class QuietReceiver : public DeviceScanReceiver {
public:
    void OnDeviceArrived(int) override {}
    void OnDeviceRemoved(int) override {}
    void OnFirstPassDone() override {}
};

void RunPasses(benchmark::State& state, hid::HidBackend& backend) {
    InterfaceSlotTable slots;
    QuietReceiver receiver;
    DeviceScanThread scan(backend, slots, receiver);
    scan.RunPass();  // claims what is there, as the running program would have
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        scan.RunPass();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double microsecondsPerPass =
        state.iterations() > 0 ? seconds * 1e6 / static_cast<double>(state.iterations()) : 0;
    state.counters["us_per_pass"] = microsecondsPerPass;
    // One pass every 100 ms: the share of one core the scan keeps busy.
    state.counters["cpu_pct_at_100ms"] = microsecondsPerPass / 100000.0 * 100.0;
}

// Every product attached and claimed: passes only probe for removal.
void BM_ScanPass_AllVirtualClaimed(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    for (std::string_view product : sim::kVirtualProductNames) {
        backend.Plug(product);
    }
    RunPasses(state, backend);
}
BENCHMARK(BM_ScanPass_AllVirtualClaimed);

// All but the headset: a slot stays free, so every pass lists every path.
void BM_ScanPass_AllVirtualOneSlotFree(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    for (std::string_view product : sim::kVirtualProductNames) {
        if (product != "headset") {
            backend.Plug(product);
        }
    }
    RunPasses(state, backend);
}
BENCHMARK(BM_ScanPass_AllVirtualOneSlotFree);

// A busy desktop: 40 hidraw nodes of other makers' keyboards and mice, none
// supported, so every pass walks sysfs and looks at each node.
void BM_ScanPass_FakeSysfs40Nodes(benchmark::State& state) {
    test::TempDir temp;
    test::FakeSysfs sysfs(temp.Sub("sys"));
    const std::string dev = temp.Sub("dev");
    const sim::VirtualProductSpec& keyboard = *sim::FindVirtualProduct("keyboard");
    const sim::VirtualProductSpec& mouse = *sim::FindVirtualProduct("mouse");
    for (int i = 0; i < 40; ++i) {
        const sim::VirtualProductSpec& model = i % 2 == 0 ? keyboard : mouse;
        test::FakeHidNode node = test::FakeSysfs::NodeOf(
            model, static_cast<uint8_t>(i % 2), "hidraw" + std::to_string(i), i + 1,
            "1-" + std::to_string(i / 2 + 1));
        node.vendorId = 0x046D;  // another maker
        node.instance = "0003:046D:C0" + std::to_string(10 + i) + "." + std::to_string(1000 + i);
        sysfs.AddNode(node);
        std::ofstream(dev + "/" + node.name).put('\0');
    }
    hid::HidrawBackend backend(sysfs.Root(), dev);
    RunPasses(state, backend);
}
BENCHMARK(BM_ScanPass_FakeSysfs40Nodes);

}  // namespace

BENCHMARK_MAIN();
