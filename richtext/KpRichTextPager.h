#pragma once
// Page breaking over text laid out in one endless column. The column is cut into units that
// are never split (a line, a table row, a band of a row taller than a page); a page takes
// units from its first one while they fit, and stops early at a forced break.
#include "paginor/KpExport.h"

#include <cstddef>
#include <vector>

namespace kp {

struct PAGINOR_EXPORT TKpLayoutUnit {
    int start = 0;            // first character of the unit
    double top = 0;           // column position of its top edge
    double bottom = 0;        // column position of its bottom edge
    bool breakBefore = false; // a forced break puts this unit at the top of a page
    bool breakAfter = false;  // a forced break follows this unit
    bool keepNext = false;    // no page break between this unit and the next, where a page
                              // can hold both
    double notes = 0;         // room its footnotes take at the foot of the page
};

struct PAGINOR_EXPORT TKpPageSpan {
    std::size_t first = 0; // units [first, last) are on the page
    std::size_t last = 0;
    double top = 0;    // column position shown at the top of the page
    double bottom = 0; // column position where the page's content ends (the clip)
};

// The unit holding character `position`: the last one that starts at or before it.
PAGINOR_EXPORT std::size_t UnitAt(const std::vector<TKpLayoutUnit>& units, int position);

// The page that starts with unit `first` in a frame `height` high, taking units before `end`
// only. A unit taller than the frame still gets a page of its own, so pages always move on.
// The footnotes of the units taken are at the foot of the frame, `noteGap` below the text
// (the separator) when there are any; units that keep with the next one move on together
// unless that would leave the page empty.
PAGINOR_EXPORT TKpPageSpan NextPage(const std::vector<TKpLayoutUnit>& units, std::size_t first,
                                    double height, std::size_t end, double noteGap = 0);

} // namespace kp
