// Zoom, page placement, scrolling, panning and the preview's own mouse handling.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "platform/KpScreen.h"
#include "preview/KpCursors.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

namespace kp {

namespace {

// The link under a point of the viewport, on whichever page of the several shown it falls.
const TKpPageLink* linkInView(TKpPreview& preview, const TKpPageImage& image, QPoint p) {
    const QPoint c = p + QPoint(preview.HorzPosition(), preview.VertPosition());
    const int n = preview.PageLayout().PageAt(c);
    if (n < 1) return nullptr;
    return image.LinkOnPage(n, c - preview.PageLayout().PageRect(n).topLeft(), image.Scale());
}

} // namespace

void TKpPreview::SetZoom(int z) {
    if (z < MinZoom)
        z = MinZoom;
    else if (z > MaxZoom)
        z = MaxZoom;
    if (z <= 0 || z < MinZoom || z > MaxZoom) return;
    if (OnZoom) OnZoom(this, zoom_, z);
    zoom_ = z;
    Q_EMIT zoomChanged(z);
    Extended h = 0, v = 0;
    const bool parented = hasParentWindow();
    if (parented) {
        const int hr = HorzRange() - viewport()->width();
        const int vr = VertRange() - viewport()->height();
        if (HorzPosition() > 0 && hr > 0) h = static_cast<Extended>(HorzPosition()) / hr * 100;
        if (VertPosition() > 0 && vr > 0) v = static_cast<Extended>(VertPosition()) / vr * 100;
    }
    pageImage_->SetScale(static_cast<Extended>(zoom_) / 100);
    if (parented) {
        Reposition();
        ScrollToPercent(h, v);
    }
    BroadcastMessage(KPM_REFRESH);
}

void TKpPreview::ZoomIn() {
    if (mouseInside_) SetZoomCursor(1);
    SetZoom(ZoomStyle == kpFixedZoom ? zoom_ + ZoomIncrement : zoom_ + zoom_ / 2);
}

void TKpPreview::ZoomOut() {
    if (mouseInside_) SetZoomCursor(2);
    SetZoom(ZoomStyle == kpFixedZoom ? zoom_ - ZoomIncrement : zoom_ - zoom_ / 2);
}

int TKpPreview::FitWidthZoom() const {
    const Extended p = ScreenPixelsPerInch();
    // Facing pages fit two sheets and the gap between them.
    if (viewMode_ == vmFacingPages)
        return static_cast<int>(kp::Trunc((width() - 26 - 3 * pageImage_->Gutter()) /
                                          (p * 2 * pageImage_->PageWidthInches()) * 100));
    return static_cast<int>(kp::Trunc((width() - 26 - 2 * pageImage_->Gutter()) /
                                      (p * pageImage_->PageWidthInches()) * 100));
}

int TKpPreview::FitHeightZoom() const {
    const Extended p = ScreenPixelsPerInch();
    return static_cast<int>(kp::Trunc((height() - 26 - 2 * pageImage_->Gutter()) /
                                      (p * pageImage_->PageHeightInches()) * 100));
}

void TKpPreview::FitWidth() {
    pageImage_->hide();
    const int z = FitWidthZoom();
    if (z != zoom_) SetZoom(z);
    pageImage_->setVisible(!multiView());
}

void TKpPreview::FitHeight() {
    pageImage_->hide();
    const int z = FitHeightZoom();
    if (z != zoom_) SetZoom(z);
    pageImage_->setVisible(!multiView());
}

void TKpPreview::FitWholePage() {
    pageImage_->hide();
    const int z = MinInt(FitHeightZoom(), FitWidthZoom());
    if (z != zoom_) SetZoom(z);
    pageImage_->setVisible(!multiView());
}

void TKpPreview::Reposition() {
    if (multiView()) {
        arrangePages();
        return;
    }
    ++autoRangeSuspended_;
    const int W = width(), H = height();
    const int w = pageImage_->width(), h = pageImage_->height();
    QPoint pos = pageImagePos_;
    if (h < H) pos.setY((H - h - 8) / 2);
    if (w < W) pos.setX((W - w - 8) / 2);
    if (h > H && pos.y() > 0) pos.setY(0);
    if (w > W && pos.x() > 0) pos.setX(0);
    SetPageImagePos(pos);
    --autoRangeSuspended_;
    updateScrollRanges();
}

// The proportions are the ones remembered when the positions were last set: by the time
// this runs the page image has its new size and the scroll bars have already clamped their
// positions to the new ranges, so reading them now would lose the old proportion. The
// fractions are taken of the client extent (the positions' real span), as the zoom does.
void TKpPreview::KeepScrollProportion() {
    const int W = width(), H = height();
    const Extended fh = horzFraction_, fv = vertFraction_;
    if (multiView()) {
        arrangePages();
        SetHorzPosition(static_cast<int>(kp::Round(fh * (HorzRange() - viewport()->width()))));
        SetVertPosition(static_cast<int>(kp::Round(fv * (VertRange() - viewport()->height()))));
        return;
    }
    if (W < pageImage_->width()) {
        updateScrollRanges();
        SetHorzPosition(static_cast<int>(kp::Round(fh * (HorzRange() - viewport()->width()))));
    } else {
        SetHorzPosition(0);
        SetPageImagePos(QPoint(0, pageImagePos_.y()));
    }
    if (H < pageImage_->height()) {
        updateScrollRanges();
        SetVertPosition(static_cast<int>(kp::Round(fv * (VertRange() - viewport()->height()))));
    } else {
        SetVertPosition(0);
        SetPageImagePos(QPoint(pageImagePos_.x(), 0));
    }
    Reposition();
    horzFraction_ = fh;
    vertFraction_ = fv;
}

void TKpPreview::rememberScrollProportion() {
    const int hr = HorzRange() - viewport()->width();
    const int vr = VertRange() - viewport()->height();
    horzFraction_ = hr > 0 ? static_cast<Extended>(HorzPosition()) / hr : 0;
    vertFraction_ = vr > 0 ? static_cast<Extended>(VertPosition()) / vr : 0;
}

void TKpPreview::ScrollToPercent(Extended h, Extended v) {
    SetHorzPosition(static_cast<int>(kp::Round((HorzRange() - viewport()->width()) * (h / 100))));
    SetVertPosition(static_cast<int>(kp::Round((VertRange() - viewport()->height()) * (v / 100))));
}

void TKpPreview::CenterOnPoint(int x, int y) {
    pageImage_->setEnabled(false);
    const int oldH = HorzPosition(), oldV = VertPosition();
    SetHorzPosition(x - width() / 2 + oldH);
    SetVertPosition(y - height() / 2 + oldV);
    pageImage_->setEnabled(true);
}

void TKpPreview::SetZoomCursor(int kind) {
    switch (kind) {
    case 0:
        KpSetScreenCursor(Qt::ArrowCursor);
        break;
    case 1:
        KpSetScreenCursor(KpZoomInCursor());
        break;
    case 2:
        KpSetScreenCursor(KpZoomOutCursor());
        break;
    default:
        break;
    }
}

void TKpPreview::BeginPan() {
    panning_ = true;
    panOriginX_ = HorzPosition() + lastMouseX_;
    panOriginY_ = VertPosition() + lastMouseY_;
    KpSetScreenCursor(Qt::PointingHandCursor);
}

void TKpPreview::EndPan() {
    panning_ = false;
    KpSetScreenCursor(Qt::ArrowCursor);
}

// Scroll bars: Range is the extent of the content (the page image's far edge), Position the
// scrolled offset; QScrollBar's maximum is Range minus the client extent.
int TKpPreview::HorzPosition() const {
    return horizontalScrollBar()->value();
}
int TKpPreview::VertPosition() const {
    return verticalScrollBar()->value();
}
int TKpPreview::HorzRange() const {
    if (multiView()) return layout_.ContentSize().width();
    return pageImagePos_.x() + pageImage_->width();
}
int TKpPreview::VertRange() const {
    if (multiView()) return layout_.ContentSize().height();
    return pageImagePos_.y() + pageImage_->height();
}

void TKpPreview::SetHorzPosition(int p) {
    horizontalScrollBar()->setValue(p);
    pageImage_->move(pageImagePos_ - QPoint(HorzPosition(), VertPosition()));
    rememberScrollProportion();
}

void TKpPreview::SetVertPosition(int p) {
    verticalScrollBar()->setValue(p);
    pageImage_->move(pageImagePos_ - QPoint(HorzPosition(), VertPosition()));
    rememberScrollProportion();
}

void TKpPreview::SetPageImagePos(QPoint p) {
    pageImagePos_ = p;
    pageImage_->move(pageImagePos_ - QPoint(HorzPosition(), VertPosition()));
}

void TKpPreview::updateScrollRanges() {
    if (autoRangeSuspended_ > 0) return;
    QScrollBar* hb = horizontalScrollBar();
    QScrollBar* vb = verticalScrollBar();
    // A range change that clamps a position is not a new proportion.
    const bool wasUpdating = rangeUpdating_;
    rangeUpdating_ = true;
    hb->setRange(0, MaxInt(0, HorzRange() - viewport()->width()));
    hb->setPageStep(viewport()->width());
    hb->setSingleStep(20);
    vb->setRange(0, MaxInt(0, VertRange() - viewport()->height()));
    vb->setPageStep(viewport()->height());
    vb->setSingleStep(20);
    rangeUpdating_ = wasUpdating;
    pageImage_->move(pageImagePos_ - QPoint(HorzPosition(), VertPosition()));
}

void TKpPreview::scrollContentsBy(int dx, int dy) {
    pageImage_->move(pageImagePos_ - QPoint(HorzPosition(), VertPosition()));
    // Scrolled by the user (bars, wheel, keys).
    if (!rangeUpdating_) rememberScrollProportion();
    if (multiView()) {
        // What is in view already moves along; only the uncovered strip is painted.
        viewport()->scroll(dx, dy);
        followView();
    }
}

void TKpPreview::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    Reposition();
    if (OnResize) OnResize(this);
    Q_EMIT resized();
}

