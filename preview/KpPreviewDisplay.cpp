#include "preview/KpPreview.h"

#include "drawing/KpCanvas.h"
#include "preview/KpPageImage.h"

namespace kp {

void TKpPreview::RefreshPage() {
    if (document_) document_->RefreshPage();
}

void TKpPreview::ViewRefresh() {
    // With its only page deleted the document shows nothing until the next NewPage.
    if (destroying_ || NumPages() == 0) return;
    int w = PaperWidth().value, h = PaperHeight().value;
    TKpPage* page = GetPage(CurrentPage());
    // The current page's own orientation decides; a custom size orders the paper values.
    PaperDimensions(PaperSize(), page->Orientation() == kpLandscape, w, h);
    const Extended wi = static_cast<Extended>(w) / 100 / 25.4L;
    const Extended hi = static_cast<Extended>(h) / 100 / 25.4L;
    pageImage_->SetPageWidthInches(wi);
    pageImage_->SetPageHeightInches(hi);
    // A page that became current by scrolling is shown as it was drawn already.
    const bool shown = multiView() && followingView_ &&
                       static_cast<size_t>(CurrentPage()) <= pageRefresh_.size() &&
                       pageRefresh_[static_cast<size_t>(CurrentPage() - 1)] == displayRefresh_;
    page->Width = wi;
    page->Height = hi;
    if (!shown) page->UpdateMetafile();
    Canvas().SetPage(page);
    pageImage_->SetMetafile(&page->Metafile(), AutoRefresh && document_->AutoRefresh);
    if (multiView())
        refreshPages();
    else
        Reposition();
    BroadcastMessage(KPM_DISPLAYUPDATED, NumPages());
    if (!followingView_) ProcessPendingMessages();
}

void TKpPreview::refreshPages() {
    if (!followingView_) {
        // Every page in view shows what was drawn on it by now.
        ++displayRefresh_;
        if (pageRefresh_.size() < static_cast<size_t>(NumPages()))
            pageRefresh_.resize(static_cast<size_t>(NumPages()), 0);
        pageRefresh_[static_cast<size_t>(CurrentPage() - 1)] = displayRefresh_;
    }
    // Placing all pages costs a pass over them: a drawing run with AutoRefresh off places
    // them once, at the refresh that ends it.
    if (!AutoRefresh || !document_->AutoRefresh) {
        layoutDirty_ = true;
        return;
    }
    // Scrolling changes no page's place.
    if (!followingView_ || layoutDirty_) arrangePages();
    if (scrollToPage_ > 0) {
        const int n = scrollToPage_;
        scrollToPage_ = 0;
        ScrollToPage(n);
    }
}

} // namespace kp
