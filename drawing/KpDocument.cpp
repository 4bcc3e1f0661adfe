#include "drawing/KpDocument.h"

#include <algorithm>

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpMessages.h"
#include "drawing/KpPageText.h"
#include "platform/KpRunThen.h"
#include "platform/KpScreen.h"
#include "platform/KpStateGuard.h"

namespace kp {

TKpDocument::TKpDocument(QObject* parent)
    : QObject(parent), marks_(std::make_unique<TKpDocumentMarks>()) {
    pages_ = std::make_unique<TKpPageList>(this);
    canvas_ = std::make_unique<TKpCanvas>(this);
    bindCanvas(pages_->AddPage());
    footer_ = std::make_unique<TKpFooter>(this);
    header_ = std::make_unique<TKpHeader>(this);
    margins_ = std::make_unique<TKpMargins>(this);
    paperHeight_ = std::make_unique<TKpValue>(29700);
    paperWidth_ = std::make_unique<TKpValue>(21000);
    paperHeight_->OnChange = [this](TKpValue*) { paperValueChanged(); };
    paperWidth_->OnChange = [this](TKpValue*) { paperValueChanged(); };
}

TKpDocument::~TKpDocument() {
    destroying_ = true;
    // A view still showing the document moves to one of its own before anything goes.
    if (TKpDocumentView* view = std::exchange(view_, nullptr)) view->ViewDocumentDestroyed(this);
    canvas_.reset();
    footer_.reset();
    header_.reset();
    margins_.reset();
    pages_.reset();
}

int TKpDocument::NumPages() const {
    return pages_->Count();
}

TKpPage* TKpDocument::GetPage(int n) const {
    return pages_->GetPage(n);
}

void TKpDocument::bindCanvas(TKpPage* page) {
    if (canvas_) canvas_->SetPage(page);
}

void TKpDocument::Notify(int msg, long long wparam, long long lparam) {
    if (view_ && !quiet_ && AutoRefresh && !destroying_) view_->ViewMessage(msg, wparam, lparam);
}

void TKpDocument::FirePageChanging(int n) {
    if (OnPageChanging) OnPageChanging(this, n);
    if (view_) view_->ViewPageChanging(n);
}

void TKpDocument::FirePageChange(int n) {
    if (OnPageChange) OnPageChange(this, n);
    if (view_) view_->ViewPageChange(n);
}

void TKpDocument::FireClear() {
    if (OnClear) OnClear(this);
    if (view_) view_->ViewClear();
}

void TKpDocument::FireDeletePage() {
    // Reported only while the document refreshes (a view that is quiet hears nothing).
    if (!Refreshing()) return;
    if (OnDeletePage) OnDeletePage(this);
    if (view_) view_->ViewDeletePage();
}

void TKpDocument::FireCanvasChange(void* canvas) {
    if (OnCanvasChange) OnCanvasChange(canvas);
    if (view_) view_->ViewCanvasChange(canvas);
}

void TKpDocument::FireChangeMargins(void* margins) {
    Notify(KPM_MARGINSCHANGED);
    if (OnChangeMargins) OnChangeMargins(margins);
    if (view_) view_->ViewChangeMargins(margins);
}

void TKpDocument::FireMarginsDisplay() {
    if (view_) view_->ViewMarginsDisplay();
}

void TKpDocument::FireChangePageOrientation(TKpPage* page, int pageNum, TKpOrientation v) {
    if (OnChangePageOrientation) OnChangePageOrientation(page, pageNum, v);
    if (view_) view_->ViewChangePageOrientation(page, pageNum, v);
}

void TKpDocument::SetCurrentPage(int n) {
    // The same number is no change only while the canvas is still on that page: after the
    // page under it was deleted, the number names another page (or a new one).
    if (n == currentPage_ && n >= 1 && n <= NumPages() && canvas_->Page() == pages_->GetPage(n))
        return;
    showPage(n);
}

void TKpDocument::showPage(int n) {
    // An out-of-range number is refused before anything changes, so the current page and
    // the canvas always stay on a page that exists.
    TKpPage* page = pages_->GetPage(n);
    FirePageChanging(n);
    currentPage_ = n;
    bindCanvas(page);
    FirePageChange(n);
    RefreshPage();
    Notify(KPM_PAGECHANGED, n);
}

void TKpDocument::RefreshPage() {
    if (destroying_) return;
    if (view_)
        view_->ViewRefresh();
    else
        rebuildCurrentPage();
}

void TKpDocument::rebuildCurrentPage() {
    // With its only page deleted the document shows nothing until the next NewPage.
    if (NumPages() == 0) return;
    int w = paperWidth_->value, h = paperHeight_->value;
    TKpPage* page = pages_->GetPage(currentPage_);
    // The current page's own orientation decides; a custom size orders the paper values.
    PaperDimensions(paperSize_, page->Orientation() == kpLandscape, w, h);
    page->Width = static_cast<Extended>(w) / 100 / 25.4L;
    page->Height = static_cast<Extended>(h) / 100 / 25.4L;
    page->UpdateMetafile();
    bindCanvas(page);
}

void TKpDocument::PageDeleted(int number, TKpPage* page) {
    marks_->PageDeleted(number, page);
    if (destroying_ || !canvas_) return;
    const bool canvasOnIt = canvas_->Page() == page;
    const bool displayOnIt = view_ && view_->ViewShows(*page);
    const int count = NumPages();
    if (count == 0) {
        // No page left: nothing to draw on or show until the next NewPage.
        if (canvasOnIt) bindCanvas(nullptr);
        if (displayOnIt) view_->ViewShowPage(nullptr, Refreshing());
        currentPage_ = 0;
        return;
    }
    if (clearing_) {
        // Clear binds page 1 when it finishes; until then nothing points at a freed page.
        if (canvasOnIt) bindCanvas(pages_->GetPage(1));
        if (displayOnIt) view_->ViewShowPage(pages_->GetPage(1), false);
        return;
    }
    // The current page keeps its page when that survives (its number drops with the pages
    // before it); a deleted current page hands over to the page now at its number, or to
    // the new last page.
    int target = currentPage_;
    if (number < currentPage_) --target;
    target = std::clamp(target, 1, count);
    if (!canvasOnIt && !displayOnIt && target == currentPage_) return;
    // Rebound at once, before any handler can draw or paint.
    TKpPage* live = pages_->GetPage(target);
    bindCanvas(live);
    if (view_) view_->ViewShowPage(live, false);
    currentPage_ = target;
    // Reported as a page change, also when the number stays: another page is on display.
    showPage(target);
}

TKpPage* TKpDocument::NewPage() {
    TKpPage* page = pages_->AddPage();
    bindCanvas(page);
    SetCurrentPage(pages_->Count());
    if (OnNewPage) OnNewPage(this);
    if (view_) view_->ViewNewPage();
    ProcessPendingMessages();
    return canvas_->Page();
}

void TKpDocument::Clear() {
    const int oldCurrent = currentPage_;
    kp::RunThen(
        [&] {
            const TKpStateGuard<bool> clearing(clearing_, true);
            const TKpStateGuard<bool> quiet(quiet_, true);
            // The view never keeps a picture of a page that is about to be freed.
            if (view_) view_->ViewShowPage(pages_->GetPage(1), false);
            // The closing steps run also after an error, which then propagates.
            kp::RunThen(
                [&] {
                    for (int k = pages_->Count(); k >= 1; --k) {
                        if (k >= 2)
                            pages_->DeletePage(k);
                        else
                            pages_->GetPage(1)->Clear();
                    }
                },
                [&] {
                    marks_->Clear();
                    currentPage_ = 1;
                    bindCanvas(pages_->GetPage(1));
                    pages_->Pool().ReleaseIfEmpty();
                });
        },
        [&] {
            Notify(KPM_PAGESCLEARED);
            if (oldCurrent > 1) Notify(KPM_PAGECHANGED, 1);
            FireClear();
        });
}

void TKpDocument::AddBookmark(const QString& title, int page, int level, int top) {
    GetPage(page); // EListError outside the document
    marks_->AddBookmark({title, page, std::max(level, 1), top});
}

void TKpDocument::AddLink(int page, const QRect& rect, const QString& url) {
    marks_->AddLink(GetPage(page), {rect.normalized(), url});
}

bool TKpDocument::FirstPage() {
    const int old = currentPage_;
    SetCurrentPage(1);
    return old != 1;
}

bool TKpDocument::LastPage() {
    const bool result = NumPages() != currentPage_;
    SetCurrentPage(NumPages());
    return result;
}

bool TKpDocument::NextPage() {
    if (currentPage_ >= NumPages()) return false;
    SetCurrentPage(currentPage_ + 1);
    return true;
}

bool TKpDocument::PrevPage() {
    if (currentPage_ < 2) return false;
    SetCurrentPage(currentPage_ - 1);
    return true;
}

void TKpDocument::paperValueChanged() {
    paperSize_ = Custom;
}

void TKpDocument::SetPaperSize(TKpPaperSize v) {
    if (v == Custom) return;
    int w = paperWidth_->value, h = paperHeight_->value;
    PaperDimensions(v, orientation_ == kpLandscape, w, h);
    {
        const TKpStateGuard<bool> quiet(quiet_, true);
        paperWidth_->value = w;
        paperHeight_->value = h;
        paperSize_ = v;
        for (int i = 1; i <= NumPages(); ++i) {
            TKpPage* page = pages_->GetPage(i);
            page->Width = paperWidth_->AsInches();
            page->Height = paperHeight_->AsInches();
            page->UpdateMetafile();
        }
    }
    Notify(KPM_REFRESH);
    Notify(KPM_PAPERSIZECHANGED);
}

void TKpDocument::SetOrientation(TKpOrientation v) {
    if (v == orientation_) return;
    std::swap(paperHeight_->value, paperWidth_->value);
    orientation_ = v;
    if (OnChangeOrientation) OnChangeOrientation(this);
    if (view_) view_->ViewChangeOrientation();
    {
        const TKpStateGuard<bool> quiet(quiet_, true);
        for (int i = 1; i <= NumPages(); ++i)
            pages_->GetPage(i)->SetOrientation(v);
    }
    if (Refreshing()) {
        RefreshPage();
        if (view_) view_->ViewPageTurned();
    }
    Notify(KPM_ORIENTATIONCHANGED);
}

int TKpDocument::OrientationType() const {
    // Every page has the document's orientation when the landscape pages are none or all.
    const int landscape = orientation_ == kpLandscape ? NumPages() : 0;
    return pages_->LandscapeCount() == landscape ? static_cast<int>(orientation_) : 2;
}

QString TKpDocument::PaperSizeName(TKpPaperSize size) {
    switch (size) {
    case A4:
        return QStringLiteral("A4");
    case A5:
        return QStringLiteral("A5");
    default:
        return QStringLiteral("Custom");
    }
}

TKpPaperSize TKpDocument::PaperSizeFromName(const QString& name) {
    if (name == QLatin1String("A4")) return A4;
    if (name == QLatin1String("A5")) return A5;
    return Custom;
}

void TKpDocument::ApplyPaperToPages() {
    const int ppi = ScreenPixelsPerInch();
    for (int i = 1; i <= NumPages(); ++i) {
        TKpPage* page = pages_->GetPage(i);
        int w = paperWidth_->value, h = paperHeight_->value;
        PaperDimensions(paperSize_, page->Orientation() == kpLandscape, w, h);
        page->Width = static_cast<Extended>(w) / 100 / 25.4L;
        page->Height = static_cast<Extended>(h) / 100 / 25.4L;
        page->Metafile().SetWidth(kp::RoundInt(page->Width * ppi));
        page->Metafile().SetHeight(kp::RoundInt(page->Height * ppi));
    }
}

void TKpDocument::Assign(TKpDocument& source) {
    header_->Assign(source.Header());
    footer_->Assign(source.Footer());
    paperWidth_->value = source.PaperWidth().value;
    paperHeight_->value = source.PaperHeight().value;
    SetPaperSize(source.PaperSize());
    SetOrientation(source.Orientation());
    margins_->Assign(source.Margins());
}

TKpDrawContext TKpDocument::DrawContext(bool printing) const {
    TKpDrawContext context = TKpDrawContext::Current(printing);
    context.PrinterPrinting = PrinterPrinting();
    context.Tokens = true;
    context.PageCount = NumPages();
    context.Title = title_;
    return context;
}

QString TKpDocument::SubstituteTokens(const QString& text, int pageNum) const {
    TKpDrawContext context;
    context.Tokens = true;
    context.PageCount = NumPages();
    return context.Substitute(text, pageNum);
}

TKpPage* TKpDocument::AppendLoadedPage() {
    TKpPage* page = pages_->AddPage();
    bindCanvas(page);
    const int n = pages_->Count();
    FirePageChanging(n);
    currentPage_ = n;
    FirePageChange(n);
    Notify(KPM_PAGECHANGED, n);
    if (OnNewPage) OnNewPage(this);
    if (view_) view_->ViewNewPage();
    ProcessPendingMessages();
    return page;
}

void TKpDocument::FinishLoading() {
    ApplyPaperToPages();
    Notify(KPM_LOADING, 1);
    Notify(KPM_REFRESH);
}

void TKpDocument::Shadow(TColor& color, int& width) const {
    color = shadowColor_;
    width = shadowWidth_;
    if (view_) view_->ViewShadow(color, width);
}

void TKpDocument::SetShadow(TColor color, int width) {
    shadowColor_ = color;
    shadowWidth_ = width;
    if (view_) view_->ViewSetShadow(color, width);
}

void TKpDocument::SetShadowVisible(bool visible) {
    shadowVisible_ = visible;
    if (view_) view_->ViewSetShadowVisible(visible);
}

} // namespace kp
