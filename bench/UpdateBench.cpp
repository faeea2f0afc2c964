// The update check on loopback: one check of three rows against the three
// bare round trips it cannot do without, and the longest the settings
// window's thread is held while a check runs, against one 16 ms frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/Startup.h"
#include "online/HttpClient.h"
#include "online/UpdateCheckSink.h"
#include "online/UpdateChecker.h"
#include "online/UpdateService.h"
#include "platform/DataFolders.h"
#include "sim/VirtualHidBackend.h"
#include "support/LoopbackUpdateService.h"
#include "support/TempDir.h"
#include "windows/CSetWnd.h"

namespace {

using namespace kx520;

class NoProxy : public online::ProxySource {
public:
    std::vector<std::string> ProxiesFor(const std::string&) override { return {"direct://"}; }
};

class NullSink : public online::UpdateCheckSink {
public:
    void SetUpdateState(int) override {}
    void AddUpdateItem(const online::UpdateRecord&) override {}
    void RefreshUpdateItem(const online::UpdateRecord&, int) override {}
    void CheckFinished(int) override {}
};

Json::Value Replies(int lateMs) {
    Json::Value replies;
    replies["*"]["body"]["name"] = "KB";
    replies["*"]["body"]["version"] = "0106";
    if (lateMs > 0) {
        replies["*"]["shape"] = "late";
        replies["*"]["ms"] = lateMs;
    }
    return replies;
}

const std::vector<FirmwareIdEntry>& ThreeRows() {
    static const auto rows = online::UpdateChecker::IdentityRows({0x103, 0x105, 0}, 100);
    return rows;
}

void BM_ThreeLoopbackRoundTrips(benchmark::State& state) {
    test::LoopbackUpdateService service(Replies(0));
    online::HttpClient client({}, std::make_unique<NoProxy>());
    const std::string url = service.BaseUrl() + "/api/updates";
    std::vector<char> buffer(online::UpdateService::kReplyBufferSize);
    for (auto _ : state) {
        for (int row = 0; row < 3; ++row) {
            benchmark::DoNotOptimize(client.HttpRequest("POST", url, "k", 1, buffer.data(), buffer.size()));
        }
    }
}
BENCHMARK(BM_ThreeLoopbackRoundTrips)->Unit(benchmark::kMillisecond);

void BM_UpdateCheckOfThreeRows(benchmark::State& state) {
    test::LoopbackUpdateService service(Replies(0));
    online::HttpClient client({}, std::make_unique<NoProxy>());
    online::UpdateService update(client, service.BaseUrl());
    test::TempDir data;
    online::UpdateChecker checker(update, data.Path() + "/");
    NullSink sink;
    for (auto _ : state) {
        checker.Run(ThreeRows(), sink, {});
    }
}
BENCHMARK(BM_UpdateCheckOfThreeRows)->Unit(benchmark::kMillisecond);

// The settings window opened while the service answers each row after
// 20 ms: how long the window's thread went without turning its loop.
void BM_SettingsWindowLongestUiBlock(benchmark::State& state) {
    static sim::VirtualHidBackend backend;
    Startup::ConfigureSkinResources();
    Startup::RegisterControlClasses(backend);
    test::LoopbackUpdateService service(Replies(20));
    double longestMs = 0;
    for (auto _ : state) {
        CSetWnd window;
        window.Create();
        window.SetIdentityRows(ThreeRows());
        window.SetServiceAddress(service.BaseUrl());
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        tick.start(1);
        window.show();
        while (window.UpdateState() == 0 || window.RowCount() == 0 || clock.elapsed() < 5) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        window.close();
        longestMs = std::max(longestMs, static_cast<double>(longest) / 1e6);
    }
    state.counters["longest_block_ms"] = longestMs;
    state.counters["of_16ms_frame"] = longestMs / 16.0;
}
BENCHMARK(BM_SettingsWindowLongestUiBlock)->Unit(benchmark::kMillisecond)->Iterations(5);

// Closing the window while the service never answers: how long close()
// takes, the check's thread stopped and joined, against one 16 ms frame.
void BM_SettingsWindowCloseDuringSilentCheck(benchmark::State& state) {
    static sim::VirtualHidBackend backend;
    Startup::ConfigureSkinResources();
    Startup::RegisterControlClasses(backend);
    Json::Value silent;
    silent["*"]["shape"] = "silent";
    test::LoopbackUpdateService service(silent);
    double longestMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<CSetWnd>();
        window->Create();
        window->SetIdentityRows(ThreeRows());
        window->SetServiceAddress(service.BaseUrl());
        const size_t asked = service.Requests().size();
        window->show();
        while (service.Requests().size() == asked) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        window->close();
        longestMs = std::max(longestMs, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["longest_close_ms"] = longestMs;
    state.counters["of_16ms_frame"] = longestMs / 16.0;
}
// Each silent answer holds one of the service's eight threads until it stops.
BENCHMARK(BM_SettingsWindowCloseDuringSilentCheck)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
