#pragma once
// The preview: the scrolling window that shows a document's current page as a sheet, with the
// print settings, events and the notification of linked controls. The document it shows is its
// own (Document()) unless a host hands it another (SetDocument); every document call of the
// preview goes to the document shown, and the preview fires its own events (sender: the
// preview) as the document tells it of changes.
#include "paginor/KpExport.h"

#include <functional>
#include <memory>
#include <vector>

#include <QAbstractScrollArea>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>

#include "drawing/KpDocument.h"
#include "drawing/KpMessages.h"
#include "drawing/KpPage.h"
#include "drawing/KpUnits.h"
#include "preview/KpMouseState.h"
#include "preview/KpPageLayout.h"
#include "preview/KpPropertyEnums.h"
#include "printing/KpPdfExport.h"
#include "printing/KpPrintJob.h"

class QIODevice;

namespace kp {

class TKpCanvas;
class TKpDeviceCanvas;
class TKpFooter;
class TKpHeader;
class TKpMargins;
class TKpPageImage;
class TKpPrinter;
class TKpShadow;

constexpr Extended KpVersion = 2.42L;

using TOnZoomEvent = std::function<void(void* sender, int oldZoom, int newZoom)>;
using TPageMouseEvent = std::function<void(void* sender, TMouseButton button, TShiftState shift,
                                           TKpValue* x, TKpValue* y)>;
using TPageMouseMoveEvent =
    std::function<void(void* sender, TShiftState shift, TKpValue* x, TKpValue* y)>;
using TMouseEvent =
    std::function<void(void* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(void* sender, TShiftState shift, int x, int y)>;
using TLinkClickEvent = std::function<void(void* sender, const QString& url)>;

class PAGINOR_EXPORT TKpPreview : public QAbstractScrollArea, private TKpDocumentView {
    Q_OBJECT
    // Published properties (form files, Qt Designer, property editors).
    Q_PROPERTY(QString About READ About CONSTANT)
    // Read and written as a plain field too; only writes through the property system notify.
    Q_PROPERTY(bool AutoRefresh MEMBER AutoRefresh NOTIFY autoRefreshChanged)
    Q_PROPERTY(kp::KpEnums::TKpBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle NOTIFY
                   borderStyleChanged)
    Q_PROPERTY(int Gutter READ Gutter WRITE SetGutter NOTIFY gutterChanged)
    Q_PROPERTY(int MaxZoom MEMBER MaxZoom)
    Q_PROPERTY(int MinZoom MEMBER MinZoom)
    Q_PROPERTY(kp::KpEnums::TKpOrientation Orientation READ Orientation WRITE SetOrientation NOTIFY
                   orientationChanged)
    Q_PROPERTY(kp::KpEnums::TKpPagesPerSheet PagesPerSheet READ PagesPerSheet WRITE SetPagesPerSheet
                   NOTIFY pagesPerSheetChanged)
    Q_PROPERTY(kp::KpEnums::TKpPaperSize PaperSize READ PaperSize WRITE SetPaperSize NOTIFY
                   paperSizeChanged)
    Q_PROPERTY(int PrintCopies READ PrintCopies WRITE SetPrintCopies NOTIFY printCopiesChanged)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle NOTIFY titleChanged)
    Q_PROPERTY(
        kp::KpEnums::TKpViewMode ViewMode READ ViewMode WRITE SetViewMode NOTIFY viewModeChanged)
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom NOTIFY zoomChanged)
    Q_PROPERTY(int ZoomIncrement MEMBER ZoomIncrement)
    Q_PROPERTY(kp::KpEnums::TKpZoomStyle ZoomStyle MEMBER ZoomStyle)
public:
    explicit TKpPreview(QWidget* parent = nullptr);
    ~TKpPreview() override;

    QString About() const;

