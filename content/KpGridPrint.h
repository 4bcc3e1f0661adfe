#pragma once
// Prints a string grid as a ruled table onto the preview's pages, from a given position on the
// current page onwards, scaled to a given width if asked. Hosts may draw cells themselves
// (OnDrawCell or an override of DrawCell) and move the table on continuation pages.
#include "paginor/KpExport.h"

#include <functional>
#include <memory>

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
public:
    explicit TKpGridPrint(QObject* parent = nullptr);
    ~TKpGridPrint() override;

    // Cells are only ruled and lettered, never filled.
    bool Monochrome = false;
    // The cell text shrinks with the table when it is scaled below its own width.
    bool ScaleText = true;
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

private:
    // Makes the canvas font the text font at the current scale.
    void scaleFont(TKpCanvas& canvas) const;
    // The default cell: background in the grid's colours, then the text.
    void drawDefaultCell(int col, int row, const TKpCellRect& rect, TKpCanvas& canvas) const;
    void nextPage(TKpPreview& preview);

    const IKpGridSource* grid_ = nullptr;
    Extended scaleFactor_ = 1.0L;
    std::unique_ptr<TKpValue> topMargin_;
    std::unique_ptr<TKpValue> bottomMargin_;
};

} // namespace kp
