// Recording through the canvas and rebuilding page pictures: objects recorded per second,
// memory per object, page pictures rebuilt per second, and what a rebuilt 200-object page
// costs until it is on the sheet.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "bench_main.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

constexpr int kPages = 1000;
constexpr int kObjectsPerPage = 200;

const QString& sampleText() {
    static const QString text = QStringLiteral("Invoice line 0042");
    return text;
}

// 200 mixed objects: a quarter each of text, rectangles, lines and text boxes.
void recordPage(TKpCanvas& canvas) {
    const QString& text = sampleText();
    for (int i = 0; i < kObjectsPerPage / 4; ++i) {
        const Extended y = 10 + i * 5;
        canvas.TextOut(15, y, text, kpMillimeters);
        canvas.Rectangle(10, y, 200, y + 4, kpMillimeters);
        canvas.Line(10, y + 4.5L, 200, y + 4.5L, kpMillimeters);
        canvas.TextBox(120, y, 195, y + 4, text, taRightJustify, true, kpMillimeters);
    }
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void BM_RecordObjects(benchmark::State& state) {
    TKpPreview preview;
    TKpCanvas& canvas = preview.Canvas();
    std::vector<std::unique_ptr<TKpPage>> pages;
    for (int i = 0; i < kPages; ++i)
        pages.push_back(std::make_unique<TKpPage>(&preview.Document()));
    for (auto _ : state) {
        state.PauseTiming();
        for (auto& page : pages)
            page->Clear();
        state.ResumeTiming();
        for (auto& page : pages) {
            canvas.SetPage(page.get());
            recordPage(canvas);
        }
        benchmark::ClobberMemory();
    }
    canvas.SetPage(preview.GetPage(1));
    state.SetItemsProcessed(state.iterations() * kPages * kObjectsPerPage);
    state.counters["objects/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPages * kObjectsPerPage,
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RecordObjects)->Unit(benchmark::kMillisecond);

// Heap bytes held per recorded object of one kind (malloc's own overhead included).
template <typename Record> double bytesPerObject(Record record) {
    TKpPreview preview;
    TKpCanvas& canvas = preview.Canvas();
    TKpPage page(&preview.Document());
    canvas.SetPage(&page);
    constexpr int n = 20000;
    const size_t before = heapInUse();
    for (int i = 0; i < n; ++i)
        record(canvas, i);
    const size_t after = heapInUse();
    canvas.SetPage(preview.GetPage(1));
    return static_cast<double>(after - before) / n;
}

void BM_BytesPerObject(benchmark::State& state) {
    double rect = 0, line = 0, text = 0, box = 0;
    for (auto _ : state) {
        rect = bytesPerObject([](TKpCanvas& c, int i) { c.Rectangle(i, 1, 2, 3, kpUnits); });
        line = bytesPerObject([](TKpCanvas& c, int i) { c.Line(i, 1, 2, 3, kpUnits); });
        text = bytesPerObject([](TKpCanvas& c, int i) {
            c.TextOut(i, 1, sampleText() + QString::number(i), kpUnits);
        });
        box = bytesPerObject([](TKpCanvas& c, int i) {
            c.TextBox(i, 1, 2, 3, sampleText() + QString::number(i), taLeftJustify, true, kpUnits);
        });
    }
    // The text itself: the heap block of the same strings held on their own.
    double textBytes = 0;
    {
        constexpr int n = 20000;
        std::vector<QString> texts;
        texts.reserve(n);
        const size_t before = heapInUse();
        for (int i = 0; i < n; ++i)
            texts.push_back(sampleText() + QString::number(i));
        textBytes = static_cast<double>(heapInUse() - before) / n;
    }
    state.counters["text_block_B"] = textBytes;
    state.counters["rect_B"] = rect;
    state.counters["line_B"] = line;
    state.counters["text_B"] = text;
    state.counters["text_B_excl_text"] = text - textBytes;
    state.counters["textbox_B"] = box;
    state.counters["textbox_B_excl_text"] = box - textBytes;
}
BENCHMARK(BM_BytesPerObject)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RebuildPagePicture(benchmark::State& state) {
    TKpPreview preview;
    TKpPage* page = preview.GetPage(1);
    page->Width = 210 / 25.4L;
    page->Height = 297 / 25.4L;
    recordPage(preview.Canvas());
    for (auto _ : state)
        page->UpdateMetafile();
    state.counters["pictures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["objects"] = page->Count();
    state.counters["picture_B"] = page->Metafile().Picture().size();
}
BENCHMARK(BM_RebuildPagePicture)->Unit(benchmark::kMicrosecond);

// A rebuild and the sheet it shows at 100 %: the page drawn straight onto the sheet image
// (argument 0), or recorded into a QPicture first and that played (argument 1: a picture
// as a product, such as a host asks for, and what the screen path used to do).
void BM_RebuildToSheet(benchmark::State& state) {
    const bool recorded = state.range(0) != 0;
    TKpPreview preview;
    TKpPage* page = preview.GetPage(1);
    page->Width = 210 / 25.4L;
    page->Height = 297 / 25.4L;
    recordPage(preview.Canvas());
    QImage sheet(794, 1123, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        page->UpdateMetafile();
        TKpMetafile& picture = page->Metafile();
        if (recorded) picture.Picture(); // records and plays the recording from now on
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        TKpDeviceCanvas canvas(&painter, 96, 96);
        canvas.PlayMetafile(picture, sheet.rect());
    }
    state.counters["objects"] = page->Count();
}
BENCHMARK(BM_RebuildToSheet)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Rectangles and lines only: the figure path of the rebuild.
void BM_RebuildShapesOnly(benchmark::State& state) {
    TKpPreview preview;
    TKpPage* page = preview.GetPage(1);
    page->Width = 210 / 25.4L;
    page->Height = 297 / 25.4L;
    TKpCanvas& canvas = preview.Canvas();
    for (int i = 0; i < kObjectsPerPage / 2; ++i) {
        canvas.Rectangle(10, 10 + i * 2, 200, 11 + i * 2, kpMillimeters);
        canvas.Line(10, 11.5L + i * 2, 200, 11.5L + i * 2, kpMillimeters);
    }
    for (auto _ : state)
        page->UpdateMetafile();
    state.counters["pictures/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RebuildShapesOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(argc, argv);
}
