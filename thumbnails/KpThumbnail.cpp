// One thumbnail (page image and caption), its page image and the list that owns them.
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"
#include "preview/KpFindMarks.h"
#include "preview/KpMouseState.h"
#include "thumbnails/KpThumbnails.h"

namespace kp {

namespace {

// The preview's page n, or none when the number is outside the document.
TKpPage* pageOf(TKpPreview* preview, int n) {
    if (!preview || n < 1 || n > preview->NumPages()) return nullptr;
    return preview->GetPage(n);
}

} // namespace

// ---- TKpThumbnailPage ----

TKpThumbnailPage::TKpThumbnailPage(TKpThumbnails* strip, TKpThumbnail* thumbnail)
    : TKpCustomPage(thumbnail), strip_(strip), thumbnail_(thumbnail) {
    // Ruled tables read as grey lines at this size, not as black blocks.
    SetSmoothDownscaling(true);
}

void TKpThumbnailPage::SetSelected(bool v) {
    if (v == selected_) return;
    selected_ = v;
    thumbnail_->SetCaptionColor(FrameColor());
}

TColor TKpThumbnailPage::FrameColor() const {
    return selected_ && strip_->Highlight() ? KpRGB(0, 0, 255) : clBlack;
}

void TKpThumbnailPage::Click() {
    TKpPreview* preview = thumbnail_->Preview();
    if (!preview || PageNumber < 1 || PageNumber > preview->NumPages()) return;
    preview->SetCurrentPage(PageNumber);
}

void TKpThumbnailPage::paintEvent(QPaintEvent* e) {
    // A disabled strip paints no pages: their pictures may be in the middle of a rebuild.
    if (!strip_->Enabled()) return;
    // A page cleared away while the strip was not told (the preview's AutoRefresh off) must
    // never be played: keep the picture only while it is still that page's own.
    if (TKpMetafile* picture = Metafile()) {
        TKpPreview* preview = thumbnail_->Preview();
        TKpPage* page = pageOf(preview, PageNumber);
        if (!page || &page->Metafile() != picture)
            SetMetafile(nullptr, false);
        else
            strip_->RequestImage(PageNumber); // on screen: its picture goes first
    }
    TKpCustomPage::paintEvent(e);
    strip_->KeepRenderedSheet(this);
}

void TKpThumbnailPage::PaintPage(QPainter& painter) {
    TKpCustomPage::PaintPage(painter);
    const TColor frame = FrameColor();
    TKpDeviceCanvas canvas(&painter, logicalDpiX(), logicalDpiY());
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(frame);
    canvas.Brush().SetStyle(bsClear);
    const QRect r = PageRect();
    canvas.Rectangle(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    if (strip_->PageMarked(PageNumber)) PaintFoundCorner(painter, r);
    thumbnail_->SetCaptionColor(frame);
}

void TKpThumbnailPage::mousePressEvent(QMouseEvent* e) {
    TKpCustomPage::mousePressEvent(e);
    pressed_ = e->button() == Qt::LeftButton;
    const int pageNumber = PageNumber;
    QPointer<TKpThumbnails> strip(strip_); // the event may free the strip
    if (strip_->OnThumbMouseDown)
        strip_->OnThumbMouseDown(this, KpMouseButton(e->button()),
                                 KpShiftState(e->modifiers(), e->buttons()),
                                 pageOf(thumbnail_->Preview(), PageNumber));
    if (strip) Q_EMIT strip->thumbnailPressed(pageNumber);
}

void TKpThumbnailPage::mouseReleaseEvent(QMouseEvent* e) {
    TKpCustomPage::mouseReleaseEvent(e);
    const bool click =
        pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click) Click();
}

void TKpThumbnailPage::contextMenuEvent(QContextMenuEvent* e) {
    if (popup_) {
        popup_->popup(e->globalPos());
        e->accept();
        return;
    }
    TKpCustomPage::contextMenuEvent(e);
}

// ---- TKpThumbnailLabel ----

void TKpThumbnailLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void TKpThumbnailLabel::setAlignment(Qt::Alignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    update();
}

void TKpThumbnailLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment_), palette(),
                          isEnabled(), text_, QPalette::WindowText);
}

