// The command protocol's own cost, and how close paged transfers come to
// what the bus allows (one 1 ms report each way per packet).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "kx520ctl/ProductChannel.h"
#include "protocol/CommandPacket.h"
#include "protocol/CommandSet.h"
#include "sim/VirtualHidBackend.h"

namespace {

using namespace kx520;

struct Rig {
    explicit Rig(const char* product, bool usbTiming) {
        if (usbTiming) {
            backend.AddFault(product, {sim::SimFault::UsbTiming, sim::FaultSpec::kEvery});
        }
        backend.Plug(product);
        channel = std::make_unique<protocol::CommandChannel>(backend);
        connected = ctl::ConnectProduct(*channel, backend, product, nullptr) ==
                    ctl::ConnectResult::Connected;
    }
    sim::VirtualHidBackend backend;
    std::unique_ptr<protocol::CommandChannel> channel;
    bool connected = false;
};

// Software cost of one request and its reply: framing, locks, the virtual
// link and the firmware, no bus timing.
void BM_Exchange_VirtualNoTiming(benchmark::State& state) {
    Rig rig("keyboard", false);
    if (!rig.connected) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    const protocol::Packet request = protocol::BuildRequest(protocol::kCmdBegin, 0, {});
    protocol::Packet reply{};
    for (auto _ : state) {
        const int result = rig.channel->Exchange(request.data(), request.size(), reply.data(),
                                                 reply.size(), nullptr);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_Exchange_VirtualNoTiming)->Unit(benchmark::kMicrosecond);

// 378-byte key table (126 keys) with USB timing, read or written, on the
// cable (56-byte packets) and through the receiver (24-byte packets).
void KeyTransfer(benchmark::State& state, const char* product, bool write) {
    Rig rig(product, true);
    if (!rig.connected || !rig.channel->SetBlockLimit(378)) {
        state.SkipWithError("no virtual keyboard");
        return;
    }
    std::vector<uint8_t> keys(512);
    const size_t chunk = rig.channel->ChunkSize();
    const size_t packets = (378 + chunk - 1) / chunk;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const int result = write ? protocol::CMD_WRITE_KEYS(*rig.channel, keys, 0)
                                 : protocol::CMD_READ_KEYS(*rig.channel, keys);
        if (result != protocol::kResultSuccess) {
            state.SkipWithError("transfer failed");
            return;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double ms = seconds * 1000.0 / static_cast<double>(state.iterations());
    const double bound = 2.0 * static_cast<double>(packets);  // two 1 ms reports per packet
    state.counters["packets"] = static_cast<double>(packets);
    state.counters["ms_per_transfer"] = ms;
    state.counters["bus_bound_ms"] = bound;
    state.counters["ratio_to_bound"] = ms / bound;
}

void BM_ReadKeys_UsbTiming_Cable(benchmark::State& s) { KeyTransfer(s, "keyboard", false); }
void BM_ReadKeys_UsbTiming_Receiver(benchmark::State& s) { KeyTransfer(s, "keyboard-receiver", false); }
void BM_WriteKeys_UsbTiming_Cable(benchmark::State& s) { KeyTransfer(s, "keyboard", true); }
void BM_WriteKeys_UsbTiming_Receiver(benchmark::State& s) { KeyTransfer(s, "keyboard-receiver", true); }
BENCHMARK(BM_ReadKeys_UsbTiming_Cable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadKeys_UsbTiming_Receiver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteKeys_UsbTiming_Cable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteKeys_UsbTiming_Receiver)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