    // The document shown: the preview's own, or the one a host handed it.
    TKpDocument& Document() const { return *document_; }
    // Shows a document made elsewhere (not owned: the host keeps it alive, and when it is
    // destroyed first the preview goes back to its own). nullptr: the preview's own again.
    // The linked controls follow.
    void SetDocument(TKpDocument* document);

    // Document
    int NumPages() const;
    TKpPage* GetPage(int n) const;
    TKpPageList& Pages() { return document_->Pages(); }
    // Where the document's drawing objects are made.
    TKpObjectPool* ObjectPool() const { return document_ ? document_->ObjectPool() : nullptr; }
    int CurrentPage() const { return document_->CurrentPage(); }
    // Also rebinds when the page under the canvas is no longer page n.
    void SetCurrentPage(int n);
    // Told by the page list once page `number` is out of the list and before it is freed:
    // the canvas and the display move off it to a live page.
    void PageDeleted(int number, TKpPage* page);
    TKpPage* NewPage();
    void Clear();
    bool FirstPage();
    bool PrevPage();
    bool NextPage();
    bool LastPage();
    bool Clearing() const { return document_->Clearing(); }

    TKpPaperSize PaperSize() const { return document_->PaperSize(); }
    void SetPaperSize(TKpPaperSize v);
    TKpOrientation Orientation() const { return document_->Orientation(); }
    void SetOrientation(TKpOrientation v);
    TKpValue& PaperWidth() { return document_->PaperWidth(); }
    TKpValue& PaperHeight() { return document_->PaperHeight(); }
    TKpPagesPerSheet PagesPerSheet() const { return pagesPerSheet_; }
    void SetPagesPerSheet(TKpPagesPerSheet v);
    int PrintCopies() const { return printCopies_; }
    void SetPrintCopies(int v);
    QString Title() const;
    void SetTitle(const QString& v);
    int Gutter() const { return gutter_; }
    void SetGutter(int v);
    TKpBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TKpBorderStyle v);
    int OrientationType() const;
    static QString PaperSizeName(TKpPaperSize size);
    // Gives every page the document's paper size in its own orientation, and its picture
    // that pixel size (a loaded document's pages were never shown, so they have none).
    void ApplyPaperToPages();
    static TKpPaperSize PaperSizeFromName(const QString& name);

    bool AutoRefresh = false;
    QString PrintToFile;

    // Sub-objects
    TKpCanvas& Canvas() { return document_->Canvas(); }
    TKpMargins& Margins() { return document_->Margins(); }
    TKpHeader& Header() { return document_->Header(); }
    TKpFooter& Footer() { return document_->Footer(); }
    TKpPageImage& PageImage() { return *pageImage_; }
    TKpShadow& Shadow();
    TKpPrinter& KpPrinter() { return *printer_; }

    void Assign(TKpPreview& source);
    // After the host has set the preview up: reports the current page once.
    void Loaded();

    // Linked controls
    void AddLinkedControl(QObject* control);
    void RemoveLinkedControl(QObject* control);
    const std::vector<QPointer<QObject>>& LinkedControls() const { return linked_; }
    void BroadcastMessage(int msg, long long wparam = 0, long long lparam = 0);

    // Text tokens {DATE}, {TIME}, {PAGE}, {NUMPAGES}.
    QString SubstituteTokens(const QString& text, int pageNum) const;

    // Display
    void RefreshPage();

    // Zoom and placement
    int Zoom() const { return zoom_; }
    void SetZoom(int z);
    void ZoomIn();
    void ZoomOut();
    int FitWidthZoom() const;
    int FitHeightZoom() const;
    void FitWidth();
    void FitHeight();
    void FitWholePage();
    void Reposition();
    void KeepScrollProportion();
    void ScrollToPercent(Extended h, Extended v);
    void CenterOnPoint(int x, int y);
    void SetZoomCursor(int kind);
    void BeginPan();
    void EndPan();
    bool Panning() const { return panning_; }
    bool MouseInside() const { return mouseInside_; }
    void SetMouseInside(bool v) { mouseInside_ = v; }
    int MaxZoom = 400;
    int MinZoom = 10;
    int ZoomIncrement = 10;
    TKpZoomStyle ZoomStyle = kpFixedZoom;
    // The preview's mouse handling in client coordinates (the page image forwards here).
    void PreviewMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void PreviewMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void PreviewMouseMove(TShiftState shift, int x, int y);
    // Scroll positions as the scroll bars' Position and Range.
    int HorzPosition() const;
    int VertPosition() const;
    void SetHorzPosition(int p);
    void SetVertPosition(int p);
    int HorzRange() const;
    int VertRange() const;
    int ScrollBarSize() const { return 16; }
    // The page image's placement in scroll-content pixels.
    QPoint PageImagePos() const { return pageImagePos_; }
    void SetPageImagePos(QPoint p);

    // Views: the current page alone, two-page spreads, or every page in one column. In the
    // views that show several pages the page image is hidden and the viewport paints the
    // pages in view; the current page is the one filling most of the view.
    TKpViewMode ViewMode() const { return viewMode_; }
    void SetViewMode(TKpViewMode v);
    // Where the pages sit in the scrolled content (the views that show several).
    const TKpPageLayout& PageLayout() const { return layout_; }
    // Brings page n into view (its top at the top when it is not wholly in view already).
    void ScrollToPage(int n);
    // The pages the last paint of the viewport drew, in order.
    const std::vector<int>& PaintedPages() const { return paintedPages_; }

    // Files
    void SaveToFile(const QString& fileName);
    void SaveToStream(QIODevice& stream);
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    int LoadedPageCount = 0;

    // Printing; the result says why a job could not run (printing/KpErrors.h).
    TKpResult Print();
    TKpResult PrintCurrentPage();
    TKpResult PrintRange(int fromPage, int toPage);
    // A print job on the document shown with the preview's printer, settings and events.
    TKpPrintJob PrintJob();

    // Finding text in the document shown (TKpDocument::FindText). FindNext and FindPrevious
    // go to the match after (before) the one shown, or for a new text or new options to the
    // first from the current page on (the last up to it), round the document: its page becomes
    // current, it is scrolled into view and marked on the sheet. False when nothing is found.
    std::vector<TKpFindMatch> FindText(const QString& text, TKpFindOptions options = {}) const;
    bool FindNext(const QString& text, TKpFindOptions options = {});
    bool FindPrevious(const QString& text, TKpFindOptions options = {});
    // Drops the matches and their marks.
    void ClearFind();
    const std::vector<TKpFindMatch>& FindMatches() const { return findMatches_; }
    // The match shown (an index into FindMatches), -1 when none.
    int FindIndex() const { return findIndex_; }
    // The matches on page n, and which of them is the one shown (-1: none).
    std::vector<TKpFindMatch> FindMatchesOn(int n, int* current = nullptr) const;
    // The pages that hold matches, ascending.
    std::vector<int> FindPages() const;
    TNotifyEvent OnFind; // the matches or the match shown changed

    // Events
    TNotifyEvent AfterPrint;
    TPrintPageEvent AfterPrintPage;
    TBeforeLoadEvent BeforeLoad;
    TNotifyEvent BeforePrint;
    TPrintPageEvent BeforePrintPage;
    TBeforeReadStream BeforeReadStream;
    TBeforeWriteStream BeforeWriteStream;
    TNotifyEvent OnAbortPrint;
    TNotifyEvent OnCanvasChange;
    TNotifyEvent OnChangeMargins;
    TNotifyEvent OnChangeOrientation;
    TPageOrientationChanged OnChangePageOrientation;
    TNotifyEvent OnChangePrinter;
    TNotifyEvent OnClear;
    TNotifyEvent OnDeletePage;
    TFileProgressEvent OnLoadProgess;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnNewPage;
    TOnPageChangeEvent OnPageChange;
    TOnPageChangeEvent OnPageChanging;
    TPageMouseEvent OnPageMouseDown;
    TPageMouseMoveEvent OnPageMouseMove;
    TPageMouseEvent OnPageMouseUp;
    TNotifyEvent OnPageSizeChange; // stored, never fired
    TOnPrintPage OnPrintPage;
    TOnPrintProgressEvent OnPrintProgress;
    TNotifyEvent OnResize;
    TFileProgressEvent OnSaveProgress;
    TOnZoomEvent OnZoom;
    TNotifyEvent OnViewModeChange;
    // A left click on a link of the page (the pointing hand shows over one); the click goes
    // to the link instead of the mouse-down events.
    TLinkClickEvent OnLinkClick;

