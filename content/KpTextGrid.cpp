#include "content/KpTextGrid.h"

namespace kp {

TKpTextGrid::TKpTextGrid(std::vector<QStringList> rows) {
    SetRows(std::move(rows));
}

void TKpTextGrid::SetRows(std::vector<QStringList> rows) {
    rows_ = std::move(rows);
    qsizetype cols = 0;
    for (const QStringList& row : rows_)
        cols = std::max(cols, row.size());
    colWidths_.assign(static_cast<size_t>(cols), TKpGridLook::DefaultColWidth);
}

QString TKpTextGrid::Cells(int col, int row) const {
    const QStringList& cells = rows_.at(static_cast<size_t>(row));
    return col >= 0 && col < cells.size() ? cells[col] : QString();
}

} // namespace kp
