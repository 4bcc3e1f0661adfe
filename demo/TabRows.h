#pragma once
// Rows of tab buttons over a tab widget whose own bar is hidden: every tab stays in sight in
// a narrow panel, where a single bar would hide most of them behind scroll arrows.
#include <vector>

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QTabWidget;

// Splits items of the given widths, in order, into rows no wider than width (spacing between
// neighbours); each row holds at least one item. Returns the item indexes of every row.
std::vector<std::vector<int>> TabRowsLayout(const std::vector<int>& widths, int width,
                                            int spacing);

class TTabRows : public QWidget {
public:
    // Shows one button per tab of tabs (whose bar it hides), in rows fitting width pixels.
    TTabRows(QTabWidget* tabs, int width, QWidget* parent = nullptr);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::vector<std::vector<int>>& Rows() const { return rows_; }
    QAbstractButton* Button(int index) const;

private:
    QTabWidget* tabs_;
    QButtonGroup* group_; // child object
    std::vector<std::vector<int>> rows_;
};
