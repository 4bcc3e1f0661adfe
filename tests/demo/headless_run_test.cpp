// The demo program run unattended (offscreen) for each demo: it exits 0 having written the
// window picture, the PDF and the document, and each picture shows what its demo draws. A
// truncated document or a file that is not rich text given the same way is reported and the
// run goes on.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QWidget>

#include "../printing/print_fixture.h"

namespace {

struct RunResult {
    int code = -1;
    QString err;
};

RunResult RunDemo(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PAGINOR_BINARY_DIR "/paginor-demo"), args);
    RunResult r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        return r;
    }
    r.code = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// The white sheet in the preview area: the largest white rectangle's bounds found by
// scanning for the longest white run between the feature column and the tab panel.
QRect SheetBounds(const QImage& img) {
    QRect best;
    for (int y = 60; y < img.height() * 3 / 4; ++y) {
        int runStart = -1;
        for (int x = 140; x <= img.width() - 310; ++x) {
            const bool white = x < img.width() - 310 && (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
            if (white && runStart < 0) runStart = x;
            if (!white && runStart >= 0) {
                if (x - runStart > best.width())
                    best = QRect(runStart, y, x - runStart, 1);
                else if (x - runStart == best.width() && runStart == best.left())
                    best.setBottom(y);
                runStart = -1;
            }
        }
    }
    return best;
}

struct Ink {
    int red = 0, dark = 0, grey = 0, silver = 0, blue = 0, yellow = 0;
    int ruledRows = 0; // pixel rows crossed by a dark line over half the area's width
    QSet<QRgb> colours;
};

Ink InkIn(const QImage& img, const QRect& r) {
    Ink ink;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        int run = 0, longest = 0;
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            ink.colours.insert(c.rgb() & 0xFFFFFF);
            ink.red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
            ink.dark += c.lightness() < 100;
            ink.grey += c.lightness() < 230 && c.saturation() < 30;
            ink.silver += c.lightness() > 170 && c.lightness() < 220 && c.saturation() < 20;
            ink.blue += c.blue() > 150 && c.red() < 100;
            ink.yellow += c.red() > 200 && c.green() > 150 && c.blue() < 100;
            run = c.lightness() < 160 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        ink.ruledRows += longest > r.width() / 2;
    }
    return ink;
}

struct DemoCase {
    const char* name;
    int pages;
    bool atLeast = false; // pages is a minimum (text laid out in the fonts at hand)
};

} // namespace

class HeadlessDemo : public ::testing::TestWithParam<DemoCase> {};

TEST_P(HeadlessDemo, WritesPictureDocumentAndPdf) {
    const DemoCase& c = GetParam();
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("shot.png"));
    const QString pdf = dir.filePath(QStringLiteral("doc.pdf"));
    const QString kpp = dir.filePath(QStringLiteral("doc.kpp"));
    const RunResult r = RunDemo({QStringLiteral("--demo"), QString::fromLatin1(c.name),
                                 QStringLiteral("--screenshot"), png, QStringLiteral("--export"),
                                 pdf, QStringLiteral("--save"), kpp});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    QWidget host;
    auto* preview = new TKpPreview(&host);
    preview->LoadFromFile(kpp);
    if (c.atLeast)
        EXPECT_GE(preview->NumPages(), c.pages);
    else
        EXPECT_EQ(preview->NumPages(), c.pages);
    EXPECT_EQ(kptest::PdfPages(pdf).size(), static_cast<size_t>(preview->NumPages()));

    const QImage img(png);
    ASSERT_EQ(img.size(), QSize(1280, 860));
    const QRect sheet = SheetBounds(img);
    ASSERT_GE(sheet.width(), 100) << c.name;
    // The sheet's middle band, between the header and the footer, within the preview (above
    // the navigation bar, the strip and the bottom bar).
    // (An A4 sheet is 1.41 times as high as wide; the header sits in its top tenth and the
    // footer in its bottom tenth.)
    const QRect middle =
        QRect(sheet.left(), sheet.top() + sheet.width() / 5, sheet.width(), sheet.width()) &
        QRect(0, 0, img.width(), img.height() - 37 - 117 - 28 - 2);
    const Ink ink = InkIn(img, middle);
    const QString demo = QString::fromLatin1(c.name);
    if (demo == QLatin1String("about")) {
        EXPECT_GT(ink.dark, 50);           // the big "Paginor"
        EXPECT_GT(ink.colours.size(), 30); // and the picture under it
    } else if (demo == QLatin1String("canvas")) {
        EXPECT_GT(ink.red, 20);   // the red page title
        EXPECT_GT(ink.grey, 500); // the text lines, dark grey to silver
    } else if (demo == QLatin1String("graphics")) {
        EXPECT_GT(ink.colours.size(), 100); // three photographs
        EXPECT_GT(ink.red, 20);
    } else if (demo == QLatin1String("zooming")) {
        EXPECT_LT(ink.dark, 5); // an empty page between header and footer
        EXPECT_EQ(ink.red, 0);
    } else if (demo == QLatin1String("richtext")) {
        EXPECT_GT(ink.blue, 5);   // the sample's blue title
        EXPECT_GT(ink.grey, 800); // lines of text
        EXPECT_LT(ink.ruledRows, 3);
    } else if (demo == QLatin1String("stringgrid")) {
        EXPECT_GT(ink.ruledRows, 10); // the table's rules, row after row
        EXPECT_EQ(ink.red, 0);
    } else if (demo == QLatin1String("treeview")) {
        EXPECT_GT(ink.silver, 100); // connector lines
        EXPECT_GT(ink.yellow, 20);  // folder icons
        EXPECT_GT(ink.dark, 100);   // node texts
        EXPECT_LT(ink.ruledRows, 3);
    } else if (demo == QLatin1String("labels")) {
        EXPECT_GT(ink.red, 1000);   // "Label no. N"
        EXPECT_GT(ink.dark, 1000);  // barcodes
        EXPECT_GT(ink.silver, 200); // label outlines
    }
}

