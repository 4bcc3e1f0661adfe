// The grid printer on a hosted preview: rules, scaling, colours, page breaks, errors.
#include <stdexcept>

#include <QStandardItemModel>

#include "content/KpGridPrint.h"
#include "content/KpModelGrid.h"
#include "content/KpStringGrid.h"
#include "content/KpTextGrid.h"
#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "grid_fixture.h"

using namespace kp;

using namespace kptest;
using namespace kpcontent;

namespace {

class GridPrint : public GridPrinterTest {};

} // namespace

TEST_F(GridPrint, OneRowIsRuledOnAllFourSidesWithoutATrailingPage) {
    TKpTextGrid grid(Rows(1, 3));
    printer.PrintGrid(kpUnits, grid, 1000, 2000, 0);
    EXPECT_EQ(preview.NumPages(), 1);
    TKpPage* page = preview.GetPage(1);
    const int w = TKpGridLayout::Units(64), h = TKpGridLayout::Units(24);
    ASSERT_EQ(w, 1693);
    ASSERT_EQ(h, 635);
    for (int c = 0; c < 3; ++c) {
        const int l = 1000 + c * w, r = l + w;
        EXPECT_TRUE(HasLine(page, l, 2000 + h, l, 2000)) << c;     // left
        EXPECT_TRUE(HasLine(page, l, 2000, r, 2000)) << c;         // top
        EXPECT_TRUE(HasLine(page, r, 2000 + h, r, 2000)) << c;     // right (the next cell's left)
        EXPECT_TRUE(HasLine(page, l, 2000 + h, r, 2000 + h)) << c; // bottom
    }
    EXPECT_EQ(Lines(page).size(), 3u * 2 + 1 + 3);
    EXPECT_TRUE(preview.AutoRefresh);
}

TEST_F(GridPrint, HalfWidthHalvesColumnsAndTextButKeepsRowHeights) {
    TKpTextGrid grid(Rows(2, 2));
    // Natural width: 128 px = 3387 KpUnits.
    struct Case {
        Extended width;
        int32_t column;
        int points;
    } cases[] = {{0, 1693, 8}, {1693, 846, 4}, {6774, 3386, 8}};
    for (const Case& k : cases) {
        preview.Clear();
        printer.PrintGrid(kpUnits, grid, 0, 0, k.width);
        const auto boxes = TextBoxes(preview.GetPage(1));
        ASSERT_EQ(boxes.size(), 4u);
        const auto cells = Rectangles(preview.GetPage(1));
        EXPECT_EQ(cells[0]->X2 - cells[0]->X1, k.column) << k.width;
        EXPECT_EQ(cells[0]->Y2 - cells[0]->Y1, 635) << k.width;
        EXPECT_EQ(boxes[0]->Font->Size, k.points) << k.width;
    }
    EXPECT_NEAR(static_cast<double>(printer.ScaleFactor()), 2.0, 1e-3);
}

TEST_F(GridPrint, FixedCellsTakeTheFixedColourAndMonochromeFillsNothing) {
    TKpTextGrid grid(Rows(2, 2));
    grid.Look.Color = KpRGB(1, 2, 3);
    grid.Look.FixedColor = KpRGB(4, 5, 6);
    printer.PrintGrid(kpUnits, grid, 0, 0, 0);
    auto cells = Rectangles(preview.GetPage(1));
    ASSERT_EQ(cells.size(), 4u);
    // Row by row: (0,0) (1,0) fixed row; (0,1) fixed column; (1,1) ordinary.
    const TColor expected[] = {KpRGB(4, 5, 6), KpRGB(4, 5, 6), KpRGB(4, 5, 6), KpRGB(1, 2, 3)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cells[i]->Brush.Color, expected[i]) << i;
        EXPECT_EQ(cells[i]->Brush.Style, bsSolid);
        EXPECT_EQ(cells[i]->Pen->Color, expected[i]); // outlined in its own colour
    }
    preview.Clear();
    printer.Monochrome = true;
    printer.PrintGrid(kpUnits, grid, 0, 0, 0);
    cells = Rectangles(preview.GetPage(1));
    for (TKpRectangleShape* cell : cells) {
        EXPECT_EQ(cell->Brush.Style, bsClear);
        EXPECT_EQ(cell->Pen->Style, psClear);
    }
    EXPECT_EQ(TextBoxes(preview.GetPage(1)).size(), 4u);
    for (TKpLineObject* l : Lines(preview.GetPage(1))) {
        EXPECT_EQ(l->Pen->Color, clBlack);
        EXPECT_EQ(l->Pen->Style, psSolid);
    }
}

