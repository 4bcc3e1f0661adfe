// Report tables from the grid printer: column titles again on every page, continuation at the
// top margin, column alignment, where the table ended, the host's canvas left as it was, and
// the content printers' Qt signals.
#include <QSignalSpy>
#include <QTemporaryDir>

#include "content/KpGridPrint.h"
#include "content/KpLabelPrinter.h"
#include "content/KpTextGrid.h"
#include "drawing/KpCanvas.h"
#include "grid_fixture.h"

using namespace kp;
using namespace kptest;
using namespace kpcontent;

namespace {

class GridReport : public GridPrinterTest {};

} // namespace

TEST(GridLayoutText, TheTextBoxIsInsetOnTheSideItIsAlignedTo) {
    const TKpCellRect cell{1000, 0, 2693, 635};
    struct Case {
        TAlignment alignment;
        TKpCellRect box;
    } cases[] = {{taLeftJustify, {1100, 0, 2693, 635}},
                 {taRightJustify, {1000, 0, 2593, 635}},
                 {taCenter, {1100, 0, 2593, 635}}};
    for (const Case& k : cases)
        EXPECT_EQ(TKpGridLayout::TextBox(cell, k.alignment, 100), k.box) << int(k.alignment);
    // Too narrow for both insets: a centred box of no width.
    EXPECT_EQ(TKpGridLayout::TextBox({0, 0, 150, 10}, taCenter, 100), (TKpCellRect{75, 0, 75, 10}));
}

// 80 rows of 635 from y = 100 mm: 26 rows fill page 1 (limit 297 - 25 - 10 mm), the next row
// opens page 2.
TEST_F(GridReport, ContinuationPagesRepeatTheTitlesAndStartAtTheTopWhenAsked) {
    struct Case {
        bool repeat, atTop;
        QString first;
        int32_t firstY;
        QString second;
    } cases[] = {{false, false, "r26c0", 10000, "r27c0"},
                 {true, false, "r0c0", 10000, "r26c0"},
                 {false, true, "r26c0", 2000, "r27c0"},
                 {true, true, "r0c0", 2000, "r26c0"}};
    TKpTextGrid grid(Rows(80, 1));
    for (const Case& k : cases) {
        SCOPED_TRACE(k.first.toStdString() + (k.atTop ? " at top" : ""));
        preview.Clear();
        printer.RepeatFixedRows = k.repeat;
        printer.ContinueAtTop = k.atTop;
        printer.PrintGrid(kpMillimeters, grid, 20, 100, 0);
        ASSERT_GE(preview.NumPages(), 2);
        EXPECT_EQ(TextBoxes(preview.GetPage(1)).back()->Text, QStringLiteral("r25c0"));
        const auto second = TextBoxes(preview.GetPage(2));
        ASSERT_GE(second.size(), 2u);
        EXPECT_EQ(second[0]->Text, k.first);
        EXPECT_EQ(second[0]->Y1, k.firstY);
        EXPECT_EQ(second[1]->Text, k.second);
        EXPECT_EQ(second[1]->Y1, k.firstY + 635);
        // The table ends on the current page; LastY is its bottom rule, in millimetres.
        const auto cells = Rectangles(preview.GetPage(preview.CurrentPage()));
        EXPECT_EQ(TextBoxes(preview.GetPage(preview.CurrentPage())).back()->Text, "r79c0");
        EXPECT_EQ(printer.LastY(), cells.back()->Y2 / 100.0L);
        EXPECT_TRUE(HasLine(preview.GetPage(preview.CurrentPage()), 2000, cells.back()->Y2,
                            2000 + 1693, cells.back()->Y2));
    }
}

TEST_F(GridReport, ColumnsAlignTheirTextAndOnDrawCellOverridesACell) {
    TKpTextGrid grid(Rows(2, 3));
    printer.SetColumnAlignment(1, taRightJustify);
    printer.SetColumnAlignment(2, taCenter);
    printer.SetColumnAlignment(-1, taCenter); // ignored
    EXPECT_EQ(printer.ColumnAlignment(9), taLeftJustify);
    printer.OnDrawCell = [&](void*, int col, int row, TKpCellRect& rect, TKpCanvas* canvas) {
        if (col == 1 && row == 1)
            printer.DrawDefaultCell(col, row, rect, *canvas, taLeftJustify);
        else
            printer.DrawDefaultCell(col, row, rect, *canvas);
    };
    printer.PrintGrid(kpUnits, grid, 1000, 2000, 0);
    const auto boxes = TextBoxes(preview.GetPage(1));
    ASSERT_EQ(boxes.size(), 6u);
    struct Want {
        TAlignment alignment;
        int32_t left, right;
    } want[] = {{taLeftJustify, 1100, 2693}, {taRightJustify, 2693, 4286}, {taCenter, 4486, 5979},
                {taLeftJustify, 1100, 2693}, {taLeftJustify, 2793, 4386},  {taCenter, 4486, 5979}};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(boxes[i]->Alignment, want[i].alignment) << i;
        EXPECT_EQ(boxes[i]->X1, want[i].left) << i;
        EXPECT_EQ(boxes[i]->X2, want[i].right) << i;
    }
    EXPECT_EQ(printer.LastY(), 2000 + 2 * 635);
}

