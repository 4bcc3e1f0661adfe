#pragma once
// Where the pages sit when the preview shows more than one: two-page spreads as in a bound
// book (page 1 alone on the right, odd pages on the right), or all pages in one column.
// Plain arithmetic in the scrolled content's pixels, without widgets. A page's box is its
// sheet and the shadow along its right and bottom edges, as the single page display sizes it.
#include "paginor/KpExport.h"

#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

#include "platform/KpMath.h"
#include "platform/KpPropertyEnums.h"

namespace kp {

class PAGINOR_EXPORT TKpPageLayout {
public:
    // boxes[i] is page i + 1's box. margin: empty border around the pages; gap: between two
    // pages, across and down. Narrower content than the viewport is centred in it.
    void Arrange(TKpViewMode mode, std::vector<QSize> boxes, int margin, int gap,
                 int viewportWidth);
    // Every page the same size.
    void Arrange(TKpViewMode mode, int count, QSize box, int margin, int gap, int viewportWidth);

    // A page's box in pixels at a scale: Round(ppi × inches × scale) each way.
    static QSize PageBox(Extended widthInches, Extended heightInches, Extended scale, int ppi);

    TKpViewMode Mode() const { return mode_; }
    int Count() const { return static_cast<int>(boxes_.size()); }
    QSize ContentSize() const { return content_; }
    // Page n's box (n from 1); empty outside 1..Count.
    QRect PageRect(int n) const;
    // The page whose box holds p, 0 for none.
    int PageAt(QPoint p) const;
    // The pages whose boxes meet r, in ascending order.
    std::vector<int> PagesIn(const QRect& r) const;
    // The page showing the most of its area in view; preferred wins a tie it is part of,
    // the lowest number any other tie. 0 when no page is in view.
    int MostVisiblePage(const QRect& view, int preferred = 0) const;

private:
    int rowOf(int n) const { return mode_ == vmFacingPages ? n / 2 : n - 1; }
    int firstOfRow(int row) const {
        return mode_ == vmFacingPages ? (row == 0 ? 1 : 2 * row) : row + 1;
    }
    int lastOfRow(int row) const;

    TKpViewMode mode_ = vmContinuous;
    std::vector<QSize> boxes_;
    std::vector<int> rowTop_, rowBottom_; // bottom exclusive
    int columnWidth_ = 0;
    int left_ = 0;
    int gap_ = 0;
    QSize content_;
};

} // namespace kp