void TKpPreview::changeEvent(QEvent* e) {
    QAbstractScrollArea::changeEvent(e);
}

void TKpPreview::PreviewMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TKpPreview::PreviewMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TKpPreview::PreviewMouseMove(TShiftState shift, int x, int y) {
    lastMouseX_ = x;
    lastMouseY_ = y;
    if (panning_) {
        SetHorzPosition(panOriginX_ - x);
        SetVertPosition(panOriginY_ - y);
    }
    // Panning stops when the mouse reaches the scroll bars (their size counts even hidden).
    if (x > width() - 4 - ScrollBarSize()) EndPan();
    if (y > height() - 4 - ScrollBarSize()) EndPan();
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TKpPreview::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    // A plain left click on a link follows it, as on the single page.
    if (multiView() && KpMouseButton(e->button()) == mbLeft &&
        KpShiftState(e->modifiers(), e->buttons()) == ssLeft) {
        if (const TKpPageLink* link = linkInView(*this, *pageImage_, p)) {
            pageImage_->FollowLink(*link);
            return;
        }
    }
    PreviewMouseDown(KpMouseButton(e->button()), KpShiftState(e->modifiers(), e->buttons()), p.x(),
                     p.y());
    if (multiView())
        multiViewMouse(PageMouse::Down, KpMouseButton(e->button()),
                       KpShiftState(e->modifiers(), e->buttons()), p);
}

