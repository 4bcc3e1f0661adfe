#pragma once
// The thumbnail strip: one small picture of every page of a linked preview, each with a
// caption, laid out in a row, a column or a grid. The strip follows the preview through its
// notification messages and never draws pages itself: each thumbnail plays the page's own
// picture scaled to the thumbnail.
#include "paginor/KpExport.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QFrame>
#include <QPointer>
#include <QScrollArea>
#include <QTimer>

#include "preview/KpPreview.h"
#include "preview/KpTypes.h"

#include <QMenu>

class QProgressBar;

namespace kp {

class TKpThumbnails;

using TOnThumbMouseDown =
    std::function<void(void* sender, TMouseButton button, TShiftState shift, TKpPage* page)>;
using TOnThumbLabelClick = std::function<void(void* sender, TKpPage* page)>;

// Height of the caption band under every thumbnail, in pixels.
constexpr int CaptionHeight = 18;

// A panel with a progress bar filling it, shown over the strip while it lays out.
class PAGINOR_EXPORT TKpProgressPanel : public QFrame {
    Q_OBJECT
public:
    explicit TKpProgressPanel(QWidget* parent = nullptr);
    static constexpr int PanelHeight = 36;
    static constexpr int BorderWidth = 9;

    // Position 0, maximum 100.
    void Reset();
    // Shows the new position at once.
    void SetPosition(int value);
    int Position() const;
    QProgressBar* Bar() const { return bar_; }

    // Fired after each position change has been shown (observers such as a status line).
    std::function<void(int position)> OnPosition;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QProgressBar* bar_; // child widget
};

// The sheet inside a thumbnail: the page's picture with shadow, framed in blue when it is
// the page on display.
class PAGINOR_EXPORT TKpThumbnailPage : public TKpCustomPage {
    Q_OBJECT
public:
    TKpThumbnailPage(TKpThumbnails* strip, class TKpThumbnail* thumbnail);

    int PageNumber = 0;
    bool Selected() const { return selected_; }
    // The strip's stamp of this image's last paint.
    uint64_t PaintStamp = 0;
    void SetSelected(bool v);
    // The colour of the frame and the caption: blue for the highlighted page, else black.
    TColor FrameColor() const;
    void SetPopup(QMenu* menu) { popup_ = menu; }
    QMenu* Popup() const { return popup_; }
    // Makes this page the preview's current page.
    void Click();

protected:
    void paintEvent(QPaintEvent* e) override;
    void PaintPage(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    TKpThumbnails* strip_;
    TKpThumbnail* thumbnail_;
    bool selected_ = false;
    bool pressed_ = false;
    QPointer<QMenu> popup_;
};

// The caption label: one line of text in the palette's window-text colour; a click on it
// acts like a click on the page above it. A plain widget that paints its text, not a full
// label control: a strip holds thousands of them.
class PAGINOR_EXPORT TKpThumbnailLabel : public QWidget {
    Q_OBJECT
public:
    explicit TKpThumbnailLabel(QWidget* parent) : QWidget(parent) {}
    QString text() const { return text_; }
    void setText(const QString& text);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

// One thumbnail: the page image and its caption.
class PAGINOR_EXPORT TKpThumbnail : public QWidget {
    Q_OBJECT
public:
    explicit TKpThumbnail(TKpThumbnails* strip);
    ~TKpThumbnail() override;

