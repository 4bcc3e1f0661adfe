#pragma once
// A table model read as a string grid: the model's rows and columns under a root index, the
// display texts as cells, and pixel sizes kept here (64 by 24 unless set).
#include "paginor/KpExport.h"

#include <map>

#include <QModelIndex>
#include <QPointer>

#include "content/KpGridSource.h"

class QAbstractItemModel;

namespace kp {

class PAGINOR_EXPORT TKpModelGrid : public IKpGridSource {
public:
    // The rows under root, one column per model column; the model is not owned.
    explicit TKpModelGrid(const QAbstractItemModel* model, const QModelIndex& root = {});

    int RowCount() const override;
    int ColCount() const override;
    int ColWidths(int col) const override;
    int RowHeights(int row) const override;
    QString Cells(int col, int row) const override;
    int FixedCols() const override { return Look.FixedCols; }
    int FixedRows() const override { return Look.FixedRows; }
    TColor Color() const override { return Look.Color; }
    TColor FixedColor() const override { return Look.FixedColor; }
    const TKpFont& Font() const override { return Look.Font; }

    // Pixel sizes of single columns and rows; the others take the defaults below.
    void SetColWidths(int col, int pixels) { colWidths_[col] = pixels; }
    void SetRowHeights(int row, int pixels) { rowHeights_[row] = pixels; }
    int DefaultColWidth = TKpGridLook::DefaultColWidth;
    int DefaultRowHeight = TKpGridLook::DefaultRowHeight;
    // A model has no fixed rows or columns of its own (set in the constructor).
    TKpGridLook Look;

private:
    QPointer<const QAbstractItemModel> model_;
    QPersistentModelIndex root_;
    std::map<int, int> colWidths_, rowHeights_;
};

} // namespace kp
