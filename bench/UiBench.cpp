// Building skin layouts: time for a layout of 500 controls and the heap each
// control costs.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <memory>

#include "support/TempDir.h"
#include "ui/CControlUI.h"
#include "builder/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"

namespace {

using namespace kx520;

constexpr int kControls = 500;

// Rows of ten mixed controls: buttons, labels, options, progress bars and
// key-sized buttons, 500 in all with their rows.
QString MakeLayout(const QString& folder) {
    QString xml = QStringLiteral("<VerticalLayout name='root'>\n");
    int made = 1;
    int row = 0;
    while (made < kControls) {
        xml += QStringLiteral("<HorizontalLayout height='24' childpadding='2'>\n");
        ++made;
        for (int i = 0; i < 9 && made < kControls; ++i, ++made) {
            switch (i % 4) {
                case 0:
                    xml += QStringLiteral("<Button name='b%1_%2' text='Key' width='40' "
                                          "bkcolor='#FF23262E' borderround='4'/>\n")
                               .arg(row)
                               .arg(i);
                    break;
                case 1:
                    xml += QStringLiteral("<Label text='label_%1' textcolor='#FFE8EAF0'/>\n").arg(i);
                    break;
                case 2:
                    xml += QStringLiteral("<Option group='g%1' text='opt'/>\n").arg(row);
                    break;
                default:
                    xml += QStringLiteral("<Progress value='50' width='30'/>\n");
                    break;
            }
        }
        xml += QStringLiteral("</HorizontalLayout>\n");
        ++row;
    }
    xml += QStringLiteral("</VerticalLayout>\n");
    const QString path = folder + "/bench.xml";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(xml.toUtf8());
    }
    return path;
}

void BM_BuildLayoutOf500Controls(benchmark::State& state) {
    test::TempDir temp;
    const QString layout = MakeLayout(QString::fromStdString(temp.Path()));
    size_t heapPerControl = 0;
    for (auto _ : state) {
        ui::CPaintManagerUI manager;
        ui::CDialogBuilder builder;
        const size_t before = mallinfo2().uordblks;
        std::unique_ptr<ui::CControlUI> root(builder.Create(layout, &manager));
        if (!root) {
            state.SkipWithError("layout did not build");
            return;
        }
        manager.AttachRoot(root.get());
        const size_t after = mallinfo2().uordblks;
        heapPerControl = after > before ? (after - before) / kControls : 0;
        benchmark::DoNotOptimize(root.get());
    }
    state.counters["controls"] = kControls;
    state.counters["heap_bytes_per_control"] = static_cast<double>(heapPerControl);
}
BENCHMARK(BM_BuildLayoutOf500Controls)->Unit(benchmark::kMillisecond);

}  // namespace
