#include "preview/KpPageImage.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "drawing/KpDocument.h"
#include "drawing/KpMargins.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpMath.h"
#include "platform/KpScreen.h"
#include "preview/KpCursors.h"
#include "preview/KpFindMarks.h"
#include "preview/KpPreview.h"
#include "printing/KpPrinter.h"

namespace kp {

TKpPageImage::TKpPageImage(TKpPreview* owner, QWidget* parent)
    : TKpCustomPage(parent), owner_(owner), xValue_(std::make_unique<TKpValue>()),
      yValue_(std::make_unique<TKpValue>()) {
    KpInstallCursor(crZoomIn, KpLoadCursorResource("ZoomIn"));
    KpInstallCursor(crZoomOut, KpLoadCursorResource("ZoomOut"));
    pageWidthInches_ = 8.2L;
    pageHeightInches_ = 11.6L;
    SetGutter(30);
    // Moves over the sheet drive panning and the page move event without a button held.
    setMouseTracking(true);
}

TKpPageImage::~TKpPageImage() = default;

void TKpPageImage::SetScale(Extended s) {
    scale_ = s;
    resizeToScale();
}

void TKpPageImage::SetPageWidthInches(Extended w) {
    pageWidthInches_ = w;
    resizeToScale();
}

void TKpPageImage::SetPageHeightInches(Extended h) {
    pageHeightInches_ = h;
    resizeToScale();
}

void TKpPageImage::resizeToScale() {
    const Extended p = ScreenPixelsPerInch();
    // Products left to right in extended precision, then rounded halves to even.
    pagePixelWidth_ = kp::RoundInt(p * pageWidthInches_ * scale_);
    pagePixelHeight_ = kp::RoundInt(p * pageHeightInches_ * scale_);
    resize(2 * Gutter() + pagePixelWidth_, 2 * Gutter() + pagePixelHeight_);
}

QRect TKpPageImage::marginOutline(const QRect& sheet, Extended scale, int left, int top, int right,
                                  int bottom) const {
    // Returned as (x1, y1) - (x2, y2) with exclusive x2, y2, the way Rectangle takes them.
    const int x1 = kp::RoundInt(left * scale) + sheet.left();
    const int y1 = kp::RoundInt(top * scale) + sheet.top();
    const int x2 = sheet.right() + 1 - kp::RoundInt(right * scale);
    const int y2 = sheet.bottom() + 1 - kp::RoundInt(bottom * scale);
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

void TKpPageImage::PaintPage(QPainter& painter) {
    PaintPageSheet(owner_ ? owner_->CurrentPage() : 0, painter, PageRect(), scale_);
}

void TKpPageImage::PaintPageSheet(int pageNum, QPainter& painter, const QRect& sheet,
                                  Extended scale) {
    // The single page display plays the picture it was handed; the other views each page's.
    if (!owner_ || owner_->ViewMode() == vmSinglePage) {
        TKpCustomPage::PaintPage(painter);
    } else {
        TKpPage* page =
            pageNum >= 1 && pageNum <= owner_->NumPages() ? owner_->GetPage(pageNum) : nullptr;
        PaintSheet(painter, sheet, page ? &page->Metafile() : nullptr, sheets_[pageNum]);
    }
    paintFindMarks(pageNum, painter, sheet, scale);
    if (!margins_) return;
    const int p = ScreenPixelsPerInch();
    TKpDeviceCanvas canvas(&painter, p, p);
    if (margins_->Visible()) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().Assign(margins_->Pen());
        const QRect r =
            marginOutline(sheet, scale, margins_->Left().AsPixels(p), margins_->Top().AsPixels(p),
                          margins_->Right().AsPixels(p), margins_->Bottom().AsPixels(p));
        canvas.Rectangle(r.left(), r.top(), r.right(), r.bottom());
    }
    if (margins_->ShowPrinterMargins() && owner_) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().Assign(margins_->PrinterMarginPen());
        TKpValueRect& pm = owner_->KpPrinter().PrinterMargins();
        const QRect r = marginOutline(sheet, scale, pm.Left().AsPixels(p), pm.Top().AsPixels(p),
                                      pm.Right().AsPixels(p), pm.Bottom().AsPixels(p));
        canvas.Rectangle(r.left(), r.top(), r.right(), r.bottom());
    }
}

void TKpPageImage::KeepRenderedSheets(const std::vector<int>& pages) {
    std::erase_if(sheets_, [&pages](const auto& entry) {
        return std::find(pages.begin(), pages.end(), entry.first) == pages.end();
    });
}

void TKpPageImage::paintFindMarks(int pageNum, QPainter& painter, const QRect& sheet,
                                  Extended scale) {
    if (!owner_ || owner_->FindMatches().empty()) return;
    int current = -1;
    const auto matches = owner_->FindMatchesOn(pageNum, &current);
    PaintFindMarks(painter, matches, current, sheet, scale * ScreenPixelsPerInch() / 2540.0);
}

bool TKpPageImage::InInnerArea(int x, int y) const {
    const int g = Gutter();
    return g < x && x < width() - g && g < y && y < height() - g;
}

