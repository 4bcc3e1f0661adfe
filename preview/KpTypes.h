#pragma once
// The painted sheet with its drop shadow: base of the page image, the thumbnail page and
// the pages-per-sheet selector's sheet picture.
#include "paginor/KpExport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QImage>
#include <QPicture>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include "platform/KpColor.h"
#include "platform/KpGraphics.h"

class QPainter;

namespace kp {

class TKpMetafile;

class PAGINOR_EXPORT TKpShadow {
public:
    explicit TKpShadow(QWidget* control = nullptr) : control_(control) {}
    TColor Color() const { return color_; }
    int Width() const { return width_; }
    bool Visible() const { return visible_; }
    void SetColor(TColor v);
    void SetWidth(int v);
    void SetVisible(bool v);
    void Assign(const TKpShadow& source);
    TNotifyEvent OnChange;

private:
    void changed();
    QPointer<QWidget> control_;
    TColor color_ = clBlack;
    int width_ = 3;
    bool visible_ = true;
};

// A sheet as last rendered, in device pixels of the display (so it stays as crisp as a direct
// playback), and what it was rendered from.
struct TKpSheetCache {
    QImage image;
    // Shares the recording; a rebuilt picture is a new one. Made only when there is one to
    // keep: an empty picture costs some hundred bytes, and a strip has thousands of pages.
    std::optional<QPicture> picture;
    const TKpMetafile* metafile = nullptr;
    const class TKpPictureSource* source = nullptr; // or the source it was drawn from
    uint32_t generation = 0;
    QSize size;
    qreal ratio = 0;
    void Clear() { *this = TKpSheetCache(); }
    bool IsCurrent(const TKpMetafile* shown, QSize sized, qreal pixelRatio) const;
};

class PAGINOR_EXPORT TKpCustomPage : public QWidget {
    Q_OBJECT
public:
    explicit TKpCustomPage(QWidget* parent = nullptr);
    ~TKpCustomPage() override;

    int Gutter() const { return gutter_; }
    void SetGutter(int n);
    TKpShadow& Shadow() { return *shadow_; }
    const TKpShadow& Shadow() const { return *shadow_; }
    TKpMetafile* Metafile() const { return metafile_; }
    void SetMetafile(TKpMetafile* picture, bool invalidate);
    TColor BorderColor() const { return borderColor_; }
    // The sheet inside the control: (Gutter, Gutter) to (width - (shadow width + Gutter),
    // height - (shadow width + Gutter)), those two edges exclusive (so QRect's right() and
    // bottom() are one less). The shadow's width is taken off even when it is hidden.
    QRect PageRect() const;

    // Drops the rendered copy of the sheet; the next paint plays the picture again.
    void InvalidatePictureCache();
    bool HasRenderedSheet() const { return !cache_.image.isNull(); }
    // Largest rendered copy kept, in device pixels (default 4096 x 4096); larger sheets
    // play the picture at every paint. 0 plays it at every paint.
    qint64 MaxCachePixels() const { return maxCachePixels_; }
    void SetMaxCachePixels(qint64 pixels);
    // A picture shown smaller than its own size is drawn up to four times larger and scaled
    // down smoothly, so that hair-lines come out grey instead of covering whole pixels (the
    // thumbnails). Off by default: the page display keeps exact pixels.
    bool SmoothDownscaling() const { return smoothDownscaling_; }
    void SetSmoothDownscaling(bool on);

protected:
    void paintEvent(QPaintEvent* e) override;
    // Paints sheet, picture and shadow on painter.
    virtual void PaintPage(QPainter& painter);
    // Paints a sheet at r (the shadow outside it, along the right and bottom edges) with
    // metafile stretched onto it, through cache (this control's own or one per sheet of a
    // display showing several).
    void PaintSheet(QPainter& painter, const QRect& r, TKpMetafile* metafile,
                    TKpSheetCache& cache) const;

private:
    // The white sheet with its outline and the picture stretched onto it, drawn with the
    // sheet's top-left corner at origin.
    void paintSheet(QPainter& painter, TKpMetafile* metafile, QPoint origin, QSize size, int dpiX,
                    int dpiY) const;
    // Plays the picture into r; an error stops at the paint.
    static void playPicture(class TKpDeviceCanvas& canvas, TKpMetafile& metafile, const QRect& r);

    TKpSheetCache cache_;
    qint64 maxCachePixels_ = 4096LL * 4096LL;

    int gutter_ = 0;
    std::unique_ptr<TKpShadow> shadow_;
    TKpMetafile* metafile_ = nullptr; // belongs to a page
    TColor borderColor_ = clBlack;
    bool smoothDownscaling_ = false;
};

} // namespace kp