TEST_F(GridPrint, CellTextStartsOneMillimetreInAndIsCentredOnOneLine) {
    TKpTextGrid grid(Rows(1, 2));
    printer.PrintGrid(kpMillimeters, grid, 20, 40, 0);
    const auto boxes = TextBoxes(preview.GetPage(1));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1]->Text, QStringLiteral("r0c1"));
    EXPECT_EQ(boxes[1]->X1, 2000 + 1693 + 100);
    EXPECT_EQ(boxes[1]->Y1, 4000);
    EXPECT_EQ(boxes[1]->X2, 2000 + 2 * 1693);
    EXPECT_EQ(boxes[1]->Y2, 4000 + 635);
    EXPECT_EQ(boxes[1]->Layout, tlCenter);
    EXPECT_EQ(boxes[1]->Alignment, taLeftJustify);
    EXPECT_EQ(boxes[1]->Pen->Style, psClear);
}

TEST_F(GridPrint, DemoGridStartsAt40MmAndContinuesAtTheSameHeight) {
    TKpStringGrid grid;
    grid.SetColCount(10);
    grid.SetRowCount(100);
    grid.SetDefaultRowHeight(30);
    preview.Header().SetCaptionLeft(QStringLiteral("Paginor StringGrid Printing Example"));
    preview.Header().SetVisible(true);
    preview.Footer().SetVisible(true);
    int breaks = 0;
    printer.OnGridNewPage = [&](void* sender, TKpValue& top, TKpValue& bottom) {
        EXPECT_EQ(sender, &printer);
        EXPECT_EQ(&top, &printer.TopMargin());
        EXPECT_EQ(&bottom, &printer.BottomMargin());
        ++breaks;
    };
    printer.PrintGrid(kpMillimeters, grid, 20, 40, 0);
    const int32_t limit = 29700 - (preview.Footer().BandHeight().value + 2500 + 1000);
    EXPECT_EQ(printer.BottomMargin().value, 29700 - limit);
    EXPECT_EQ(breaks, preview.NumPages() - 1);
    ASSERT_GT(preview.NumPages(), 2);
    int rowsSeen = 0;
    for (int p = 1; p <= preview.NumPages(); ++p) {
        const auto cells = Rectangles(preview.GetPage(p));
        ASSERT_EQ(cells.size() % 10, 0u);
        const int rows = static_cast<int>(cells.size() / 10);
        rowsSeen += rows;
        EXPECT_EQ(cells.front()->Y1, 4000) << p;
        EXPECT_EQ(cells.front()->X1, 2000) << p;
        EXPECT_EQ(cells[0]->Y2 - cells[0]->Y1, 794); // 30 px
        if (p < preview.NumPages()) {
            // The row passing the limit stays; the one above it did not pass it.
            EXPECT_GT(cells.back()->Y2, limit) << p;
            EXPECT_LE(cells.back()->Y2 - 794, limit) << p;
            // The table is closed at the bottom of the page.
            EXPECT_TRUE(HasLine(preview.GetPage(p), 2000, cells.back()->Y2, cells.back()->X2,
                                cells.back()->Y2));
        }
    }
    EXPECT_EQ(rowsSeen, 100);
}

