// Saving and loading a document of 1,000 pages with 200 drawing objects each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QWidget>

#include "drawing/KpObjects.h"
#include "platform/KpPicture.h"
#include "preview/KpPreview.h"

using namespace kp;

namespace {

constexpr int kPages = 1000;
constexpr int kObjects = 200;

// A mix of the kinds a report page holds: text, lines, rectangles, text boxes, polylines.
std::unique_ptr<TKpBaseObject> MakeObject(int i) {
    switch (i % 5) {
    case 0: {
        auto t = std::make_unique<TKpTextObject>();
        t->Text = QStringLiteral("Row %1 of the report").arg(i);
        t->Font.Edit().Style = FontStyleBit(fsBold);
        return t;
    }
    case 1: {
        auto l = std::make_unique<TKpLineObject>();
        l->X2 = i * 10;
        l->Y2 = i * 20;
        return l;
    }
    case 2: {
        auto r = std::make_unique<TKpRectangleShape>();
        r->X2 = 1000 + i;
        r->Y2 = 2000 + i;
        return r;
    }
    case 3: {
        auto b = std::make_unique<TKpTextBoxObject>();
        b->Text = QStringLiteral("Cell %1").arg(i);
        b->X2 = 5000;
        b->Y2 = 600;
        return b;
    }
    default: {
        auto p = std::make_unique<TKpPolyLineObject>();
        p->Points = {QPoint(0, 0), QPoint(i, i), QPoint(2 * i, 0), QPoint(3 * i, i)};
        return p;
    }
    }
}

struct Fixture {
    QWidget host;
    TKpPreview* preview = new TKpPreview(&host);
    QByteArray file;
    Fixture() {
        preview->AutoRefresh = false;
        for (int p = 1; p <= kPages; ++p) {
            if (p > 1) preview->NewPage();
            for (int i = 0; i < kObjects; ++i) {
                auto o = MakeObject(i);
                o->X1 = i * 100;
                o->Y1 = p;
                preview->GetPage(p)->AddObject(std::move(o));
            }
        }
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        preview->SaveToStream(buffer);
    }
};

Fixture& Document() {
    static Fixture fixture;
    return fixture;
}

void BM_SaveDocument(benchmark::State& state) {
    Fixture& f = Document();
    QByteArray data;
    data.reserve(f.file.size() + 4096);
    for (auto _ : state) {
        data.resize(0);
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        f.preview->SaveToStream(buffer);
        benchmark::DoNotOptimize(data.size());
    }
    state.counters["bytes"] = static_cast<double>(f.file.size());
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

void BM_LoadDocument(benchmark::State& state) {
    Fixture& f = Document();
    QWidget host;
    TKpPreview target(&host);
    // Pictures present on the new pages once the last page is read, before the closing
    // refresh (which rebuilds the current page as the preview's answer to the load).
    int rebuilt = 0;
    target.OnLoadProgess = [&](void*, int percent) {
        if (percent != 100) return;
        rebuilt = 0;
        for (int p = 2; p <= target.NumPages(); ++p)
            rebuilt += !target.GetPage(p)->Metafile().Empty();
    };
    for (auto _ : state) {
        QBuffer buffer(&f.file);
        buffer.open(QIODevice::ReadOnly);
        target.LoadFromStream(buffer);
        state.PauseTiming();
        if (target.NumPages() != kPages || target.GetPage(kPages)->Count() != kObjects)
            state.SkipWithError("the document did not load whole");
        state.ResumeTiming();
    }
    state.counters["pages_rebuilt"] = rebuilt;
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