    int PageNumber() const { return pageNumber_; }
    void SetPageNumber(int n);
    TKpOrientation Orientation = kpPortrait;
    int ThumbSize() const { return thumbSize_; }
    void SetSize(int size);
    void SetCaption(const QString& pattern);
    QString Caption() const { return label_->text(); }
    void SetShowCaption(bool show);
    bool CaptionVisible() const { return showCaption_; }
    TKpThumbnailPage* PageImage() const { return pageImage_; }
    TKpThumbnailLabel* Label() const { return label_; }
    TKpPreview* Preview() const { return preview_; }
    // Caption colour follows the frame colour of the page image.
    void SetCaptionColor(TColor color);
    // The caption's click: a click on the page image, then the strip's OnLabelClick.
    void LabelClick();
    void SetPopup(QMenu* menu) { popup_ = menu; }
    QMenu* Popup() const { return popup_; }

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    TKpThumbnails* strip_;
    QPointer<TKpPreview> preview_;
    TKpThumbnailPage* pageImage_; // child widget
    TKpThumbnailLabel* label_;    // child widget
    bool showCaption_ = true;
    int thumbSize_ = 0;
    int pageNumber_ = 0;
    TColor captionColor_ = clBlack;
    QPointer<QMenu> popup_;
};

// The thumbnails, indexed from 1; owns its items.
class PAGINOR_EXPORT TKpThumbnailList {
public:
    explicit TKpThumbnailList(TKpThumbnails* strip) : strip_(strip) {}
    ~TKpThumbnailList();
    TKpThumbnailList(const TKpThumbnailList&) = delete;
    TKpThumbnailList& operator=(const TKpThumbnailList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Item n (from 1); EListError outside the range.
    TKpThumbnail* Items(int n) const;
    TKpThumbnail* Add();
    void Delete(int n);
    // Deletes from the last item to the first.
    void Clear();

private:
    TKpThumbnails* strip_;
    std::vector<std::unique_ptr<TKpThumbnail>> items_;
};

class PAGINOR_EXPORT TKpThumbnails : public QScrollArea {
    Q_OBJECT
    // Published properties (form files, Qt Designer, property editors).
    Q_PROPERTY(QString About READ About CONSTANT)
    Q_PROPERTY(kp::KpEnums::TKpBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    // Published to Qt as thumbnailsEnabled: QWidget's own `enabled` means something else.
    // The old name stays readable and writable for form files, hidden from Designer.
    Q_PROPERTY(bool thumbnailsEnabled READ Enabled WRITE SetEnabled NOTIFY thumbnailsEnabledChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled DESIGNABLE false STORED false)
    Q_PROPERTY(int GridWidth READ GridWidth WRITE SetGridWidth)
    Q_PROPERTY(bool Highlight READ Highlight WRITE SetHighlight)
    Q_PROPERTY(kp::KpEnums::TKpThumbNailLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(QString PageCaptions READ PageCaptions WRITE SetPageCaptions)
    Q_PROPERTY(TKpPreview* Preview READ Preview WRITE SetPreview)
    Q_PROPERTY(bool ScrollIntoView MEMBER ScrollIntoView)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE SetShowCaption)
    Q_PROPERTY(bool ShowProgress MEMBER ShowProgress)
    Q_PROPERTY(int ThumbSize READ ThumbSize WRITE SetThumbSize)
    Q_PROPERTY(QMenu* ThumbPopup READ ThumbPopup WRITE SetThumbPopup)
    Q_PROPERTY(bool UpdateWhileLoading MEMBER UpdateWhileLoading)
public:
    explicit TKpThumbnails(QWidget* parent = nullptr);
    ~TKpThumbnails() override;

    QString About() const;

    TKpBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TKpBorderStyle v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    int GridWidth() const { return gridWidth_; }
    void SetGridWidth(int v);
    bool Highlight() const { return highlight_; }
    void SetHighlight(bool v);
    TKpThumbNailLayout Layout() const { return layout_; }
    void SetLayout(TKpThumbNailLayout v);
    QString PageCaptions() const { return pageCaptions_; }
    void SetPageCaptions(const QString& v);
    TKpPreview* Preview() const { return preview_; }
    void SetPreview(TKpPreview* v);
    bool ScrollIntoView = true;
    TKpShadow& Shadow() { return *shadow_; }
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v);
    bool ShowProgress = false;
    int ThumbSize() const { return thumbSize_; }
    void SetThumbSize(int v);
    QMenu* ThumbPopup() const { return thumbPopup_; }
    void SetThumbPopup(QMenu* menu);
    bool UpdateWhileLoading = false;

    TOnThumbMouseDown OnThumbMouseDown;
    TOnThumbLabelClick OnLabelClick;

    TKpThumbnailList& Thumbnails() { return *list_; }
    TKpProgressPanel& ProgressPanel() { return *progress_; }
    // 0-based index of the highlighted thumbnail.
    int CurrentIndex() const { return currentIndex_; }
    // Full rebuilds run so far (what a host or a test can watch).
    int RebuildCount() const { return rebuildCount_; }
    // The widget that holds the thumbnails inside the scrolling area.
    QWidget* Content() const { return content_; }

