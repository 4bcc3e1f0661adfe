// The print job exported to PDF (1,000 pages of 200 objects) against the same drawing done
// directly with QPainter onto a QPdfWriter, the lower bound.
#include <benchmark/benchmark.h>

#include "bench_export_main.h"

#include <memory>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QWidget>

#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "platform/KpScreen.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"

using namespace kp;

namespace {

constexpr int kPages = 1000;
constexpr int kObjects = 200; // per page: 100 texts, 50 rectangles, 50 lines
constexpr int kDpi = 600;

struct Document {
    Document() : window(std::make_unique<QWidget>()) {
        preview = new TKpPreview(window.get());
        preview->AutoRefresh = false;
        for (int p = 1; p <= kPages; ++p) {
            TKpPage* page = p == 1 ? preview->GetPage(1) : preview->NewPage();
            for (int k = 0; k < kObjects / 4; ++k) {
                const int y = 1500 + k * 500;
                for (int t = 0; t < 2; ++t) {
                    auto text = std::make_unique<TKpTextObject>();
                    text->X1 = 1500 + t * 9000;
                    text->Y1 = y;
                    text->Text =
                        QStringLiteral("Line %1 column %2 on page %3").arg(k).arg(t).arg(p);
                    text->Font.Edit().Size = 9;
                    text->Brush.Style = bsClear;
                    page->AddObject(std::move(text));
                }
                auto rect = std::make_unique<TKpRectangleShape>();
                rect->X1 = 1000;
                rect->Y1 = y;
                rect->X2 = 1400;
                rect->Y2 = y + 400;
                rect->Brush.Color = KpRGB(200, 220, 255);
                page->AddObject(std::move(rect));
                auto line = std::make_unique<TKpLineObject>();
                line->X1 = 1500;
                line->Y1 = y + 450;
                line->X2 = 19500;
                line->Y2 = y + 450;
                page->AddObject(std::move(line));
            }
        }
    }
    std::unique_ptr<QWidget> window;
    TKpPreview* preview;
};

Document& Doc() {
    static Document doc;
    return doc;
}

int Px(int32_t v) {
    return static_cast<int>(std::nearbyint(v / 2540.0 * kDpi));
}

void BM_ExportToPdf(benchmark::State& state) {
    Document& doc = Doc();
    QTemporaryDir dir;
    TKpPdfExportOptions options;
    options.Resolution = kDpi;
    for (auto _ : state)
        ExportToPdf(*doc.preview, dir.filePath("bench.pdf"), options);
    state.SetItemsProcessed(state.iterations() * kPages * kObjects);
}

// The lower bound: the same figures straight onto the PDF writer.
void BM_DirectQPdfWriter(benchmark::State& state) {
    Document& doc = Doc();
    QTemporaryDir dir;
    for (auto _ : state) {
        QPdfWriter writer(dir.filePath("direct.pdf"));
        writer.setResolution(kDpi);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(9);
        const QFontMetrics fm(font, &writer);
        for (int p = 1; p <= kPages; ++p) {
            if (p > 1) writer.newPage();
            TKpPage* page = doc.preview->GetPage(p);
            for (int k = 0; k < page->Count(); ++k) {
                TKpBaseObject* o = page->Objects(k);
                if (auto* t = dynamic_cast<TKpTextObject*>(o)) {
                    painter.setFont(font);
                    painter.setPen(Qt::black);
                    painter.drawText(Px(t->X1), Px(t->Y1) + fm.ascent(), t->Text);
                } else if (auto* r = dynamic_cast<TKpRectangleShape*>(o)) {
                    painter.setPen(QPen(Qt::black, 1));
                    painter.setBrush(QColor(200, 220, 255));
                    painter.drawRect(
                        QRect(QPoint(Px(r->X1), Px(r->Y1)), QPoint(Px(r->X2) - 1, Px(r->Y2) - 1)));
                } else if (auto* l = dynamic_cast<TKpLineObject*>(o)) {
                    painter.setPen(QPen(Qt::black, 1));
                    painter.drawLine(Px(l->X1), Px(l->Y1), Px(l->X2), Px(l->Y2));
                }
            }
        }
        painter.end();
    }
    state.SetItemsProcessed(state.iterations() * kPages * kObjects);
}

BENCHMARK(BM_DirectQPdfWriter)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ExportToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
    return RunExportBenchmarks(argc, argv);
}
