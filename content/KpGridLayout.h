#pragma once
// The arithmetic of a printed grid, apart from any widget: pixel sizes turned into KpUnits,
// the horizontal scale to a requested width, the cell rectangles row by row, and where the
// table breaks onto the next page.
#include "paginor/KpExport.h"

#include <cstdint>
#include <stdexcept>

#include "drawing/KpObjects.h"
#include "platform/KpMath.h"

namespace kp {

// A cell in KpUnits: left, top, right, bottom (right and bottom exclusive).
struct PAGINOR_EXPORT TKpCellRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TKpCellRect&) const = default;
};

// Raised when a grid cannot be laid out as asked.
class PAGINOR_EXPORT EKpGridLayout : public std::domain_error {
public:
    using std::domain_error::domain_error;
};

class PAGINOR_EXPORT TKpGridLayout {
public:
    // A screen-pixel length in KpUnits, rounded.
    static int32_t Units(int64_t pixels);
    // rounded(width) / Units(sum of the column widths); 1 for width 0. A non-zero width with
    // columns that add up to nothing raises EKpGridLayout.
    static Extended ScaleFactor(Extended widthUnits, int64_t columnPixelSum);

    TKpGridLayout(Extended scaleFactor, int32_t x0, int32_t top);

    Extended ScaleFactor() const { return scale_; }
    int32_t X() const { return x_; }
    int32_t Y() const { return y_; }

    // The next cell of the current row (column width and row height in pixels); moves right.
    TKpCellRect NextCell(int colWidthPixels, int rowHeightPixels);
    // Ends the row whose last cell was `last`: back to the first column, one row down.
    void EndRow(const TKpCellRect& last);
    // True when the row just ended passes the page limit and another row follows.
    bool PageFull(int32_t pageLimit, bool lastRow) const { return !lastRow && y_ > pageLimit; }
    // Starts a page: the next row's top is `top`.
    void StartPage(int32_t top) { y_ = top; }

    // The box a cell's text is laid out in: `inset` in from the rule the text is aligned to
    // (from both rules when centred). Left-aligned text runs up to the right rule.
    static TKpCellRect TextBox(const TKpCellRect& cell, TAlignment alignment, int32_t inset);

private:
    Extended scale_;
    int32_t x0_;
    int32_t x_;
    int32_t y_;
};

} // namespace kp
