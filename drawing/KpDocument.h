#pragma once
// The document: its pages (and the pool their objects come from), the recording canvas on the
// current page, paper size and orientation, margins, header and footer, title, and the native
// and older file formats. A QObject and no widget: it works under a QGuiApplication. A preview
// shows a document as its view, told of every change through TKpDocumentView.
#include "paginor/KpExport.h"

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "drawing/KpDocumentMarks.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpFind.h"
#include "drawing/KpPage.h"
#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"

class QIODevice;

namespace kp {

class TKpCanvas;
class TKpDocument;
class TKpDocumentText;
class TKpFooter;
class TKpHeader;
class TKpMargins;

using TOnPageChangeEvent = std::function<void(void* sender, int pageNum)>;
using TPageOrientationChanged =
    std::function<void(void* sender, int pageNum, TKpOrientation newOrientation)>;
using TBeforeLoadEvent = std::function<void(void* sender, Extended fileVersion, bool& loadFile)>;
using TBeforeReadStream = std::function<void(void* sender, QIODevice* fileStream)>;
using TBeforeWriteStream = std::function<void(void* sender, QIODevice* fileStream)>;
using TFileProgressEvent = std::function<void(void* sender, int percent)>;

// What a view of a document (a preview) is told. Every notification comes after the
// document's own event of the same name; the view fires its own events from here.
class PAGINOR_EXPORT TKpDocumentView {
public:
    // The view repaints after changes; off, the document's messages are not passed on.
    virtual bool ViewAutoRefresh() const = 0;
    // A numbered message for the view and its linked controls.
    virtual void ViewMessage(int msg, long long wparam, long long lparam) = 0;
    // The current page is rebuilt and shown (the view's RefreshPage).
    virtual void ViewRefresh() = 0;
    // The view shows this page's picture from now on (nullptr: nothing); repaint or not.
    virtual void ViewShowPage(TKpPage* page, bool repaint) = 0;
    // The view shows this page's picture now.
    virtual bool ViewShows(const TKpPage& page) const = 0;
    // A page turned: the view keeps its scroll proportion.
    virtual void ViewPageTurned() {}
    virtual void ViewPageChanging(int pageNum) { (void)pageNum; }
    virtual void ViewPageChange(int pageNum) { (void)pageNum; }
    virtual void ViewNewPage() {}
    virtual void ViewDeletePage() {}
    virtual void ViewClear() {}
    virtual void ViewChangeOrientation() {}
    // Margins changed their values (sender: the margins) or only their display.
    virtual void ViewChangeMargins(void* sender) { (void)sender; }
    virtual void ViewMarginsDisplay() {}
    virtual void ViewCanvasChange(void* sender) { (void)sender; }
    virtual void ViewChangePageOrientation(void* sender, int pageNum, TKpOrientation v) {
        (void)sender, (void)pageNum, (void)v;
    }
    virtual void ViewBeforeLoad(Extended fileVersion, bool& loadFile) {
        (void)fileVersion, (void)loadFile;
    }
    // The view has a handler for the stream about to be read or written.
    virtual bool ViewWantsStream(bool writing) const {
        (void)writing;
        return false;
    }
    virtual void ViewBeforeReadStream(QIODevice* stream) { (void)stream; }
    virtual void ViewBeforeWriteStream(QIODevice* stream) { (void)stream; }
    virtual void ViewLoadProgress(int percent) { (void)percent; }
    virtual void ViewSaveProgress(int percent) { (void)percent; }
    // The sheet's shadow is stored with the document: the view's own, read and set.
    virtual void ViewShadow(TColor& color, int& width) const { (void)color, (void)width; }
    virtual void ViewSetShadow(TColor color, int width) { (void)color, (void)width; }
    virtual void ViewSetShadowVisible(bool visible) { (void)visible; }
    // The document is going: the view falls back to a document of its own.
    virtual void ViewDocumentDestroyed(TKpDocument* document) { (void)document; }

protected:
    ~TKpDocumentView() = default;
};

class PAGINOR_EXPORT TKpDocument : public QObject {
    Q_OBJECT
public:
    explicit TKpDocument(QObject* parent = nullptr);
    ~TKpDocument() override;

