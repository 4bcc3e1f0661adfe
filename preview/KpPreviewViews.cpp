// The views that show several pages at once: two-page spreads and one continuous column.
// The page image is hidden; the viewport paints the pages in view through the page image's
// sheet painting, and the current page follows the view.
#include <cmath>
#include <exception>

#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include "drawing/KpCanvas.h"
#include "drawing/KpPage.h"
#include "platform/KpScreen.h"
#include "platform/KpStateGuard.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

namespace kp {

void TKpPreview::SetViewMode(TKpViewMode v) {
    if (v > vmContinuous || v == viewMode_) return;
    viewMode_ = v;
    pageImage_->KeepRenderedSheets({});
    pageImage_->setVisible(!multiView());
    ++displayRefresh_;
    if (multiView()) {
        arrangePages();
        // The current page opens the view at its top.
        const TKpStateGuard<bool> placing(placing_, true);
        const QRect box = layout_.PageRect(CurrentPage());
        SetVertPosition(box.top() - gutter_);
        SetHorzPosition(box.left() - gutter_);
    } else {
        SetHorzPosition(0);
        SetVertPosition(0);
        Reposition();
    }
    viewport()->update();
    if (OnViewModeChange) OnViewModeChange(this);
    Q_EMIT viewModeChanged();
}

void TKpPreview::arrangePages() {
    const TKpStateGuard<bool> arranging(arranging_, true);
    const int n = document_ ? NumPages() : 0;
    // Every page shows the paper in its own orientation: two sizes serve them all.
    QSize boxes[2];
    for (int landscape = 0; landscape < 2; ++landscape) {
        int w = PaperWidth().value, h = PaperHeight().value;
        PaperDimensions(PaperSize(), landscape == 1, w, h);
        boxes[landscape] = TKpPageLayout::PageBox(static_cast<Extended>(w) / 100 / 25.4L,
                                                  static_cast<Extended>(h) / 100 / 25.4L,
                                                  pageImage_->Scale(), ScreenPixelsPerInch());
    }
    std::vector<QSize> sizes(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i)
        sizes[static_cast<size_t>(i - 1)] = boxes[GetPage(i)->Orientation() == kpLandscape];
    layout_.Arrange(viewMode_, std::move(sizes), gutter_, gutter_, viewport()->width());
    layoutDirty_ = false;
    updateScrollRanges();
    viewport()->update();
}

void TKpPreview::ScrollToPage(int n) {
    if (!multiView()) return;
    if (layoutDirty_) arrangePages();
    const QRect box = layout_.PageRect(n);
    if (box.isEmpty()) return;
    const QRect view(QPoint(HorzPosition(), VertPosition()), viewport()->size());
    const TKpStateGuard<bool> placing(placing_, true);
    if (box.top() < view.top() || box.bottom() > view.bottom())
        SetVertPosition(box.top() - gutter_);
    if (box.left() < view.left() || box.right() > view.right())
        SetHorzPosition(box.left() - gutter_);
}

void TKpPreview::followView() {
    if (!multiView() || arranging_ || followingView_ || placing_ || layoutDirty_ || !document_)
        return;
    const QRect view(QPoint(HorzPosition(), VertPosition()), viewport()->size());
    const int n = layout_.MostVisiblePage(view, CurrentPage());
    if (n < 1 || n > NumPages() || n == CurrentPage()) return;
    const TKpStateGuard<bool> following(followingView_, true);
    SetCurrentPage(n);
}

void TKpPreview::preparePicture(int n) {
    if (pageRefresh_.size() < static_cast<size_t>(NumPages()))
        pageRefresh_.resize(static_cast<size_t>(NumPages()), 0);
    uint32_t& refreshed = pageRefresh_[static_cast<size_t>(n - 1)];
    if (refreshed == displayRefresh_) return;
    refreshed = displayRefresh_;
    TKpPage* page = GetPage(n);
    int w = PaperWidth().value, h = PaperHeight().value;
    PaperDimensions(PaperSize(), page->Orientation() == kpLandscape, w, h);
    page->Width = static_cast<Extended>(w) / 100 / 25.4L;
    page->Height = static_cast<Extended>(h) / 100 / 25.4L;
    // Quietly: the linked controls hear of a picture rebuilt for the display no more than of
    // one the thumbnail strip rebuilds. A host's object that fails stops at the paint.
    const TKpStateGuard<bool> quiet(AutoRefresh, false);
    try {
        page->UpdateMetafile();
    } catch (const std::exception& e) {
        qWarning("Page %d not shown to the end: %s", n, e.what());
    }
}

void TKpPreview::paintEvent(QPaintEvent* e) {
    paintedPages_.clear();
    if (!multiView() || !document_) return;
    QPainter painter(viewport());
    const QPoint scroll(HorzPosition(), VertPosition());
    const int shadow = Shadow().Width();
    for (int n : layout_.PagesIn(e->rect().translated(scroll))) {
        if (n > NumPages()) break;
        preparePicture(n);
        const QRect box = layout_.PageRect(n).translated(-scroll);
        painter.save();
        pageImage_->PaintPageSheet(n, painter,
                                   QRect(box.topLeft(), box.size() - QSize(shadow, shadow)),
                                   pageImage_->Scale());
        painter.restore();
        paintedPages_.push_back(n);
    }
    // Rendered sheets are kept for the pages in view only.
    pageImage_->KeepRenderedSheets(layout_.PagesIn(QRect(scroll, viewport()->size())));
}

bool TKpPreview::multiViewKey(int key) {
    // Page Up and Page Down go a page (a spread) at a time, bringing it into view.
    const int current = CurrentPage();
    const bool facing = viewMode_ == vmFacingPages;
    int n;
    switch (key) {
    case Qt::Key_PageDown:
        n = facing ? (current == 1 ? 2 : current + 2 - current % 2) : current + 1;
        break;
    case Qt::Key_PageUp:
        n = facing ? (current <= 3 ? 1 : current - 2 - current % 2) : current - 1;
        break;
    case Qt::Key_Home:
        n = 1;
        break;
    case Qt::Key_End:
        n = NumPages();
        break;
    default:
        return false;
    }
    if (n < 1 || n > NumPages()) return true;
    scrollToPage_ = n;
    SetCurrentPage(n);
    // Already current: the view still comes back to it.
    if (scrollToPage_ == n) {
        scrollToPage_ = 0;
        const TKpStateGuard<bool> placing(placing_, true);
        const QRect box = layout_.PageRect(n);
        SetVertPosition(box.top() - gutter_);
    }
    return true;
}

void TKpPreview::multiViewMouse(PageMouse kind, TMouseButton button, TShiftState shift, QPoint p) {
    const QPoint c = p + QPoint(HorzPosition(), VertPosition());
    const int n = layout_.PageAt(c);
    if (n < 1 || n > NumPages()) return;
    const QRect box = layout_.PageRect(n);
    if (kind == PageMouse::Down && n != CurrentPage()) {
        // A click on a page makes it current where it is.
        const TKpStateGuard<bool> following(followingView_, true);
        SetCurrentPage(n);
    }
    // The page events speak of the current page.
    if (n != CurrentPage()) return;
    const TPageMouseEvent& event = kind == PageMouse::Down ? OnPageMouseDown : OnPageMouseUp;
    if (kind == PageMouse::Move ? !OnPageMouseMove : !event) return;
    pageImage_->SetPagePosition(c.x() - box.left(), c.y() - box.top(), pageImage_->Scale());
    if (kind == PageMouse::Move)
        OnPageMouseMove(this, shift, pageImage_->PageX(), pageImage_->PageY());
    else
        event(this, button, shift, pageImage_->PageX(), pageImage_->PageY());
}

void TKpPreview::zoomAbout(QPoint p, bool in) {
    const QPoint c = p + QPoint(HorzPosition(), VertPosition());
    int n = layout_.PageAt(c);
    if (n == 0) n = CurrentPage();
    const QRect before = layout_.PageRect(n);
    if (before.isEmpty()) return in ? ZoomIn() : ZoomOut();
    const double fx = double(c.x() - before.left()) / before.width();
    const double fy = double(c.y() - before.top()) / before.height();
    in ? ZoomIn() : ZoomOut();
    if (layoutDirty_) arrangePages();
    const QRect after = layout_.PageRect(n);
    SetHorzPosition(after.left() + static_cast<int>(std::lround(fx * after.width())) - p.x());
    SetVertPosition(after.top() + static_cast<int>(std::lround(fy * after.height())) - p.y());
}

} // namespace kp
