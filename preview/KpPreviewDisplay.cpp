#include "preview/KpPreview.h"

#include "drawing/KpCanvas.h"
#include "preview/KpPageImage.h"

namespace kp {

void TKpPreview::RefreshPage() {
    // With its only page deleted the document shows nothing until the next NewPage.
    if (destroying_ || NumPages() == 0) return;
    int w = paperWidth_->value, h = paperHeight_->value;
    TKpPage* page = pages_->GetPage(currentPage_);
    // The current page's own orientation decides; a custom size orders the paper values.
    PaperDimensions(paperSize_, page->Orientation() == kpLandscape, w, h);
    const Extended wi = static_cast<Extended>(w) / 100 / 25.4L;
    const Extended hi = static_cast<Extended>(h) / 100 / 25.4L;
    pageImage_->SetPageWidthInches(wi);
    pageImage_->SetPageHeightInches(hi);
    page->Width = wi;
    page->Height = hi;
    page->UpdateMetafile();
    bindCanvas(page);
    pageImage_->SetMetafile(&page->Metafile(), AutoRefresh);
    Reposition();
    BroadcastMessage(KPM_DISPLAYUPDATED, NumPages());
    ProcessPendingMessages();
}

} // namespace kp
