#include "richtext/KpRichTextPager.h"

#include <algorithm>

namespace kp {

std::size_t UnitAt(const std::vector<TKpLayoutUnit>& units, int position) {
    const auto it = std::upper_bound(units.begin(), units.end(), position,
                                     [](int pos, const TKpLayoutUnit& u) { return pos < u.start; });
    return it == units.begin() ? 0 : static_cast<std::size_t>(it - units.begin() - 1);
}

TKpPageSpan NextPage(const std::vector<TKpLayoutUnit>& units, std::size_t first, double height,
                     std::size_t end, double noteGap) {
    end = std::min(end, units.size());
    TKpPageSpan page;
    page.first = page.last = first;
    if (first >= end) return page;
    page.top = units[first].top;
    const double limit = page.top + height;
    double notes = 0; // the foot the notes of the units taken need
    bool full = false;
    std::size_t j = first;
    while (j < end) {
        const TKpLayoutUnit& u = units[j];
        if (j > first && u.breakBefore) break;
        const double foot = notes + u.notes;
        if (j > first && u.bottom + (foot > 0 ? foot + noteGap : 0) > limit) {
            full = true;
            break;
        }
        notes = foot;
        ++j;
        if (u.breakAfter) break;
    }
    // A page that is full does not end between units that keep together.
    if (full && units[j - 1].keepNext) {
        std::size_t k = j - 1;
        while (k > first && units[k - 1].keepNext)
            --k;
        if (k > first) j = k;
    }
    page.last = j;
    // The page shows its column band up to the next unit, never beyond the frame; what a
    // lone unit taller than the frame has below the frame is cut off.
    page.bottom = j < units.size() ? std::min(units[j].top, limit) : limit;
    page.bottom = std::max(page.bottom, std::min(units[j - 1].bottom, limit));
    return page;
}

} // namespace kp
