// Playing a 10,000-record enhanced metafile, a page of ruled text with boxes and lines as a
// desktop program records one, onto an A4 page image at 96 dpi. Target: under 20 ms a play.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/KpMetafilePlayer.h"

#include "../tests/platform/metafile_writer.h"

using namespace kp;

namespace {

constexpr int kGroups = 1000; // ten records each

QByteArray pageOfRecords() {
    mfw::Emf e(21000, 29700);
    e.font(1, -13, 0, "DejaVu Sans").rec(37, {1}).rec(18, {1});
    e.rec(39, {2, 0, 0xE0E0E0, 0}).rec(39, {3, 0, 0xFFFFFF, 0}).rec(37, {int(0x80000007)});
    for (int i = 0; i < kGroups; ++i) {
        const int y = 20 + (i % 100) * 11, x = 40 + (i / 100) * 70;
        e.rec(37, {2 + i % 2});
        e.rec(43, {x, y, x + 60, y + 10});
        e.rec(24, {i % 7 * 0x202020});
        e.text(x + 2, y, QStringLiteral("Item %1").arg(i), {7, 7, 7, 7, 7, 7, 7, 7, 7});
        e.text(x + 40, y, QStringLiteral("%1").arg(i % 100), {7, 7, 7});
        e.rec(27, {x, y + 10});
        e.rec(54, {x + 60, y + 10});
        mfw::Bytes line;
        line.u32(0).u32(0).u32(0).u32(0).u32(3);
        for (int v : {x, y, x + 30, y + 5, x + 60, y})
            line.u16(uint16_t(v));
        e.raw(87, line.b);
        e.rec(43, {x + 50, y + 2, x + 56, y + 8});
        e.rec(42, {x + 44, y + 2, x + 48, y + 6});
    }
    return e.done();
}

void BM_PlayTenThousandRecords(benchmark::State& state) {
    const QByteArray bytes = pageOfRecords();
    QImage page(794, 1123, QImage::Format_RGB32);
    for (auto _ : state) {
        page.fill(Qt::white);
        QPainter p(&page);
        const TKpMetafileResult r = KpPlayMetafile(bytes, p, QRectF(page.rect()));
        if (!r.Ok || r.Records < 10000) state.SkipWithError("the page did not play whole");
        benchmark::DoNotOptimize(page.bits());
    }
    state.counters["records"] = double(kGroups * 10);
}
BENCHMARK(BM_PlayTenThousandRecords)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