Q_SIGNALS: // spelled out: hosts may build with QT_NO_KEYWORDS
    // Qt signals beside the events: each is emitted right after its event (also when the
    // event is empty), for hosts that connect slots, Designer or QML.
    void currentPageChanging(int page);    // OnPageChanging
    void currentPageChanged(int page);     // OnPageChange, Loaded
    void zoomChanged(int zoom);            // OnZoom; Zoom() is already the new zoom
    void pageCountChanged(int count);      // OnNewPage, OnDeletePage, OnClear, a load
    void pageAdded();                      // OnNewPage
    void pageRemoved();                    // OnDeletePage
    void cleared();                        // OnClear
    void documentChanged();                // another document shown, or one loaded
    void loadProgress(int percent);        // OnLoadProgess
    void saveProgress(int percent);        // OnSaveProgress
    void orientationChanged();             // OnChangeOrientation
    void marginsChanged();                 // OnChangeMargins
    void canvasChanged();                  // OnCanvasChange
    void pageOrientationChanged(int page); // OnChangePageOrientation
    void printerChanged();                 // OnChangePrinter
    void aboutToPrint();                   // BeforePrint
    void printed();                        // AfterPrint
    void resized();                        // OnResize
    void pagesPerSheetChanged();
    void paperSizeChanged();
    void printCopiesChanged(int copies);
    void titleChanged(const QString& title);
    void gutterChanged(int gutter);
    void borderStyleChanged();
    void autoRefreshChanged(bool autoRefresh);
    void viewModeChanged(); // OnViewModeChange
    void findChanged(); // OnFind
    void linkActivated(const QUrl& url); // OnLinkClick