void TKpThumbnailLabel::mouseReleaseEvent(QMouseEvent* e) {
    QWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick)
        OnClick();
}

// ---- TKpThumbnail ----

TKpThumbnail::TKpThumbnail(TKpThumbnails* strip)
    : QWidget(strip->Content()), strip_(strip), preview_(strip->Preview()) {
    hide();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    pageImage_ = new TKpThumbnailPage(strip, this);
    label_ = new TKpThumbnailLabel(this);
    showCaption_ = strip->ShowCaption();
    label_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label_->move(0, 0);
    label_->OnClick = [this] { LabelClick(); };
    SetCaptionColor(clBlack);
}

TKpThumbnail::~TKpThumbnail() = default;

void TKpThumbnail::SetPageNumber(int n) {
    pageNumber_ = n;
    pageImage_->PageNumber = n;
}

void TKpThumbnail::SetSize(int size) {
    thumbSize_ = size;
    const int s = pageImage_->Shadow().Width();
    int w = 0, h = 0;
    if (preview_) {
        w = kp::RoundInt(preview_->PaperWidth().AsMillimeters() / 20 * (size + 1));
        h = kp::RoundInt(preview_->PaperHeight().AsMillimeters() / 20 * (size + 1));
        if (preview_->Orientation() != Orientation) std::swap(w, h);
    }
    const int width = w + s + 8;
    const int height = h + CaptionHeight + s + 8;
    resize(width, height);
    pageImage_->setGeometry(4, 4, width - (8 - s), height - CaptionHeight - (8 - s));
    // The caption band runs along the bottom edge, the full width of the thumbnail.
    label_->setGeometry(0, height - CaptionHeight, width, CaptionHeight);
    label_->setVisible(showCaption_);
}

void TKpThumbnail::SetCaption(const QString& pattern) {
    QString text = pattern;
    text.replace(QLatin1Char('#'), QString::number(pageNumber_));
    label_->setText(text);
}

void TKpThumbnail::SetShowCaption(bool show) {
    showCaption_ = show;
    label_->setVisible(show);
    SetSize(thumbSize_);
}

void TKpThumbnail::SetCaptionColor(TColor color) {
    if (color == captionColor_ && label_->palette().color(QPalette::WindowText) == ToQColor(color))
        return;
    captionColor_ = color;
    QPalette p = label_->palette();
    p.setColor(QPalette::WindowText, ToQColor(color));
    label_->setPalette(p);
}

void TKpThumbnail::LabelClick() {
    // The page image's click may change the document; keep only what is still there.
    QPointer<TKpThumbnail> self(this);
    pageImage_->Click();
    if (!self) return;
    const int pageNumber = pageNumber_;
    QPointer<TKpThumbnails> strip(strip_); // the event may free the strip
    if (strip_->OnLabelClick) strip_->OnLabelClick(this, pageOf(preview_, pageNumber_));
    if (strip) Q_EMIT strip->captionClicked(pageNumber);
}

// ---- TKpThumbnailList ----

TKpThumbnailList::~TKpThumbnailList() {
    Clear();
}

TKpThumbnail* TKpThumbnailList::Items(int n) const {
    if (n < 1 || n > Count()) throw EListError(n - 1);
    return items_[static_cast<size_t>(n - 1)].get();
}

TKpThumbnail* TKpThumbnailList::Add() {
    items_.push_back(std::make_unique<TKpThumbnail>(strip_));
    TKpThumbnail* t = items_.back().get();
    t->SetPageNumber(Count());
    return t;
}

void TKpThumbnailList::Delete(int n) {
    if (n < 1 || n > Count()) throw EListError(n - 1);
    items_.erase(items_.begin() + (n - 1));
}

void TKpThumbnailList::Clear() {
    while (!items_.empty())
        items_.pop_back();
}

void TKpThumbnail::contextMenuEvent(QContextMenuEvent* e) {
    if (popup_) {
        popup_->popup(e->globalPos());
        e->accept();
        return;
    }
    QWidget::contextMenuEvent(e);
}

} // namespace kp
