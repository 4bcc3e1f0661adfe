#pragma once
// A string grid: a QTableWidget whose first rows and columns are fixed (titles, filled with
// FixedColor) rather than header views, sized 64 by 24 pixels per cell by default.
#include "paginor/KpExport.h"

#include <QTableWidget>

#include "content/KpGridSource.h"

namespace kp {

class PAGINOR_EXPORT TKpStringGrid : public QTableWidget, public IKpGridSource {
    Q_OBJECT
public:
    explicit TKpStringGrid(QWidget* parent = nullptr);

    int RowCount() const override { return rowCount(); }
    int ColCount() const override { return columnCount(); }
    int ColWidths(int col) const override { return columnWidth(col); }
    int RowHeights(int row) const override { return rowHeight(row); }
    QString Cells(int col, int row) const override;
    int FixedCols() const override { return look_.FixedCols; }
    int FixedRows() const override { return look_.FixedRows; }
    TColor Color() const override { return look_.Color; }
    TColor FixedColor() const override { return look_.FixedColor; }
    const TKpFont& Font() const override { return look_.Font; }

    void SetRowCount(int n) { setRowCount(n); }
    void SetColCount(int n) { setColumnCount(n); }
    void SetColWidths(int col, int pixels) { setColumnWidth(col, pixels); }
    void SetRowHeights(int row, int pixels) { setRowHeight(row, pixels); }
    // Sizes of rows and columns not sized one by one.
    void SetDefaultColWidth(int pixels);
    void SetDefaultRowHeight(int pixels);
    void SetCells(int col, int row, const QString& text);
    void SetFixedCols(int n) { look_.FixedCols = n; }
    void SetFixedRows(int n) { look_.FixedRows = n; }
    void SetColor(TColor c) { look_.Color = c; }
    void SetFixedColor(TColor c) { look_.FixedColor = c; }
    // The printing font; its changes are shown on the widget too.
    TKpFont& Font() { return look_.Font; }

private:
    void showFont();
    TKpGridLook look_;
};

} // namespace kp
