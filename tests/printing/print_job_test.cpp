// The print job on a virtual PDF printer: sheets, slots, scales, events and the PDF itself.
#include <QImage>

#include "print_fixture.h"
#include "printing/KpPdfExport.h"

using namespace kp;

using namespace kptest;

namespace {

constexpr int kDpi = 600;
// A4 at 600 dpi as the device reports it (595 x 842 pt).
constexpr int kA4W = 4958;
constexpr int kA4H = 7017;
// Printable corner of the virtual printer in portrait; exchanged on landscape sheets.
const QPoint kOffset(30, 40);

TKpVirtualPrinterSetup A4Printer() {
    TKpVirtualPrinterSetup s;
    s.Name = QStringLiteral("Virtual A4");
    s.Resolution = kDpi;
    s.Offset = kOffset;
    return s;
}

QRect Rect(int l, int t, int r, int b) {
    return QRect(l, t, r - l, b - t);
}

// Every print event as text, in order.
struct EventLog {
    explicit EventLog(TKpPreview& p) : preview(p) {
        p.BeforePrint = [this](void* s) { add("BeforePrint", s); };
        p.AfterPrint = [this](void* s) { add("AfterPrint", s); };
        p.BeforePrintPage = [this](void* s, TKpPage* page, void* handle) {
            add(QStringLiteral("BeforePrintPage %1").arg(page->PageNum), s);
            if (!handle) lines << QStringLiteral("no handle");
        };
        p.AfterPrintPage = [this](void* s, TKpPage* page, void*) {
            add(QStringLiteral("AfterPrintPage %1").arg(page->PageNum), s);
        };
        p.OnPrintPage = [this](void* s, int n, const QRect& r, TKpDeviceCanvas* c, Extended sc) {
            add(QStringLiteral("OnPrintPage %1").arg(n), s);
            rects.push_back(r);
            scales.push_back(sc);
            if (!c) lines << QStringLiteral("no canvas");
        };
        p.OnPrintProgress = [this](void* s, int printed, int total) {
            add(QStringLiteral("OnPrintProgress %1/%2").arg(printed).arg(total), s);
        };
    }
    void add(const QString& what, void* sender) {
        const QString who = sender == &preview               ? QStringLiteral("preview")
                            : sender == &preview.KpPrinter() ? QStringLiteral("printer")
                                                             : QStringLiteral("other");
        lines << what + QStringLiteral(" <") + who + QLatin1Char('>');
    }
    QStringList only(const QString& prefix) const {
        QStringList out;
        for (const QString& l : lines)
            if (l.startsWith(prefix)) out << l;
        return out;
    }
    TKpPreview& preview;
    QStringList lines;
    std::vector<QRect> rects;
    std::vector<Extended> scales;
};

// A document of n portrait pages, each with its number as a word "PageN".
void Build(TKpPreview& preview, int n) {
    preview.AutoRefresh = false;
    for (int i = 1; i <= n; ++i) {
        TKpPage* page = i == 1 ? preview.GetPage(1) : preview.NewPage();
        AddText(page, 2540, 5080, QStringLiteral("Page%1").arg(i));
    }
    preview.AutoRefresh = true;
}

bool Near(double a, double b, double tol) {
    return std::abs(a - b) <= tol;
}

} // namespace

class PrintJob : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString File(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    VirtualPrinter printer{A4Printer()};
    ErrorCollector errors;
    PreviewHost host;
    TKpPreview& preview = *host.preview;
};