TEST_F(GridPrint, ContinuesOnPagesThatAlreadyExist) {
    preview.NewPage();
    preview.NewPage();
    preview.SetCurrentPage(1);
    TKpTextGrid grid(Rows(40, 2));
    printer.PrintGrid(kpMillimeters, grid, 20, 100, 0);
    EXPECT_EQ(preview.NumPages(), 3);
    EXPECT_EQ(preview.CurrentPage(), 2);
    EXPECT_FALSE(Rectangles(preview.GetPage(2)).empty());
    EXPECT_TRUE(Rectangles(preview.GetPage(3)).empty());
}

TEST_F(GridPrint, ANewPageHandlerMovesTheNextRows) {
    TKpTextGrid grid(Rows(80, 1));
    printer.OnGridNewPage = [](void*, TKpValue& top, TKpValue& bottom) {
        top.value = 1500;
        bottom.value = 20000; // leaves 9.7 cm per page
    };
    printer.PrintGrid(kpMillimeters, grid, 20, 100, 0);
    const auto second = Rectangles(preview.GetPage(2));
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second.front()->Y1, 1500);
    EXPECT_GT(second.back()->Y2, 9700);
    EXPECT_LE(second.back()->Y2 - 635, 9700);
}

TEST_F(GridPrint, BothWidgetAndModelSourcesPrintTheSameTable) {
    TKpStringGrid widget;
    QStandardItemModel model(3, 4);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const QString text = QStringLiteral("%1/%2").arg(c).arg(r);
            widget.SetCells(c, r, text);
            model.setItem(r, c, new QStandardItem(text));
        }
    widget.SetRowCount(3);
    widget.SetColCount(4);
    widget.SetColWidths(2, 100);
    TKpModelGrid fromModel(&model);
    fromModel.SetColWidths(2, 100);
    fromModel.Look.FixedCols = 1;
    fromModel.Look.FixedRows = 1;
    EXPECT_EQ(widget.ColWidths(0), 64);
    EXPECT_EQ(widget.RowHeights(1), 24);
    EXPECT_EQ(widget.Cells(3, 2), QStringLiteral("3/2"));

    auto record = [&](const IKpGridSource& source) {
        preview.Clear();
        printer.PrintGrid(kpUnits, source, 0, 0, 0);
        QStringList out;
        for (TKpTextBoxObject* b : TextBoxes(preview.GetPage(1)))
            out << QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(b->Text)
                       .arg(b->X1)
                       .arg(b->Y1)
                       .arg(b->X2)
                       .arg(b->Font->Size);
        for (TKpRectangleShape* r : Rectangles(preview.GetPage(1)))
            out << QString::number(r->Brush.Color);
        return out;
    };
    const QStringList a = record(widget), b = record(fromModel);
    EXPECT_EQ(a.size(), 24);
    EXPECT_EQ(a, b);
}

TEST_F(GridPrint, WithoutAPreviewItSaysSoAndDrawsNothing) {
    TKpGridPrint lone;
    TKpTextGrid grid(Rows(1, 1));
    lone.PrintGrid(kpUnits, grid, 0, 0, 0);
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral(
                                "TKpGridPrint Error...\n\nPreview property not assigned.")});
    EXPECT_EQ(lone.Grid(), &grid);
    EXPECT_EQ(lone.About(), QStringLiteral("TKpGridPrint v2.42"));
}

TEST_F(GridPrint, ColumnsWithoutWidthCannotBeScaledAndLeaveThePreviewAsItWas) {
    TKpTextGrid grid(Rows(2, 2));
    grid.SetColWidths(0, 0);
    grid.SetColWidths(1, 0);
    preview.AutoRefresh = false;
    printer.PrintGrid(kpMillimeters, grid, 0, 0, 50);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("TKpGridPrint Error...\n\n")));
    EXPECT_TRUE(errors.texts[0].contains(QStringLiteral("no width")));
    EXPECT_FALSE(preview.AutoRefresh);
    EXPECT_EQ(preview.GetPage(1)->Count(), 0);
    // Unscaled, the same grid prints (as zero-width cells).
    printer.PrintGrid(kpMillimeters, grid, 0, 0, 0);
    EXPECT_EQ(errors.texts.size(), 1);
    EXPECT_GT(preview.GetPage(1)->Count(), 0);
}

