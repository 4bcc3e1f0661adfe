// PDF export without a printer, monochrome greying and slot clipping, checked on the
// rendered PDF pixels.
#include <QImage>

#include "print_fixture.h"
#include "printing/KpPdfExport.h"

using namespace kp;

using namespace kptest;

namespace {

// Renders page n of a PDF at 72 dpi (one pixel per point).
QImage Render(const QString& pdf, int page, const QString& stem) {
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QString::number(page),
         QStringLiteral("-l"), QString::number(page), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

struct Colourful {
    explicit Colourful(TKpPreview& preview) {
        preview.AutoRefresh = false;
        TKpPage* page = preview.GetPage(1);
        // A red square from 1 to 3 inches, a blue bar at 4 inches, green text at 5 inches.
        AddRect(page, 2540, 2540, 7620, 7620, KpRGB(255, 0, 0), KpRGB(255, 0, 0));
        AddLine(page, 2540, 10160, 7620, 10160, KpRGB(0, 0, 255), 60);
        AddText(page, 2540, 12700, QStringLiteral("Greyed"), KpRGB(0, 255, 0), 40);
        preview.AutoRefresh = true;
    }
};

bool IsGrey(QRgb c) {
    return std::abs(qRed(c) - qGreen(c)) <= 1 && std::abs(qGreen(c) - qBlue(c)) <= 1;
}

// The darkest pixel of a region (smallest red + green + blue).
QRgb Darkest(const QImage& img, const QRect& r) {
    QRgb best = qRgb(255, 255, 255);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qRed(c) + qGreen(c) + qBlue(c) < qRed(best) + qGreen(best) + qBlue(best)) best = c;
        }
    return best;
}

} // namespace

class Export : public ::testing::Test {
protected:
    QTemporaryDir dir;
    // No printer on the system: the export must not need one.
    VirtualPrinter none{std::vector<TKpVirtualPrinterSetup>{}};
    ErrorCollector errors;
    PreviewHost host;
    TKpPreview& preview = *host.preview;
};

TEST_F(Export, RunsTheJobWithoutAPrinterAndLeavesTheSystemAsItWas) {
    Colourful doc(preview);
    int before = 0, after = 0;
    preview.BeforePrint = [&](void*) { ++before; };
    preview.AfterPrint = [&](void*) { ++after; };
    const QString out = dir.filePath("colour.pdf");
    ExportToPdf(preview, out, {.Resolution = 300});
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 2);
    EXPECT_TRUE(errors.texts.isEmpty());
    const auto pages = PdfPages(out);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].width, 595.3, 0.5);  // 210 mm
    EXPECT_NEAR(pages[0].height, 841.9, 0.5); // 297 mm
    // The system still has no printer; the job cleared PrintToFile.
    EXPECT_FALSE(preview.KpPrinter().PrinterInstalled());
    EXPECT_EQ(preview.KpPrinter().PrinterIndex(), -1);
    EXPECT_EQ(PrinterDpi(), 360);
    EXPECT_TRUE(preview.PrintToFile.isEmpty());
    // And the colours are as recorded.
    const QImage img = Render(out, 1, dir.filePath("colour"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixel(144, 144), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(144, 288), qRgb(0, 0, 255));
    const QRgb text = Darkest(img, QRect(72, 360, 200, 50));
    EXPECT_GT(qGreen(text), qRed(text) + 100);
}

TEST_F(Export, MonochromeGreysTextPensAndBrushes) {
    Colourful doc(preview);
    preview.KpPrinter().SetPrintColor(kpMonochrome);
    const QString out = dir.filePath("mono.pdf");
    ExportToPdf(preview, out, {.Resolution = 300});
    preview.KpPrinter().SetPrintColor(kpColor);
    const QImage img = Render(out, 1, dir.filePath("mono"));
    ASSERT_FALSE(img.isNull());
    // Grey = round(0.3 R + 0.6 G + 0.1 B): red 76.5 -> 76, blue 25.5 -> 26, green 153.
    EXPECT_EQ(img.pixel(144, 144), qRgb(76, 76, 76));
    EXPECT_EQ(img.pixel(144, 288), qRgb(26, 26, 26));
    const QRgb text = Darkest(img, QRect(72, 360, 200, 50));
    EXPECT_TRUE(IsGrey(text));
    EXPECT_NEAR(qRed(text), 153, 2);
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            ASSERT_TRUE(IsGrey(img.pixel(x, y))) << x << "," << y;
}

TEST_F(Export, NothingOfALogicalPageEscapesItsSlot) {
    preview.AutoRefresh = false;
    // A black band far wider than the page, and page 2 left empty.
    AddRect(preview.GetPage(1), 0, 5000, 60000, 8000, clBlack);
    preview.NewPage();
    preview.AutoRefresh = true;
    preview.SetPagesPerSheet(kpTwoPage);
    const QString out = dir.filePath("clip.pdf");
    ExportToPdf(preview, out, {.Resolution = 300});
    const QImage img = Render(out, 1, dir.filePath("clip"));
    ASSERT_FALSE(img.isNull());
    ASSERT_EQ(img.width(), 842);
    // Two-up scale 595/842: the band's middle lies at 65 mm x 0.7067 = 130 pt.
    EXPECT_EQ(img.pixel(300, 130), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(425, 130), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(700, 130), qRgb(255, 255, 255));
}

TEST_F(Export, RangeResolutionAndOffsets) {
    preview.AutoRefresh = false;
    for (int i = 1; i <= 4; ++i) {
        TKpPage* page = i == 1 ? preview.GetPage(1) : preview.NewPage();
        AddText(page, 2540, 2540, QStringLiteral("Sheet%1").arg(i));
    }
    preview.AutoRefresh = true;
    const QString out = dir.filePath("range.pdf");
    int printed = 0;
    preview.OnPrintProgress = [&](void*, int p, int total) {
        printed = p;
        EXPECT_EQ(total, 2);
    };
    std::vector<QRect> rects;
    preview.OnPrintPage = [&](void*, int, const QRect& r, TKpDeviceCanvas*, Extended) {
        rects.push_back(r);
    };
    ExportToPdf(preview, out,
                {.Resolution = 1200, .Offset = {100, 200}, .FromPage = 2, .ToPage = 3});
    EXPECT_EQ(printed, 2);
    ASSERT_EQ(rects.size(), 2u);
    // A4 as the device takes it (595 x 842 pt) at 1200 dpi, less the printable corner.
    EXPECT_EQ(rects[0].topLeft(), QPoint(-100, -200));
    EXPECT_EQ(rects[0].width(), 9917);
    EXPECT_EQ(rects[0].height(), 14033);
    const auto words = PdfWords(out);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].text, QStringLiteral("Sheet2"));
    EXPECT_EQ(words[1].text, QStringLiteral("Sheet3"));
    EXPECT_NEAR(words[0].xMin, 72, 1.0);

    EXPECT_THROW(ExportToPdf(preview, out, {.FromPage = 3, .ToPage = 9}), std::out_of_range);
    EXPECT_THROW(ExportToPdf(preview, QString()), std::invalid_argument);
    EXPECT_THROW(ExportToPdf(preview, out, {.Resolution = 0}), std::invalid_argument);
}
