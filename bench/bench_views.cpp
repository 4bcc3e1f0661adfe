// Scrolling the continuous view of a 10,000-page document: a wheel step (60 pixels) paints
// the strip it uncovers, drawing only the pages that come into view; the rest of the view
// moves along. Also a whole repaint of the view, and a page-by-page jump through it.
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QScrollBar>
#include <QWidget>

#include "bench_main.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpPage.h"
#include "platform/KpScreenOverride.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

constexpr int kPages = 10000;

// Twenty lines of text and a rule under each on every page: a report's page.
void fillPage(TKpCanvas& canvas, int n) {
    for (int line = 0; line < 20; ++line) {
        const Extended y = 20 + line * 12;
        canvas.TextOut(20, y,
                       QStringLiteral("Page %1, line %2: quantity, price, total").arg(n).arg(line),
                       kpMillimeters);
        canvas.Line(20, y + 6, 190, y + 6, kpMillimeters);
    }
}

struct ViewsFixture {
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    TKpPreview* preview = nullptr;

    ViewsFixture() {
        parent->resize(1024, 800);
        preview = new TKpPreview(parent.get());
        preview->setGeometry(0, 0, 1024, 800);
        parent->show();
        QApplication::processEvents();
        preview->AutoRefresh = false;
        fillPage(preview->Canvas(), 1);
        for (int n = 2; n <= kPages; ++n) {
            TKpPage* page = preview->Pages().AddPage();
            preview->Canvas().SetPage(page);
            fillPage(preview->Canvas(), n);
        }
        preview->AutoRefresh = true;
        preview->SetViewMode(vmContinuous);
        preview->RefreshPage();
        QApplication::processEvents();
    }
};

std::unique_ptr<ViewsFixture> theFixture;
ViewsFixture& fixture() {
    if (!theFixture) theFixture = std::make_unique<ViewsFixture>();
    return *theFixture;
}

// One wheel step down at a time from the middle of the document, each painted at once.
void BM_ContinuousScrollStep(benchmark::State& state) {
    ViewsFixture& f = fixture();
    f.preview->SetZoom(static_cast<int>(state.range(0)));
    const int middle = f.preview->VertRange() / 2;
    f.preview->SetVertPosition(middle);
    QApplication::processEvents();
    long long painted = 0, steps = 0;
    for (auto _ : state) {
        f.preview->SetVertPosition(f.preview->VertPosition() + 60);
        f.preview->viewport()->repaint(
            f.preview->viewport()->rect().adjusted(0, f.preview->viewport()->height() - 60, 0, 0));
        painted += static_cast<long long>(f.preview->PaintedPages().size());
        ++steps;
    }
    state.counters["pages_per_step"] = steps ? static_cast<double>(painted) / steps : 0;
    state.counters["content_h"] = f.preview->VertRange();
}
BENCHMARK(BM_ContinuousScrollStep)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

// The whole view repainted where it is (every page in view, from its rendered sheet).
void BM_ContinuousRepaint(benchmark::State& state) {
    ViewsFixture& f = fixture();
    f.preview->SetZoom(static_cast<int>(state.range(0)));
    f.preview->SetVertPosition(f.preview->VertRange() / 2);
    QApplication::processEvents();
    for (auto _ : state)
        f.preview->viewport()->repaint();
    state.counters["pages_in_view"] = static_cast<double>(f.preview->PaintedPages().size());
}
BENCHMARK(BM_ContinuousRepaint)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

// Page Down through the document: each page brought into view and painted new.
void BM_ContinuousPageDown(benchmark::State& state) {
    ViewsFixture& f = fixture();
    f.preview->SetZoom(100);
    int n = kPages / 2;
    for (auto _ : state) {
        f.preview->SetCurrentPage(n);
        f.preview->viewport()->repaint();
        n = n < kPages ? n + 1 : kPages / 2;
    }
}
BENCHMARK(BM_ContinuousPageDown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, [] { theFixture.reset(); });
}
