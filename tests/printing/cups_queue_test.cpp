// The same documents through a real CUPS queue writing PDF (cups-pdf). Skipped unless the
// test runner set PAGINOR_CUPS_QUEUE and the spooler answers.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include "cups_queue.h"
#include "platform/KpCupsResolution.h"
#include "platform/KpWinFlags.h"
#include "print_fixture.h"

using namespace kp;

using namespace kptest;

class CupsQueue : public ::testing::Test {
protected:
    void SetUp() override {
        queue = qEnvironmentVariable("PAGINOR_CUPS_QUEUE");
        if (queue.isEmpty()) GTEST_SKIP() << "PAGINOR_CUPS_QUEUE is not set";
        if (!SpoolerRunning()) GTEST_SKIP() << "the CUPS scheduler is not reachable";
        // The real printers, listed afresh for this test.
        scope = std::make_unique<TKpScopedPrinterBackend>(MakeQtPrinterBackend());
        host = std::make_unique<PreviewHost>();
        TKpPrinter& printer = host->preview->KpPrinter();
        ASSERT_TRUE(printer.PrinterInstalled());
        for (int i = 0; i < printer.Printers().Count(); ++i)
            if (printer.Printers().Objects(i)->Device == queue) index = i;
        ASSERT_GE(index, 0) << "queue " << queue.toStdString() << " is not listed";
        printer.SetPrinterIndex(index);
        TKpPreview& preview = *host->preview;
        preview.AutoRefresh = false;
        for (int i = 1; i <= 4; ++i) {
            TKpPage* page = i == 1 ? preview.GetPage(1) : preview.NewPage();
            AddRect(page, 2540, 2540, 7620, 7620, clBlack);
        }
        preview.AutoRefresh = true;
    }
    void TearDown() override {
        for (const QString& f : written)
            QFile::remove(f);
        host.reset();
        scope.reset();
    }

    // Prints the document and returns the PDF the queue wrote.
    QString PrintAndCollect(TKpPagesPerSheet perSheet) {
        const QSet<int> before = JobIds(queue);
        host->preview->SetPagesPerSheet(perSheet);
        host->preview->SetTitle(QStringLiteral("Paginor queue test"));
        host->preview->Print();
        const QSet<int> added = JobIds(queue) - before;
        EXPECT_EQ(added.size(), 1) << "one job per print";
        const QString file = added.size() == 1 ? WaitForJobFile(*added.begin()) : QString();
        if (!file.isEmpty()) written << file;
        return file;
    }

    QString queue;
    QStringList written; // the queue's output files, removed afterwards
    QTemporaryDir scratch;
    int index = -1;
    ErrorCollector errors;
    std::unique_ptr<TKpScopedPrinterBackend> scope;
    std::unique_ptr<PreviewHost> host;
};

TEST_F(CupsQueue, DeviceReportsGeometry) {
    TKpPrinter& printer = host->preview->KpPrinter();
    EXPECT_GT(PrinterDpi(), 0);
    EXPECT_NE(PrinterDpi(), 360);
    const TKpPrinterGeometry g = TKpPlatformPrinter::Instance().Geometry();
    EXPECT_EQ(g.LogPixelsX, PrinterDpi());
    EXPECT_GT(g.PhysicalHeight, g.PhysicalWidth);
    EXPECT_EQ(printer.PhysicalOffset(), QPoint(g.PhysicalOffsetX, g.PhysicalOffsetY));
}

// The queue's default resolution as lpoptions marks it ("*300dpi"), not the 1200 dpi of a
// high-resolution QPrinter.
TEST_F(CupsQueue, PrinterDpiIsTheQueuesDefaultResolution) {
    const QString options = kptest::Run(QStringLiteral("lpoptions"),
                                        {QStringLiteral("-p"), queue, QStringLiteral("-l")});
    static const QRegularExpression re(QStringLiteral(R"(^Resolution/.*\*(\d+)(?:x\d+)?dpi)"),
                                       QRegularExpression::MultilineOption);
    const auto m = re.match(options);
    ASSERT_TRUE(m.hasMatch()) << options.toStdString();
    EXPECT_EQ(PrinterDpi(), m.captured(1).toInt());
    EXPECT_EQ(KpParseResolution("600x300dpi"), 600);
    EXPECT_EQ(KpParseResolution("118dpcm"), 300);
    EXPECT_EQ(KpParseResolution("high"), 0);
}

TEST_F(CupsQueue, OnePerSheet) {
    const QString file = PrintAndCollect(kpOnePage);
    ASSERT_FALSE(file.isEmpty());
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 4u);
    for (const PdfPage& p : pages) {
        EXPECT_NEAR(p.width, 595, 1.0);
        EXPECT_NEAR(p.height, 842, 1.0);
    }
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join("|").toStdString();
}

