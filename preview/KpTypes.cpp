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
    cache_.Clear();
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

void TKpCustomPage::paintSheet(QPainter& painter, TKpMetafile* metafile, QPoint origin, QSize size,
                               int dpiX, int dpiY) const {
    TKpDeviceCanvas canvas(&painter, dpiX, dpiY);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(borderColor_);
    canvas.Pen().SetWidth(1);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clWhite);
    canvas.Rectangle(origin.x(), origin.y(), origin.x() + size.width(), origin.y() + size.height());
    canvas.Brush().SetStyle(bsClear);
    if (!metafile) return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int shown = qCeil(size.width() * ratio);
    int factor = smoothDownscaling_ && shown > 0
                     ? std::clamp((metafile->Width() + shown - 1) / shown, 1, 4)
                     : 1;
    // Only a small sheet is drawn larger: a paper size from a file may be anything.
    if (kp::PixelCount(int64_t(shown) * factor, qCeil(size.height() * ratio) * int64_t(factor)) >
        kp::MaxObjectBitmapPixels)
        factor = 1;
    if (factor == 1) {
        playPicture(canvas, *metafile, QRect(origin, size));
        return;
    }
    QImage large(qCeil(size.width() * ratio * factor), qCeil(size.height() * ratio * factor),
                 QImage::Format_ARGB32_Premultiplied);
    large.setDevicePixelRatio(ratio * factor);
    large.fill(Qt::transparent);
    {
        QPainter onLarge(&large);
        TKpDeviceCanvas largeCanvas(&onLarge, dpiX, dpiY);
        playPicture(largeCanvas, *metafile, QRect(QPoint(0, 0), size));
    }
    QImage small = large.scaled(shown, qCeil(size.height() * ratio), Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation);
    small.setDevicePixelRatio(ratio);
    painter.drawImage(origin, small);
}

void TKpCustomPage::playPicture(TKpDeviceCanvas& canvas, TKpMetafile& metafile, const QRect& r) {
    // The picture is drawn from its page's objects here; one that fails leaves the sheet as
    // far as it got, and the error stops at the paint.
    try {
        canvas.PlayMetafile(metafile, r);
    } catch (const std::exception& e) {
        qWarning("Page picture not drawn to the end: %s", e.what());
    }
}

bool TKpSheetCache::IsCurrent(const TKpMetafile* shown, QSize sized, qreal pixelRatio) const {
    if (image.isNull() || metafile != shown || size != sized || ratio != pixelRatio) return false;
    if (!shown) return true;
    if (shown->Source() != source) return false;
    // A picture drawn from its source says when it was rebuilt.
    if (source) return source->PictureGeneration() == generation;
    // A rebuilt picture is a fresh recording; the cached one keeps the old recording alive,
    // so the two can only share their data when nothing was rebuilt.
    const QPicture& now = std::as_const(*shown).Picture();
    return picture && now.data() == picture->data() && now.size() == picture->size();
}

void TKpCustomPage::PaintPage(QPainter& painter) {
    PaintSheet(painter, PageRect(), metafile_, cache_);
}

void TKpCustomPage::PaintSheet(QPainter& painter, const QRect& r, TKpMetafile* metafile,
                               TKpSheetCache& cache) const {
    const QSize size(r.width(), r.height());
    // The display's pixels per logical pixel, read from the painter so that rendering into a
    // high-resolution image is as sharp as painting on a high-resolution screen.
    const QTransform t = painter.deviceTransform();
    const qreal ratio =
        t.type() <= QTransform::TxScale && qFuzzyCompare(t.m11(), t.m22()) ? t.m11() : 0;
    const qint64 pixels = static_cast<qint64>(size.width() * ratio + 1) *
                          static_cast<qint64>(size.height() * ratio + 1);
    if (size.width() > 0 && size.height() > 0 && ratio > 0 && pixels <= maxCachePixels_) {
        if (!cache.IsCurrent(metafile, size, ratio)) {
            // One playback renders the sheet; later paints (scrolling, exposing, margin
            // outlines, cursor changes) only copy it.
            QImage image(qCeil(size.width() * ratio), qCeil(size.height() * ratio),
                         QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter p(&image);
            paintSheet(p, metafile, QPoint(0, 0), size, logicalDpiX(), logicalDpiY());
            p.end();
            cache.image = image;
            cache.metafile = metafile;
            cache.source = metafile ? metafile->Source() : nullptr;
            cache.generation = cache.source ? cache.source->PictureGeneration() : 0;
            if (metafile && !cache.source)
                cache.picture = std::as_const(*metafile).Picture();
            else
                cache.picture.reset();
            cache.size = size;
            cache.ratio = ratio;
        }
        painter.drawImage(r.topLeft(), cache.image);
    } else {
        paintSheet(painter, metafile, r.topLeft(), size, logicalDpiX(), logicalDpiY());
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
