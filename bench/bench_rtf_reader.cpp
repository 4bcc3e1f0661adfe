// Reading a generated rich text document of about 100 pages: paragraphs in several fonts and
// colours, a table every few pages, a few pictures, a hyperlink and a list on every page.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTextDocument>

#include "richtext/KpRtfReader.h"

using namespace kp;

namespace {

constexpr int kPages = 100;

QByteArray PictureHex() {
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

QByteArray MakeDocument() {
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}"
                     "{\\f1\\fswiss\\fcharset0 Liberation Sans;}{\\f2\\fmodern Liberation Mono;}}"
                     "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green100\\blue0;}"
                     "\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1417\\margb1417\n";
    const QByteArray picture = PictureHex();
    const QByteArray sentence = "The quick brown fox jumps over the lazy dog, and then {\\b "
                                "bold}, {\\i italic} and {\\cf1 red} words follow \\'e9t\\'e9. ";
    for (int page = 0; page < kPages; ++page) {
        rtf += "\\pard\\sb240\\sa120\\f1\\fs32\\b Chapter " + QByteArray::number(page + 1) +
               "\\b0\\fs24\\f0\\par\n";
        for (int p = 0; p < 6; ++p) {
            rtf += "\\pard\\fi360\\qj ";
            for (int s = 0; s < 5; ++s)
                rtf += sentence;
            rtf += "\\par\n";
        }
        rtf += "{\\listtext 1.\\tab}\\pard\\li720\\fi-360 An item with "
               "{\\field{\\*\\fldinst HYPERLINK \"https://example.org\"}{\\fldrslt a link}}\\par\n";
        if (page % 4 == 0) {
            for (int r = 0; r < 8; ++r) {
                rtf += "\\trowd\\trgaph108\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                       "\\cellx3000\\cellx6000\\cellx9000\n";
                for (int c = 0; c < 3; ++c)
                    rtf += "\\pard\\intbl Cell " + QByteArray::number(r) + "." +
                           QByteArray::number(c) + "\\cell ";
                rtf += "\\row\n";
            }
            rtf += "\\pard\\par\n";
        }
        if (page % 10 == 5)
            rtf += "{\\pict\\pngblip\\picwgoal3000\\pichgoal1800 " + picture + "}\\par\n";
    }
    return rtf + "}";
}

void BM_ReadRtf100Pages(benchmark::State& state) {
    const QByteArray rtf = MakeDocument();
    for (auto _ : state) {
        QTextDocument doc;
        const TKpRtfReadResult result = ReadRtf(rtf, doc);
        benchmark::DoNotOptimize(result.ok);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * rtf.size());
}
BENCHMARK(BM_ReadRtf100Pages)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
