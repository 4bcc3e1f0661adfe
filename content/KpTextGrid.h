#pragma once
// Rows of plain text read as a string grid, for hosts and tools that have no widget (a CSV
// file printed from the command line). Short rows read as empty cells.
#include "paginor/KpExport.h"

#include <vector>

#include <QStringList>

#include "content/KpGridSource.h"

namespace kp {

class PAGINOR_EXPORT TKpTextGrid : public IKpGridSource {
public:
    TKpTextGrid() = default;
    explicit TKpTextGrid(std::vector<QStringList> rows);

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int ColCount() const override { return static_cast<int>(colWidths_.size()); }
    int ColWidths(int col) const override { return colWidths_.at(col); }
    int RowHeights(int) const override { return RowHeight; }
    QString Cells(int col, int row) const override;
    int FixedCols() const override { return Look.FixedCols; }
    int FixedRows() const override { return Look.FixedRows; }
    TColor Color() const override { return Look.Color; }
    TColor FixedColor() const override { return Look.FixedColor; }
    const TKpFont& Font() const override { return Look.Font; }

    // Sets the rows; there are as many columns as the longest row has, each 64 pixels wide.
    void SetRows(std::vector<QStringList> rows);
    void SetColWidths(int col, int pixels) { colWidths_.at(col) = pixels; }
    int RowHeight = TKpGridLook::DefaultRowHeight;
    TKpGridLook Look;

private:
    std::vector<QStringList> rows_;
    std::vector<int> colWidths_;
};

} // namespace kp