TEST_F(GridPrint, PenAndAutoRefreshComeBackWhenAHandlerRaises) {
    TKpTextGrid grid(Rows(80, 1));
    for (int which = 0; which < 2; ++which) {
        SCOPED_TRACE(which == 0 ? "OnDrawCell" : "OnGridNewPage");
        preview.Clear();
        TKpPen& pen = preview.Canvas().Pen();
        pen.SetColor(clBlue);
        pen.SetWidth(3);
        pen.SetStyle(psDash);
        const TKpFont& font = preview.Canvas().Font();
        printer.OnDrawCell = nullptr;
        printer.OnGridNewPage = nullptr;
        if (which == 0)
            printer.OnDrawCell = [](void*, int, int row, TKpCellRect&, TKpCanvas*) {
                if (row == 3) throw std::runtime_error("cell");
            };
        else
            printer.OnGridNewPage = [](void*, TKpValue&, TKpValue&) {
                throw std::runtime_error("page");
            };
        preview.AutoRefresh = false;
        printer.ScaleText = true;
        EXPECT_THROW(printer.PrintGrid(kpMillimeters, grid, 0, 10, 5), std::runtime_error);
        EXPECT_EQ(pen.Color(), clBlue);
        EXPECT_EQ(pen.Width(), 3);
        EXPECT_EQ(pen.Style(), psDash);
        EXPECT_EQ(font.PixelsPerInch(), 96);
        EXPECT_TRUE(preview.AutoRefresh);
    }
}

TEST_F(GridPrint, OnDrawCellGetsTheCellWithAClearPenAndTheScaledFont) {
    TKpTextGrid grid(Rows(2, 3));
    std::vector<std::pair<int, int>> visited;
    printer.OnDrawCell = [&](void* sender, int col, int row, TKpCellRect& r, TKpCanvas* canvas) {
        EXPECT_EQ(sender, &printer);
        EXPECT_EQ(canvas, &preview.Canvas());
        EXPECT_EQ(canvas->Pen().Style(), psClear);
        EXPECT_EQ(canvas->Font().PixelsPerInch(), 192);
        EXPECT_EQ(r.Right - r.Left, 846);
        visited.emplace_back(col, row);
    };
    printer.PrintGrid(kpUnits, grid, 0, 0, 2540);
    EXPECT_EQ(visited.size(), 6u);
    EXPECT_EQ(visited[3], std::make_pair(0, 1));
    EXPECT_TRUE(TextBoxes(preview.GetPage(1)).empty());
    EXPECT_EQ(preview.Canvas().Font().PixelsPerInch(), 96);
}

TEST_F(GridPrint, AHandlerThatClosesThePreviewsWindowEndsTheTable) {
    // The window goes with its preview and canvas; nothing may be written to them afterwards.
    auto window = std::make_unique<QWidget>();
    auto* doomed = new TKpPreview(window.get());
    printer.SetPreview(doomed);
    TKpTextGrid grid(Rows(3, 3));
    for (bool scaled : {false, true}) {
        SCOPED_TRACE(scaled ? "scaled" : "unscaled");
        if (!window) {
            window = std::make_unique<QWidget>();
            printer.SetPreview(new TKpPreview(window.get()));
        }
        int calls = 0;
        printer.OnDrawCell = [&](void*, int, int, TKpCellRect&, TKpCanvas*) {
            ++calls;
            window.reset();
        };
        printer.PrintGrid(kpUnits, grid, 0, 0, scaled ? 1000 : 0);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(printer.Preview(), nullptr);
    }
}

