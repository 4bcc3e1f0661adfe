#include "content/KpStringGrid.h"

#include <QHeaderView>

namespace kp {

TKpStringGrid::TKpStringGrid(QWidget* parent) : QTableWidget(5, 5, parent) {
    // The fixed rows and columns carry the titles; the widget's own headers are not used.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    SetDefaultColWidth(TKpGridLook::DefaultColWidth);
    SetDefaultRowHeight(TKpGridLook::DefaultRowHeight);
    look_.Font.OnChange = [this](void*) { showFont(); };
    showFont();
}

QString TKpStringGrid::Cells(int col, int row) const {
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->text() : QString();
}

void TKpStringGrid::SetDefaultColWidth(int pixels) {
    horizontalHeader()->setDefaultSectionSize(pixels);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, pixels);
}

void TKpStringGrid::SetDefaultRowHeight(int pixels) {
    verticalHeader()->setDefaultSectionSize(pixels);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, pixels);
}

void TKpStringGrid::SetCells(int col, int row, const QString& text) {
    if (QTableWidgetItem* cell = item(row, col))
        cell->setText(text);
    else
        setItem(row, col, new QTableWidgetItem(text)); // owned by the table
}

void TKpStringGrid::showFont() {
    QFont f(look_.Font.Name());
    f.setPointSize(qMax(1, look_.Font.Size()));
    f.setBold(look_.Font.HasStyle(fsBold));
    f.setItalic(look_.Font.HasStyle(fsItalic));
    f.setUnderline(look_.Font.HasStyle(fsUnderline));
    f.setStrikeOut(look_.Font.HasStyle(fsStrikeOut));
    setFont(f);
}

} // namespace kp