    // Pages
    int NumPages() const;
    // The page with number n (from 1); EListError outside the range.
    TKpPage* GetPage(int n) const;
    TKpPageList& Pages() { return *pages_; }
    // Where the document's drawing objects are made.
    TKpObjectPool* ObjectPool() const { return pages_ ? &pages_->Pool() : nullptr; }
    // The page the canvas draws on.
    int CurrentPage() const { return currentPage_; }
    // Also rebinds when the page under the canvas is no longer page n.
    void SetCurrentPage(int n);
    // Told by the page list once page `number` is out of the list and before it is freed:
    // the canvas and the view move off it to a live page.
    void PageDeleted(int number, TKpPage* page);
    TKpPage* NewPage();
    void Clear();
    bool FirstPage();
    bool PrevPage();
    bool NextPage();
    bool LastPage();
    bool Clearing() const { return clearing_; }
    // Rebuilds the current page's picture sized to the paper (through the view, which shows it).
    void RefreshPage();

    // Paper
    TKpPaperSize PaperSize() const { return paperSize_; }
    void SetPaperSize(TKpPaperSize v);
    TKpOrientation Orientation() const { return orientation_; }
    void SetOrientation(TKpOrientation v);
    TKpValue& PaperWidth() { return *paperWidth_; }
    TKpValue& PaperHeight() { return *paperHeight_; }
    // 0 or 1 when every page has the document's orientation, 2 when they differ.
    int OrientationType() const;
    static QString PaperSizeName(TKpPaperSize size);
    static TKpPaperSize PaperSizeFromName(const QString& name);
    // Gives every page the document's paper size in its own orientation, and its picture
    // that pixel size (a loaded document's pages were never shown, so they have none).
    void ApplyPaperToPages();
    QString Title() const { return title_; }
    void SetTitle(const QString& v) { title_ = v; }

    // Bookmarks and links: an exported PDF's outline and link annotations, a preview's
    // pointing hand. In memory only; they go with their pages and with Clear.
    // A bookmark to page (from 1; EListError outside the document) at `top` KpUnits below
    // its top edge; it nests under the last bookmark of a lower level (levels from 1).
    void AddBookmark(const QString& title, int page, int level = 1, int top = 0);
    // A link to url over rect (KpUnits on the page) of page (EListError outside).
    void AddLink(int page, const QRect& rect, const QString& url);
    TKpDocumentMarks& Marks() { return *marks_; }
    const TKpDocumentMarks& Marks() const { return *marks_; }

    // Sub-objects
    TKpCanvas& Canvas() { return *canvas_; }
    TKpMargins& Margins() { return *margins_; }
    TKpHeader& Header() { return *header_; }
    TKpFooter& Footer() { return *footer_; }

    // Copies the header, footer, paper and margins of another document.
    void Assign(TKpDocument& source);

    // Text tokens {DATE}, {TIME}, {PAGE}, {NUMPAGES}.
    QString SubstituteTokens(const QString& text, int pageNum) const;
    // What drawing this document's pages needs, read now (printing: for a printer).
    TKpDrawContext DrawContext(bool printing) const;

    // The printer settings the pages go to (a preview's printer); none: not printing and no
    // unprintable margins.
    void SetPrinterState(TKpPrinterState* state) { printer_ = state; }
    TKpPrinterState* PrinterState() const { return printer_; }
    // A job of the document's printer runs.
    bool PrinterPrinting() const { return printer_ && printer_->Printing(); }

    // The view shown to (one at a time; none: the document works alone). Not owned.
    void SetView(TKpDocumentView* view) { view_ = view; }
    TKpDocumentView* View() const { return view_; }
    // Passes a numbered message to the view (not while the document changes quietly).
    void Notify(int msg, long long wparam = 0, long long lparam = 0);
    // Off while a loader fills the document: no messages, no page deletions reported.
    bool AutoRefresh = true;
    // The document's AutoRefresh and its view's.
    bool Refreshing() const { return AutoRefresh && (!view_ || view_->ViewAutoRefresh()); }