void TKpPageImage::fillPagePosition(int x, int y) {
    SetPagePosition(x - Gutter(), y - Gutter(), scale_);
}

void TKpPageImage::SetPagePosition(int x, int y, Extended scale) {
    const int p = ScreenPixelsPerInch();
    const Extended s = scale > 0 ? scale : 1;
    xValue_->SetPixels(p, kp::RoundInt(x / s));
    yValue_->SetPixels(p, kp::RoundInt(y / s));
}

const TKpPageLink* TKpPageImage::LinkAt(int x, int y) const {
    if (!owner_) return nullptr;
    return LinkOnPage(owner_->CurrentPage(), QPoint(x - Gutter(), y - Gutter()), scale_);
}

const TKpPageLink* TKpPageImage::LinkOnPage(int pageNum, QPoint inSheet, Extended scale) const {
    if (!owner_ || !owner_->Document().Marks().HasLinks()) return nullptr;
    if (pageNum < 1 || pageNum > owner_->NumPages()) return nullptr;
    const Extended s = scale > 0 ? scale : 1;
    const Extended unitsPerPixel = 2540.0L / ScreenPixelsPerInch();
    const QPoint at(kp::RoundInt(inSheet.x() / s * unitsPerPixel),
                    kp::RoundInt(inSheet.y() / s * unitsPerPixel));
    const TKpDocument& document = owner_->Document();
    return document.Marks().LinkAt(document.GetPage(pageNum), at);
}

void TKpPageImage::BeginLinkCursor(bool overLink) {
    if (overLink_ && !overLink) KpSetScreenCursor(Qt::ArrowCursor);
    overLink_ = overLink;
}

void TKpPageImage::EndLinkCursor() {
    if (overLink_) KpSetScreenCursor(Qt::PointingHandCursor);
}

void TKpPageImage::FollowLink(const TKpPageLink& link) {
    const QString url = link.Url; // a handler may clear the document
    if (owner_->OnLinkClick) owner_->OnLinkClick(owner_, url);
    Q_EMIT owner_->linkActivated(QUrl(url));
}

void TKpPageImage::PageMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (!owner_ || !InInnerArea(x, y)) return;
    if (button == mbLeft && shift == ssLeft) {
        if (const TKpPageLink* link = LinkAt(x, y)) {
            FollowLink(*link);
            return;
        }
    }
    // The preview hears the click first (hosts centre on it), then the page event follows.
    owner_->PreviewMouseDown(button, shift, x + this->x(), y + this->y());
    if (owner_->OnPageMouseDown) {
        fillPagePosition(x, y);
        owner_->OnPageMouseDown(owner_, button, shift, xValue_.get(), yValue_.get());
    }
}

void TKpPageImage::PageMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (!owner_ || !InInnerArea(x, y)) return;
    owner_->PreviewMouseUp(button, shift, x + this->x(), y + this->y());
    if (owner_->OnPageMouseUp) {
        fillPagePosition(x, y);
        owner_->OnPageMouseUp(owner_, button, shift, xValue_.get(), yValue_.get());
    }
}

void TKpPageImage::PageMouseMove(TShiftState shift, int x, int y) {
    if (!owner_ || !InInnerArea(x, y)) return;
    // The pointing hand shows over a link, over any cursor a handler sets; off a link, the
    // handlers set theirs again.
    BeginLinkCursor(LinkAt(x, y) != nullptr);
    owner_->PreviewMouseMove(shift, x + this->x(), y + this->y());
    if (owner_->OnPageMouseMove) {
        fillPagePosition(x, y);
        owner_->OnPageMouseMove(owner_, shift, xValue_.get(), yValue_.get());
    }
    EndLinkCursor();
}

void TKpPageImage::PageMouseLeave() {
    if (!owner_) return;
    owner_->SetMouseInside(false);
    owner_->EndPan();
    overLink_ = false;
    KpSetScreenCursor(Qt::ArrowCursor);
}

// The page image takes every mouse event over its area, the gutter included: a click in
// the gutter reaches neither the page events nor the preview.
void TKpPageImage::mousePressEvent(QMouseEvent* e) {
    // A click on the sheet focuses the preview, so the page keys work right away.
    if (owner_ && (owner_->focusPolicy() & Qt::ClickFocus)) owner_->setFocus(Qt::MouseFocusReason);
    const QPoint pt = e->position().toPoint();
    PageMouseDown(KpMouseButton(e->button()), KpShiftState(e->modifiers(), e->buttons()), pt.x(),
                  pt.y());
    e->accept();
}

void TKpPageImage::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    PageMouseUp(KpMouseButton(e->button()), KpShiftState(e->modifiers(), e->buttons()), pt.x(),
                pt.y());
    e->accept();
}

void TKpPageImage::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    PageMouseMove(KpShiftState(e->modifiers(), e->buttons()), pt.x(), pt.y());
    e->accept();
}

void TKpPageImage::leaveEvent(QEvent* e) {
    PageMouseLeave();
    TKpCustomPage::leaveEvent(e);
}

} // namespace kp