TEST_F(PrintJob, FullEventOrderWithSenders) {
    Build(preview, 2);
    EventLog log(preview);
    preview.PrintToFile = File("events.pdf");
    preview.Print();
    const QStringList expected = {"BeforePrint <preview>",         "BeforePrint <printer>",
                                  "BeforePrintPage 1 <preview>",   "OnPrintPage 1 <preview>",
                                  "AfterPrintPage 1 <preview>",    "OnPrintProgress 1/2 <preview>",
                                  "BeforePrintPage 2 <preview>",   "OnPrintPage 2 <preview>",
                                  "OnPrintProgress 2/2 <preview>", "AfterPrint <printer>",
                                  "AfterPrint <preview>"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_FALSE(preview.KpPrinter().Printing());
}

TEST_F(PrintJob, TwoUpPortraitPagesSideBySideOnLandscapeSheets) {
    Build(preview, 3);
    preview.SetPagesPerSheet(kpTwoPage);
    EventLog log(preview);
    const QString out = File("twoup.pdf");
    preview.PrintToFile = out;
    preview.Print();

    // The sheet turns landscape: W = 7017, H = 4958; the printable corner is (40, 30).
    const int w = kA4H, h = kA4W;
    ASSERT_EQ(log.rects.size(), 3u);
    EXPECT_EQ(log.rects[0], Rect(0 - 40, 0 - 30, w / 2 - 40, h - 30));
    EXPECT_EQ(log.rects[1], Rect(w / 2 - 40, 0 - 30, w - 40, h - 30));
    EXPECT_EQ(log.rects[2], Rect(0 - 40, 0 - 30, w / 2 - 40, h - 30));
    for (Extended s : log.scales)
        EXPECT_EQ(s, static_cast<Extended>(h) / w);
    EXPECT_EQ(log.only("AfterPrintPage"), QStringList{"AfterPrintPage 2 <preview>"});

    const auto pages = PdfPages(out);
    ASSERT_EQ(pages.size(), 2u);
    for (const PdfPage& p : pages) {
        EXPECT_NEAR(p.width, 842, 0.5);
        EXPECT_NEAR(p.height, 595, 0.5);
    }
    // Page 1 left, page 2 right on sheet 1; page 3 left on sheet 2. At the two-up scale
    // p = round(4958 / 7017 * 600) = 424: 1 inch is 424 device pixels from the slot corner.
    const auto words = PdfWords(out);
    const PdfWord* p1 = FindWord(words, "Page1");
    const PdfWord* p2 = FindWord(words, "Page2");
    const PdfWord* p3 = FindWord(words, "Page3");
    ASSERT_TRUE(p1 && p2 && p3);
    EXPECT_EQ(p1->page, 1);
    EXPECT_EQ(p2->page, 1);
    EXPECT_EQ(p3->page, 2);
    EXPECT_NEAR(p1->xMin, Points(424, kDpi), 1.5);
    EXPECT_NEAR(p2->xMin, Points(w / 2 + 424, kDpi), 1.5);
    EXPECT_NEAR(p3->xMin, Points(424, kDpi), 1.5);
    EXPECT_NEAR(p1->yMin, Points(848, kDpi), 2.0);
    // The printer is portrait again after the job.
    EXPECT_EQ(preview.KpPrinter().PlatformOrientation(), kpPortrait);
}

TEST_F(PrintJob, FourUpFillsQuartersRowByRowAtHalfScale) {
    Build(preview, 5);
    preview.SetPagesPerSheet(kpFourPage);
    EventLog log(preview);
    const QString out = File("fourup.pdf");
    preview.PrintToFile = out;
    preview.Print();

    const int w = kA4W, h = kA4H, ox = kOffset.x(), oy = kOffset.y();
    ASSERT_EQ(log.rects.size(), 5u);
    EXPECT_EQ(log.rects[0], Rect(-ox, -oy, w / 2 - ox, h / 2 - oy));
    EXPECT_EQ(log.rects[1], Rect(w / 2 - ox, -oy, w - ox, h / 2 - oy));
    EXPECT_EQ(log.rects[2], Rect(-ox, h / 2 - oy, w / 2 - ox, h - oy));
    EXPECT_EQ(log.rects[3], Rect(w / 2 - ox, h / 2 - oy, w - ox, h - oy));
    EXPECT_EQ(log.rects[4], Rect(-ox, -oy, w / 2 - ox, h / 2 - oy));
    for (Extended s : log.scales)
        EXPECT_EQ(s, 0.5L);
    EXPECT_EQ(log.only("AfterPrintPage"), QStringList{"AfterPrintPage 4 <preview>"});

    const auto pages = PdfPages(out);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NEAR(pages[0].width, 595, 0.5);
    EXPECT_NEAR(pages[0].height, 842, 0.5);
    // Scale 0.5: p = 300, 1 inch = 300 device pixels from the quarter's corner.
    const auto words = PdfWords(out);
    const PdfWord* p4 = FindWord(words, "Page4");
    ASSERT_TRUE(p4);
    EXPECT_EQ(p4->page, 1);
    EXPECT_NEAR(p4->xMin, Points(w / 2 + 300, kDpi), 1.5);
    EXPECT_NEAR(p4->yMin, Points(h / 2 + 600, kDpi), 2.0);
}

TEST_F(PrintJob, LandscapePageAmongPortraitForcesOnePerSheet) {
    Build(preview, 3);
    preview.GetPage(2)->SetOrientation(kpLandscape);
    preview.SetPagesPerSheet(kpTwoPage);
    EventLog log(preview);
    const QString out = File("mixed.pdf");
    preview.PrintToFile = out;
    preview.Print();

    EXPECT_EQ(preview.PagesPerSheet(), kpOnePage);
    ASSERT_EQ(log.rects.size(), 3u);
    EXPECT_EQ(log.rects[0], Rect(-30, -40, kA4W - 30, kA4H - 40));
    // The landscape sheet: W and H exchanged, and so is the printable corner.
    EXPECT_EQ(log.rects[1], Rect(-40, -30, kA4H - 40, kA4W - 30));
    EXPECT_EQ(log.rects[2], Rect(-30, -40, kA4W - 30, kA4H - 40));
    EXPECT_EQ(log.only("AfterPrintPage"),
              (QStringList{"AfterPrintPage 1 <preview>", "AfterPrintPage 2 <preview>"}));
    const auto pages = PdfPages(out);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NEAR(pages[0].width, 595, 0.5);
    EXPECT_NEAR(pages[1].width, 842, 0.5);
    EXPECT_NEAR(pages[1].height, 595, 0.5);
    EXPECT_NEAR(pages[2].width, 595, 0.5);
    // On the landscape sheet the text still lands one inch from the paper corner.
    const auto words = PdfWords(out);
    const PdfWord* p2 = FindWord(words, "Page2");
    ASSERT_TRUE(p2);
    EXPECT_EQ(p2->page, 2);
    EXPECT_NEAR(p2->xMin, 72, 1.5);
    EXPECT_EQ(preview.KpPrinter().PlatformOrientation(), kpPortrait);
}

TEST_F(PrintJob, CurrentPageThreeAndFourTwoUp) {
    Build(preview, 4);
    preview.SetPagesPerSheet(kpTwoPage);
    const int w = kA4H, h = kA4W;
    {
        EventLog log(preview);
        preview.SetCurrentPage(3);
        const QString out = File("page3.pdf");
        preview.PrintToFile = out;
        preview.PrintCurrentPage();
        ASSERT_EQ(log.rects.size(), 1u);
        EXPECT_EQ(log.rects[0], Rect(-40, -30, w / 2 - 40, h - 30));
        EXPECT_TRUE(log.only("AfterPrintPage").isEmpty());
        ASSERT_EQ(PdfPages(out).size(), 1u);
        const auto words = PdfWords(out);
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words[0].text, QStringLiteral("Page3"));
        EXPECT_LT(words[0].xMin, Points(w / 2, kDpi));
    }
    {
        EventLog log(preview);
        preview.SetCurrentPage(4);
        const QString out = File("page4.pdf");
        preview.PrintToFile = out;
        preview.PrintCurrentPage();
        ASSERT_EQ(log.rects.size(), 1u);
        EXPECT_EQ(log.rects[0], Rect(w / 2 - 40, -30, w - 40, h - 30));
        const auto words = PdfWords(out);
        ASSERT_EQ(words.size(), 1u);
        EXPECT_EQ(words[0].text, QStringLiteral("Page4"));
        EXPECT_NEAR(words[0].xMin, Points(w / 2 + 424, kDpi), 1.5);
    }
}

