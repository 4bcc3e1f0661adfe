#pragma once
// The arithmetic of a printed tree outline, apart from any widget: each row's box and
// connector ends, where its image and text go, and when the next row goes to a new page.
#include "paginor/KpExport.h"

#include <cstdint>

namespace kp {

// One node row in KpUnits: L is where its level's horizontal connector starts, M the row's
// middle.
struct PAGINOR_EXPORT TKpTreeRow {
    int32_t L = 0;
    int32_t Top = 0;
    int32_t Bottom = 0;
    int32_t M = 0;
};

struct PAGINOR_EXPORT TKpTreeLayout {
    int32_t X0 = 0;       // left end of the roots' connectors
    int32_t Indent = 600; // step per level
    int32_t RowHeight = 600;
    // Pictures and texts start this far left of the connector's end (2 mm).
    static constexpr int32_t LeadIn = 200;

    // The k-th row (from 0) of a page whose rows start at topMargin.
    TKpTreeRow Row(int level, int32_t topMargin, int k) const;
    // Upper end of a row's vertical connector: the text middle of the row above when the
    // level changed (h: the text height), else the middle of the row above.
    int32_t ConnectorTop(const TKpTreeRow& row, int32_t textHeight, bool levelChanged) const;
    int32_t ImageX(const TKpTreeRow& row) const { return row.L + Indent - LeadIn; }
    int32_t ImageY(const TKpTreeRow& row, int32_t imageHeight) const {
        return row.Top + (RowHeight - imageHeight) / 2;
    }
    int32_t TextX(const TKpTreeRow& row, int32_t imageWidth) const {
        return row.L + Indent + imageWidth - LeadIn;
    }
    // The text's top: centred in the row.
    static int32_t TextY(const TKpTreeRow& row, int32_t textHeight);
    // True when one more row below this one would pass the page limit.
    bool PageFull(const TKpTreeRow& row, int32_t pageLimit) const {
        return pageLimit < row.Bottom + RowHeight;
    }
};

} // namespace kp
