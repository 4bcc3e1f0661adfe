#include "drawing/KpHeaderFooter.h"

#include <QImage>
#include <QPainter>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpMargins.h"
#include "drawing/KpMessages.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpScreen.h"
#include "platform/KpStateGuard.h"

namespace kp {

TKpHeaderFooterCaption::TKpHeaderFooterCaption(TKpHeaderFooter* band)
    : band_(band), font_(std::make_unique<TKpFont>()) {
    font_->SetSize(12);
    font_->SetName(QStringLiteral("Arial"));
    font_->OnChange = [this](void*) { band_->Changed(); };
}

void TKpHeaderFooterCaption::SetCaption(const QString& v) {
    caption_ = v;
    band_->Changed();
}

void TKpHeaderFooterCaption::SetFont(const TKpFont& f) {
    font_->Assign(f);
}

void TKpHeaderFooterCaption::Assign(const TKpHeaderFooterCaption& source) {
    caption_ = source.caption_;
    font_->Assign(*source.font_);
}

TKpHeaderFooter::TKpHeaderFooter(TKpDocument* document) : document_(document) {
    drawing_ = 1;
    left_ = std::make_unique<TKpHeaderFooterCaption>(this);
    center_ = std::make_unique<TKpHeaderFooterCaption>(this);
    right_ = std::make_unique<TKpHeaderFooterCaption>(this);
    pen_ = std::make_unique<TKpPen>();
    pen_->OnChange = [this](void*) { Changed(); };
    bandHeight_ = std::make_unique<TKpValue>();
    drawing_ = 0;
}

TKpHeaderFooter::~TKpHeaderFooter() {
    drawing_ = 1;
}

void TKpHeaderFooter::SetShowLine(bool v) {
    showLine_ = v;
    Changed();
}

void TKpHeaderFooter::SetVisible(bool v) {
    visible_ = v;
    Changed();
}

const TKpFont& TKpHeaderFooter::LargestFont() const {
    const TKpFont* f = &left_->Font();
    if (center_->Font().Size() > f->Size()) f = &center_->Font();
    if (right_->Font().Size() > f->Size()) f = &right_->Font();
    return *f;
}

namespace {
// A small surface at the screen's resolution whose only use is measuring text.
class TScreenMeasure {
public:
    TScreenMeasure()
        : image_(8, 8, QImage::Format_ARGB32_Premultiplied), painter_(&image_),
          canvas_(&painter_, ScreenPixelsPerInch(), ScreenPixelsPerInch()) {}
    TKpDeviceCanvas& Canvas() { return canvas_; }

private:
    QImage image_;
    QPainter painter_;
    TKpDeviceCanvas canvas_;
};
} // namespace

TKpValue& TKpHeaderFooter::BandHeight() {
    if (!visible_) {
        bandHeight_->value = 0;
        return *bandHeight_;
    }
    // Measured on the document's canvas's surface at screen resolution; a band without a
    // document measures on a surface of its own.
    std::unique_ptr<TScreenMeasure> own;
    TKpDeviceCanvas* measure = nullptr;
    if (document_) {
        measure = &document_->Canvas().MeasureCanvas();
    } else {
        own = std::make_unique<TScreenMeasure>();
        measure = &own->Canvas();
    }
    TKpDeviceCanvas& canvas = *measure;
    canvas.Font().Assign(LargestFont());
    const int h = canvas.TextHeight(QString());
    bandHeight_->SetPixels(canvas.DpiX(), h + 2);
    return *bandHeight_;
}

void TKpHeaderFooter::Assign(const TKpHeaderFooter& source) {
    showLine_ = source.showLine_;
    visible_ = source.visible_;
    left_->Assign(*source.left_);
    center_->Assign(*source.center_);
    right_->Assign(*source.right_);
    pen_->Assign(*source.pen_);
}

void TKpHeaderFooter::Changed() {
    if (drawing_ == 0 && document_) document_->Notify(KPM_REFRESH);
}

void TKpHeaderFooter::Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect,
                           int pageNum, Extended scale) {
    TKpDrawContext context;
    if (document_) context = document_->DrawContext(document_->PrinterPrinting());
    Draw(target, margins, pageRect, pageNum, scale, context);
}

namespace {
void greyTarget(TKpDeviceCanvas& target) {
    target.Brush().SetColor(ToGrey(target.Brush().Color()));
    target.Font().SetColor(ToGrey(target.Font().Color()));
    target.Pen().SetColor(ToGrey(target.Pen().Color()));
}

} // namespace