    // Page pictures that RefreshImages has still to rebuild. The first pictures are rebuilt
    // at once, the visible ones next (a thumbnail asks for its page when it paints), the
    // rest in idle time slices, so the event loop keeps turning while the strip fills in.
    int PendingImages() const { return pendingImages_; }
    // Moves page n's picture to the front of the pending ones.
    void RequestImage(int n);
    // Time one slice of work may take before the event loop turns, in milliseconds (default
    // 15): picture rebuilds in idle time, and the making of many thumbnails at once. A
    // slice does at least one page or thumbnail, and a page is never split, so a single
    // very large page may take longer.
    int ImageSliceMs() const { return imageSliceMs_; }
    void SetImageSliceMs(int ms) { imageSliceMs_ = ms < 0 ? 0 : ms; }

    // A painted page image keeps its rendered sheet; only the ones painted last keep it, so
    // scrolling through a long document does not keep a sheet for every page.
    void KeepRenderedSheet(TKpThumbnailPage* page);
    static constexpr size_t KeptSheets = 256;

    // Pages whose thumbnails carry a coloured corner, ascending: the preview's pages that
    // hold found text (kept up to date from the preview), or any a host sets.
    const std::vector<int>& MarkedPages() const { return markedPages_; }
    void SetMarkedPages(std::vector<int> pages);
    bool PageMarked(int n) const;

    void Rebuild();
    bool SetThumbnailCount(int n);
    void RefreshImages();
    void ResizeAll();
    void ScrollCurrentIntoView();
    void Relayout(bool showProgress);

Q_SIGNALS: // spelled out: hosts may build with QT_NO_KEYWORDS
    // Emitted right after the matching event (also when the event is empty).
    void thumbnailPressed(int page); // OnThumbMouseDown: page number, 0 when none
    void captionClicked(int page);   // OnLabelClick
    void thumbnailsEnabledChanged(bool enabled);

protected:
    bool event(QEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* e) override;
    virtual void HandleMessage(const TKpMessageEvent& message);

private:
    void appendThumbnail();
    // The preview's pages are not the ones the thumbnails were made for (pages added,
    // deleted or emptied while the strip was not told, the preview's AutoRefresh off).
    bool outOfStep() const;
    void previewDestroyed();
    void detachAll();
    QRect nearView() const;
    void showPlacedInView();
    void repaintCurrent();
    // Rebuilds page n's picture if it is pending and hands it to its thumbnail.
    void buildImage(int n);
    // One idle slice of pending picture rebuilds.
    void buildPendingImages();
    void dropPendingImages();

    std::unique_ptr<TKpThumbnailList> list_;
    TKpProgressPanel* progress_; // child widget, parented to the viewport while shown
    std::unique_ptr<TKpShadow> shadow_;
    QWidget* content_; // the scrolled widget
    QPointer<TKpPreview> preview_;
    QMetaObject::Connection previewConnection_;
    QMetaObject::Connection findConnection_; // the preview's found pages
    std::vector<int> markedPages_;
    QPointer<QMenu> thumbPopup_;
    TKpBorderStyle borderStyle_ = bsSingle;
    TKpThumbNailLayout layout_ = kpThumbHorz;
    QString pageCaptions_ = QStringLiteral("Page #");
    bool enabled_ = true;
    bool highlight_ = true;
    bool showCaption_ = true;
    int gridWidth_ = 4;
    int thumbSize_ = 4;
    int currentIndex_ = 0;
    bool savedEnabled_ = true;
    int rebuildCount_ = 0;
    uint32_t shownRevision_ = 0; // the preview's page list revision the images were made for
    int layoutGeneration_ = 0;
    int placed_ = 0; // thumbnails 1 to placed_ have their place in the layout
    // The page images painted last, oldest first, each with its paint's stamp.
    std::deque<std::pair<QPointer<TKpThumbnailPage>, uint64_t>> keptSheets_;
    uint64_t paintStamp_ = 0;
    std::vector<uint8_t> staleImages_; // by page number - 1
    std::vector<int> urgentImages_;    // page numbers asked for by painting thumbnails
    int imageCursor_ = 0;              // next page number - 1 for the idle rebuilds
    int pendingImages_ = 0;
    int imageSliceMs_ = 15;
    QTimer* imageTimer_; // child object
};

} // namespace kp
