#include "content/KpTreeLayout.h"

#include "platform/KpMath.h"

namespace kp {

TKpTreeRow TKpTreeLayout::Row(int level, int32_t topMargin, int k) const {
    TKpTreeRow r;
    r.L = Indent * level + X0;
    r.Top = topMargin + RowHeight * k;
    r.Bottom = r.Top + RowHeight;
    r.M = r.Top + RowHeight / 2;
    return r;
}

int32_t TKpTreeLayout::ConnectorTop(const TKpTreeRow& row, int32_t textHeight,
                                    bool levelChanged) const {
    const int32_t above = row.Top - kp::RoundInt(static_cast<Extended>(RowHeight) / 2);
    return levelChanged ? above + textHeight / 2 : above;
}

int32_t TKpTreeLayout::TextY(const TKpTreeRow& row, int32_t textHeight) {
    return row.Top + kp::RoundInt(static_cast<Extended>(row.Bottom - row.Top - textHeight) / 2);
}

} // namespace kp