void TKpPreview::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    PreviewMouseUp(KpMouseButton(e->button()), KpShiftState(e->modifiers(), e->buttons()), p.x(),
                   p.y());
    if (multiView())
        multiViewMouse(PageMouse::Up, KpMouseButton(e->button()),
                       KpShiftState(e->modifiers(), e->buttons()), p);
}

void TKpPreview::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (multiView()) pageImage_->BeginLinkCursor(linkInView(*this, *pageImage_, p) != nullptr);
    PreviewMouseMove(KpShiftState(e->modifiers(), e->buttons()), p.x(), p.y());
    if (multiView()) {
        multiViewMouse(PageMouse::Move, TMouseButton{}, KpShiftState(e->modifiers(), e->buttons()),
                       p);
        pageImage_->EndLinkCursor();
    }
}

void TKpPreview::enterEvent(QEnterEvent* e) {
    mouseInside_ = true;
    QAbstractScrollArea::enterEvent(e);
}

void TKpPreview::leaveEvent(QEvent* e) {
    mouseInside_ = false;
    EndPan();
    QAbstractScrollArea::leaveEvent(e);
}

bool TKpPreview::viewportEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return QAbstractScrollArea::viewportEvent(e);
    case QEvent::Resize:
        updateScrollRanges();
        return QAbstractScrollArea::viewportEvent(e);
    default:
        return QAbstractScrollArea::viewportEvent(e);
    }
}

void TKpPreview::wheelEvent(QWheelEvent* e) {
    // Ctrl + wheel zooms one step per notch (120 eighths of a degree; finer wheels and touch
    // pads add up until a notch is reached); the wheel alone scrolls.
    if (e->modifiers() & Qt::ControlModifier) {
        wheelZoomDelta_ += e->angleDelta().y();
        // The views that show several pages zoom about the mouse.
        const QPoint at = e->position().toPoint();
        while (wheelZoomDelta_ >= 120) {
            wheelZoomDelta_ -= 120;
            multiView() ? zoomAbout(at, true) : ZoomIn();
        }
        while (wheelZoomDelta_ <= -120) {
            wheelZoomDelta_ += 120;
            multiView() ? zoomAbout(at, false) : ZoomOut();
        }
        e->accept();
        return;
    }
    wheelZoomDelta_ = 0;
    QAbstractScrollArea::wheelEvent(e);
}

// Page Up / Page Down scroll the page by a screenful and move to the neighbouring page only
// at the page's edge: Page Down at the bottom shows the top of the next page, Page Up at the
// top shows the bottom of the previous one. Home and End go straight to the top of the
// first page and the bottom of the last.
void TKpPreview::keyPressEvent(QKeyEvent* e) {
    if (multiView() && multiViewKey(e->key())) {
        e->accept();
        return;
    }
    QScrollBar* vb = verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_PageDown:
        if (vb->value() < vb->maximum())
            SetVertPosition(vb->value() + vb->pageStep());
        else if (NextPage())
            SetVertPosition(0);
        break;
    case Qt::Key_PageUp:
        if (vb->value() > vb->minimum())
            SetVertPosition(vb->value() - vb->pageStep());
        else if (PrevPage())
            SetVertPosition(vb->maximum());
        break;
    case Qt::Key_Home:
        FirstPage();
        SetVertPosition(0);
        break;
    case Qt::Key_End:
        LastPage();
        SetVertPosition(vb->maximum());
        break;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    e->accept();
}

} // namespace kp
