// Finding a word in a 1,000-page report of 200 objects a page: the first search (every page's
// text read), and a search again (the texts kept). Measure with user CPU time, e.g.
// /usr/bin/time -f '%U s user' build/bench_find.
#include <benchmark/benchmark.h>

#include <memory>

#include <QGuiApplication>

#include "bench_main.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpPageText.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

namespace {

constexpr int kPages = 1000;
constexpr int kRows = 50; // four objects a row: 200 a page

// Made on first use, freed before the application goes.
std::unique_ptr<TKpDocument> gReport;

// A report: per row a text, a box around it, a rule and a right-aligned text box.
TKpDocument& report() {
    if (!gReport) {
        gReport = std::make_unique<TKpDocument>();
        TKpDocument* d = gReport.get();
        TKpCanvas& c = d->Canvas();
        c.Font().SetName(QStringLiteral("Arial"));
        c.Font().SetSize(9);
        c.Brush().SetStyle(bsClear);
        for (int p = 0; p < kPages; ++p) {
            if (p > 0) d->NewPage();
            for (int i = 0; i < kRows; ++i) {
                const int row = p * kRows + i;
                const Extended y = 10 + i * 5;
                c.TextOut(15, y, QStringLiteral("Invoice line %1 of order %2").arg(i).arg(row),
                          kpMillimeters);
                c.Rectangle(10, y, 200, y + 4, kpMillimeters);
                c.Line(10, y + 4.5L, 200, y + 4.5L, kpMillimeters);
                c.TextBox(120, y, 195, y + 4, QStringLiteral("Delivered to customer %1").arg(row),
                          taRightJustify, true, kpMillimeters);
            }
        }
    }
    return *gReport;
}

// A word on one page in a hundred, and one in every box of every page.
const char* const kWords[] = {"order 4200", "customer"};

void BM_FindFirstTime(benchmark::State& state) {
    TKpDocument& doc = report();
    const QString word = QString::fromLatin1(kWords[state.range(0)]);
    const TKpDrawContext context = doc.DrawContext(false);
    size_t found = 0;
    for (auto _ : state) {
        // Fresh: every page's text read as the document's first search reads it.
        TKpDocumentText text(96);
        std::vector<TKpFindMatch> matches;
        for (int n = 1; n <= doc.NumPages(); ++n)
            text.Page(*doc.GetPage(n), n, doc.Pages().Revision(), context)
                .Find(word, {}, n, matches);
        found = matches.size();
    }
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK(BM_FindFirstTime)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindAgain(benchmark::State& state) {
    TKpDocument& doc = report();
    const QString word = QString::fromLatin1(kWords[state.range(0)]);
    doc.FindText(word); // the texts are read
    size_t found = 0;
    for (auto _ : state)
        found = doc.FindText(word).size();
    state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK(BM_FindAgain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Another word each time, in texts already read: the search itself.
void BM_FindOtherWord(benchmark::State& state) {
    TKpDocument& doc = report();
    doc.FindText(QStringLiteral("order 49999")); // the texts are read
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.FindText(QStringLiteral("order %1").arg(4000 + i++ % 900)));
}
BENCHMARK(BM_FindOtherWord)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QGuiApplication>(argc, argv, [] { gReport.reset(); });
}