TEST_F(PrintJob, TextPositionsInTheExportedPdf) {
    preview.AutoRefresh = false;
    AddText(preview.GetPage(1), 2540, 5080, QStringLiteral("Origin"));
    AddText(preview.GetPage(1), 10000, 20000, QStringLiteral("Further"), clBlack, 20);
    preview.AutoRefresh = true;
    const QString out = File("bbox.pdf");
    preview.PrintToFile = out;
    preview.Print();
    const auto words = PdfWords(out);
    const PdfWord* a = FindWord(words, "Origin");
    const PdfWord* b = FindWord(words, "Further");
    ASSERT_TRUE(a && b);
    // One inch, two inches: 600 and 1200 device pixels from the paper corner.
    EXPECT_NEAR(a->xMin, 72, 1.0);
    EXPECT_NEAR(a->yMin, 144, 1.5);
    // 100 mm = 283.46 pt; 200 mm = 566.93 pt.
    EXPECT_NEAR(b->xMin, 283.46, 1.5);
    EXPECT_NEAR(b->yMin, 566.93, 2.0);
    // The 20-point word is taller than the 12-point one.
    EXPECT_GT(b->yMax - b->yMin, (a->yMax - a->yMin) * 1.5);
    // The fonts are embedded, not outlines.
    const QString fonts = kptest::Run("pdffonts", {out});
    EXPECT_TRUE(fonts.contains("yes")) << fonts.toStdString();
}

