#include "content/KpGridLayout.h"

#include "drawing/KpUnits.h"

namespace kp {

int32_t TKpGridLayout::Units(int64_t pixels) {
    return static_cast<int32_t>(
        kp::Round(ConvertUnits(kpPixels, kpUnits, static_cast<Extended>(pixels))));
}

Extended TKpGridLayout::ScaleFactor(Extended widthUnits, int64_t columnPixelSum) {
    if (widthUnits == 0) return 1.0L;
    const int32_t total = Units(columnPixelSum);
    if (total == 0)
        throw EKpGridLayout("The grid's columns have no width, so it cannot be scaled to a "
                            "width.");
    return static_cast<Extended>(kp::Round(widthUnits)) / total;
}

TKpGridLayout::TKpGridLayout(Extended scaleFactor, int32_t x0, int32_t top)
    : scale_(scaleFactor), x0_(x0), x_(x0), y_(top) {}

TKpCellRect TKpGridLayout::NextCell(int colWidthPixels, int rowHeightPixels) {
    TKpCellRect r;
    r.Left = x_;
    r.Top = y_;
    r.Right = x_ + static_cast<int32_t>(kp::Round(scale_ * Units(colWidthPixels)));
    r.Bottom = y_ + Units(rowHeightPixels);
    x_ += r.Right - r.Left;
    return r;
}

void TKpGridLayout::EndRow(const TKpCellRect& last) {
    x_ = x0_;
    y_ += last.Bottom - last.Top;
}

TKpCellRect TKpGridLayout::TextBox(const TKpCellRect& cell, TAlignment alignment, int32_t inset) {
    TKpCellRect box = cell;
    if (alignment != taRightJustify) box.Left += inset;
    if (alignment != taLeftJustify) box.Right -= inset;
    // A cell narrower than both insets keeps a centred box of no width.
    if (alignment == taCenter && box.Right < box.Left)
        box.Left = box.Right = cell.Left + (cell.Right - cell.Left) / 2;
    return box;
}

} // namespace kp
