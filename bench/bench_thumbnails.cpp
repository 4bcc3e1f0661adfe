// A 1,000-page document drawn through the canvas (the canvas demo's seven pages over and
// over) shown in a preview with the thumbnail strip: how long until the first page is on
// screen, and how long the strip takes to rebuild all its thumbnails.
// Targets: first page on screen under 1 s; full strip rebuild under 3 s.
#include <benchmark/benchmark.h>

#include <memory>
#include <QApplication>
#include <QWidget>

#include "drawing/KpCanvas.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

constexpr int kPages = 1000;

void fill(TKpCanvas& c, TColor color) {
    c.Brush().SetColor(color);
    c.Brush().SetStyle(bsSolid);
}

void title(TKpCanvas& c, const QString& text) {
    c.Font().SetSize(56);
    c.Brush().SetStyle(bsClear);
    c.Font().SetStyle(FontStyleBit(fsBold));
    c.Font().SetColor(clBlack);
    c.TextOut(21, 238, text, kpMillimeters);
    c.Font().SetColor(clRed);
    c.TextOut(20.5L, 237.5L, text, kpMillimeters);
}

// One page of the canvas demo, chosen by the page number.
void drawPage(TKpCanvas& c, int n) {
    c.Font().SetName(QStringLiteral("Times New Roman"));
    c.Font().SetStyle(0);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    switch (n % 7) {
    case 0:
        for (int i = 3; i <= 15; ++i) {
            c.Font().SetSize(30 - i);
            c.TextOut(25, 14 * i, QStringLiteral("The \"TextOut\" method"), kpMillimeters);
            c.TextOutRight(200, 14 * i, QStringLiteral("The \"TextOutRight\" method"),
                           kpMillimeters);
        }
        title(c, QStringLiteral("Text Methods"));
        break;
    case 1:
        c.Font().SetSize(22);
        for (int i = 1; i <= 24; ++i)
            c.RotateOut(100, 140, 15 * i + 1, QStringLiteral("             Draw Rotated Text"),
                        kpMillimeters);
        title(c, QStringLiteral("\"RotateOut\" Method"));
        break;
    case 2:
    case 3:
        c.Font().SetSize(24);
        for (int i = 0; i < 3; ++i) {
            fill(c, 0xC0C0C0 + i * 0x101010);
            c.TextBox(60, 60 + 60 * i, 150, 0,
                      QStringLiteral("An example of using a textbox with LEFT text alignment"),
                      static_cast<TAlignment>(i), true, kpMillimeters);
        }
        title(c, QStringLiteral("TextBox Method"));
        break;
    case 4:
        fill(c, clRed);
        c.Rectangle(30, 55, 170, 90, kpMillimeters);
        fill(c, clBlue);
        c.Rectangle(70, 160, 180, 190, kpMillimeters);
        title(c, QStringLiteral("Draw Rectangles"));
        break;
    case 5:
        fill(c, clGreen);
        c.Ellipse(40, 60, 180, 90, kpMillimeters);
        fill(c, clYellow);
        c.Ellipse(130, 90, 190, 200, kpMillimeters);
        title(c, QStringLiteral("Draw Ellipses"));
        break;
    default:
        fill(c, clBlue);
        c.RoundRect(90, 75, 150, 160, 5, 5, kpMillimeters);
        title(c, QStringLiteral("Draw Round Rects"));
        break;
    }
}

struct Window {
    QWidget window;
    TKpPreview* preview;
    TKpThumbnails* strip;
    Window() {
        window.resize(1200, 900);
        preview = new TKpPreview(&window);
        preview->setGeometry(0, 0, 1200, 760);
        strip = new TKpThumbnails(&window);
        strip->setGeometry(0, 760, 1200, 140);
        strip->SetThumbSize(3);
        strip->SetPreview(preview);
        window.show();
        QCoreApplication::processEvents();
    }
    // The demo's drawing run: strip and display off, pages drawn, display back on.
    void build() {
        strip->SetEnabled(false);
        preview->AutoRefresh = false;
        preview->Clear();
        for (int n = 0; n < kPages; ++n) {
            if (n > 0) preview->NewPage();
            drawPage(preview->Canvas(), n);
        }
        preview->FirstPage();
        preview->AutoRefresh = true;
        preview->RefreshPage();
        preview->PageImage().repaint(); // the first page is on screen
    }
};

void BM_FirstPageOnScreen(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        state.ResumeTiming();
        w->build();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["pages"] = kPages;
}
BENCHMARK(BM_FirstPageOnScreen)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StripFullRebuild(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        w->build();
        state.ResumeTiming();
        w->strip->SetEnabled(true); // one full rebuild: thumbnails, pictures, layout
        state.PauseTiming();
        if (w->strip->Thumbnails().Count() != kPages) state.SkipWithError("strip incomplete");
        w.reset();
        state.ResumeTiming();
    }
    state.counters["thumbnails"] = kPages;
}
BENCHMARK(BM_StripFullRebuild)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
