// Repainting the preview: one picture playback plus a few rectangles per paint, whatever the
// number of objects on the page. A page of 10,000 objects repainted at 100 % and 400 %.
#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QWidget>

#include "bench_main.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpMargins.h"
#include "drawing/KpPage.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

constexpr int kObjects = 10000;

// 10,000 objects spread over the page: a quarter each of text, rectangles, lines and
// ellipses, in rows 2.5 mm apart (the text recorded in a few fonts and colours). With
// distinct texts no two texts are alike.
void fillPage(TKpCanvas& canvas, bool distinctTexts = false) {
    for (int i = 0; i < kObjects / 4; ++i) {
        const QString text = distinctTexts ? QStringLiteral("Invoice line %1").arg(i)
                                           : QStringLiteral("Invoice line 0042");
        const Extended col = (i % 4) * 48;
        const Extended y = 10 + (i / 4) % 110 * 2.5L;
        canvas.Font().SetSize(6 + i % 3);
        canvas.Font().SetColor(i % 2 ? clNavy : clBlack);
        canvas.TextOut(10 + col, y, text, kpMillimeters);
        canvas.Brush().SetColor(i % 3 ? clSilver : clYellow);
        canvas.Rectangle(12 + col, y, 40 + col, y + 2, kpMillimeters);
        canvas.Line(10 + col, y + 2.2L, 55 + col, y + 2.2L, kpMillimeters);
        canvas.Ellipse(44 + col, y, 46 + col, y + 2, kpMillimeters);
    }
}

struct PaintFixture {
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    TKpPreview* preview = nullptr;

    PaintFixture() {
        parent->resize(1024, 800);
        preview = new TKpPreview(parent.get());
        preview->setGeometry(0, 0, 1024, 800);
        parent->show();
        QApplication::processEvents();
        preview->AutoRefresh = false;
        fillPage(preview->Canvas());
        preview->Margins().SetVisible(true);
        preview->AutoRefresh = true;
        preview->RefreshPage();
    }
};

// Made on first use, freed before the application object goes.
std::unique_ptr<PaintFixture> theFixture;
PaintFixture& fixture() {
    if (!theFixture) theFixture = std::make_unique<PaintFixture>();
    return *theFixture;
}

void BM_PreviewRepaint(benchmark::State& state) {
    PaintFixture& f = fixture();
    f.preview->SetZoom(static_cast<int>(state.range(0)));
    // Look at the middle of the page.
    f.preview->ScrollToPercent(50, 50);
    QApplication::processEvents();
    const int objects = f.preview->GetPage(1)->Count();
    for (auto _ : state) {
        // A synchronous repaint of the whole visible area: sheet, picture, shadow, margins.
        f.preview->viewport()->repaint();
    }
    state.counters["objects"] = objects;
    state.counters["image_w"] = f.preview->PageImage().width();
    state.counters["image_h"] = f.preview->PageImage().height();
}
BENCHMARK(BM_PreviewRepaint)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// The same with the rendered copy of the sheet switched off: one picture playback per paint
// (what the first paint after a picture rebuild costs).
void BM_PreviewRepaintPlayback(benchmark::State& state) {
    PaintFixture& f = fixture();
    f.preview->PageImage().SetMaxCachePixels(0);
    f.preview->SetZoom(static_cast<int>(state.range(0)));
    f.preview->ScrollToPercent(50, 50);
    QApplication::processEvents();
    for (auto _ : state)
        f.preview->viewport()->repaint();
    f.preview->PageImage().SetMaxCachePixels(4096LL * 4096LL);
}
BENCHMARK(BM_PreviewRepaintPlayback)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// The pages the page changes go between: 1 (10,000 objects), 2 (one text) and 3 (10,000
// objects whose texts all differ).
void addChangePages(PaintFixture& f) {
    if (f.preview->NumPages() >= 3) return;
    f.preview->AutoRefresh = false;
    f.preview->NewPage();
    f.preview->Canvas().TextOut(10, 10, QStringLiteral("Page 2"), kpMillimeters);
    f.preview->NewPage();
    fillPage(f.preview->Canvas(), true);
    f.preview->AutoRefresh = true;
}

// Every iteration comes from page 2 to page target and repaints the view at zoom; with
// recorded, the target's picture is recorded and the recording played.
void changePage(benchmark::State& state, int target, int zoom, bool recorded) {
    PaintFixture& f = fixture();
    addChangePages(f);
    f.preview->SetZoom(zoom);
    f.preview->ScrollToPercent(0, 0);
    for (auto _ : state) {
        state.PauseTiming();
        f.preview->SetCurrentPage(2);
        f.preview->viewport()->repaint();
        state.ResumeTiming();
        f.preview->SetCurrentPage(target);
        if (recorded) f.preview->GetPage(target)->Metafile().Picture();
        f.preview->viewport()->repaint();
    }
    f.preview->SetCurrentPage(1);
}

// From a page change to the page painted: page 1 holds the 10,000 objects, and every
// iteration comes from page 2 to it and repaints the view at the given zoom. The second
// argument 1 has the picture recorded and the recording played (a host holding the
// picture, and what the screen path used to do) instead of drawn straight onto the sheet.
void BM_PageChangeToPainted(benchmark::State& state) {
    changePage(state, 1, static_cast<int>(state.range(0)), state.range(1) != 0);
}
BENCHMARK(BM_PageChangeToPainted)
    ->Args({20, 0})
    ->Args({20, 1})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond);

// The same page change onto a page whose 2,500 texts all differ (page 3): nothing a page
// repeats to gain from, everything to lay out.
void BM_PageChangeToPaintedDistinctTexts(benchmark::State& state) {
    changePage(state, 3, static_cast<int>(state.range(0)), false);
}
BENCHMARK(BM_PageChangeToPaintedDistinctTexts)->Arg(100)->Unit(benchmark::kMillisecond);

// The picture rebuild that a zoom, margin or header change costs (not part of a paint).
void BM_PageRebuild(benchmark::State& state) {
    PaintFixture& f = fixture();
    for (auto _ : state)
        f.preview->GetPage(1)->UpdateMetafile();
}
BENCHMARK(BM_PageRebuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv, [] { theFixture.reset(); });
}
