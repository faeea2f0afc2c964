// The macro page: recording 4000 events into it (the time each event takes
// on the UI thread, against the 16 ms of a frame and the 1 ms between two
// reports of a device) and saving a 250-event macro.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>

#include "app/Startup.h"
#include "pages/CMacroControlUI.h"
#include "pages/PageControls.h"
#include "sim/VirtualHidBackend.h"
#include "builder/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"

namespace {

using namespace kx520;

struct Page {
    Page() {
        static sim::VirtualHidBackend backend;
        static const bool prepared = [] {
            Startup::ConfigureSkinResources();
            Startup::RegisterControlClasses(backend);
            return true;
        }();
        (void)prepared;
        folder = (std::filesystem::temp_directory_path() / ("kx520-macro-bench-" + std::to_string(::getpid())))
                     .string() + "/";
        std::filesystem::create_directories(folder);
        window.resize(1000, 400);
        ui::CDialogBuilder builder;
        page = dynamic_cast<CMacroControlUI*>(
            builder.Create(QStringLiteral("XML/CustomControlXML/MacroControl.xml"), &manager, nullptr));
        page->SetManager(&manager);
        page->setParent(&window);
        page->resize(936, 300);
        window.show();
        page->SetFolder(folder);
        page->AddMacro();
        page->SetClock([this] { return clock += 7; });
    }
    ~Page() {
        delete page;
        std::filesystem::remove_all(folder);
    }

    std::string folder;
    QWidget window;
    ui::CPaintManagerUI manager;
    CMacroControlUI* page = nullptr;
    uint32_t clock = 0;
};

// Events as fast as they can come (a burst read at once): the rows are
// shown together.
void BM_RecordEventsAtOnce(benchmark::State& state) {
    Page bench;
    const auto events = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        bench.page->DeleteAllRows();
        bench.page->StartRecording(MacroEditor::TimeMode::kRecorded, MacroEditor::InsertMode::kAppend);
        state.ResumeTiming();
        for (int i = 0; i < events; ++i) {
            bench.page->RecordKey(i % 2 == 0, 0x1E, false);  // A down, A up, ...
        }
        bench.page->StopRecording();  // shows the rows still waiting
        state.PauseTiming();
        QApplication::processEvents();  // the scroll to the end
        state.ResumeTiming();
    }
    if (bench.page->RowCount() != events) {
        state.SkipWithError("rows went missing");
    }
    state.counters["us_per_event"] = benchmark::Counter(
        static_cast<double>(events), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RecordEventsAtOnce)->Arg(4000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Events one by one, each shown (laid out and painted) before the next
// comes, as when a user types: one event's cost with the list holding
// about `rows` rows (100 events are timed, the rows before them recorded
// untimed).
void BM_RecordEventAt(benchmark::State& state) {
    Page bench;
    const auto rows = static_cast<int>(state.range(0));
    bench.page->StartRecording(MacroEditor::TimeMode::kRecorded, MacroEditor::InsertMode::kAppend);
    for (int i = 0; i < rows - 100; ++i) {
        bench.page->RecordKey(i % 2 == 0, 0x1E, false);
    }
    QApplication::processEvents();
    int event = rows - 100;
    for (auto _ : state) {
        bench.page->RecordKey(event % 2 == 0, 0x1E, false);
        ++event;
        QApplication::processEvents();
    }
    if (bench.page->RowCount() != event) {
        state.SkipWithError("rows went missing");
    }
    bench.page->StopRecording();
}
BENCHMARK(BM_RecordEventAt)->Arg(250)->Arg(1000)->Arg(4000)->Iterations(100)->Unit(benchmark::kMillisecond);

void BM_Save250Events(benchmark::State& state) {
    Page bench;
    bench.page->StartRecording(MacroEditor::TimeMode::kRecorded, MacroEditor::InsertMode::kAppend);
    for (int i = 0; i < 250; ++i) {
        bench.page->RecordKey(i % 2 == 0, 0x1E, false);
    }
    bench.page->StopRecording();
    for (auto _ : state) {
        if (bench.page->Save() != profiles::MacroStore::SaveResult::kSaved) {
            state.SkipWithError("not saved");
            break;
        }
    }
}
BENCHMARK(BM_Save250Events)->Unit(benchmark::kMillisecond);

}  // namespace
