// Routing a notification and dispatching a message: the cost per event with
// as many rows as the finished application has (every page's routing rows,
// every message), against the 16 ms a UI frame may take.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <vector>

#include "messages/MessageTable.h"
#include "appwindow/NotificationRouter.h"
#include "ui/CControlUI.h"

namespace {

using namespace kx520;

constexpr int kRoutes = 300;
constexpr int kMessages = 80;

// Names that live as long as the router: rows keep the pointers.
std::vector<QByteArray>& RowNames() {
    static std::vector<QByteArray> names;
    return names;
}

NotificationRouter MakeRouter(int& hits) {
    NotificationRouter router;
    auto& names = RowNames();
    names.clear();
    names.reserve(kRoutes);
    for (int i = 0; i < kRoutes; ++i) {
        names.push_back(QByteArray("page_control_") + QByteArray::number(i) + "_");
    }
    for (int i = 0; i < kRoutes; ++i) {
        const NameMatch match = i % 3 == 0   ? NameMatch::PrefixNumber
                                : i % 3 == 1 ? NameMatch::CaseInsensitive
                                             : NameMatch::Exact;
        router.Add({i % 2 == 0 ? "click" : "selectchanged", names[static_cast<size_t>(i)].constData(),
                    match, [&hits](const ui::Notification&, int) { ++hits; }});
    }
    return router;
}

// The worst case: the sender matches the last row, after every other row
// has been compared.
void BM_RouteToTheLastOf300Rows(benchmark::State& state) {
    int hits = 0;
    const NotificationRouter router = MakeRouter(hits);
    ui::CControlUI sender;
    sender.SetName(QStringLiteral("PAGE_CONTROL_297_12"));  // row 297: prefix + number
    const ui::Notification notification{QStringLiteral("selectchanged"), &sender, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(router.Route(notification));
    }
    if (hits == 0) {
        state.SkipWithError("the row did not run");
    }
    state.counters["rows"] = kRoutes;
}
BENCHMARK(BM_RouteToTheLastOf300Rows)->Unit(benchmark::kMicrosecond);

void BM_RouteAnUnknownName(benchmark::State& state) {
    int hits = 0;
    const NotificationRouter router = MakeRouter(hits);
    ui::CControlUI sender;
    sender.SetName(QStringLiteral("no_row_has_this_name"));
    const ui::Notification notification{QStringLiteral("click"), &sender, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(router.Route(notification));
    }
    state.counters["rows"] = kRoutes;
}
BENCHMARK(BM_RouteAnUnknownName)->Unit(benchmark::kMicrosecond);

void BM_DispatchTheLastOf80Messages(benchmark::State& state) {
    MessageTable table;
    int hits = 0;
    for (uint32_t i = 0; i < kMessages; ++i) {
        table.Add({3000 + i, false, false, false, [&hits](uintptr_t, intptr_t) { ++hits; }});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Dispatch(3000 + kMessages - 1, 1, 2, true));
    }
    if (hits == 0) {
        state.SkipWithError("the row did not run");
    }
}
BENCHMARK(BM_DispatchTheLastOf80Messages)->Unit(benchmark::kNanosecond);

}  // namespace