TEST_F(GridReport, TheHostsFontAndBrushComeBackWhenAsked) {
    TKpTextGrid grid(Rows(2, 2));
    for (const bool keep : {false, true}) {
        TKpCanvas& canvas = preview.Canvas();
        canvas.Font().SetName(QStringLiteral("Courier New"));
        canvas.Font().SetSize(20);
        canvas.Brush().SetColor(KpRGB(9, 8, 7));
        canvas.Pen().SetColor(KpRGB(1, 2, 3));
        printer.KeepCanvasState = keep;
        printer.PrintGrid(kpUnits, grid, 0, 0, 0);
        EXPECT_EQ(canvas.Font().Name(), keep ? "Courier New" : "Arial") << keep;
        EXPECT_EQ(canvas.Font().Size(), keep ? 20 : 8) << keep;
        EXPECT_EQ(canvas.Brush().Color() == KpRGB(9, 8, 7), keep) << keep;
        EXPECT_EQ(canvas.Pen().Color(), KpRGB(1, 2, 3)) << keep;
    }
}

TEST_F(GridReport, SignalsFollowTheEvents) {
    TKpTextGrid grid(Rows(60, 2));
    int events = 0;
    printer.OnGridNewPage = [&](void*, TKpValue&, TKpValue&) { ++events; };
    QSignalSpy pages(&printer, &TKpContentPrinter::newPage);
    QSignalSpy done(&printer, &TKpContentPrinter::printed);
    QSignalSpy cells(&printer, &TKpGridPrint::cellDrawn);
    printer.PrintGrid(kpMillimeters, grid, 20, 100, 0);
    EXPECT_EQ(preview.NumPages(), 3);
    EXPECT_EQ(events, 2);
    ASSERT_EQ(pages.count(), 2);
    EXPECT_EQ(pages[0][0].toInt(), 2);
    EXPECT_EQ(pages[1][0].toInt(), 3);
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(cells.count(), 120);
    EXPECT_EQ(cells.last()[0].toInt(), 1);
    EXPECT_EQ(cells.last()[1].toInt(), 59);

    TKpLabelPrinter labels;
    labels.SetPreview(&preview);
    QSignalSpy before(&labels, &TKpLabelPrinter::aboutToDrawLabels);
    QSignalSpy drawn(&labels, &TKpLabelPrinter::labelDrawn);
    QSignalSpy labelsDone(&labels, &TKpContentPrinter::printed);
    labels.PrintLabels();
    EXPECT_EQ(before.count(), 1);
    EXPECT_EQ(drawn.count(), labels.Layout().Count());
    EXPECT_EQ(drawn.last()[0].toInt(), labels.Layout().Count() - 1);
    EXPECT_EQ(labelsDone.count(), 1);
}

// The right-aligned column's numbers end 1 mm left of the table's right rule on paper too.
TEST_F(GridReport, RightAlignedTextEndsAtTheRuleInThePdf) {
    TKpTextGrid grid({{"Item", "Amount"}, {"a", "7.50"}, {"b", "1234.00"}});
    printer.SetColumnAlignment(1, taRightJustify);
    printer.PrintGrid(kpMillimeters, grid, 20, 40, 0);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("t.pdf");
    ExportToPdf(preview, pdf);
    const auto words = PdfWords(pdf);
    if (words.empty()) GTEST_SKIP() << "pdftotext is not installed";
    const double ruleMm = 20 + 2 * 1693 / 100.0 - 1;
    for (const char* text : {"Amount", "7.50", "1234.00"}) {
        const PdfWord* w = FindWord(words, QString::fromLatin1(text));
        ASSERT_NE(w, nullptr) << text;
        EXPECT_NEAR(w->xMax, ruleMm * 72 / 25.4, 1.0) << text;
    }
}