protected:
    bool event(QEvent* e) override;
    void setParentNotify();
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    // Handles the messages the preview sends to itself.
    virtual void HandleMessage(const TKpMessageEvent& message);

private:
    // Loading, copying and tests store fields without notifying (TKpFieldAccess).
    friend struct TKpFieldAccess;
    void updateScrollRanges();
    bool hasParentWindow() const;
    // Shows document (attached as its view, asked of the preview's printer).
    void attach(TKpDocument* document);
    // Runs a load, then takes the count of pages the file announced.
    template <class Load> void load(Load&& body);

    // What the document tells its view.
    bool ViewAutoRefresh() const override { return AutoRefresh; }
    void ViewMessage(int msg, long long wparam, long long lparam) override;
    void ViewRefresh() override;
    void ViewShowPage(TKpPage* page, bool repaint) override;
    bool ViewShows(const TKpPage& page) const override;
    void ViewPageTurned() override { KeepScrollProportion(); }
    void ViewPageChanging(int pageNum) override;
    void ViewPageChange(int pageNum) override;
    void ViewNewPage() override;
    void ViewDeletePage() override;
    void ViewClear() override;
    void ViewChangeOrientation() override;
    void ViewChangeMargins(void* sender) override;
    void ViewMarginsDisplay() override;
    void ViewCanvasChange(void* sender) override;
    void ViewChangePageOrientation(void* sender, int pageNum, TKpOrientation v) override;
    void ViewBeforeLoad(Extended fileVersion, bool& loadFile) override;
    bool ViewWantsStream(bool writing) const override;
    void ViewBeforeReadStream(QIODevice* stream) override;
    void ViewBeforeWriteStream(QIODevice* stream) override;
    void ViewLoadProgress(int percent) override;
    void ViewSaveProgress(int percent) override;
    void ViewShadow(TColor& color, int& width) const override;
    void ViewSetShadow(TColor color, int width) override;
    void ViewSetShadowVisible(bool visible) override;
    void ViewDocumentDestroyed(TKpDocument* document) override;

    // The preview's own document, and the one shown (the own one or a host's).
    std::unique_ptr<TKpDocument> ownDocument_;
    TKpDocument* document_ = nullptr;
    TKpPageImage* pageImage_ = nullptr; // child widget of the viewport
    std::unique_ptr<TKpPrinter> printer_;
    std::vector<QPointer<QObject>> linked_;

    bool destroying_ = false;
    TKpPagesPerSheet pagesPerSheet_ = kpOnePage;
    TKpBorderStyle borderStyle_ = bsSingle;
    int printCopies_ = 1;
    int gutter_ = 30;
    int zoom_ = 20;
    bool mouseInside_ = false;
    bool panning_ = false;
    int panOriginX_ = 0;
    int panOriginY_ = 0;
    int lastMouseX_ = 0;
    int lastMouseY_ = 0;
    QPoint pageImagePos_;
    int autoRangeSuspended_ = 0;
    int wheelZoomDelta_ = 0; // Ctrl + wheel angle not yet turned into zoom steps
    // The scroll positions as fractions of their ranges, remembered whenever a position is
    // set (not when a range change merely clamps it), so KeepScrollProportion can restore
    // them after the page image changed size.
    void rememberScrollProportion();
    Extended horzFraction_ = 0;
    Extended vertFraction_ = 0;
    bool rangeUpdating_ = false;

    // The views that show several pages.
    bool multiView() const { return viewMode_ != vmSinglePage; }
    // Places every page for the zoom and the viewport, and sets the scroll ranges.
    void arrangePages();
    // Pages came or went: the views that show several place them again.
    void pagesChanged();
    // The refresh of the views that show several pages.
    void refreshPages();
    // Makes the page filling most of the view current (the view moved).
    void followView();
    // Gives page n a picture that shows what was drawn on it by the last refresh.
    void preparePicture(int n);
    // The page keys and mouse of the views that show several pages.
    bool multiViewKey(int key);
    enum class PageMouse { Down, Up, Move };
    void multiViewMouse(PageMouse kind, TMouseButton button, TShiftState shift, QPoint p);
    // Ctrl + wheel: one zoom step keeping the point under the mouse where it is.
    void zoomAbout(QPoint p, bool in);
    TKpViewMode viewMode_ = vmSinglePage;
    TKpPageLayout layout_;
    bool layoutDirty_ = true;
    bool arranging_ = false;
    bool followingView_ = false; // the current page changes because the view moved
    bool placing_ = false;       // the view moves to show the current page
    int scrollToPage_ = 0;       // page to bring into view at the next refresh
    std::vector<int> paintedPages_;
    // Each page's picture is rebuilt once per display refresh, when it comes into view.
    std::vector<uint32_t> pageRefresh_;
    uint32_t displayRefresh_ = 1;
    // Finding text: the last search and where it stands.
    bool findStep(const QString& text, const TKpFindOptions& options, bool forward);
    void showFound();
    void findChangedNotify();
    QString findText_;
    TKpFindOptions findOptions_;
    std::vector<TKpFindMatch> findMatches_;
    int findIndex_ = -1;
};

// Exports the document the preview shows through the preview's print job (its printer's
// PrintColor, its PagesPerSheet, PrintCopies and print events apply). The system printer's
// selection, orientation and title are left as they were. The result says why a file could
// not be written.
PAGINOR_EXPORT TKpResult ExportToPdf(TKpPreview& preview, const QString& fileName,
                                     const TKpPdfExportOptions& options = {});

} // namespace kp