TEST_F(PrintJob, LongTitleNamesTheRedirectedJobByItsFirst31Characters) {
    const QString title = QStringLiteral("0123456789abcdefghijABCDEFGHIJ+-*/0123456");
    ASSERT_EQ(title.size(), 41);
    const QString forty = title.left(40);
    preview.SetTitle(forty);
    const QString out = File("title.pdf");
    preview.PrintToFile = out;
    preview.Print();
    ASSERT_EQ(printer.Jobs().size(), 1u);
    EXPECT_EQ(printer.Jobs()[0].DocName, forty.left(31));
    EXPECT_EQ(printer.Jobs()[0].OutputFile, out);
    EXPECT_EQ(PdfInfoField(out, "Title"), forty.left(31));
    // Spooled (not redirected), the job keeps the whole title.
    preview.Print();
    ASSERT_EQ(printer.Jobs().size(), 2u);
    EXPECT_EQ(printer.Jobs()[1].DocName, forty);
    EXPECT_EQ(printer.Jobs()[1].OutputFile, QString());
}

TEST_F(PrintJob, PrintToFileEmptiedAfterEveryJobAlsoAfterARaise) {
    Build(preview, 3);
    preview.PrintToFile = File("ok.pdf");
    preview.Print();
    EXPECT_TRUE(preview.PrintToFile.isEmpty());

    preview.SetPagesPerSheet(kpTwoPage); // turns the printer for the job
    EventLog log(preview);
    preview.OnPrintPage = [](void*, int n, const QRect&, TKpDeviceCanvas*, Extended) {
        if (n == 2) throw std::runtime_error("handler failed");
    };
    const QString out = File("raised.pdf");
    preview.PrintToFile = out;
    EXPECT_THROW(preview.Print(), std::runtime_error);
    EXPECT_TRUE(preview.PrintToFile.isEmpty());
    EXPECT_FALSE(preview.KpPrinter().Printing());
    EXPECT_FALSE(TKpPlatformPrinter::Instance().Printing());
    EXPECT_EQ(preview.KpPrinter().PlatformOrientation(), kpPortrait);
    EXPECT_EQ(log.lines.last(), QStringLiteral("AfterPrint <preview>"));
    EXPECT_EQ(log.only("AfterPrint"),
              (QStringList{"AfterPrint <printer>", "AfterPrint <preview>"}));
    // The document was ended, not left open: a whole one-sheet PDF.
    ASSERT_EQ(printer.Jobs().size(), 2u);
    EXPECT_TRUE(printer.Jobs()[1].Completed);
    EXPECT_EQ(PdfPages(out).size(), 1u);
    // And the next job runs normally.
    preview.OnPrintPage = nullptr;
    preview.PrintToFile = File("after.pdf");
    preview.Print();
    EXPECT_EQ(PdfPages(File("after.pdf")).size(), 2u);
}

