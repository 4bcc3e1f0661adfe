#pragma once
// What the grid printer reads from a string grid: counts, pixel sizes, texts, the fixed rows
// and columns with their colour, and the font. Hosts print a QTableWidget (TKpStringGrid),
// any table model (TKpModelGrid) or plain rows of text (TKpTextGrid) through it.
#include "paginor/KpExport.h"

#include <QString>

#include "platform/KpColor.h"
#include "platform/KpGraphics.h"

namespace kp {

class PAGINOR_EXPORT IKpGridSource {
public:
    virtual ~IKpGridSource() = default;
    virtual int RowCount() const = 0;
    virtual int ColCount() const = 0;
    // Screen pixels.
    virtual int ColWidths(int col) const = 0;
    virtual int RowHeights(int row) const = 0;
    virtual QString Cells(int col, int row) const = 0;
    virtual int FixedCols() const = 0;
    virtual int FixedRows() const = 0;
    virtual TColor Color() const = 0;
    virtual TColor FixedColor() const = 0;
    virtual const TKpFont& Font() const = 0;
};

// The settings every grid source keeps beside its cells, with the string grid's defaults.
class PAGINOR_EXPORT TKpGridLook {
public:
    static constexpr int DefaultColWidth = 64;
    static constexpr int DefaultRowHeight = 24;

    int FixedCols = 1;
    int FixedRows = 1;
    TColor Color = clWindow;
    TColor FixedColor = clBtnFace;
    TKpFont Font; // "Arial" 8 pt
};

} // namespace kp
