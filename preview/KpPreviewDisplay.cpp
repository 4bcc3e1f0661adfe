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
    page->Width = wi;
    page->Height = hi;
    page->UpdateMetafile();
    Canvas().SetPage(page);
    pageImage_->SetMetafile(&page->Metafile(), AutoRefresh && document_->AutoRefresh);
    Reposition();
    BroadcastMessage(KPM_DISPLAYUPDATED, NumPages());
    ProcessPendingMessages();
}

} // namespace kp
