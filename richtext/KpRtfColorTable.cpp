#include "richtext/KpRtfColorTable.h"

namespace kp {

namespace rtf {

void TColorTable::Commit() {
    colors_.push_back(stated_ ? QColor(red_, green_, blue_) : QColor());
    red_ = green_ = blue_ = 0;
    stated_ = false;
}

QColor TColorTable::At(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= colors_.size()) return QColor();
    return colors_[static_cast<size_t>(index)];
}

} // namespace rtf

} // namespace kp
