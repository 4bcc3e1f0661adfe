// PDF export of long documents of small pages (an outline, a listing): the time per page
// must not grow with the page count. --benchmark_filter=ExportManyPages/16000 for one size.
#include <benchmark/benchmark.h>

#include "bench_export_main.h"

#include <map>
#include <memory>

#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "platform/KpScreen.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"

using namespace kp;

namespace {

struct Document {
    explicit Document(int pages) : window(std::make_unique<QWidget>()) {
        preview = new TKpPreview(window.get());
        preview->AutoRefresh = false;
        for (int p = 1; p <= pages; ++p) {
            TKpPage* page = p == 1 ? preview->GetPage(1) : preview->NewPage();
            auto line = std::make_unique<TKpLineObject>();
            line->X1 = 2000;
            line->Y1 = 2000 + p % 100 * 100;
            line->X2 = 19000;
            line->Y2 = line->Y1;
            page->AddObject(std::move(line));
        }
    }
    std::unique_ptr<QWidget> window;
    TKpPreview* preview;
};

Document& Doc(int pages) {
    static std::map<int, std::unique_ptr<Document>> docs;
    auto& doc = docs[pages];
    if (!doc) doc = std::make_unique<Document>(pages);
    return *doc;
}

void BM_ExportManyPages(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    Document& doc = Doc(pages);
    QTemporaryDir dir;
    TKpPdfExportOptions options;
    options.Resolution = 300;
    for (auto _ : state)
        ExportToPdf(*doc.preview, dir.filePath("pages.pdf"), options);
    state.SetComplexityN(pages);
    state.SetItemsProcessed(state.iterations() * pages);
}

// What the job asks at every sheet break.
void BM_OrientationType(benchmark::State& state) {
    Document& doc = Doc(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.preview->OrientationType());
}

BENCHMARK(BM_ExportManyPages)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_OrientationType)->Arg(1000)->Arg(16000);

} // namespace

int main(int argc, char** argv) {
    return RunExportBenchmarks(argc, argv);
}
