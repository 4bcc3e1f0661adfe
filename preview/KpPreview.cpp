#include "preview/KpPreview.h"

#include <algorithm>
#include <exception>

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

#include "drawing/KpCanvas.h"
#include "platform/KpStateGuard.h"
#include "preview/KpHeaderFooter.h"
#include "preview/KpMargins.h"
#include "preview/KpPageImage.h"
#include "printing/KpPrinter.h"

namespace kp {

TKpPreview::TKpPreview(QWidget* parent) : QAbstractScrollArea(parent) {
    clearing_ = false;
    AutoRefresh = false;
    zoom_ = 20;
    paperSize_ = A4;
    pages_ = std::make_unique<TKpPageList>(this);
    currentPage_ = 1;
    canvas_ = std::make_unique<TKpCanvas>(this);
    bindCanvas(pages_->AddPage());
    footer_ = std::make_unique<TKpFooter>(this);
    gutter_ = 30;
    header_ = std::make_unique<TKpHeader>(this);
    margins_ = std::make_unique<TKpMargins>(this);
    pageImage_ = new TKpPageImage(this, viewport()); // owned by the viewport
    pageImage_->SetMargins(margins_.get());
    margins_->SetPageImage(pageImage_);
    printCopies_ = 1;
    paperHeight_ = std::make_unique<TKpValue>(29700);
    paperWidth_ = std::make_unique<TKpValue>(21000);
    paperHeight_->OnChange = [this](TKpValue*) { paperValueChanged(); };
    paperWidth_->OnChange = [this](TKpValue*) { paperValueChanged(); };
    printer_ = std::make_unique<TKpPrinter>(this);
    ZoomIncrement = 10;
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    resize(220, 286);
    MaxZoom = 400;
    MinZoom = 10;
    AutoRefresh = true;
    pageImage_->SetScale(static_cast<Extended>(zoom_) / 100);
    mouseInside_ = false;
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // A grey desk under the white sheet.
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    // Created straight into a parent window: bind the display as a later parenting would.
    if (parent) setParentNotify();
}

TKpPreview::~TKpPreview() {
    destroying_ = true;
    AutoRefresh = false;
    // The display must not draw from a page that is about to go.
    if (pageImage_) pageImage_->SetMetafile(nullptr, false);
    canvas_.reset();
    footer_.reset();
    header_.reset();
    if (pageImage_) pageImage_->SetMargins(nullptr);
    margins_.reset();
    pages_.reset();
    printer_.reset();
    paperWidth_.reset();
    paperHeight_.reset();
    linked_.clear();
}

QString TKpPreview::About() const {
    return QStringLiteral("TKpPreview v2.42");
}

int TKpPreview::NumPages() const {
    return pages_->Count();
}

TKpPage* TKpPreview::GetPage(int n) const {
    return pages_->GetPage(n);
}

TKpShadow& TKpPreview::Shadow() {
    return pageImage_->Shadow();
}

void TKpPreview::bindCanvas(TKpPage* page) {
    if (canvas_) canvas_->SetPage(page);
}

void TKpPreview::SetCurrentPage(int n) {
    // The same number is no change only while the canvas is still on that page: after the
    // page under it was deleted, the number names another page (or a new one).
    if (n == currentPage_ && n >= 1 && n <= NumPages() && canvas_->Page() == pages_->GetPage(n))
        return;
    showPage(n);
}

void TKpPreview::showPage(int n) {
    // An out-of-range number is refused before anything changes, so the current page and
    // the canvas always stay on a page that exists.
    TKpPage* page = pages_->GetPage(n);
    if (OnPageChanging) OnPageChanging(this, n);
    currentPage_ = n;
    bindCanvas(page);
    if (OnPageChange) OnPageChange(this, n);
    RefreshPage();
    BroadcastMessage(KPM_PAGECHANGED, n);
}

void TKpPreview::PageDeleted(int number, TKpPage* page) {
    if (destroying_ || !canvas_) return;
    const bool canvasOnIt = canvas_->Page() == page;
    const bool displayOnIt = pageImage_->Metafile() == &page->Metafile();
    const int count = NumPages();
    if (count == 0) {
        // No page left: nothing to draw on or show until the next NewPage.
        if (canvasOnIt) bindCanvas(nullptr);
        if (displayOnIt) pageImage_->SetMetafile(nullptr, AutoRefresh);
        currentPage_ = 0;
        return;
    }
    if (clearing_) {
        // Clear binds page 1 when it finishes; until then nothing points at a freed page.
        if (canvasOnIt) bindCanvas(pages_->GetPage(1));
        if (displayOnIt) pageImage_->SetMetafile(&pages_->GetPage(1)->Metafile(), false);
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
    pageImage_->SetMetafile(&live->Metafile(), false);
    currentPage_ = target;
    // Reported as a page change, also when the number stays: another page is on display.
    showPage(target);
}

TKpPage* TKpPreview::NewPage() {
    TKpPage* page = pages_->AddPage();
    bindCanvas(page);
    SetCurrentPage(pages_->Count());
    if (OnNewPage) OnNewPage(this);
    ProcessPendingMessages();
    return canvas_->Page();
}

void TKpPreview::Clear() {
    std::exception_ptr error;
    const int oldCurrent = currentPage_;
    {
        const TKpStateGuard<bool> clearing(clearing_, true);
        const TKpStateGuard<bool> quiet(AutoRefresh, false);
        // The display never keeps a picture of a page that is about to be freed.
        pageImage_->SetMetafile(&pages_->GetPage(1)->Metafile(), false);
        try {
            for (int k = pages_->Count(); k >= 1; --k) {
                if (k >= 2)
                    pages_->DeletePage(k);
                else
                    pages_->GetPage(1)->Clear();
            }
        } catch (...) {
            // The closing steps run also after an error, which then propagates.
            error = std::current_exception();
        }
        currentPage_ = 1;
        bindCanvas(pages_->GetPage(1));
        pages_->Pool().ReleaseIfEmpty();
    }
    BroadcastMessage(KPM_PAGESCLEARED);
    if (oldCurrent > 1) BroadcastMessage(KPM_PAGECHANGED, 1);
    if (OnClear) OnClear(this);
    if (error) std::rethrow_exception(error);
}

bool TKpPreview::FirstPage() {
    const int old = currentPage_;
    SetCurrentPage(1);
    return old != 1;
}

bool TKpPreview::LastPage() {
    const bool result = NumPages() != currentPage_;
    SetCurrentPage(NumPages());
    return result;
}

bool TKpPreview::NextPage() {
    if (currentPage_ >= NumPages()) return false;
    SetCurrentPage(currentPage_ + 1);
    return true;
}

bool TKpPreview::PrevPage() {
    if (currentPage_ < 2) return false;
    SetCurrentPage(currentPage_ - 1);
    return true;
}

void TKpPreview::paperValueChanged() {
    paperSize_ = Custom;
}

void TKpPreview::SetPaperSize(TKpPaperSize v) {
    if (v == Custom) return;
    int w = paperWidth_->value, h = paperHeight_->value;
    PaperDimensions(v, orientation_ == kpLandscape, w, h);
    {
        const TKpStateGuard<bool> quiet(AutoRefresh, false);
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
    BroadcastMessage(KPM_REFRESH);
    BroadcastMessage(KPM_PAPERSIZECHANGED);
    Reposition();
}

void TKpPreview::SetOrientation(TKpOrientation v) {
    if (v == orientation_) return;
    if (printer_->PrinterInstalled()) printer_->SetOrientation(v);
    std::swap(paperHeight_->value, paperWidth_->value);
    orientation_ = v;
    if (OnChangeOrientation) OnChangeOrientation(this);
    {
        const TKpStateGuard<bool> quiet(AutoRefresh, false);
        for (int i = 1; i <= NumPages(); ++i)
            pages_->GetPage(i)->SetOrientation(v);
    }
    if (AutoRefresh) {
        RefreshPage();
        KeepScrollProportion();
    }
    BroadcastMessage(KPM_ORIENTATIONCHANGED);
}

void TKpPreview::SetPagesPerSheet(TKpPagesPerSheet v) {
    pagesPerSheet_ = v;
    BroadcastMessage(KPM_PAGESPERSHEETCHANGED);
}

void TKpPreview::SetPrintCopies(int v) {
    if (v == printCopies_ || v <= 0) return;
    printCopies_ = v;
}

QString TKpPreview::Title() const {
    return printer_->Title();
}
void TKpPreview::SetTitle(const QString& v) {
    printer_->SetTitle(v);
}

void TKpPreview::SetGutter(int v) {
    if (v == gutter_) return;
    gutter_ = v;
    pageImage_->SetGutter(v);
}

void TKpPreview::SetBorderStyle(TKpBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    setFrameStyle(v == bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

int TKpPreview::OrientationType() const {
    // Every page has the document's orientation when the landscape pages are none or all.
    const int landscape = orientation_ == kpLandscape ? NumPages() : 0;
    return pages_->LandscapeCount() == landscape ? static_cast<int>(orientation_) : 2;
}

QString TKpPreview::PaperSizeName(TKpPaperSize size) {
    switch (size) {
    case A4:
        return QStringLiteral("A4");
    case A5:
        return QStringLiteral("A5");
    default:
        return QStringLiteral("Custom");
    }
}

TKpPaperSize TKpPreview::PaperSizeFromName(const QString& name) {
    if (name == QLatin1String("A4")) return A4;
    if (name == QLatin1String("A5")) return A5;
    return Custom;
}

void TKpPreview::Assign(TKpPreview& source) {
    header_->Assign(source.Header());
    footer_->Assign(source.Footer());
    printer_->Assign(source.KpPrinter());
    paperWidth_->value = source.PaperWidth().value;
    paperHeight_->value = source.PaperHeight().value;
    SetPaperSize(source.PaperSize());
    SetOrientation(source.Orientation());
    pagesPerSheet_ = source.PagesPerSheet();
    margins_->Assign(source.Margins());
    Shadow().Assign(source.Shadow());
}

void TKpPreview::Loaded() {
    if (OnPageChange) OnPageChange(this, currentPage_);
}

void TKpPreview::AddLinkedControl(QObject* control) {
    if (!control) return;
    for (const auto& c : linked_)
        if (c == control) return;
    linked_.emplace_back(control);
}

void TKpPreview::RemoveLinkedControl(QObject* control) {
    std::erase_if(linked_, [control](const QPointer<QObject>& c) { return c == control; });
}

bool TKpPreview::hasParentWindow() const {
    return parentWidget() != nullptr;
}

void TKpPreview::BroadcastMessage(int msg, long long wparam, long long lparam) {
    if (!AutoRefresh || !hasParentWindow() || destroying_) return;
    TKpMessageEvent own(msg, wparam, lparam);
    QCoreApplication::sendEvent(this, &own);
    // A receiver may link or unlink controls while handling; walk a snapshot, and skip
    // controls that were destroyed meanwhile.
    std::erase_if(linked_, [](const QPointer<QObject>& c) { return c.isNull(); });
    const auto receivers = linked_;
    for (const auto& control : receivers) {
        if (control.isNull()) continue;
        TKpMessageEvent message(msg, wparam, lparam);
        QCoreApplication::sendEvent(control.data(), &message);
    }
}

bool TKpPreview::event(QEvent* e) {
    if (e->type() == TKpMessageEvent::EventType()) {
        HandleMessage(*static_cast<TKpMessageEvent*>(e));
        return true;
    }
    if (e->type() == QEvent::ParentChange) setParentNotify();
    return QAbstractScrollArea::event(e);
}

void TKpPreview::setParentNotify() {
    if (parentWidget()) RefreshPage();
}

void TKpPreview::HandleMessage(const TKpMessageEvent& message) {
    if (message.Msg == KPM_REFRESH || message.Msg == KPM_MARGINSCHANGED) RefreshPage();
}

QString TKpPreview::SubstituteTokens(const QString& text, int pageNum) const {
    if (!text.contains(QLatin1Char('{'))) return text;
    QString s = text;
    auto replaceAll = [&s](const QString& token, const QString& value) {
        for (qsizetype at = s.indexOf(token); at >= 0; at = s.indexOf(token)) {
            s.remove(at, token.size());
            s.insert(at, value);
        }
    };
    // The clock is read only when a caption asks for it.
    if (s.contains(QLatin1String("{DATE}"))) {
        const QDate d = QDate::currentDate();
        replaceAll(QStringLiteral("{DATE}"),
                   QStringLiteral("%1-%2-%3")
                       .arg(d.day(), 2, 10, QLatin1Char('0'))
                       .arg(QLocale().monthName(d.month(), QLocale::ShortFormat))
                       .arg(d.year(), 4, 10, QLatin1Char('0')));
    }
    if (s.contains(QLatin1String("{TIME}")))
        replaceAll(QStringLiteral("{TIME}"),
                   QTime::currentTime().toString(QStringLiteral("HH:mm")));
    replaceAll(QStringLiteral("{PAGE}"), QString::number(pageNum));
    replaceAll(QStringLiteral("{NUMPAGES}"), QString::number(NumPages()));
    return s;
}

} // namespace kp