INSTANTIATE_TEST_SUITE_P(Demos, HeadlessDemo,
                         ::testing::Values(DemoCase{"about", 1}, DemoCase{"canvas", 7},
                                           DemoCase{"graphics", 2}, DemoCase{"zooming", 1},
                                           DemoCase{"richtext", 3, true}, DemoCase{"stringgrid", 4},
                                           DemoCase{"treeview", 1}, DemoCase{"labels", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeadlessRun, TruncatedDocumentIsReportedAndTheRunGoesOn) {
    QTemporaryDir dir;
    const QString kpp = dir.filePath(QStringLiteral("doc.kpp"));
    ASSERT_EQ(
        RunDemo({QStringLiteral("--demo"), QStringLiteral("canvas"), QStringLiteral("--save"), kpp})
            .code,
        0);
    QFile whole(kpp);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QString cut = dir.filePath(QStringLiteral("cut.kpp"));
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() - 40));
    out.close();
    const QString png = dir.filePath(QStringLiteral("after.png"));
    const RunResult r =
        RunDemo({QStringLiteral("--demo"), QStringLiteral("about"), QStringLiteral("--open"), cut,
                 QStringLiteral("--screenshot"), png});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("paginor-demo: Stream read error")))
        << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(png)); // the step after the failed one still ran
}

TEST(HeadlessRun, RichTextDemoLaysOutTheGivenFileOrReportsIt) {
    QTemporaryDir dir;
    const QString twoPages = dir.filePath(QStringLiteral("two.rtf"));
    const QString words = dir.filePath(QStringLiteral("words.rtf"));
    for (const auto& [file, bytes] :
         {std::pair{twoPages, QByteArray("{\\rtf1\\ansi First page\\page Second page}")},
          std::pair{words, QByteArray("Only words.")}}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QString kpp = dir.filePath(QStringLiteral("doc.kpp"));
    RunResult r = RunDemo({QStringLiteral("--demo"), QStringLiteral("richtext"),
                           QStringLiteral("--rtf"), twoPages, QStringLiteral("--save"), kpp});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("Open *.RTF File"))); // no message box
    QWidget host;
    auto* preview = new TKpPreview(&host);
    preview->LoadFromFile(kpp);
    EXPECT_EQ(preview->NumPages(), 2);

    // Not rich text: reported, and the document (the demo's empty page) is still saved.
    QFile::remove(kpp);
    r = RunDemo({QStringLiteral("--demo"), QStringLiteral("richtext"), QStringLiteral("--rtf"),
                 words, QStringLiteral("--save"), kpp});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("words.rtf: not a rich text (RTF) file")))
        << r.err.toStdString();
    preview->LoadFromFile(kpp);
    EXPECT_EQ(preview->NumPages(), 1);
}

TEST(HeadlessRun, ZoomAndPictureWidthOptions) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("small.png"));
    const struct {
        const char* zoom;
        const char* width;
        int code;
        QSize size; // of the picture; empty: none written
        const char* error;
    } cases[] = {
        {"50", "800", 0, QSize(800, 538), ""},
        {"50", "2000", 0, QSize(1280, 860), ""}, // never scaled up
        {"fifty", "800", 1, QSize(800, 538), "--zoom wants a percentage, not 'fifty'"},
        {"50", "0", 1, QSize(1280, 860), "--screenshot-width wants a number of pixels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        QFile::remove(png);
        const RunResult r =
            RunDemo({QStringLiteral("--demo"), QStringLiteral("about"), QStringLiteral("--zoom"),
                     QString::fromLatin1(c.zoom), QStringLiteral("--screenshot-width"),
                     QString::fromLatin1(c.width), QStringLiteral("--screenshot"), png});
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.error))) << r.err.toStdString();
        const QImage img(png);
        EXPECT_EQ(img.size(), c.size);
        if (img.width() < 1280) EXPECT_LE(img.colorCount(), 256);
    }
}

TEST(HeadlessRun, UnknownDemoIsRefused) {
    const RunResult r = RunDemo({QStringLiteral("--demo"), QStringLiteral("nonsense"),
                                 QStringLiteral("--screenshot"), QStringLiteral("x.png")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral(
        "about, canvas, graphics, zooming, richtext, stringgrid, treeview, labels")));
}