TEST_F(GridPrint, TheTableEndsAboveTheFootersBandInEveryOriginMode) {
    // A tall footer and a short header: the footer is what sits at the bottom.
    preview.Header().SetVisible(true);
    preview.Footer().CaptionCenterFont().SetSize(30);
    preview.Footer().SetCaptionCenter(QStringLiteral("Page {PAGE}"));
    preview.Footer().SetVisible(true);
    const int32_t footer = preview.Footer().BandHeight().value;
    ASSERT_GT(footer, preview.Header().BandHeight().value + 500);
    const int32_t rule = 29700 - preview.Margins().Bottom().value - footer;
    const int32_t rowHeight = TKpGridLayout::Units(24);
    TKpTextGrid grid(Rows(60, 2));
    const struct {
        TKpOriginMode mode;
        int32_t originY;
    } cases[] = {
        {kpOriginPage, 0},
        {kpOriginMargins, preview.Margins().Top().value},
        {kpOriginHeader, preview.Margins().Top().value + preview.Header().BandHeight().value}};
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.mode));
        preview.Clear();
        preview.Canvas().SetOriginMode(k.mode);
        printer.PrintGrid(kpMillimeters, grid, 20, 10, 0);
        EXPECT_EQ(printer.BottomMargin().value, footer + preview.Margins().Bottom().value + 1000);
        ASSERT_GT(preview.NumPages(), 1);
        const auto cells = Rectangles(preview.GetPage(1));
        // Recorded coordinates are the page's: the canvas added its origin.
        EXPECT_EQ(cells.front()->Y1, 1000 + k.originY);
        // The last row passes the limit kept free above the footer, and ends above its rule.
        EXPECT_GT(cells.back()->Y2, rule - 1000);
        EXPECT_LE(cells.back()->Y2 - rowHeight, rule - 1000);
        EXPECT_LE(cells.back()->Y2, rule);
    }
}

TEST_F(GridPrint, AColumnThatRoundsToNoWidthRecordsNothing) {
    // Two rows of three columns, one of them 0 px wide: its cells, rules and text are not
    // recorded; the table's right rule is, also when the empty column is the last.
    const int w = TKpGridLayout::Units(64), h = TKpGridLayout::Units(24);
    for (int empty : {0, 1, 2}) {
        SCOPED_TRACE(empty);
        preview.Clear();
        TKpTextGrid grid(Rows(2, 3));
        grid.SetColWidths(empty, 0);
        printer.PrintGrid(kpUnits, grid, 0, 0, 0);
        TKpPage* page = preview.GetPage(1);
        EXPECT_EQ(Rectangles(page).size(), 4u);
        QStringList texts;
        for (TKpTextBoxObject* b : TextBoxes(page))
            texts << b->Text;
        EXPECT_FALSE(texts.join(' ').contains(QStringLiteral("c%1").arg(empty)));
        EXPECT_EQ(texts.size(), 4);
        // Left and top rules of the four cells, two right rules, two bottom rules.
        EXPECT_EQ(Lines(page).size(), 4u * 2 + 2 + 2);
        EXPECT_TRUE(HasLine(page, 2 * w, h, 2 * w, 0));
        EXPECT_TRUE(HasLine(page, 2 * w, 2 * h, 2 * w, h));
    }
}

TEST_F(GridPrint, TextScaledFarDownStaysAtOnePointInsideItsCell) {
    // Two 1000-px columns (52,917 units) printed narrower and narrower: the size follows the
    // scale down to 1 pt and stays there; it never falls to 0 (the default size).
    TKpTextGrid grid(Rows(2, 2));
    grid.SetColWidths(0, 1000);
    grid.SetColWidths(1, 1000);
    const struct {
        Extended width; // mm
        int points;
    } cases[] = {{200, 3}, {100, 2}, {25, 1}, {2, 1}, {0.1, 1}};
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<double>(k.width));
        preview.Clear();
        printer.PrintGrid(kpMillimeters, grid, 10, 10, k.width);
        const auto boxes = TextBoxes(preview.GetPage(1));
        ASSERT_EQ(boxes.size(), 4u);
        TKpFont& font = preview.Canvas().Font();
        font.SetSize(boxes[0]->Font->Size);
        for (TKpTextBoxObject* b : boxes) {
            EXPECT_EQ(b->Font->Size, k.points);
            if (k.width >= 25) // wide enough a cell for a 1-pt text
                EXPECT_LE(b->X1 + preview.Canvas().TextWidth(b->Text).value, b->X2)
                    << b->Text.toStdString();
        }
    }
}
