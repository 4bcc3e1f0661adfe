#include "preview/KpPreview.h"

#include <algorithm>

#include <QCoreApplication>

#include "drawing/KpCanvas.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "legacy/KpLegacy.h"
#include "platform/KpRunThen.h"
#include "preview/KpPageImage.h"
#include "preview/KpTypes.h"
#include "printing/KpPrinter.h"

namespace kp {

TKpPreview::TKpPreview(QWidget* parent) : QAbstractScrollArea(parent) {
    // The older format registers itself when the library loads; a static build keeps its
    // reader only when something names it, as the preview does here.
    TKpDocument::SetOlderFormatLoader(&LoadLegacyDocument);
    AutoRefresh = false;
    zoom_ = 20;
    ownDocument_ = std::make_unique<TKpDocument>();
    document_ = ownDocument_.get();
    gutter_ = 30;
    pageImage_ = new TKpPageImage(this, viewport()); // owned by the viewport
    pageImage_->SetMargins(&document_->Margins());
    printCopies_ = 1;
    printer_ = std::make_unique<TKpPrinter>(this);
    // The printer's events are the preview's (sender: the printer).
    printer_->OnChangePrinter = [this](void* sender) {
        if (OnChangePrinter) OnChangePrinter(sender);
        Q_EMIT printerChanged();
    };
    printer_->BeforePrint = [this](void* sender) {
        if (BeforePrint) BeforePrint(sender);
        Q_EMIT aboutToPrint();
    };
    printer_->AfterPrint = [this](void* sender) {
        if (AfterPrint) AfterPrint(sender);
        Q_EMIT printed();
    };
    document_->SetView(this);
    document_->SetPrinterState(printer_.get());
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
    if (pageImage_) pageImage_->SetMargins(nullptr);
    // A host's document outlives the preview: it works alone from now on.
    if (document_ && document_ != ownDocument_.get()) {
        document_->SetView(nullptr);
        document_->SetPrinterState(nullptr);
    }
    document_ = nullptr;
    ownDocument_->SetView(nullptr);
    ownDocument_->SetPrinterState(nullptr);
    ownDocument_.reset();
    printer_.reset();
    linked_.clear();
}

QString TKpPreview::About() const {
    return QStringLiteral("TKpPreview v2.42");
}

void TKpPreview::attach(TKpDocument* document) {
    document_ = document;
    document_->SetView(this);
    document_->SetPrinterState(printer_.get());
    pageImage_->SetMargins(&document_->Margins());
    // Another document's pages: none of them has been shown yet.
    pageRefresh_.clear();
    layoutDirty_ = true;
    pageImage_->KeepRenderedSheets({});
}

void TKpPreview::SetDocument(TKpDocument* document) {
    if (!document) document = ownDocument_.get();
    if (document == document_) return;
    // One view at a time: a document shown by another preview moves here.
    if (TKpDocumentView* other = document->View(); other && other != this)
        other->ViewDocumentDestroyed(document);
    pageImage_->SetMetafile(nullptr, false);
    document_->SetView(nullptr);
    document_->SetPrinterState(nullptr);
    attach(document);
    ClearFind();
    // The linked controls rebuild from the pages now shown.
    BroadcastMessage(KPM_PAPERSIZECHANGED);
    BroadcastMessage(KPM_ORIENTATIONCHANGED);
    BroadcastMessage(KPM_PAGESCLEARED);
    if (NumPages() > 0) {
        RefreshPage();
        BroadcastMessage(KPM_PAGECHANGED, CurrentPage());
    }
    Q_EMIT documentChanged();
    Q_EMIT pageCountChanged(NumPages());
}

void TKpPreview::ViewDocumentDestroyed(TKpDocument* document) {
    if (document != document_ || destroying_) return;
    // The host's document goes (or moves to another preview): back to the own one.
    pageImage_->SetMetafile(nullptr, false);
    attach(ownDocument_.get());
    BroadcastMessage(KPM_PAGESCLEARED);
    RefreshPage();
    Q_EMIT documentChanged();
    Q_EMIT pageCountChanged(NumPages());
}

int TKpPreview::NumPages() const {
    return document_->NumPages();
}

TKpPage* TKpPreview::GetPage(int n) const {
    return document_->GetPage(n);
}

TKpShadow& TKpPreview::Shadow() {
    return pageImage_->Shadow();
}

void TKpPreview::SetCurrentPage(int n) {
    document_->SetCurrentPage(n);
}

void TKpPreview::PageDeleted(int number, TKpPage* page) {
    document_->PageDeleted(number, page);
}

TKpPage* TKpPreview::NewPage() {
    return document_->NewPage();
}

void TKpPreview::Clear() {
    document_->Clear();
}

bool TKpPreview::FirstPage() {
    return document_->FirstPage();
}

bool TKpPreview::LastPage() {
    return document_->LastPage();
}

bool TKpPreview::NextPage() {
    return document_->NextPage();
}

bool TKpPreview::PrevPage() {
    return document_->PrevPage();
}

void TKpPreview::SetPaperSize(TKpPaperSize v) {
    if (v == Custom) return;
    const TKpPaperSize old = PaperSize();
    document_->SetPaperSize(v);
    Reposition();
    if (PaperSize() != old) Q_EMIT paperSizeChanged();
}

void TKpPreview::SetOrientation(TKpOrientation v) {
    if (v == Orientation()) return;
    if (printer_->PrinterInstalled()) printer_->SetOrientation(v);
    document_->SetOrientation(v);
}

void TKpPreview::SetPagesPerSheet(TKpPagesPerSheet v) {
    const bool changed = v != pagesPerSheet_;
    pagesPerSheet_ = v;
    BroadcastMessage(KPM_PAGESPERSHEETCHANGED);
    if (changed) Q_EMIT pagesPerSheetChanged();
}

void TKpPreview::SetPrintCopies(int v) {
    if (v == printCopies_ || v <= 0) return;
    printCopies_ = v;
    Q_EMIT printCopiesChanged(v);
}

QString TKpPreview::Title() const {
    return printer_->Title();
}
void TKpPreview::SetTitle(const QString& v) {
    // The document keeps the title even when no printer is there to take it.
    const bool changed = v != document_->Title();
    printer_->SetTitle(v);
    document_->SetTitle(v);
    if (changed) Q_EMIT titleChanged(v);
}

void TKpPreview::SetGutter(int v) {
    if (v == gutter_) return;
    gutter_ = v;
    pageImage_->SetGutter(v);
    if (multiView()) arrangePages();
    Q_EMIT gutterChanged(v);
}

void TKpPreview::SetBorderStyle(TKpBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    setFrameStyle(v == bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
    Q_EMIT borderStyleChanged();
}

int TKpPreview::OrientationType() const {
    return document_->OrientationType();
}

QString TKpPreview::PaperSizeName(TKpPaperSize size) {
    return TKpDocument::PaperSizeName(size);
}

TKpPaperSize TKpPreview::PaperSizeFromName(const QString& name) {
    return TKpDocument::PaperSizeFromName(name);
}

void TKpPreview::ApplyPaperToPages() {
    document_->ApplyPaperToPages();
}

void TKpPreview::Assign(TKpPreview& source) {
    Header().Assign(source.Header());
    Footer().Assign(source.Footer());
    printer_->Assign(source.KpPrinter());
    PaperWidth().value = source.PaperWidth().value;
    PaperHeight().value = source.PaperHeight().value;
    SetPaperSize(source.PaperSize());
    SetOrientation(source.Orientation());
    pagesPerSheet_ = source.PagesPerSheet();
    Margins().Assign(source.Margins());
    Shadow().Assign(source.Shadow());
}

void TKpPreview::Loaded() {
    if (OnPageChange) OnPageChange(this, CurrentPage());
    Q_EMIT currentPageChanged(CurrentPage());
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
    // A document filled by a loader (its AutoRefresh off) is quiet on every view of it.
    if (!AutoRefresh || (document_ && !document_->AutoRefresh) || !hasParentWindow() || destroying_)
        return;
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
    return document_->SubstituteTokens(text, pageNum);
}

// ---- what the document tells its view ----

void TKpPreview::ViewMessage(int msg, long long wparam, long long lparam) {
    BroadcastMessage(msg, wparam, lparam);
}

void TKpPreview::ViewShowPage(TKpPage* page, bool repaint) {
    pageImage_->SetMetafile(page ? &page->Metafile() : nullptr, repaint);
}

bool TKpPreview::ViewShows(const TKpPage& page) const {
    return pageImage_->Metafile() == &page.Metafile();
}

void TKpPreview::ViewPageChanging(int pageNum) {
    if (OnPageChanging) OnPageChanging(this, pageNum);
    Q_EMIT currentPageChanging(pageNum);
}

void TKpPreview::ViewPageChange(int pageNum) {
    // A page made current by the host, the keys or a linked control comes into view.
    if (multiView() && !followingView_) scrollToPage_ = pageNum;
    if (OnPageChange) OnPageChange(this, pageNum);
    Q_EMIT currentPageChanged(pageNum);
}

void TKpPreview::ViewNewPage() {
    if (OnNewPage) OnNewPage(this);
    Q_EMIT pageAdded();
    Q_EMIT pageCountChanged(NumPages());
}

void TKpPreview::ViewDeletePage() {
    pagesChanged();
    if (OnDeletePage) OnDeletePage(this);
    Q_EMIT pageRemoved();
    Q_EMIT pageCountChanged(NumPages());
}

void TKpPreview::ViewClear() {
    ClearFind(); // the matches were of the pages that went
    pagesChanged();
    if (OnClear) OnClear(this);
    Q_EMIT cleared();
    Q_EMIT pageCountChanged(NumPages());
}

void TKpPreview::pagesChanged() {
    layoutDirty_ = true;
    pageRefresh_.clear();
    pageImage_->KeepRenderedSheets({});
    if (multiView() && AutoRefresh && document_->AutoRefresh && !destroying_) arrangePages();
}

void TKpPreview::ViewChangeOrientation() {
    if (OnChangeOrientation) OnChangeOrientation(this);
    Q_EMIT orientationChanged();
}

void TKpPreview::ViewChangeMargins(void* sender) {
    if (OnChangeMargins) OnChangeMargins(sender);
    Q_EMIT marginsChanged();
}

void TKpPreview::ViewMarginsDisplay() {
    pageImage_->update();
    if (multiView()) viewport()->update();
}

void TKpPreview::ViewCanvasChange(void* sender) {
    if (OnCanvasChange) OnCanvasChange(sender);
    Q_EMIT canvasChanged();
}

void TKpPreview::ViewChangePageOrientation(void* sender, int pageNum, TKpOrientation v) {
    if (OnChangePageOrientation) OnChangePageOrientation(sender, pageNum, v);
    Q_EMIT pageOrientationChanged(pageNum);
}

void TKpPreview::ViewBeforeLoad(Extended fileVersion, bool& loadFile) {
    if (BeforeLoad) BeforeLoad(this, fileVersion, loadFile);
}

bool TKpPreview::ViewWantsStream(bool writing) const {
    return writing ? static_cast<bool>(BeforeWriteStream) : static_cast<bool>(BeforeReadStream);
}

void TKpPreview::ViewBeforeReadStream(QIODevice* stream) {
    if (BeforeReadStream) BeforeReadStream(this, stream);
}

void TKpPreview::ViewBeforeWriteStream(QIODevice* stream) {
    if (BeforeWriteStream) BeforeWriteStream(this, stream);
}

void TKpPreview::ViewLoadProgress(int percent) {
    if (OnLoadProgess) OnLoadProgess(this, percent);
    Q_EMIT loadProgress(percent);
}

void TKpPreview::ViewSaveProgress(int percent) {
    if (OnSaveProgress) OnSaveProgress(this, percent);
    Q_EMIT saveProgress(percent);
}

void TKpPreview::ViewShadow(TColor& color, int& width) const {
    color = pageImage_->Shadow().Color();
    width = pageImage_->Shadow().Width();
}

void TKpPreview::ViewSetShadow(TColor color, int width) {
    Shadow().SetColor(color);
    Shadow().SetWidth(width);
    if (multiView()) viewport()->update();
}

void TKpPreview::ViewSetShadowVisible(bool visible) {
    Shadow().SetVisible(visible);
    if (multiView()) viewport()->update();
}

// ---- files ----

template <class Load> void TKpPreview::load(Load&& body) {
    kp::RunThen(std::forward<Load>(body), [this] { LoadedPageCount = document_->LoadedPageCount; });
}

void TKpPreview::SaveToFile(const QString& fileName) {
    document_->SaveToFile(fileName);
}

void TKpPreview::SaveToStream(QIODevice& stream) {
    document_->SaveToStream(stream);
}

void TKpPreview::LoadFromFile(const QString& fileName) {
    load([&] { document_->LoadFromFile(fileName); });
    Q_EMIT documentChanged();
    Q_EMIT pageCountChanged(NumPages());
}

void TKpPreview::LoadFromStream(QIODevice& stream) {
    load([&] { document_->LoadFromStream(stream); });
    Q_EMIT documentChanged();
    Q_EMIT pageCountChanged(NumPages());
}

// ---- printing ----

TKpPrintJob TKpPreview::PrintJob() {
    TKpPrintJob job(*document_, *printer_);
    job.Sender = this;
    job.ErrorOwner = this;
    job.PagesPerSheet = &pagesPerSheet_;
    job.Copies = PrintCopies();
    job.FileName = &PrintToFile;
    job.BeforePrint = &BeforePrint;
    job.AfterPrint = &AfterPrint;
    job.BeforePrintPage = &BeforePrintPage;
    job.AfterPrintPage = &AfterPrintPage;
    job.OnPrintPage = &OnPrintPage;
    job.OnPrintProgress = &OnPrintProgress;
    return job;
}

TKpResult TKpPreview::Print() {
    return PrintRange(1, NumPages());
}

TKpResult TKpPreview::PrintCurrentPage() {
    return PrintRange(CurrentPage(), CurrentPage());
}

TKpResult TKpPreview::PrintRange(int fromPage, int toPage) {
    return PrintJob().Run(fromPage, toPage);
}

TKpResult ExportToPdf(TKpPreview& preview, const QString& fileName,
                      const TKpPdfExportOptions& options) {
    TKpPrintJob job = preview.PrintJob();
    // The document's title: the printer's is empty when no printer is installed.
    return ExportToPdf(job, preview.Document(), preview.Document().Title(), fileName, options);
}

} // namespace kp
