// A 100-page rich text document read, laid out and exported to PDF: by `kpptool rtf` as a
// program, by the same library calls in process, and, when it is installed, by LibreOffice's
// headless conversion of the same file for comparison.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include "content/KpRtfPreview.h"
#include "preview/KpPreview.h"
#include "printing/KpPdfExport.h"
#include "richtext/KpRichEdit.h"

using namespace kp;

namespace {

QByteArray PictureHex(int seed) {
    QImage img(240, 150, QImage::Format_RGB32);
    img.fill(QColor::fromHsv(seed * 47 % 360, 120, 230));
    {
        QPainter p(&img);
        p.setPen(QPen(Qt::darkBlue, 4));
        p.drawRect(img.rect().adjusted(2, 2, -3, -3));
        p.drawEllipse(QPoint(120, 75), 50, 40);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return buffer.data().toHex();
}

// About `pages` A4 pages: 12 pt paragraphs, a 12-row table every 5 pages, a picture every 20.
QByteArray SamplePages(int pages) {
    static const char* words[] = {"layout",  "page", "preview", "text",   "rich",  "table",
                                  "picture", "font", "margin",  "column", "print", "break"};
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss "
                     "Arial;}}{\\colortbl;\\red0\\green0\\blue0;\\red200\\green0\\blue0;}\n"
                     "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1417\\margb1417\n";
    int w = 0;
    for (int page = 0; page < pages; ++page) {
        rtf += "{\\pard\\sb200\\sa100\\f1\\fs28\\b\\cf2 Section " + QByteArray::number(page + 1) +
               "\\par}\n";
        for (int para = 0; para < 6; ++para) {
            rtf += "{\\pard\\sa120\\f0\\fs24 ";
            for (int i = 0; i < 90; ++i) {
                if (i % 17 == 5) rtf += "{\\b ";
                rtf += words[w++ % 12];
                if (i % 17 == 5) rtf += "}";
                rtf += ' ';
            }
            rtf += "\\par}\n";
        }
        if (page % 5 == 2) {
            for (int r = 0; r < 12; ++r) {
                rtf += "\\trowd\\trgaph108";
                for (int c = 0; c < 4; ++c)
                    rtf += "\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx" +
                           QByteArray::number(2400 * (c + 1));
                for (int c = 0; c < 4; ++c)
                    rtf += "\\pard\\intbl{\\f0\\fs20 cell " + QByteArray::number(r) + "." +
                           QByteArray::number(c) + "}\\cell";
                rtf += "\\row\n";
            }
            rtf += "\\pard\n";
        }
        if (page % 20 == 10)
            rtf += "{\\pard\\qc{\\pict\\pngblip\\picw240\\pich150\\picwgoal3600\\pichgoal2250 " +
                   PictureHex(page) + "}\\par}\n";
    }
    rtf += "}\n";
    return rtf;
}

struct Sample {
    QTemporaryDir dir;
    QString rtf;
    Sample() {
        rtf = dir.filePath(QStringLiteral("hundred.rtf"));
        QFile f(rtf);
        f.open(QIODevice::WriteOnly);
        f.write(SamplePages(100));
    }
};

Sample& TheSample() {
    static Sample s;
    return s;
}

void BM_KpptoolRtfToPdf(benchmark::State& state) {
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../kpptool");
    if (!QFile::exists(tool)) {
        state.SkipWithError("kpptool is not built");
        return;
    }
    const QString pdf = TheSample().dir.filePath(QStringLiteral("kpptool.pdf"));
    for (auto _ : state) {
        QProcess p;
        p.start(tool, {QStringLiteral("rtf"), TheSample().rtf, QStringLiteral("-o"), pdf});
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            state.SkipWithError("kpptool rtf failed");
            return;
        }
    }
}
BENCHMARK(BM_KpptoolRtfToPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Lays the rich text out onto the preview's pages; false when it does not load.
bool PrintRtf(const QByteArray& data, TKpPreview& preview) {
    TKpRichEdit edit;
    if (!edit.LoadFromData(data)) return false;
    TKpRtfPreview rtf;
    rtf.SetPreview(&preview);
    rtf.PrintRichEdit(edit);
    return true;
}

// The same work in process, with the page count as a counter.
void BM_ReadLayOutExport(benchmark::State& state) {
    QFile f(TheSample().rtf);
    f.open(QIODevice::ReadOnly);
    const QByteArray data = f.readAll();
    const QString pdf = TheSample().dir.filePath(QStringLiteral("inprocess.pdf"));
    int pages = 0;
    for (auto _ : state) {
        QWidget host;
        TKpPreview preview(&host);
        if (!PrintRtf(data, preview)) {
            state.SkipWithError("the sample did not load");
            return;
        }
        ExportToPdf(preview, pdf);
        pages = preview.NumPages();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReadLayOutExport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LibreOfficeToPdf(benchmark::State& state) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        state.SkipWithError("LibreOffice (soffice) is not installed");
        return;
    }
    const QString out = TheSample().dir.filePath(QStringLiteral("lo"));
    // A profile of its own, made before timing, so the first run's set-up is not counted.
    const QString profile = QStringLiteral("-env:UserInstallation=file://") +
                            TheSample().dir.filePath(QStringLiteral("profile"));
    const QStringList args{profile,
                           QStringLiteral("--headless"),
                           QStringLiteral("--convert-to"),
                           QStringLiteral("pdf"),
                           QStringLiteral("--outdir"),
                           out,
                           TheSample().rtf};
    QProcess warm;
    warm.start(soffice, args);
    warm.waitForFinished(600000);
    for (auto _ : state) {
        QProcess p;
        p.start(soffice, args);
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            state.SkipWithError("soffice --convert-to pdf failed");
            return;
        }
    }
}
BENCHMARK(BM_LibreOfficeToPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One paragraph of state.range(0) bytes of words, read and laid out onto pages: the time per
// byte stays the same as the paragraph grows.
QByteArray OneParagraph(qsizetype bytes) {
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24 ";
    static const char* words[] = {"layout ", "page ", "preview ", "text ", "rich ", "margin "};
    rtf.reserve(bytes + 64);
    for (int w = 0; rtf.size() < bytes; ++w)
        rtf += words[w % 6];
    return rtf + "\\par}";
}

// A table of state.range(0) rows of four cells, read and laid out onto pages.
QByteArray TableRows(int rows) {
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs20\n";
    for (int r = 0; r < rows; ++r) {
        rtf += "\\trowd\\trgaph108";
        for (int c = 0; c < 4; ++c)
            rtf += "\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx" + QByteArray::number(2400 * (c + 1));
        for (int c = 0; c < 4; ++c)
            rtf += "\\pard\\intbl cell " + QByteArray::number(r) + "." + QByteArray::number(c) +
                   "\\cell";
        rtf += "\\row\n";
    }
    return rtf + "\\pard\\par}";
}

void LayOut(benchmark::State& state, const QByteArray& data) {
    int pages = 0;
    for (auto _ : state) {
        QWidget host;
        TKpPreview preview(&host);
        if (!PrintRtf(data, preview)) {
            state.SkipWithError("the sample did not load");
            return;
        }
        pages = preview.NumPages();
    }
    state.counters["pages"] = pages;
    state.SetBytesProcessed(state.iterations() * data.size());
}

// About 500 pages of the sample's kind, read and laid out onto the preview's pages (no
// export): it is meant to take under 5 s.
void BM_LayOutFiveHundredPages(benchmark::State& state) {
    LayOut(state, SamplePages(560));
}
BENCHMARK(BM_LayOutFiveHundredPages)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LongParagraph(benchmark::State& state) {
    LayOut(state, OneParagraph(state.range(0)));
}
// One paragraph lays out in time linear in its size, up to 20 MB (some 4,300 pages, laid
// out in parts; see richtext/KpColumnParts.h).
BENCHMARK(BM_LongParagraph)
    ->Arg(200 << 10)
    ->Arg(2 << 20)
    ->Arg(20 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_TableRows(benchmark::State& state) {
    LayOut(state, TableRows(static_cast<int>(state.range(0))));
}
// A long table lays out in time linear in its rows, in pieces of rows (see
// richtext/KpColumnParts.h).
BENCHMARK(BM_TableRows)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
