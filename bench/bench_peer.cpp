// Paginor beside its peers, on the same report: 200 objects a page (50 text lines, 50 filled
// rectangles, 50 rules, 50 wrapped text boxes), 1,000 pages (and 10,000 with --pages=10000
// or PAGINOR_BENCH_PAGES=1000,10000).
//
// Each contender runs in a child process of its own (this program started again with
// --contender), so the peak memory of one never mixes with another's:
//   paginor-preview  the report drawn through Paginor's canvas and shown in its preview
//   qt-preview       the same content painted by QPrintPreviewWidget's paintRequested
//   paginor-strip    Paginor's preview with the thumbnail strip switched on after drawing
//   raw-pdf          raw QPainter onto QPdfWriter at 600 dpi
//   paginor-pdf      Paginor's PDF export of the report at 600 dpi
// Figures: time to the first page on screen, peak memory (ru_maxrss), export time, and for
// the strip the time to its first thumbnails on screen and the longest event-loop block.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGraphicsView>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "drawing/KpCanvas.h"
#include "drawing/KpPage.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"
#include "thumbnails/KpThumbnails.h"

using namespace kp;

namespace {

constexpr int kRows = 50;
constexpr int kDpi = 600;

// One row of the report, in millimetres from the page corner.
struct Row {
    qreal y;
    QString line;
    bool shaded;
};

const QString& paragraph() {
    static const QString text =
        QStringLiteral("Delivered in two parts; the balance follows with the next invoice run, "
                       "terms as agreed.");
    return text;
}

Row rowOf(int page, int j) {
    return {15 + j * 5.2, QStringLiteral("Item %1 of page %2").arg(j + 1).arg(page), j % 2 == 0};
}

// ---- the report through Paginor's canvas ----

void drawPaginorPage(TKpCanvas& c, int page) {
    c.Font().SetName(QStringLiteral("Arial"));
    c.Pen().SetColor(clBlack);
    c.Pen().SetWidth(1);
    for (int j = 0; j < kRows; ++j) {
        const Row r = rowOf(page, j);
        c.Font().SetSize(8);
        c.Brush().SetStyle(bsClear);
        c.TextOut(15, r.y, r.line, kpMillimeters);
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(r.shaded ? clSilver : clYellow);
        c.Rectangle(70, r.y, 95, r.y + 4, kpMillimeters);
        c.Line(15, r.y + 4.6, 195, r.y + 4.6, kpMillimeters);
        c.Font().SetSize(6);
        c.Brush().SetStyle(bsClear);
        c.TextBox(100, r.y, 195, r.y + 4.8, paragraph(), taLeftJustify, true, kpMillimeters);
    }
}

void drawPaginorReport(TKpPreview& preview, int pages) {
    preview.AutoRefresh = false;
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) preview.NewPage();
        drawPaginorPage(preview.Canvas(), p);
    }
}

// ---- the same report on a bare QPainter at dpi ----

void paintRawPage(QPainter& painter, int dpi, int page) {
    const auto px = [dpi](qreal mm) { return mm / 25.4 * dpi; };
    QFont lineFont(QStringLiteral("Arial"));
    lineFont.setPixelSize(qRound(8.0 * dpi / 72));
    QFont boxFont(QStringLiteral("Arial"));
    boxFont.setPixelSize(qRound(6.0 * dpi / 72));
    const QPen pen(Qt::black, 0);
    for (int j = 0; j < kRows; ++j) {
        const Row r = rowOf(page, j);
        painter.setPen(pen);
        painter.setFont(lineFont);
        painter.drawText(QPointF(px(15), px(r.y) + QFontMetricsF(lineFont).ascent()), r.line);
        painter.setBrush(r.shaded ? QColor(192, 192, 192) : QColor(255, 255, 0));
        painter.drawRect(QRectF(px(70), px(r.y), px(25), px(4)));
        painter.drawLine(QPointF(px(15), px(r.y + 4.6)), QPointF(px(195), px(r.y + 4.6)));
        painter.setBrush(Qt::NoBrush);
        const QRectF box(px(100), px(r.y), px(95), px(4.8));
        painter.drawRect(box);
        painter.setFont(boxFont);
        painter.drawText(box, Qt::TextWordWrap, paragraph());
    }
}

// ---- measuring ----

long peakKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Counts event-loop turns with a 0-ms timer and keeps the longest gap between two turns.
class TurnWatch {
public:
    TurnWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        timer_.start(0);
        clock_.start();
    }
    double LongestMs() const { return longest_ / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

struct Window {
    QWidget top;
    TKpPreview* preview;
    Window() {
        top.resize(1024, 800);
        preview = new TKpPreview(&top);
        preview->setGeometry(0, 0, 1024, 640);
        top.show();
        QApplication::processEvents();
    }
};

// Prints the child's figures as "key=value" pairs on one line.
void report(const std::map<QString, double>& figures) {
    QStringList parts;
    for (const auto& [k, v] : figures)
        parts << k + QLatin1Char('=') + QString::number(v, 'f', 3);
    std::printf("RESULT %s\n", qPrintable(parts.join(QLatin1Char(' '))));
    std::fflush(stdout);
}

int runPaginorPreview(int pages) {
    Window w;
    QElapsedTimer t;
    t.start();
    drawPaginorReport(*w.preview, pages);
    w.preview->AutoRefresh = true;
    w.preview->SetCurrentPage(1);
    w.preview->viewport()->repaint();
    const double firstMs = t.nsecsElapsed() / 1e6;
    report({{"first_ms", firstMs}, {"peak_kib", static_cast<double>(peakKiB())}});
    return 0;
}

int runPaginorStrip(int pages) {
    Window w;
    auto* strip = new TKpThumbnails(&w.top);
    strip->setGeometry(0, 640, 1024, 160);
    strip->show();
    strip->SetPreview(w.preview);
    strip->SetEnabled(false);
    drawPaginorReport(*w.preview, pages);
    w.preview->AutoRefresh = true;
    w.preview->SetCurrentPage(1);
    QApplication::processEvents();

    // First thumbnails on screen: the first event-loop turn (when paints are delivered) at
    // which the first thumbnail is shown with its page's picture.
    QElapsedTimer t;
    qint64 firstAt = -1;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        auto& list = strip->Thumbnails();
        if (firstAt < 0 && list.Count() > 0 && list.Items(1)->isVisible() &&
            list.Items(1)->PageImage()->Metafile())
            firstAt = t.nsecsElapsed();
    });
    probe.start(0);
    TurnWatch watch;
    t.start();
    strip->SetEnabled(true);
    // Until every thumbnail holds its picture, with the event loop running.
    const auto filled = [&] {
        auto& list = strip->Thumbnails();
        if (list.Count() != pages) return false;
        for (int i = 1; i <= list.Count(); ++i)
            if (!list.Items(i)->PageImage()->Metafile()) return false;
        return true;
    };
    while (!filled() || firstAt < 0)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const double allMs = t.nsecsElapsed() / 1e6;
    report({{"strip_first_ms", firstAt / 1e6},
            {"strip_all_ms", allMs},
            {"strip_block_ms", watch.LongestMs()},
            {"peak_kib", static_cast<double>(peakKiB())}});
    return 0;
}

int runQtPreview(int pages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kDpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QWidget top;
    top.resize(1024, 800);
    QElapsedTimer t;
    t.start();
    auto* widget = new QPrintPreviewWidget(&printer, &top);
    widget->setGeometry(0, 0, 1024, 640);
    QObject::connect(widget, &QPrintPreviewWidget::paintRequested, [pages](QPrinter* p) {
        QPainter painter(p);
        const int dpi = p->resolution();
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) p->newPage();
            paintRawPage(painter, dpi, page);
        }
    });
    top.show();
    widget->updatePreview();
    QApplication::processEvents();
    if (auto* view = widget->findChild<QGraphicsView*>()) view->viewport()->repaint();
    const double firstMs = t.nsecsElapsed() / 1e6;
    report({{"first_ms", firstMs}, {"peak_kib", static_cast<double>(peakKiB())}});
    return 0;
}

int runRawPdf(int pages, const QString& file) {
    QElapsedTimer t;
    t.start();
    {
        QPdfWriter writer(file);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        QPainter painter(&writer);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1) writer.newPage();
            paintRawPage(painter, kDpi, page);
        }
    }
    const double exportMs = t.nsecsElapsed() / 1e6;
    report({{"export_ms", exportMs}, {"peak_kib", static_cast<double>(peakKiB())}});
    return 0;
}

