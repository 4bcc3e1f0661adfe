// The thumbnail strip: properties, the link to its preview, rebuilding and layout, and the
// preview's notification messages.
#include "thumbnails/KpThumbnails.h"

#include <algorithm>
#include <stdexcept>

#include <QElapsedTimer>
#include <QLocale>
#include <QScrollBar>

#include "drawing/KpPage.h"
#include "platform/KpScreen.h"
#include "platform/KpStateGuard.h"

namespace kp {

namespace {

// Largest ThumbSize accepted: an A3 sheet is then about 2,100 pixels high.
constexpr int MaxThumbSize = 100;

} // namespace

TKpThumbnails::TKpThumbnails(QWidget* parent) : QScrollArea(parent) {
    list_ = std::make_unique<TKpThumbnailList>(this);
    borderStyle_ = bsSingle;
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    enabled_ = true;
    highlight_ = true;
    progress_ = new TKpProgressPanel(this);
    shadow_ = std::make_unique<TKpShadow>(this);
    shadow_->OnChange = [this](void*) {
        if (preview_) SetThumbnailCount(preview_->NumPages());
    };
    showCaption_ = true;
    ShowProgress = false;
    layout_ = kpThumbHorz;
    gridWidth_ = 4;
    pageCaptions_ = QStringLiteral("Page #");
    ScrollIntoView = true;
    thumbSize_ = 4;
    UpdateWhileLoading = false;
    imageTimer_ = new QTimer(this);
    imageTimer_->setSingleShot(true);
    imageTimer_->setInterval(0);
    connect(imageTimer_, &QTimer::timeout, this, [this] {
        // Idle work nobody called: an error of a host's object stops here (the page reports
        // it where the host refreshes it), and the other pictures are still made.
        try {
            buildPendingImages();
        } catch (const std::exception& e) {
            qWarning("Page picture not rebuilt: %s", e.what());
            if (pendingImages_ > 0) imageTimer_->start();
        }
    });
    content_ = new QWidget;
    content_->resize(0, 0);
    setWidget(content_); // the scroll area owns it from here
    setWidgetResizable(false);
    resize(265, 120);
}

TKpThumbnails::~TKpThumbnails() {
    if (preview_) preview_->RemoveLinkedControl(this);
    QObject::disconnect(previewConnection_);
    QObject::disconnect(findConnection_);
    // The thumbnails go before the widgets that hold them.
    list_.reset();
    shadow_.reset();
}

QString TKpThumbnails::About() const {
    QString version = QString::number(static_cast<double>(KpVersion), 'f', 2);
    version.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return QStringLiteral("TKpThumbnails v") + version;
}

// ---- properties ----

void TKpThumbnails::SetBorderStyle(TKpBorderStyle v) {
    borderStyle_ = v;
    setFrameStyle(v == bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

void TKpThumbnails::SetEnabled(bool v) {
    setEnabled(v);
    if (v == enabled_) return;
    enabled_ = v;
    if (!v) dropPendingImages();
    Rebuild();
    viewport()->update();
    Q_EMIT thumbnailsEnabledChanged(v);
}

void TKpThumbnails::SetGridWidth(int v) {
    if (v == gridWidth_) return;
    layout_ = kpThumbGrid;
    gridWidth_ = v;
    Relayout(false);
}

void TKpThumbnails::SetHighlight(bool v) {
    if (v == highlight_) return;
    highlight_ = v;
    repaintCurrent();
}

void TKpThumbnails::SetLayout(TKpThumbNailLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Relayout(false);
}

void TKpThumbnails::SetPageCaptions(const QString& v) {
    if (v == pageCaptions_) return;
    pageCaptions_ = v;
    for (int i = 1; i <= list_->Count(); ++i)
        list_->Items(i)->SetCaption(v);
}

void TKpThumbnails::SetShowCaption(bool v) {
    showCaption_ = v;
    for (int i = 1; i <= list_->Count(); ++i)
        list_->Items(i)->SetShowCaption(v);
}

void TKpThumbnails::SetThumbSize(int v) {
    if (v < 0 || v > MaxThumbSize)
        throw std::invalid_argument("TKpThumbnails: ThumbSize must be between 0 and " +
                                    std::to_string(MaxThumbSize));
    thumbSize_ = v;
    for (int i = 1; i <= list_->Count(); ++i)
        list_->Items(i)->SetSize(v);
    Relayout(false);
}

void TKpThumbnails::SetThumbPopup(QMenu* menu) {
    for (int i = 1; i <= list_->Count(); ++i)
        list_->Items(i)->PageImage()->SetPopup(menu);
    thumbPopup_ = menu;
}

void TKpThumbnails::SetPreview(TKpPreview* v) {
    if (preview_) preview_->RemoveLinkedControl(this);
    QObject::disconnect(previewConnection_);
    // Thumbnails made for another preview would act on that one: start afresh.
    if (preview_ != v) {
        dropPendingImages();
        list_->Clear();
        content_->resize(0, 0);
    }
    preview_ = v;
    if (!v) return;
    previewConnection_ = connect(v, &QObject::destroyed, this, [this] { previewDestroyed(); });
    findConnection_ = connect(v, &TKpPreview::findChanged, this,
                              [this, v] { SetMarkedPages(v->FindPages()); });
    SetMarkedPages(v->FindPages());
    v->AddLinkedControl(this);
    if (!enabled_) return;
    QPointer<TKpThumbnails> self(this);
    SetThumbnailCount(v->NumPages());
    if (!self || !enabled_ || preview_ != v) return;
    RefreshImages();
    const int current = v->CurrentPage();
    if (current >= 1 && current <= list_->Count()) {
        TKpThumbnailPage* page = list_->Items(current)->PageImage();
        page->SetSelected(true);
        page->update();
    }
    Relayout(ShowProgress);
}

void TKpThumbnails::previewDestroyed() {
    // The pages the thumbnails showed are gone with their preview.
    preview_ = nullptr;
    dropPendingImages();
    ++layoutGeneration_; // a layout in progress stops
    progress_->hide();
    list_->Clear();
    content_->resize(0, 0);
}

// ---- rebuilding ----

void TKpThumbnails::Rebuild() {
    if (!enabled_ || !preview_) return;
    ++rebuildCount_;
    QPointer<TKpThumbnails> self(this);
    SetThumbnailCount(preview_->NumPages());
    // Input handled while the thumbnails were made may have freed or switched off the strip.
    if (!self || !enabled_ || !preview_) return;
    RefreshImages();
    ResizeAll();
    Relayout(false);
}

bool TKpThumbnails::SetThumbnailCount(int n) {
    if (!enabled_) return false;
    QPointer<TKpThumbnails> self(this);
    QElapsedTimer slice;
    slice.start();
    bool changed = false;
    for (;;) {
        // A thumbnail shows a page of the linked preview: never more of them than pages
        // (asked anew each time: pages may come and go while the event loop turns).
        const int target = std::clamp(n, 0, preview_ ? preview_->NumPages() : 0);
        if (list_->Count() < target)
            appendThumbnail();
        else if (list_->Count() > target)
            list_->Delete(list_->Count());
        else
            break;
        changed = true;
        // Thousands of thumbnails take a while to make: the event loop turns between
        // slices, as it does after each thumbnail of a layout.
        if (slice.elapsed() >= imageSliceMs_) {
            ProcessPendingMessages();
            if (!self || !enabled_) return changed;
            slice.restart();
        }
    }
    if (currentIndex_ >= list_->Count())
        currentIndex_ = list_->Count() > 0 ? list_->Count() - 1 : 0;
    return changed;
}

void TKpThumbnails::appendThumbnail() {
    TKpThumbnail* t = list_->Add();
    const int n = list_->Count();
    t->Orientation = preview_->Orientation();
    t->SetSize(thumbSize_);
    t->SetPopup(thumbPopup_);
    t->PageImage()->SetPopup(thumbPopup_);
    t->SetCaption(pageCaptions_);
    t->Orientation = preview_->GetPage(n)->Orientation();
    t->PageImage()->Shadow().Assign(*shadow_);
    t->SetShowCaption(t->CaptionVisible());
    // Sized at once with the page's own orientation and the copied shadow, so a count change
    // without a following ResizeAll still leaves every thumbnail its right size.
    t->SetSize(thumbSize_);
}

void TKpThumbnails::RefreshImages() {
    if (!preview_) return;
    TKpPreview& preview = *preview_;
    const int pages = preview.NumPages();
    shownRevision_ = preview.Pages().Revision();
    // Every thumbnail shows its page's picture from now on; the pictures themselves are
    // rebuilt from the first page on for one time slice here, the rest later.
    staleImages_.assign(static_cast<size_t>(pages), 1);
    urgentImages_.clear();
    imageCursor_ = 0;
    pendingImages_ = pages;
    for (int i = 1; i <= std::min(pages, list_->Count()); ++i)
        list_->Items(i)->PageImage()->SetMetafile(&preview.GetPage(i)->Metafile(), true);
    buildPendingImages();
}

bool TKpThumbnails::outOfStep() const {
    return preview_ && (list_->Count() != preview_->NumPages() ||
                        preview_->Pages().Revision() != shownRevision_);
}

void TKpThumbnails::RequestImage(int n) {
    if (n < 1 || n > static_cast<int>(staleImages_.size()) || !staleImages_[n - 1]) return;
    urgentImages_.push_back(n);
    imageTimer_->start();
}

void TKpThumbnails::buildImage(int n) {
    if (!preview_ || n < 1 || n > static_cast<int>(staleImages_.size()) || !staleImages_[n - 1])
        return;
    staleImages_[n - 1] = 0;
    --pendingImages_;
    // Pages may have gone behind the strip's back (the preview's AutoRefresh off).
    if (n > preview_->NumPages()) return;
    TKpPage* page = preview_->GetPage(n);
    {
        const TKpStateGuard<bool> quiet(preview_->AutoRefresh, false, preview_.data());
        page->UpdateMetafile();
    }
    if (n <= list_->Count()) list_->Items(n)->PageImage()->SetMetafile(&page->Metafile(), true);
}

void TKpThumbnails::buildPendingImages() {
    QElapsedTimer slice;
    slice.start();
    QPointer<TKpThumbnails> self(this);
    do {
        int n = 0;
        if (!urgentImages_.empty()) {
            n = urgentImages_.back();
            urgentImages_.pop_back();
        } else {
            while (imageCursor_ < static_cast<int>(staleImages_.size()) &&
                   !staleImages_[static_cast<size_t>(imageCursor_)])
                ++imageCursor_;
            if (imageCursor_ >= static_cast<int>(staleImages_.size())) {
                pendingImages_ = 0;
                break;
            }
            n = ++imageCursor_;
        }
        buildImage(n);
    } while (self && pendingImages_ > 0 && slice.elapsed() < imageSliceMs_);
    if (self && pendingImages_ > 0) imageTimer_->start();
}

void TKpThumbnails::KeepRenderedSheet(TKpThumbnailPage* page) {
    page->PaintStamp = ++paintStamp_;
    keptSheets_.emplace_back(page, page->PaintStamp);
    while (keptSheets_.size() > KeptSheets) {
        const auto [oldest, stamp] = keptSheets_.front();
        keptSheets_.pop_front();
        // Painted again since, it is further back in the queue.
        if (oldest && oldest->PaintStamp == stamp) oldest->InvalidatePictureCache();
    }
}

void TKpThumbnails::dropPendingImages() {
    imageTimer_->stop();
    staleImages_.clear();
    urgentImages_.clear();
    imageCursor_ = 0;
    pendingImages_ = 0;
}

void TKpThumbnails::ResizeAll() {
    if (!enabled_ || !preview_) return;
    const int n = std::min(list_->Count(), preview_->NumPages());
    for (int i = 1; i <= n; ++i) {
        TKpThumbnail* t = list_->Items(i);
        t->Orientation = preview_->GetPage(i)->Orientation();
        t->SetSize(thumbSize_);
    }
}

void TKpThumbnails::ScrollCurrentIntoView() {
    if (!ScrollIntoView) return;
    if (currentIndex_ < 0 || currentIndex_ >= list_->Count()) return;
    ensureWidgetVisible(list_->Items(currentIndex_ + 1), 0, 0);
}

void TKpThumbnails::detachAll() {
    placed_ = 0;
    for (int i = 1; i <= list_->Count(); ++i)
        list_->Items(i)->hide();
}

QRect TKpThumbnails::nearView() const {
    // What is on screen and a screenful around it, in the content's coordinates.
    const QRect view(-content_->pos(), viewport()->size());
    return view.adjusted(-view.width(), -view.height(), view.width(), view.height());
}

void TKpThumbnails::showPlacedInView() {
    // Placed thumbnails are shown when they come near the view. Every shown widget costs
    // the toolkit some bookkeeping of its own, so a long document's strip keeps the ones
    // never scrolled to hidden.
    placed_ = std::min(placed_, list_->Count());
    if (!enabled_ || placed_ == 0) return;
    const QRect near = nearView();
    for (int i = 1; i <= placed_; ++i) {
        TKpThumbnail* t = list_->Items(i);
        if (t->isHidden() && near.intersects(t->geometry())) t->show();
    }
}

void TKpThumbnails::resizeEvent(QResizeEvent* e) {
    QScrollArea::resizeEvent(e);
    showPlacedInView();
}

void TKpThumbnails::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    showPlacedInView();
}

void TKpThumbnails::repaintCurrent() {
    const int n = currentIndex_ + 1;
    if (n < 1 || n > list_->Count()) return;
    TKpThumbnail* t = list_->Items(n);
    t->SetCaptionColor(t->PageImage()->FrameColor());
    t->PageImage()->update();
}

void TKpThumbnails::Relayout(bool showProgress) {
    const int generation = ++layoutGeneration_;
    if (!enabled_) return;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    if (showProgress) {
        progress_->setGeometry(16, height() / 2 - 10, viewport()->width() - 32,
                               TKpProgressPanel::PanelHeight);
        progress_->setFrameStyle(QFrame::Panel | QFrame::Plain);
        progress_->Reset();
        progress_->show();
        progress_->raise();
        progress_->repaint();
    }
    detachAll();

    QPointer<TKpThumbnails> self(this);
    int x = 0, y = 0, column = 1, rowHeight = 1;
    int right = 0, bottom = 0;
    int lastShown = 0;
    for (int i = 1; i <= list_->Count(); ++i) {
        TKpThumbnail* t = list_->Items(i);
        const int w = t->width(), h = t->height();
        t->move(x, y);
        right = std::max(right, x + w);
        bottom = std::max(bottom, y + h);
        switch (layout_) {
        case kpThumbHorz:
            x += w;
            break;
        case kpThumbVert:
            y += h;
            break;
        case kpThumbGrid:
            x += w;
            rowHeight = std::max(rowHeight, h);
            ++column;
            if (column > gridWidth_) {
                column = 1;
                x = 0;
                y += rowHeight;
                rowHeight = 1;
            }
            break;
        }
        // Let the scroll range grow ahead of the thumbnails so the user sees them arrive.
        if (right > content_->width() || bottom > content_->height())
            content_->resize(std::max(right, content_->width() * 2),
                             std::max(bottom, content_->height() * 2));
        placed_ = i;
        if (nearView().intersects(t->geometry())) t->show();
        ProcessPendingMessages();
        // Input or a message handled meanwhile may have relaid or freed the strip.
        if (!self || generation != layoutGeneration_) return;
        if (showProgress) {
            const int count = list_->Count();
            const int p = kp::RoundInt(static_cast<Extended>(i) / count * 100);
            if (p != lastShown) {
                progress_->raise();
                progress_->SetPosition(p);
                lastShown = p;
            }
        }
    }
    progress_->hide();
    content_->resize(right, bottom);
}

// ---- messages ----

bool TKpThumbnails::event(QEvent* e) {
    if (e->type() == TKpMessageEvent::EventType()) {
        HandleMessage(*static_cast<TKpMessageEvent*>(e));
        return true;
    }
    return QScrollArea::event(e);
}

void TKpThumbnails::HandleMessage(const TKpMessageEvent& message) {
    if (message.Msg == KPM_LOADING) {
        // A load switches the strip off and rebuilds it once at the end.
        if (UpdateWhileLoading) return;
        if (message.WParam == 0) {
            savedEnabled_ = enabled_;
            enabled_ = false;
        } else {
            SetEnabled(savedEnabled_);
        }
        return;
    }
    if (!enabled_) return;
    switch (message.Msg) {
    case KPM_PAGECHANGED: {
        if (!preview_) return;
        if (outOfStep()) Rebuild();
        const long long n = message.WParam;
        currentIndex_ = static_cast<int>(n - 1);
        for (int i = 1; i <= list_->Count(); ++i) {
            TKpThumbnailPage* page = list_->Items(i)->PageImage();
            if (page->Selected()) {
                page->SetSelected(false);
                page->update();
            }
        }
        if (n >= 1 && n <= list_->Count()) {
            TKpThumbnailPage* page = list_->Items(static_cast<int>(n))->PageImage();
            page->SetSelected(true);
            page->update();
        }
        ScrollCurrentIntoView();
        break;
    }
    case KPM_SETPAGECOUNT: {
        QPointer<TKpThumbnails> self(this);
        SetThumbnailCount(static_cast<int>(std::clamp<long long>(message.WParam, 0, INT32_MAX)));
        if (self) Relayout(ShowProgress);
        break;
    }
    case KPM_ORIENTATIONCHANGED:
        if (!preview_) return;
        for (int i = 1; i <= list_->Count(); ++i)
            list_->Items(i)->Orientation = preview_->Orientation();
        detachAll();
        ResizeAll();
        Relayout(ShowProgress);
        break;
    case KPM_PAGEORIENTATIONCHANGED: {
        if (!preview_) return;
        const long long n = message.WParam;
        if (n >= 1 && n <= list_->Count() && n <= preview_->NumPages()) {
            TKpThumbnail* t = list_->Items(static_cast<int>(n));
            t->Orientation = preview_->GetPage(static_cast<int>(n))->Orientation();
            t->SetSize(thumbSize_);
        }
        Relayout(ShowProgress);
        break;
    }
    case KPM_PAPERSIZECHANGED:
        ResizeAll();
        Rebuild();
        break;
    case KPM_PAGESCLEARED:
        Rebuild();
        break;
    case KPM_DISPLAYUPDATED:
        // The end of a drawing run made with the preview's AutoRefresh off: the strip was
        // told nothing of the pages it cleared and added.
        if (outOfStep()) Rebuild();
        break;
    default:
        break; // page rebuilt: nothing to do
    }
}

} // namespace kp
