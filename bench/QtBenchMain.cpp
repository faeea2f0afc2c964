// The main of the benchmarks that need widgets: a headless QApplication
// (unless a platform is asked for), the toolkit's application look, then
// Google Benchmark.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "ui/ApplicationLook.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    kx520::ui::ApplyApplicationLook();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