int runPaginorPdf(int pages, const QString& file) {
    Window w;
    drawPaginorReport(*w.preview, pages);
    QElapsedTimer t;
    t.start();
    TKpPdfExportOptions options;
    options.Resolution = kDpi;
    ExportToPdf(*w.preview, file, options);
    const double exportMs = t.nsecsElapsed() / 1e6;
    report({{"export_ms", exportMs}, {"peak_kib", static_cast<double>(peakKiB())}});
    return 0;
}

int runContender(const QString& name, int pages) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    if (name == QLatin1String("paginor-preview")) return runPaginorPreview(pages);
    if (name == QLatin1String("paginor-strip")) return runPaginorStrip(pages);
    if (name == QLatin1String("qt-preview")) return runQtPreview(pages);
    if (name == QLatin1String("raw-pdf")) return runRawPdf(pages, pdf);
    if (name == QLatin1String("paginor-pdf")) return runPaginorPdf(pages, pdf);
    std::fprintf(stderr, "bench_peer: unknown contender %s\n", qPrintable(name));
    return 2;
}

// ---- the parent: one child per contender, then the table ----

std::map<QString, double> runChild(const QString& program, const QString& name, int pages) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {QStringLiteral("--contender"), name, QString::number(pages)});
    child.waitForFinished(-1);
    std::map<QString, double> out;
    const QString text = QString::fromLocal8Bit(child.readAllStandardOutput());
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("RESULT "))) continue;
        for (const QString& pair : line.mid(7).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            if (eq > 0) out[pair.left(eq)] = pair.mid(eq + 1).toDouble();
        }
    }
    if (out.empty())
        std::fprintf(stderr, "bench_peer: %s at %d pages gave no figures (exit %d)\n",
                     qPrintable(name), pages, child.exitCode());
    return out;
}

double ratio(double a, double b) {
    return b > 0 ? a / b : 0;
}

void runAll(const QString& program, int pages) {
    std::printf("\n== peer benchmark: %d pages of 200 objects ==\n", pages);
    std::fflush(stdout);
    const QStringList names{QStringLiteral("paginor-preview"), QStringLiteral("qt-preview"),
                            QStringLiteral("paginor-strip"), QStringLiteral("raw-pdf"),
                            QStringLiteral("paginor-pdf")};
    std::map<QString, std::map<QString, double>> r;
    for (const QString& name : names) {
        r[name] = runChild(program, name, pages);
        std::printf("%-16s", qPrintable(name));
        // The children report their peak in KiB; the table shows MiB.
        for (const auto& [k, v] : r[name]) {
            if (k == QLatin1String("peak_kib"))
                std::printf("  peak_mib %.1f", v / 1024);
            else
                std::printf("  %s %.1f", qPrintable(k), v);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    auto v = [&](const char* name, const char* key) {
        return r[QLatin1String(name)][QLatin1String(key)];
    };
    std::printf("ratios (%d pages):\n", pages);
    std::printf("  first page on screen: Paginor %.1fx sooner than QPrintPreviewWidget\n",
                ratio(v("qt-preview", "first_ms"), v("paginor-preview", "first_ms")));
    std::printf("  peak memory: Paginor preview %.2fx of QPrintPreviewWidget\n",
                ratio(v("paginor-preview", "peak_kib"), v("qt-preview", "peak_kib")));
    std::printf("  PDF export: Paginor %.2fx the time of raw QPdfWriter\n",
                ratio(v("paginor-pdf", "export_ms"), v("raw-pdf", "export_ms")));
    std::printf("  strip: first thumbnails %.0f ms, longest block %.1f ms, peak %.2fx of "
                "the preview without it\n",
                v("paginor-strip", "strip_first_ms"), v("paginor-strip", "strip_block_ms"),
                ratio(v("paginor-strip", "peak_kib"), v("paginor-preview", "peak_kib")));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--contender"))
        return runContender(args[2], args[3].toInt());

    // Google Benchmark's filter, as the bench runner passes it on: run only when it matches.
    QString pagesArg = qEnvironmentVariable("PAGINOR_BENCH_PAGES", QStringLiteral("1000"));
    for (const QString& a : args.mid(1)) {
        if (a.startsWith(QLatin1String("--benchmark_filter="))) {
            const QRegularExpression re(a.mid(19));
            if (!re.match(QStringLiteral("BM_Peer")).hasMatch()) return 0;
        } else if (a.startsWith(QLatin1String("--pages="))) {
            pagesArg = a.mid(8);
        }
    }
    for (const QString& p : pagesArg.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (p.toInt() > 0) runAll(QCoreApplication::applicationFilePath(), p.toInt());
    return 0;
}
