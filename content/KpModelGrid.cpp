#include "content/KpModelGrid.h"

#include <QAbstractItemModel>

namespace kp {

TKpModelGrid::TKpModelGrid(const QAbstractItemModel* model, const QModelIndex& root)
    : model_(model), root_(root) {
    Look.FixedCols = 0;
    Look.FixedRows = 0;
}

int TKpModelGrid::RowCount() const {
    return model_ ? model_->rowCount(root_) : 0;
}

int TKpModelGrid::ColCount() const {
    return model_ ? model_->columnCount(root_) : 0;
}

int TKpModelGrid::ColWidths(int col) const {
    const auto it = colWidths_.find(col);
    return it == colWidths_.end() ? DefaultColWidth : it->second;
}

int TKpModelGrid::RowHeights(int row) const {
    const auto it = rowHeights_.find(row);
    return it == rowHeights_.end() ? DefaultRowHeight : it->second;
}

QString TKpModelGrid::Cells(int col, int row) const {
    if (!model_) return QString();
    return model_->data(model_->index(row, col, root_), Qt::DisplayRole).toString();
}

} // namespace kp