// The spooler hands landscape sheets over as the paper lies in the tray: cups-pdf writes
// them as portrait pages with the content turned. What must hold is the sheet count, the
// paper, and each logical page in its own half along the sheet's long side.
TEST_F(CupsQueue, TwoPerSheet) {
    const QString file = PrintAndCollect(kpTwoPage);
    ASSERT_FALSE(file.isEmpty());
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 2u);
    for (const PdfPage& p : pages) {
        EXPECT_NEAR(std::min(p.width, p.height), 595, 1.0);
        EXPECT_NEAR(std::max(p.width, p.height), 842, 1.0);
    }
    const QString stem = scratch.filePath("sheet1");
    kptest::Run("pdftoppm", {"-r", "36", "-f", "1", "-l", "1", "-png", "-singlefile", file, stem});
    const QImage img = QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(img.isNull());
    const bool tall = img.height() > img.width();
    const int longSide = tall ? img.height() : img.width();
    int darkFirstHalf = 0, darkSecondHalf = 0, darkMiddle = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (qRed(img.pixel(x, y)) >= 80) continue;
            const int along = tall ? y : x;
            if (along < longSide / 2)
                ++darkFirstHalf;
            else
                ++darkSecondHalf;
            if (std::abs(along - longSide / 2) < 3) ++darkMiddle;
        }
    // Each square is 2 x 0.707 inches wide: about 50 x 50 pixels at 36 dpi.
    EXPECT_GT(darkFirstHalf, 1500);
    EXPECT_GT(darkSecondHalf, 1500);
    EXPECT_EQ(darkMiddle, 0);
}

TEST_F(CupsQueue, FourPerSheet) {
    const QString file = PrintAndCollect(kpFourPage);
    ASSERT_FALSE(file.isEmpty());
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].width, 595, 1.0);
    EXPECT_NEAR(pages[0].height, 842, 1.0);
}

TEST_F(CupsQueue, KppToolPrintsToTheNamedQueue) {
    if (!QFileInfo(Tool()).isExecutable()) GTEST_SKIP() << "kpptool is not built";
    const QString doc = scratch.filePath("queue.kpp");
    host->preview->SaveToFile(doc);
    const QSet<int> before = JobIds(queue);
    const ToolResult r = RunTool({"print", doc, "--printer", queue, "--pages-per-sheet", "2"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(queue));
    const QSet<int> added = JobIds(queue) - before;
    ASSERT_EQ(added.size(), 1);
    const QString file = WaitForJobFile(*added.begin());
    ASSERT_FALSE(file.isEmpty());
    written << file;
    EXPECT_EQ(PdfPages(file).size(), 2u);
}

// A queue whose PPD offers duplex: the device mode starts with the duplex field and the
// printer's default, and the chosen duplex reaches the spooled job as its sides.
TEST(CupsDuplexQueue, DuplexSettingReachesTheJob) {
    const QString queue = qEnvironmentVariable("PAGINOR_CUPS_DUPLEX_QUEUE");
    if (queue.isEmpty()) GTEST_SKIP() << "PAGINOR_CUPS_DUPLEX_QUEUE is not set";
    if (!SpoolerRunning()) GTEST_SKIP() << "the CUPS scheduler is not reachable";
    TKpScopedPrinterBackend scope(MakeQtPrinterBackend());
    ErrorCollector errors;
    PreviewHost host;
    TKpPrinter& printer = host.preview->KpPrinter();
    int index = -1;
    for (int i = 0; i < printer.Printers().Count(); ++i)
        if (printer.Printers().Objects(i)->Device == queue) index = i;
    ASSERT_GE(index, 0);
    printer.SetPrinterIndex(index);
    const TKpDeviceMode* mode = TKpPlatformPrinter::Instance().DeviceMode();
    ASSERT_NE(mode, nullptr);
    EXPECT_TRUE(mode->dmFields & DM_DUPLEX);
    EXPECT_EQ(printer.Duplex(), kpSimplex); // the PPD's default is off
    printer.SetDuplex(kpVertDuplex);
    EXPECT_EQ(printer.Duplex(), kpVertDuplex);

    host.preview->NewPage();
    const QSet<int> before = JobIds(queue);
    host.preview->Print();
    const QSet<int> added = JobIds(queue) - before;
    ASSERT_EQ(added.size(), 1);
    const int id = *added.begin();
    const QString file = WaitForJobFile(id);
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(PdfPages(file).size(), 2u);
    QFile::remove(file);
    // The job's attributes as the spooler keeps them.
    QFile control(QStringLiteral("/var/spool/cups/c%1").arg(id, 5, 10, QLatin1Char('0')));
    if (!control.open(QIODevice::ReadOnly)) GTEST_SKIP() << "job attributes are not readable";
    EXPECT_TRUE(control.readAll().contains("two-sided-long-edge"));
    EXPECT_TRUE(errors.texts.isEmpty());
}
