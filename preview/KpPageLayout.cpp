#include "preview/KpPageLayout.h"

#include <algorithm>

namespace kp {

void TKpPageLayout::Arrange(TKpViewMode mode, int count, QSize box, int margin, int gap,
                            int viewportWidth) {
    Arrange(mode, std::vector<QSize>(static_cast<size_t>(std::max(count, 0)), box), margin, gap,
            viewportWidth);
}

QSize TKpPageLayout::PageBox(Extended widthInches, Extended heightInches, Extended scale, int ppi) {
    // The same products, left to right, as the single page display sizes its sheet.
    const Extended p = ppi;
    return QSize(kp::RoundInt(p * widthInches * scale), kp::RoundInt(p * heightInches * scale));
}

void TKpPageLayout::Arrange(TKpViewMode mode, std::vector<QSize> boxes, int margin, int gap,
                            int viewportWidth) {
    mode_ = mode == vmFacingPages ? vmFacingPages : vmContinuous;
    boxes_ = std::move(boxes);
    gap_ = gap;
    columnWidth_ = 0;
    for (const QSize& b : boxes_)
        columnWidth_ = std::max(columnWidth_, b.width());
    const int n = Count();
    const int rows = n == 0 ? 0 : rowOf(n) + 1;
    rowTop_.assign(static_cast<size_t>(rows), 0);
    rowBottom_.assign(static_cast<size_t>(rows), 0);
    int y = margin;
    for (int r = 0; r < rows; ++r) {
        int h = 0;
        for (int p = firstOfRow(r); p <= lastOfRow(r); ++p)
            h = std::max(h, boxes_[static_cast<size_t>(p - 1)].height());
        rowTop_[static_cast<size_t>(r)] = y;
        rowBottom_[static_cast<size_t>(r)] = y + h;
        y += h + gap;
    }
    const int rowWidth = mode_ == vmFacingPages ? 2 * columnWidth_ + gap : columnWidth_;
    const int width = std::max(viewportWidth, rowWidth + 2 * margin);
    left_ = (width - rowWidth) / 2;
    content_ = QSize(width, rows == 0 ? 2 * margin : rowBottom_.back() + margin);
}

int TKpPageLayout::lastOfRow(int row) const {
    const int last = mode_ == vmFacingPages ? (row == 0 ? 1 : 2 * row + 1) : row + 1;
    return std::min(last, Count());
}

QRect TKpPageLayout::PageRect(int n) const {
    if (n < 1 || n > Count()) return QRect();
    const QSize b = boxes_[static_cast<size_t>(n - 1)];
    int x;
    if (mode_ == vmContinuous)
        x = left_ + (columnWidth_ - b.width()) / 2;
    else if (n % 2 == 0)
        x = left_ + columnWidth_ - b.width(); // a left page meets the spine with its right edge
    else
        x = left_ + columnWidth_ + gap_;
    return QRect(QPoint(x, rowTop_[static_cast<size_t>(rowOf(n))]), b);
}

std::vector<int> TKpPageLayout::PagesIn(const QRect& r) const {
    std::vector<int> pages;
    if (r.isEmpty() || rowTop_.empty()) return pages;
    // Rows go down the content without overlapping: the first one ending below r's top and
    // the last one starting above its bottom bound the search.
    const auto first = std::upper_bound(rowBottom_.begin(), rowBottom_.end(), r.top());
    const auto last = std::upper_bound(rowTop_.begin(), rowTop_.end(), r.bottom());
    for (auto row = static_cast<int>(first - rowBottom_.begin());
         row < static_cast<int>(last - rowTop_.begin()); ++row)
        for (int p = firstOfRow(row); p <= lastOfRow(row); ++p)
            if (PageRect(p).intersects(r)) pages.push_back(p);
    return pages;
}

int TKpPageLayout::PageAt(QPoint p) const {
    for (int n : PagesIn(QRect(p, QSize(1, 1))))
        return n;
    return 0;
}

int TKpPageLayout::MostVisiblePage(const QRect& view, int preferred) const {
    int best = 0;
    long long bestArea = 0;
    for (int n : PagesIn(view)) {
        const QRect seen = PageRect(n).intersected(view);
        const long long area = static_cast<long long>(seen.width()) * seen.height();
        if (area > bestArea || (area == bestArea && n == preferred)) {
            best = n;
            bestArea = area;
        }
    }
    return best;
}

} // namespace kp
