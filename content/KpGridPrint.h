#pragma once
// Prints a string grid as a ruled table onto the preview's pages, from a given position on the
// current page onwards, scaled to a given width if asked. Hosts may draw cells themselves
// (OnDrawCell or an override of DrawCell) and move the table on continuation pages.
#include "paginor/KpExport.h"

#include <functional>
#include <memory>
#include <vector>

#include "content/KpContentPrinter.h"
#include "content/KpGridLayout.h"
#include "content/KpGridSource.h"
#include "drawing/KpUnits.h"

namespace kp {

class TKpCanvas;

using TKpDrawCellEvent =
    std::function<void(void* sender, int col, int row, TKpCellRect& rect, TKpCanvas* canvas)>;
using TKpGridNewPageEvent = TKpContentNewPageEvent;

class PAGINOR_EXPORT TKpGridPrint : public TKpContentPrinter {
    Q_OBJECT
    // Published properties (property editors, form files).
    Q_PROPERTY(bool Monochrome MEMBER Monochrome)
    Q_PROPERTY(bool ScaleText MEMBER ScaleText)
    Q_PROPERTY(bool RepeatFixedRows MEMBER RepeatFixedRows)
    Q_PROPERTY(bool ContinueAtTop MEMBER ContinueAtTop)
    Q_PROPERTY(bool KeepCanvasState MEMBER KeepCanvasState)
public:
    explicit TKpGridPrint(QObject* parent = nullptr);
    ~TKpGridPrint() override;

    // Cells are only ruled and lettered, never filled.
    bool Monochrome = false;
    // The cell text shrinks with the table when it is scaled below its own width.
    bool ScaleText = true;
    // Report tables, all off unless asked for:
    // the fixed rows (column titles) are printed again at the top of each continuation page;
    bool RepeatFixedRows = false;
    // continuation pages start at the top margin (below the header) instead of at the first
    // page's y;
    bool ContinueAtTop = false;
    // the canvas's font and brush come back as the host had them (the pen always does).
    bool KeepCanvasState = false;

    // How the text of a column's cells is aligned (left unless set). OnDrawCell may align a
    // single cell otherwise through DrawDefaultCell.
    TAlignment ColumnAlignment(int col) const;
    void SetColumnAlignment(int col, TAlignment alignment);

    // Where the last PrintGrid's table ended: the bottom rule's y on the preview's current
    // page, in the units that call was given (a host draws its totals under it).
    Extended LastY() const { return lastY_; }

    // Host draws the cells (the cell rectangle in KpUnits, the preview's canvas).
    TKpDrawCellEvent OnDrawCell;
    // Called after each page break; may move the table's top and bottom on the new page.
    TKpGridNewPageEvent OnGridNewPage;

    // Horizontal scale of the table in the current (or last) PrintGrid.
    Extended ScaleFactor() const { return scaleFactor_; }
    // y of the table's top on every page, and the height kept free at the bottom (KpUnits).
    TKpValue& TopMargin() { return *topMargin_; }
    TKpValue& BottomMargin() { return *bottomMargin_; }
    // The grid of the current (or last) PrintGrid call.
    const IKpGridSource* Grid() const { return grid_; }

    // Draws the table with its top-left corner at (x, y); width 0 keeps the grid's column
    // widths, any other width scales the columns to it.
    void PrintGrid(TKpUnit units, const IKpGridSource& grid, Extended x, Extended y,
                   Extended width);

    // Draws one cell's background and text, or hands it to OnDrawCell.
    virtual void DrawCell(void* sender, int col, int row, TKpCellRect& rect, TKpCanvas* canvas);
    // Draws a cell as the printer does by default (background in the grid's colours, then the
    // text) with the canvas's current font: for an OnDrawCell handler that changes a cell's
    // font or alignment and leaves the rest to the printer.
    void DrawDefaultCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas);
    void DrawDefaultCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas,
                         TAlignment alignment);

Q_SIGNALS:
    void cellDrawn(int col, int row); // after each cell, beside OnDrawCell

private:
    // Makes the canvas font the text font at the current scale.
    void scaleFont(TKpCanvas& canvas) const;
    void nextPage(TKpPreview& preview);
    // The default cell: background in the grid's colours, then the text.
    void paintCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas,
                   TAlignment alignment, bool scaleText);

    const IKpGridSource* grid_ = nullptr;
    Extended scaleFactor_ = 1.0L;
    Extended lastY_ = 0;
    std::vector<TAlignment> alignments_;
    std::unique_ptr<TKpValue> topMargin_;
    std::unique_ptr<TKpValue> bottomMargin_;
};

} // namespace kp
