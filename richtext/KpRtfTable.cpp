#include "richtext/KpRtfTable.h"

#include <algorithm>

namespace kp {

namespace rtf {

void TRowDefReader::EndCellDef(int right) {
    if (static_cast<int>(def_.cells.size()) < kMaxColumns) {
        cell_.right = right;
        def_.cells.push_back(cell_);
    }
    cell_ = TCellDef();
    target_ = nullptr;
}

void TRowDefReader::SetBorderStyle(TBorderStyle style) {
    if (!target_) return;
    target_->stated = true;
    target_->style = style;
}

void TRowDefReader::SetBorderWidth(int twips) {
    if (!target_) return;
    target_->stated = true;
    target_->width = std::clamp(twips, 0, 1440);
}

void TRowDefReader::SetPadding(TPadding& p, int twips) {
    p.stated = true;
    p.twips = std::clamp(twips, 0, 1440);
}

void TRowDefReader::SetBorderColor(int index) {
    if (target_) target_->color = index;
}

} // namespace rtf

} // namespace kp
