// A 10,000-row by 8-column grid laid out by the grid printer and exported to PDF (target:
// under 5 s on the reference machine). Reports the layout and export times and the
// process's peak resident memory. Also `kpptool grid` on a CSV of one row of 2,000,000 empty
// fields (target: under 10 s and 300 MB).
#include <benchmark/benchmark.h>

#include "bench_export_main.h"

#include <sys/resource.h>

#include <chrono>
#include <memory>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include "content/KpGridPrint.h"
#include "content/KpTextGrid.h"
#include "drawing/KpHeaderFooter.h"
#include "platform/KpScreen.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"

using namespace kp;

namespace {

constexpr int kRows = 10000;
constexpr int kCols = 8;

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void BM_GridToPdf(benchmark::State& state) {
    std::vector<QStringList> rows;
    rows.reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
        QStringList row;
        for (int c = 0; c < kCols; ++c)
            row << QStringLiteral("R%1 C%2").arg(r).arg(c);
        rows.push_back(row);
    }
    TKpTextGrid grid(std::move(rows));
    grid.RowHeight = 20;
    QTemporaryDir dir;
    double layoutSeconds = 0, exportSeconds = 0;
    int pages = 0;
    for (auto _ : state) {
        QWidget window;
        auto* preview = new TKpPreview(&window); // owned by the window
        preview->Header().SetCaptionLeft(QStringLiteral("Grid"));
        preview->Header().SetVisible(true);
        preview->Footer().SetCaptionCenter(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
        preview->Footer().SetVisible(true);
        TKpGridPrint printer;
        printer.SetPreview(preview);
        const auto t0 = std::chrono::steady_clock::now();
        printer.PrintGrid(kpMillimeters, grid, 15, 30, 180);
        const auto t1 = std::chrono::steady_clock::now();
        ExportToPdf(*preview, dir.filePath(QStringLiteral("grid.pdf")));
        const auto t2 = std::chrono::steady_clock::now();
        layoutSeconds += std::chrono::duration<double>(t1 - t0).count();
        exportSeconds += std::chrono::duration<double>(t2 - t1).count();
        pages = preview->NumPages();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["layout_s"] = layoutSeconds / n;
    state.counters["export_s"] = exportSeconds / n;
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = PeakMegabytes();
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}

BENCHMARK(BM_GridToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

void BM_ToolGridOfEmptyFields(benchmark::State& state) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("commas.csv"));
    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(1999999, ',')) != 1999999) {
        state.SkipWithError("cannot write the CSV file");
        return;
    }
    file.close();
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../kpptool");
    for (auto _ : state) {
        QProcess run;
        run.start(tool, {QStringLiteral("grid"), csv, QStringLiteral("-o"),
                         dir.filePath(QStringLiteral("commas.pdf"))});
        if (!run.waitForFinished(120000) || run.exitCode() != 0) {
            state.SkipWithError("kpptool grid failed");
            return;
        }
    }
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    state.counters["tool_peak_MB"] = static_cast<double>(children.ru_maxrss) / 1024.0;
    // The processor time it took, which a busy machine does not stretch as it does the wall
    // clock.
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    state.counters["tool_cpu_s"] = seconds(children.ru_utime) + seconds(children.ru_stime);
}

BENCHMARK(BM_ToolGridOfEmptyFields)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunExportBenchmarks(argc, argv);
}
