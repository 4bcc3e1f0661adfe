#include "content/KpLabelLayout.h"

namespace kp {

TKpLabelLayout::TKpLabelLayout(const TKpLabelGeometry& geometry) : g_(geometry) {
    if (g_.HorzPitch == 0) g_.HorzPitch = g_.LabelWidth;
    if (g_.VertPitch == 0) g_.VertPitch = g_.LabelHeight;
}

QString TKpLabelLayout::Problem() const {
    if (g_.Columns < 1 || g_.Rows < 1)
        return QStringLiteral("A label sheet needs at least one column and one row.");
    if (static_cast<int64_t>(g_.Columns) * g_.Rows > MaxLabels)
        return QStringLiteral("A label sheet holds at most %1 labels.").arg(MaxLabels);
    if (g_.LabelWidth <= 0 || g_.LabelHeight <= 0)
        return QStringLiteral("Labels need a width and a height.");
    return QString();
}

int TKpLabelLayout::Count() const {
    return Problem().isEmpty() ? g_.Columns * g_.Rows : 0;
}

QPoint TKpLabelLayout::Corner(int visit) const {
    const int64_t x = g_.Left + static_cast<int64_t>(Column(visit)) * g_.HorzPitch;
    const int64_t y = g_.Top + static_cast<int64_t>(Row(visit)) * g_.VertPitch;
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

int TKpLabelLayout::FillIndex(int visit, bool down) const {
    return down ? visit : Row(visit) * g_.Columns + Column(visit);
}

} // namespace kp
