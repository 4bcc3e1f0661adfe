#include "preview/KpTypes.h"

#include <algorithm>
#include <exception>
#include <utility>

#include <QDebug>
#include <QPainter>
#include <QtMath>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpPixelBudget.h"

namespace kp {

void TKpShadow::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    changed();
}
void TKpShadow::SetWidth(int v) {
    if (v == width_) return;
    width_ = v;
    changed();
}
void TKpShadow::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed();
}
void TKpShadow::Assign(const TKpShadow& source) {
    SetColor(source.color_);
    SetWidth(source.width_);
    SetVisible(source.visible_);
}
void TKpShadow::changed() {
    if (control_) control_->update();
    if (OnChange) OnChange(this);
}

TKpCustomPage::TKpCustomPage(QWidget* parent)
    : QWidget(parent), shadow_(std::make_unique<TKpShadow>(this)) {}

TKpCustomPage::~TKpCustomPage() = default;

void TKpCustomPage::SetGutter(int n) {
    if (n == gutter_) return;
    gutter_ = n;
    repaint();
}

void TKpCustomPage::SetMetafile(TKpMetafile* picture, bool invalidate) {
    metafile_ = picture;
    InvalidatePictureCache();
    if (invalidate) update();
}

void TKpCustomPage::SetSmoothDownscaling(bool on) {
    if (on == smoothDownscaling_) return;
    smoothDownscaling_ = on;
    InvalidatePictureCache();
    update();
}

void TKpCustomPage::SetMaxCachePixels(qint64 pixels) {
    maxCachePixels_ = pixels < 0 ? 0 : pixels;
    InvalidatePictureCache();
}

void TKpCustomPage::InvalidatePictureCache() {
    sheetCache_ = QImage();
    cachedPicture_.reset();
    cachedMetafile_ = nullptr;
    cachedSource_ = nullptr;
    cachedGeneration_ = 0;
    cachedSize_ = QSize();
    cachedRatio_ = 0;
}

QRect TKpCustomPage::PageRect() const {
    // Right and bottom are exclusive edges; the shadow width is taken off even when hidden.
    return QRect(QPoint(gutter_, gutter_), QPoint(width() - (shadow_->Width() + gutter_) - 1,
                                                  height() - (shadow_->Width() + gutter_) - 1));
}

void TKpCustomPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintPage(painter);
}

void TKpCustomPage::paintSheet(QPainter& painter, QPoint origin, QSize size, int dpiX, int dpiY) {
    TKpDeviceCanvas canvas(&painter, dpiX, dpiY);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(borderColor_);
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clWhite);
    canvas.Rectangle(origin.x(), origin.y(), origin.x() + size.width(), origin.y() + size.height());
    canvas.Brush().SetStyle(bsClear);
    if (!metafile_) return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int shown = qCeil(size.width() * ratio);
    int factor = smoothDownscaling_ && shown > 0
                     ? std::clamp((metafile_->Width() + shown - 1) / shown, 1, 4)
                     : 1;
    // Only a small sheet is drawn larger: a paper size from a file may be anything.
    if (kp::PixelCount(int64_t(shown) * factor, qCeil(size.height() * ratio) * int64_t(factor)) >
        kp::MaxObjectBitmapPixels)
        factor = 1;
    if (factor == 1) {
        playPicture(canvas, QRect(origin, size));
        return;
    }
    QImage large(qCeil(size.width() * ratio * factor), qCeil(size.height() * ratio * factor),
                 QImage::Format_ARGB32_Premultiplied);
    large.setDevicePixelRatio(ratio * factor);
    large.fill(Qt::transparent);
    {
        QPainter onLarge(&large);
        TKpDeviceCanvas largeCanvas(&onLarge, dpiX, dpiY);
        playPicture(largeCanvas, QRect(QPoint(0, 0), size));
    }
    QImage small = large.scaled(shown, qCeil(size.height() * ratio), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
    small.setDevicePixelRatio(ratio);
    painter.drawImage(origin, small);
}

void TKpCustomPage::playPicture(TKpDeviceCanvas& canvas, const QRect& r) {
    // The picture is drawn from its page's objects here; one that fails leaves the sheet as
    // far as it got, and the error stops at the paint.
    try {
        canvas.PlayMetafile(*metafile_, r);
    } catch (const std::exception& e) {
        qWarning("Page picture not drawn to the end: %s", e.what());
    }
}

bool TKpCustomPage::cacheIsCurrent(QSize size, qreal ratio) const {
    if (sheetCache_.isNull() || cachedMetafile_ != metafile_ || cachedSize_ != size ||
        cachedRatio_ != ratio)
        return false;
    if (!metafile_) return true;
    if (metafile_->Source() != cachedSource_) return false;
    // A picture drawn from its source says when it was rebuilt.
    if (cachedSource_) return cachedSource_->PictureGeneration() == cachedGeneration_;
    // A rebuilt picture is a fresh recording; the cached one keeps the old recording alive,
    // so the two can only share their data when nothing was rebuilt.
    const QPicture& now = std::as_const(*metafile_).Picture();
    return cachedPicture_ && now.data() == cachedPicture_->data() &&
           now.size() == cachedPicture_->size();
}

void TKpCustomPage::PaintPage(QPainter& painter) {
    const QRect r = PageRect();
    const QSize size(r.width(), r.height());
    // The display's pixels per logical pixel, read from the painter so that rendering into a
    // high-resolution image is as sharp as painting on a high-resolution screen.
    const QTransform t = painter.deviceTransform();
    const qreal ratio =
        t.type() <= QTransform::TxScale && qFuzzyCompare(t.m11(), t.m22()) ? t.m11() : 0;
    const qint64 pixels = static_cast<qint64>(size.width() * ratio + 1) *
                          static_cast<qint64>(size.height() * ratio + 1);
    if (size.width() > 0 && size.height() > 0 && ratio > 0 && pixels <= maxCachePixels_) {
        if (!cacheIsCurrent(size, ratio)) {
            // One playback renders the sheet; later paints (scrolling, exposing, margin
            // outlines, cursor changes) only copy it.
            QImage image(qCeil(size.width() * ratio), qCeil(size.height() * ratio),
                         QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter p(&image);
            paintSheet(p, QPoint(0, 0), size, logicalDpiX(), logicalDpiY());
            p.end();
            sheetCache_ = image;
            cachedMetafile_ = metafile_;
            cachedSource_ = metafile_ ? metafile_->Source() : nullptr;
            cachedGeneration_ = cachedSource_ ? cachedSource_->PictureGeneration() : 0;
            if (metafile_ && !cachedSource_)
                cachedPicture_ = std::as_const(*metafile_).Picture();
            else
                cachedPicture_.reset();
            cachedSize_ = size;
            cachedRatio_ = ratio;
        }
        painter.drawImage(r.topLeft(), sheetCache_);
    } else {
        paintSheet(painter, r.topLeft(), size, logicalDpiX(), logicalDpiY());
    }

    TKpDeviceCanvas canvas(&painter, logicalDpiX(), logicalDpiY());
    canvas.Brush().SetStyle(bsClear);
    if (shadow_->Visible()) {
        const int w = shadow_->Width();
        canvas.Pen().SetStyle(psSolid);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(shadow_->Color());
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(shadow_->Color());
        const int right = r.right() + 1, bottom = r.bottom() + 1;
        canvas.Rectangle(right, r.top() + w, right + w, bottom);
        canvas.Rectangle(r.left() + w, bottom, right + w, bottom + w);
    }
}

} // namespace kp
