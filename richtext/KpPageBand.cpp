#include "richtext/KpPageBand.h"

#include <algorithm>
#include <vector>

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

namespace kp {

// Passes each drawing call on to the target painter. While the column painter's transform is
// a plain move (as the text engine leaves it), the move and the band's offset are added to the
// coordinates, so the target keeps its own transform and sees small numbers only.
class TKpPageBandEngine : public QPaintEngine {
public:
    TKpPageBandEngine(QPainter& target, double columnTop, const QRectF& band)
        : QPaintEngine(AllFeatures), target_(target), shift_(0, -columnTop), band_(band) {}

    bool begin(QPaintDevice*) override {
        target_.save();
        base_ = current_ = target_.transform();
        return true;
    }
    bool end() override {
        target_.restore();
        return true;
    }
    Type type() const override { return User; }
    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPoints;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;

    void updateState(const QPaintEngineState& s) override {
        const QPaintEngine::DirtyFlags f = s.state();
        if (f & DirtyTransform) matrix_ = s.transform();
        if (f & DirtyPen) target_.setPen(pen_ = s.pen());
        if (f & DirtyBrush) target_.setBrush(brush_ = s.brush());
        if (f & DirtyFont) target_.setFont(font_ = s.font());
        if (f & DirtyBackground) target_.setBackground(background_ = s.backgroundBrush());
        if (f & DirtyOpacity) target_.setOpacity(opacity_ = s.opacity());
        if (f & DirtyCompositionMode)
            target_.setCompositionMode(composition_ = s.compositionMode());
        if (f & DirtyBrushOrigin) target_.setBrushOrigin(s.brushOrigin());
        if (f & DirtyClipRegion) {
            QPainterPath path;
            path.addRegion(s.clipRegion());
            clip(path, s.clipOperation());
        }
        if (f & DirtyClipPath) clip(s.clipPath(), s.clipOperation());
        if ((f & DirtyClipEnabled) && !s.isClipEnabled()) resetClip();
    }

    void drawRects(const QRectF* rects, int count) override {
        const QPointF d = prepare();
        for (int i = 0; i < count; ++i)
            target_.drawRect(rects[i].translated(d));
    }
    void drawLines(const QLineF* lines, int count) override {
        const QPointF d = prepare();
        for (int i = 0; i < count; ++i)
            if (!isDecoration(lines[i])) target_.drawLine(lines[i].translated(d));
    }
    void drawEllipse(const QRectF& r) override { target_.drawEllipse(r.translated(prepare())); }
    void drawPath(const QPainterPath& path) override {
        target_.drawPath(path.translated(prepare()));
    }
    void drawPoints(const QPointF* points, int count) override {
        const QPointF d = prepare();
        std::vector<QPointF> moved(points, points + count);
        for (QPointF& p : moved)
            p += d;
        target_.drawPoints(moved.data(), count);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        const QPointF d = prepare();
        QPolygonF moved(count);
        for (int i = 0; i < count; ++i)
            moved[i] = points[i] + d;
        if (mode == PolylineMode)
            target_.drawPolyline(moved);
        else
            target_.drawPolygon(moved, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        target_.drawPixmap(r.translated(prepare()), pm, sr);
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override {
        target_.drawImage(r.translated(prepare()), image, sr, flags);
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s) override {
        target_.drawTiledPixmap(r.translated(prepare()), pm, s);
    }
    void drawTextItem(const QPointF& p, const QTextItem& ti) override {
        const QPointF d = prepare();
        const QRectF box(p.x() + d.x(), p.y() - ti.ascent() + d.y(), ti.width(),
                         ti.ascent() + ti.descent());
        // Items of one line join; an item beside none of them starts another line.
        if (text_.isValid() && box.top() < text_.bottom() && box.bottom() > text_.top())
            text_ = text_.united(box);
        else
            text_ = box;
        if (matrix_.type() <= QTransform::TxTranslate && !onPage(box.top(), box.bottom())) return;
        // The target draws the item's underline, strike-out and overline itself.
        target_.drawTextItem(p + d, ti);
    }

private:
    // The offset for the coordinates of the next call; a transform that is more than a move
    // goes to the target's transform instead.
    QPointF prepare() {
        if (matrix_.type() <= QTransform::TxTranslate)
            setTarget(base_);
        else
            setTarget(matrix_ * QTransform::fromTranslate(shift_.x(), shift_.y()) * base_);
        return offset();
    }
    void setTarget(const QTransform& t) {
        if (t == current_) return;
        target_.setTransform(t);
        current_ = t;
    }

    // Most of a text line's height inside the band, or the band inside a line taller than it.
    bool onPage(double top, double bottom) const {
        const double inside = std::min(bottom, band_.bottom()) - std::max(top, band_.top());
        return inside * 2 > bottom - top || inside >= band_.height();
    }

    // The text engine draws the decorations of a line's items after them, as flat-capped
    // lines along the items; the target has drawn them already with each item. Table borders
    // reach past the text into the cell's padding.
    bool isDecoration(const QLineF& l) const {
        if (pen_.capStyle() != Qt::FlatCap || l.y1() != l.y2() || !text_.isValid()) return false;
        const QPointF d = offset();
        const double y = l.y1() + d.y();
        const double left = std::min(l.x1(), l.x2()) + d.x(),
                     right = std::max(l.x1(), l.x2()) + d.x();
        return y >= text_.top() - 1 && y <= text_.bottom() + 1 && left >= text_.left() - 1 &&
               right <= text_.right() + 1;
    }
    QPointF offset() const {
        return matrix_.type() <= QTransform::TxTranslate
                   ? shift_ + QPointF(matrix_.dx(), matrix_.dy())
                   : QPointF();
    }

    // Back to the band's clip, with the column painter's state on top.
    void resetClip() {
        target_.restore();
        target_.save();
        current_ = base_;
        target_.setPen(pen_);
        target_.setBrush(brush_);
        target_.setFont(font_);
        target_.setBackground(background_);
        target_.setOpacity(opacity_);
        target_.setCompositionMode(composition_);
    }
    void clip(const QPainterPath& path, Qt::ClipOperation op) {
        if (op == Qt::NoClip || op == Qt::ReplaceClip) resetClip();
        if (op == Qt::NoClip) return;
        target_.setClipPath(path.translated(prepare()), Qt::IntersectClip);
    }

    QPainter& target_;
    QPointF shift_;
    QRectF band_;
    QTransform base_, current_, matrix_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    QBrush background_;
    double opacity_ = 1;
    QPainter::CompositionMode composition_ = QPainter::CompositionMode_SourceOver;
    QRectF text_; // the text items of the line drawn last, in the target's coordinates
};

TKpPageBand::TKpPageBand(QPainter& target, double columnTop, const QRectF& band, int dpi)
    : engine_(std::make_unique<TKpPageBandEngine>(target, columnTop, band)), dpi_(dpi) {}

TKpPageBand::~TKpPageBand() = default;

QPaintEngine* TKpPageBand::paintEngine() const {
    return engine_.get();
}

int TKpPageBand::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
    case PdmHeight:
        return 1 << 28; // the column has no edge of its own; the band's clip cuts it
    case PdmWidthMM:
    case PdmHeightMM:
        return static_cast<int>((1LL << 28) * 254 / (10LL * dpi_));
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return dpi_;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        break;
    }
    return 0;
}

} // namespace kp