    // Files. LoadFromFile reads the native format, and the older one through the loader
    // registered for it. A load that fails raises and leaves the document as it was before
    // (its pages, settings, margins, header and footer, and current page).
    using TOlderFormatLoader = void (*)(TKpDocument& document, QIODevice& file);
    static void SetOlderFormatLoader(TOlderFormatLoader loader);
    void SaveToFile(const QString& fileName);
    void SaveToStream(QIODevice& stream);
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    int LoadedPageCount = 0;
    // A page appended while a document loads: made current and bound to the canvas,
    // OnNewPage fired and pending messages processed, but no picture rebuilt.
    TKpPage* AppendLoadedPage();
    // The closing steps of a load: every page sized to the paper, then KPM_LOADING (1) and
    // KPM_REFRESH.
    void FinishLoading();

    // The sheet's shadow as stored in files: the view's, or the document's own alone.
    void Shadow(TColor& color, int& width) const;
    void SetShadow(TColor color, int width);
    void SetShadowVisible(bool visible);

    // Finding text: every match of text on the pages (text objects, text boxes and the text
    // of pictures), as the options say. A page's text is read on the first search and kept
    // until the page changes.
    std::vector<TKpFindMatch> FindText(const QString& text, TKpFindOptions options = {}) const;

    // Events (sender: the document, or the object named)
    TBeforeLoadEvent BeforeLoad;
    TBeforeReadStream BeforeReadStream;
    TBeforeWriteStream BeforeWriteStream;
    TNotifyEvent OnCanvasChange;  // sender: the canvas
    TNotifyEvent OnChangeMargins; // sender: the margins
    TNotifyEvent OnChangeOrientation;
    TPageOrientationChanged OnChangePageOrientation; // sender: the page
    TNotifyEvent OnClear;
    TNotifyEvent OnDeletePage;
    TFileProgressEvent OnLoadProgess;
    TNotifyEvent OnNewPage;
    TOnPageChangeEvent OnPageChange;
    TOnPageChangeEvent OnPageChanging;
    TFileProgressEvent OnSaveProgress;

    // Fired by the parts of the document (pages, list, canvas, margins).
    void FireClear();
    void FireDeletePage();
    void FireCanvasChange(void* canvas);
    void FireChangeMargins(void* margins);
    void FireMarginsDisplay();
    void FireChangePageOrientation(TKpPage* page, int pageNum, TKpOrientation v);
    // Tells the page change to the handlers: the page changing, then changed.
    void FirePageChanging(int n);
    void FirePageChange(int n);

private:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    void bindCanvas(TKpPage* page);
    // The whole document as a file would hold it; host events are not fired for it.
    void writeDocument(QIODevice& stream, bool hostEvents);
    // Reads a document stream after its version bytes, clearing the document first.
    void readDocument(QIODevice& stream, Extended version, bool hostEvents);
    // The document as it was before a load, and the document put back from it (never
    // raises). The file keeps some paper sizes only by their dimensions: the size comes back
    // by name.
    struct Backup {
        QByteArray bytes;
        int currentPage = 1;
        int loadedPageCount = 0;
        TKpPaperSize paperSize = A4;
    };
    Backup backup();
    void restore(const Backup& backup);
    // Makes page n current with the full page-change sequence.
    void showPage(int n);
    void paperValueChanged();
    // Rebuilds the current page's picture when no view shows it.
    void rebuildCurrentPage();

    // Declared before the pages: it outlives them.
    std::unique_ptr<TKpDocumentMarks> marks_;
    std::unique_ptr<TKpPageList> pages_;
    std::unique_ptr<TKpCanvas> canvas_;
    std::unique_ptr<TKpFooter> footer_;
    std::unique_ptr<TKpHeader> header_;
    std::unique_ptr<TKpMargins> margins_;
    std::unique_ptr<TKpValue> paperWidth_;
    std::unique_ptr<TKpValue> paperHeight_;
    TKpDocumentView* view_ = nullptr;
    TKpPrinterState* printer_ = nullptr;
    QString title_ = QStringLiteral("<document>");

    int currentPage_ = 1;
    bool clearing_ = false;
    bool destroying_ = false;
    // Changes made quietly (Clear, paper and orientation) pass no messages on.
    bool quiet_ = false;
    TKpPaperSize paperSize_ = A4;
    TKpOrientation orientation_ = kpPortrait;
    TColor shadowColor_ = clBlack;
    int shadowWidth_ = 3;
    bool shadowVisible_ = true;
    mutable std::unique_ptr<TKpDocumentText> text_; // what FindText has read
};

} // namespace kp