TEST_F(PrintJob, CopiesPrintTheRangeInSequenceInOneDocument) {
    Build(preview, 2);
    preview.SetPrintCopies(3);
    EventLog log(preview);
    const QString out = File("copies.pdf");
    preview.PrintToFile = out;
    preview.Print();
    EXPECT_EQ(PdfPages(out).size(), 6u);
    EXPECT_EQ(log.only("OnPrintProgress").last(), QStringLiteral("OnPrintProgress 6/6 <preview>"));
    EXPECT_EQ(log.only("BeforePrint <").size(), 2);
    EXPECT_EQ(log.only("AfterPrintPage").size(), 5);
}

TEST_F(PrintJob, NonPrintableObjectsAreSkippedAndPageTokensGiveThePrintedPage) {
    Build(preview, 2);
    TKpTextObject* hidden = AddText(preview.GetPage(1), 2540, 10000, QStringLiteral("Hidden"));
    hidden->Printable = false;
    AddText(preview.GetPage(2), 2540, 10000, QStringLiteral("N{PAGE}of{NUMPAGES}"));
    const QString out = File("tokens.pdf");
    preview.PrintToFile = out;
    preview.Print();
    const auto words = PdfWords(out);
    EXPECT_EQ(FindWord(words, "Hidden"), nullptr);
    const PdfWord* token = FindWord(words, "N2of2");
    ASSERT_TRUE(token);
    EXPECT_EQ(token->page, 2);
}

TEST_F(PrintJob, BadRangeIsRefusedBeforeAnyEvent) {
    Build(preview, 2);
    EventLog log(preview);
    EXPECT_THROW(preview.PrintRange(1, 3), std::out_of_range);
    EXPECT_THROW(preview.PrintRange(0, 1), std::out_of_range);
    EXPECT_TRUE(log.lines.isEmpty());
    EXPECT_TRUE(printer.Jobs().empty());
    // An empty range is a job without pages.
    preview.PrintRange(2, 1);
    EXPECT_EQ(log.only("BeforePrintPage").size(), 0);
    EXPECT_EQ(log.only("AfterPrint").size(), 2);
}

TEST_F(PrintJob, NestedJobFromAHandlerDoesNotCloseTheOuterDocument) {
    Build(preview, 2);
    PreviewHost other;
    bool nestedDone = false;
    preview.BeforePrintPage = [&](void*, TKpPage* page, void*) {
        if (page->PageNum == 1) {
            other.preview->Print();
            nestedDone = true;
        }
    };
    const QString out = File("outer.pdf");
    preview.PrintToFile = out;
    preview.Print();
    EXPECT_TRUE(nestedDone);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].endsWith("Printing in progress."));
    EXPECT_EQ(PdfPages(out).size(), 2u);
}

TEST_F(PrintJob, NestedJobOfTheSamePreviewIsRefusedAndTheOuterJobFinishes) {
    Build(preview, 3);
    int nested = 0, afterPrint = 0;
    preview.OnPrintPage = [&](void*, int n, const QRect&, TKpDeviceCanvas*, Extended) {
        if (n != 2) return;
        preview.Print();
        ++nested;
    };
    preview.AfterPrint = [&](void*) { ++afterPrint; };
    const QString out = File("outer.pdf");
    preview.PrintToFile = out;
    preview.Print();
    EXPECT_EQ(nested, 1);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].endsWith("Printing in progress."));
    EXPECT_EQ(afterPrint, 2); // the outer job's two, none of the refused one
    ASSERT_EQ(printer.Jobs().size(), 1u);
    EXPECT_TRUE(printer.Jobs()[0].Completed);
    EXPECT_EQ(PdfPages(out).size(), 3u);
    const auto words = PdfWords(out);
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(FindWord(words, QStringLiteral("Page%1").arg(i)), nullptr) << i;
}
