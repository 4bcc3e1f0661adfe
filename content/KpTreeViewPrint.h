#pragma once
// Prints a tree view as an indented outline onto the preview's pages: one row per node with
// light connector lines, the node's image and its text, from a given position on the current
// page onwards, appending pages as needed. The source tree is never changed.
#include "paginor/KpExport.h"

#include <memory>

#include "content/KpContentPrinter.h"
#include "content/KpTreeSource.h"
#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"

namespace kp {

using TKpTreeViewNewPageEvent = TKpContentNewPageEvent;

class PAGINOR_EXPORT TKpTreeViewPrint : public TKpContentPrinter {
    Q_OBJECT
    // Published properties (property editors, form files); Indent and RowHeight in KpUnits.
    Q_PROPERTY(bool ExpandNodes MEMBER ExpandNodes)
    Q_PROPERTY(int Indent READ indentUnits WRITE setIndentUnits)
    Q_PROPERTY(int RowHeight READ rowHeightUnits WRITE setRowHeightUnits)
public:
    explicit TKpTreeViewPrint(QObject* parent = nullptr);
    ~TKpTreeViewPrint() override;

    // Print every node, as if the whole tree were expanded.
    bool ExpandNodes = true;
    // Font of the node texts ("Arial").
    TKpFont& Font() { return *font_; }
    // Horizontal step per level and height of a row (KpUnits, 6 mm each).
    TKpValue& Indent() { return *indent_; }
    TKpValue& RowHeight() { return *rowHeight_; }
    // y of the first row on every page, and the height kept free at the bottom (KpUnits).
    TKpValue& TopMargin() { return *topMargin_; }
    TKpValue& BottomMargin() { return *bottomMargin_; }
    // Called after each page break; the margins it leaves apply from the next row.
    TKpTreeViewNewPageEvent OnNewPage;

    // Draws the outline with the first row's top-left corner at (x, y); nothing without a
    // preview.
    void PrintTreeView(int x, int y, const IKpTreeSource& tree, TKpUnit units);

private:
    int indentUnits() const { return indent_->value; }
    void setIndentUnits(int v) { indent_->value = v; }
    int rowHeightUnits() const { return rowHeight_->value; }
    void setRowHeightUnits(int v) { rowHeight_->value = v; }

    std::unique_ptr<TKpValue> bottomMargin_;
    std::unique_ptr<TKpValue> topMargin_;
    std::unique_ptr<TKpFont> font_;
    std::unique_ptr<TKpValue> indent_;
    std::unique_ptr<TKpValue> rowHeight_;
};

} // namespace kp