QString TKpHeaderFooter::prepareCaption(TKpDeviceCanvas& target,
                                        const TKpHeaderFooterCaption& caption, int pageNum,
                                        Extended scale, bool mono,
                                        const TKpDrawContext& context) {
    TKpFont& font = target.Font();
    // The copy lands at the target's own resolution; on a two- or four-up sheet the caption
    // shrinks with the page, so every caption of every band is drawn at s times its size.
    font.Assign(caption.Font());
    if (scale != 1) {
        const int h = font.Height();
        int scaled = kp::RoundInt(h * scale);
        if (scaled == 0 && h != 0) scaled = h < 0 ? -1 : 1;
        font.SetHeight(scaled);
    }
    const QString text = context.Substitute(caption.Caption(), pageNum);
    if (mono) greyTarget(target);
    return text;
}

void TKpHeader::Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect,
                     int pageNum, Extended scale, const TKpDrawContext& context) {
    const TKpStateGuard<int> mark(drawing_, 1);
    const bool mono = context.GreyBands();
    // The target's brush comes back as the band found it.
    const TKpStateGuard<TKpBrush> brush(target.Brush());
    target.Brush().SetStyle(bsClear);
    const int dpi = target.DpiX();
    target.Font().Assign(LargestFont());

    const int right = pageRect.left() + pageRect.width(); // exclusive edge
    const int x1 = kp::RoundInt(margins.Left().AsPixels(dpi) * scale) + pageRect.left();
    const int y1 = kp::RoundInt(margins.Top().AsPixels(dpi) * scale) + pageRect.top();
    const int x2 = right - kp::RoundInt(margins.Right().AsPixels(dpi) * scale);
    const int y2 = kp::RoundInt(BandHeight().AsPixels(dpi) * scale) + y1;

    // Every caption's cell stands on the band's lower edge.
    QString text = prepareCaption(target, *left_, pageNum, scale, mono, context);
    target.TextOut(x1, y2 - target.TextHeight(text), text);

    const int mid = (x2 + x1) / 2;
    text = prepareCaption(target, *center_, pageNum, scale, mono, context);
    int w = target.TextWidth(text);
    target.TextOut(mid - w / 2, y2 - target.TextHeight(text), text);

    text = prepareCaption(target, *right_, pageNum, scale, mono, context);
    w = target.TextWidth(text);
    target.TextOut(x2 - w, y2 - target.TextHeight(text), text);

    if (showLine_) {
        target.Pen().Assign(*pen_);
        if (mono) greyTarget(target);
        target.MoveTo(x1, y2);
        target.LineTo(x2, y2);
    }
}

void TKpFooter::Draw(TKpDeviceCanvas& target, TKpMargins& margins, const QRect& pageRect,
                     int pageNum, Extended scale, const TKpDrawContext& context) {
    const TKpStateGuard<int> mark(drawing_, 1);
    const bool mono = context.GreyBands();
    // The target's brush comes back as the band found it.
    const TKpStateGuard<TKpBrush> brush(target.Brush());
    target.Brush().SetStyle(bsClear);
    const int dpi = target.DpiX();
    target.Font().Assign(LargestFont());

    const int right = pageRect.left() + pageRect.width(); // exclusive edges
    const int bottom = pageRect.top() + pageRect.height();
    const int x1 = kp::RoundInt(margins.Left().AsPixels(dpi) * scale) + pageRect.left();
    const int x2 = right - kp::RoundInt(margins.Right().AsPixels(dpi) * scale);
    // The two pixel lengths are added before scaling.
    const int y1 =
        bottom -
        kp::RoundInt((BandHeight().AsPixels(dpi) + margins.Bottom().AsPixels(dpi)) * scale);

    // Every caption hangs from the band's upper edge; alignment uses the width drawn.
    QString text = prepareCaption(target, *left_, pageNum, scale, mono, context);
    target.TextOut(x1, y1, text);

    const int mid = (x2 + x1) / 2;
    text = prepareCaption(target, *center_, pageNum, scale, mono, context);
    int w = target.TextWidth(text);
    target.TextOut(mid - w / 2, y1, text);

    text = prepareCaption(target, *right_, pageNum, scale, mono, context);
    w = target.TextWidth(text);
    target.TextOut(x2 - w, y1, text);

    if (showLine_) {
        target.Pen().Assign(*pen_);
        if (mono) greyTarget(target);
        target.MoveTo(x1, y1);
        target.LineTo(x2, y1);
    }
}

} // namespace kp
