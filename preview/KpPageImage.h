#pragma once
// The current page on screen: the sheet inside the preview's scrolling area, with margin
// outlines, turning mouse activity over the sheet into page coordinates.
#include "paginor/KpExport.h"

#include <map>
#include <memory>
#include <vector>

#include <Qt>

#include "drawing/KpUnits.h"
#include "preview/KpMouseState.h"
#include "preview/KpPreview.h"
#include "preview/KpTypes.h"

class QPainter;

namespace kp {

class TKpMargins;
struct TKpPageLink;

class PAGINOR_EXPORT TKpPageImage : public TKpCustomPage {
    Q_OBJECT
public:
    TKpPageImage(TKpPreview* owner, QWidget* parent);
    ~TKpPageImage() override;

    TKpPreview* Preview() const { return owner_; }
    TKpMargins* Margins() const { return margins_; }
    void SetMargins(TKpMargins* m) { margins_ = m; }
    Extended Scale() const { return scale_; }
    void SetScale(Extended s);
    Extended PageWidthInches() const { return pageWidthInches_; }
    Extended PageHeightInches() const { return pageHeightInches_; }
    void SetPageWidthInches(Extended w);
    void SetPageHeightInches(Extended h);
    int PagePixelWidth() const { return pagePixelWidth_; }
    int PagePixelHeight() const { return pagePixelHeight_; }

    // The mouse handling in the control's own pixels (the Qt handlers call these).
    void PageMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void PageMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void PageMouseMove(TShiftState shift, int x, int y);
    void PageMouseLeave();
    // True for a point of the sheet and its shadow, not of the gutter around them.
    bool InInnerArea(int x, int y) const;
    // The link of the page shown under (x, y) in the control's pixels; nullptr: none.
    const TKpPageLink* LinkAt(int x, int y) const;
    // The link of page pageNum under a point inSheet pixels from its sheet's corner, the sheet
    // shown at scale; nullptr: none. The views that show several pages ask this for any page.
    const TKpPageLink* LinkOnPage(int pageNum, QPoint inSheet, Extended scale) const;
    // The pointing hand over a link: call BeginLinkCursor before the mouse-move handlers run
    // (leaving a link gives them the arrow to change) and EndLinkCursor after them.
    void BeginLinkCursor(bool overLink);
    void EndLinkCursor();
    // A click on a link: the preview's link event, then its signal.
    void FollowLink(const TKpPageLink& link);

    // Paints page pageNum's sheet at sheet (its shadow outside, along the right and bottom
    // edges) at scale, with the margin outlines: the one place that paints a page, for the
    // single page display and for every page of the views that show several.
    void PaintPageSheet(int pageNum, QPainter& painter, const QRect& sheet, Extended scale);
    // Keeps the rendered sheets of these pages (of the views that show several) and drops
    // the others; none drops them all.
    void KeepRenderedSheets(const std::vector<int>& pages);
    // Fills the page event values with the position, at 100 %, of a point (x, y) pixels from
    // a sheet's top-left corner shown at scale.
    void SetPagePosition(int x, int y, Extended scale);
    TKpValue* PageX() const { return xValue_.get(); }
    TKpValue* PageY() const { return yValue_.get(); }

protected:
    void PaintPage(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void resizeToScale();
    // The marks of found text over the sheet (never part of the page's picture).
    void paintFindMarks(int pageNum, QPainter& painter, const QRect& sheet, Extended scale);
    // Fills the X and Y values with the page position of (x, y) at 100 %.
    void fillPagePosition(int x, int y);
    QRect marginOutline(const QRect& sheet, Extended scale, int left, int top, int right,
                        int bottom) const;

    TKpPreview* owner_;
    TKpMargins* margins_ = nullptr;
    std::unique_ptr<TKpValue> xValue_, yValue_;
    Extended pageHeightInches_ = 11.6L;
    Extended pageWidthInches_ = 8.2L;
    int pagePixelHeight_ = 0;
    int pagePixelWidth_ = 0;
    Extended scale_ = 0;
    // The rendered sheets of the pages in view when several are shown, by page number.
    std::map<int, TKpSheetCache> sheets_;
    bool overLink_ = false; // the pointing hand is up
};

} // namespace kp
