#include "platform/KpMetafileDc.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>

namespace kp {

namespace {

// A clip that stands for "no clip" when a rectangle is excluded from it.
const QRect kEverything(-(1 << 26), -(1 << 26), 1 << 27, 1 << 27);

QPainter::CompositionMode ropMode(uint32_t rop, bool& skip, QColor& fixed, bool& usePattern) {
    skip = false;
    usePattern = false;
    fixed = QColor();
    switch (rop) {
    case 0x00CC0020:
        return QPainter::CompositionMode_SourceOver; // source copy
    case 0x008800C6:
        return QPainter::RasterOp_SourceAndDestination;
    case 0x00EE0086:
        return QPainter::RasterOp_SourceOrDestination;
    case 0x00660046:
        return QPainter::RasterOp_SourceXorDestination;
    case 0x00330008:
        return QPainter::RasterOp_NotSource;
    case 0x00440328:
        return QPainter::RasterOp_SourceAndNotDestination;
    case 0x001100A6:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 0x00BB0226:
        return QPainter::RasterOp_NotSourceOrDestination;
    case 0x00550009:
        return QPainter::RasterOp_NotDestination; // destination inverted
    case 0x00000042:
        fixed = Qt::black;
        return QPainter::CompositionMode_SourceOver;
    case 0x00FF0062:
        fixed = Qt::white;
        return QPainter::CompositionMode_SourceOver;
    case 0x00F00021:
        usePattern = true;
        return QPainter::CompositionMode_SourceOver;
    case 0x005A0049:
        usePattern = true;
        return QPainter::RasterOp_SourceXorDestination;
    case 0x00AA0029:
        skip = true;
        return QPainter::CompositionMode_SourceOver; // destination
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// The parametric angle (degrees, counter-clockwise on a y-down surface) of the ray from the
// box's centre through p, as the painter's arcs take it.
double rayAngle(const QRectF& box, QPointF p) {
    const QPointF c = box.center();
    const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / M_PI;
}

// The union of many rectangles, merged pairwise so that it costs n log n rather than n^2.
// More rectangles than a clip ever needs stand for their bounds.
QRegion unionOf(const QVector<QRect>& rects) {
    if (rects.size() > 4 * TKpMetafileDc::kMaxClipRects) {
        QRect bounds;
        for (const QRect& r : rects)
            bounds |= r;
        return QRegion(bounds);
    }
    std::vector<QRegion> parts;
    parts.reserve(size_t(rects.size()));
    for (const QRect& r : rects)
        if (!r.isEmpty()) parts.emplace_back(r);
    while (parts.size() > 1) {
        std::vector<QRegion> merged;
        merged.reserve(parts.size() / 2 + 1);
        for (size_t i = 0; i + 1 < parts.size(); i += 2)
            merged.push_back(parts[i] | parts[i + 1]);
        if (parts.size() % 2) merged.push_back(parts.back());
        parts.swap(merged);
    }
    return parts.empty() ? QRegion() : parts.front();
}

} // namespace

TKpMetafileDc::TKpMetafileDc(QPainter& painter, const QTransform& deviceToTarget,
                             const QRectF& target, double pxPerMmX, double pxPerMmY)
    : p_(painter), toTarget_(deviceToTarget), pxPerMmX_(pxPerMmX), pxPerMmY_(pxPerMmY) {
    const QRectF t = target.normalized();
    const double reach = std::min(std::max(t.width(), t.height()), 1e6);
    limit_ = t.adjusted(-reach, -reach, reach, reach).toAlignedRect() & kEverything;
    p_.save();
    outer_ = p_.transform();
    hadClip_ = p_.hasClipping();
    if (hadClip_) outerClip_ = p_.clipPath();
    deviceToTarget_ = deviceToTarget * outer_;
    p_.setTransform(deviceToTarget_);
    p_.setRenderHint(QPainter::Antialiasing, false);
    p_.setBackgroundMode(Qt::OpaqueMode);
    p_.setBackground(st_.BkColor);
}

TKpMetafileDc::~TKpMetafileDc() {
    p_.restore();
}

const QTransform& TKpMetafileDc::LogicalToDevice() {
    if (!mapDirty_) return l2d_;
    mapDirty_ = false;
    double sx = 1, sy = 1;
    const auto fixed = [&](double mm, bool yUp) {
        sx = pxPerMmX_ * mm;
        sy = (yUp ? -1 : 1) * pxPerMmY_ * mm;
    };
    switch (st_.MapMode) {
    case 2:
        fixed(0.1, true);
        break;
    case 3:
        fixed(0.01, true);
        break;
    case 4:
        fixed(0.254, true);
        break;
    case 5:
        fixed(0.0254, true);
        break;
    case 6:
        fixed(25.4 / 1440, true);
        break;
    case 7:
    case 8: {
        const QSizeF w = st_.WindowExt, v = st_.ViewportExt;
        sx = w.width() ? v.width() / w.width() : 1;
        sy = w.height() ? v.height() / w.height() : 1;
        if (st_.MapMode == 7) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = sx < 0 ? -m : m;
            sy = sy < 0 ? -m : m;
        }
        break;
    }
    default:
        break;
    }
    if (st_.MapMode >= 2 && st_.MapMode <= 6) {
        // Fixed modes ignore the extents but keep both origins.
    }
    const QTransform page(sx, 0, 0, sy, st_.ViewportOrg.x() - st_.WindowOrg.x() * sx,
                          st_.ViewportOrg.y() - st_.WindowOrg.y() * sy);
    l2d_ = st_.World * page;
    return l2d_;
}

double TKpMetafileDc::deviceScale() {
    return std::sqrt(std::abs(LogicalToDevice().determinant()));
}

bool TKpMetafileDc::Create(int index, TKpMfObject object) {
    if (index < 0 || index >= kMaxObjects) return false;
    if (size_t(index) >= objects_.size()) objects_.resize(size_t(index) + 1);
    objects_[size_t(index)] = std::move(object);
    return true;
}

bool TKpMetafileDc::CreateInFreeSlot(TKpMfObject object) {
    int index;
    if (!freeSlots_.empty()) {
        index = *freeSlots_.begin();
        freeSlots_.erase(freeSlots_.begin());
    } else if (highWater_ < kMaxObjects) {
        index = highWater_++;
    } else {
        return false;
    }
    return Create(index, std::move(object));
}

void TKpMetafileDc::Select(int index) {
    if (index < 0 || size_t(index) >= objects_.size()) return;
    const TKpMfObject& o = objects_[size_t(index)];
    switch (o.Type) {
    case TKpMfObject::Pen:
        st_.Pen = o.PenValue;
        break;
    case TKpMfObject::Brush:
        st_.Brush = o.BrushValue;
        break;
    case TKpMfObject::Font:
        st_.Font = o.FontValue;
        break;
    case TKpMfObject::Region: {
        // Selecting a region clips to a copy of it.
        const QTransform m = LogicalToDevice() * toTarget_;
        QVector<QRect> rects;
        rects.reserve(o.RegionValue.size());
        for (const QRect& r : o.RegionValue)
            rects << limited(m.mapRect(QRectF(r)));
        CombineClip(unionOf(rects), 5);
        break;
    }
    default:
        break;
    }
}

void TKpMetafileDc::SelectStock(uint32_t stock) {
    TKpMfBrush b;
    TKpMfPen pen;
    switch (stock & 0x7FFFFFFF) {
    case 0:
        b.Color = Qt::white;
        st_.Brush = b;
        break;
    case 1:
        b.Color = QColor(192, 192, 192);
        st_.Brush = b;
        break;
    case 2:
        b.Color = QColor(128, 128, 128);
        st_.Brush = b;
        break;
    case 3:
        b.Color = QColor(64, 64, 64);
        st_.Brush = b;
        break;
    case 4:
        b.Color = Qt::black;
        st_.Brush = b;
        break;
    case 5:
        b.Style = 1;
        st_.Brush = b;
        break;
    case 6:
        pen.Color = Qt::white;
        st_.Pen = pen;
        break;
    case 7:
        st_.Pen = pen;
        break;
    case 8:
        pen.Style = 5;
        st_.Pen = pen;
        break;
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17:
        st_.Font = TKpMfFont();
        break;
    default:
        break;
    }
}

void TKpMetafileDc::Delete(int index) {
    if (index < 0 || size_t(index) >= objects_.size()) return;
    if (objects_[size_t(index)].Type == TKpMfObject::Empty) return;
    objects_[size_t(index)] = TKpMfObject();
    if (index < highWater_) freeSlots_.insert(index);
}

bool TKpMetafileDc::SaveDc() {
    if (saved_.size() >= size_t(kMaxSaveDepth)) return false;
    saved_.push_back(st_);
    return true;
}

bool TKpMetafileDc::RestoreDc(int which) {
    // Negative counts back from the newest saved state; positive names a saved state by number.
    const int depth = int(saved_.size());
    const int64_t target = which < 0 ? int64_t(depth) + which : int64_t(which) - 1;
    if (target < 0 || target >= depth) return false;
    st_ = saved_[size_t(target)];
    saved_.resize(size_t(target));
    mapDirty_ = true;
    applyClip();
    return true;
}

void TKpMetafileDc::applyClip() {
    p_.setTransform(outer_);
    if (hadClip_)
        p_.setClipPath(outerClip_);
    else
        p_.setClipping(false);
    if (st_.HasClip) p_.setClipRegion(st_.Clip, hadClip_ ? Qt::IntersectClip : Qt::ReplaceClip);
    p_.setTransform(deviceToTarget_);
}

QRect TKpMetafileDc::limited(QRectF r) const {
    r = r.normalized();
    if (!std::isfinite(r.left()) || !std::isfinite(r.top()) || !std::isfinite(r.right()) ||
        !std::isfinite(r.bottom()))
        return {};
    return r.intersected(QRectF(limit_)).toRect();
}

QRegion TKpMetafileDc::DeviceRegion(const QVector<QRect>& deviceRects) const {
    QVector<QRect> rects;
    rects.reserve(deviceRects.size());
    for (const QRect& r : deviceRects)
        rects << limited(toTarget_.mapRect(QRectF(r)));
    return unionOf(rects);
}

void TKpMetafileDc::CombineClip(const QRegion& region, int mode) {
    const QRegion current = st_.HasClip ? st_.Clip : QRegion(limit_);
    switch (mode) {
    case 1:
        st_.Clip = current & region;
        break;
    case 2:
        st_.Clip = st_.HasClip ? current | region : current;
        break;
    case 3:
        st_.Clip = current ^ region;
        break;
    case 4:
        st_.Clip = current - region;
        break;
    default:
        st_.Clip = region;
        break;
    }
    // A clip of more pieces than any page needs stands for its bounds, so that each later
    // combination stays cheap.
    if (st_.Clip.rectCount() > kMaxClipRects) st_.Clip = QRegion(st_.Clip.boundingRect());
    st_.HasClip = true;
    applyClip();
}

void TKpMetafileDc::ClipRect(const QRectF& logical, bool exclude) {
    CombineClip(QRegion(limited((LogicalToDevice() * toTarget_).mapRect(logical.normalized()))),
                exclude ? 4 : 1);
}

void TKpMetafileDc::ResetClip() {
    st_.HasClip = false;
    st_.Clip = QRegion();
    applyClip();
}

void TKpMetafileDc::BeginPath() {
    path_ = QPainterPath();
    inPath_ = pathOpen_ = true;
    figureOpen_ = false;
}

void TKpMetafileDc::AbortPath() {
    path_ = QPainterPath();
    inPath_ = pathOpen_ = figureOpen_ = false;
}

void TKpMetafileDc::CloseFigure() {
    if (pathOpen_ && figureOpen_) path_.closeSubpath();
    figureOpen_ = false;
}

void TKpMetafileDc::FillPath(bool fill, bool stroke) {
    if (!inPath_) return;
    path_.setFillRule(st_.PolyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    const bool wasRecording = pathOpen_;
    pathOpen_ = false;
    draw(path_, fill, stroke);
    pathOpen_ = wasRecording;
    AbortPath();
}

void TKpMetafileDc::SelectClipPath(int mode) {
    if (!inPath_) return;
    path_.setFillRule(st_.PolyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    // In target pixels and near the target: a region is built row by row.
    QPainterPath bounds;
    bounds.addRect(QRectF(limit_));
    const QPainterPath target = toTarget_.map(path_).intersected(bounds);
    QRegion region;
    for (const QPolygonF& poly : target.toFillPolygons())
        region = region.united(
            QRegion(poly.toPolygon(), st_.PolyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill));
    AbortPath();
    CombineClip(region, mode);
}

QPen TKpMetafileDc::pen() {
    const TKpMfPen& src = st_.Pen;
    const uint32_t style = src.Style & 0xF;
    if (style == 5) return QPen(Qt::NoPen);
    const double width = src.Width * deviceScale();
    QPen pen(src.Color, width < 1.5 ? 0 : width);
    switch (style) {
    case 1:
        pen.setStyle(Qt::DashLine);
        break;
    case 2:
        pen.setStyle(Qt::DotLine);
        break;
    case 3:
        pen.setStyle(Qt::DashDotLine);
        break;
    case 4:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        break;
    }
    if (pen.widthF() == 0) {
        // One-pixel lines end before their last point.
        pen.setCapStyle(Qt::FlatCap);
    } else {
        const uint32_t cap = src.Style & 0xF00, join = src.Style & 0xF000;
        pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
        pen.setJoinStyle(join == 0x1000   ? Qt::BevelJoin
                         : join == 0x2000 ? Qt::MiterJoin
                                          : Qt::RoundJoin);
    }
    return pen;
}

QBrush TKpMetafileDc::brush(const TKpMfBrush& b) const {
    switch (b.Style) {
    case 1:
        return QBrush(Qt::NoBrush);
    case 2: {
        static const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,
                                               Qt::BDiagPattern, Qt::FDiagPattern,
                                               Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(b.Color, b.Hatch < 6 ? hatch[b.Hatch] : Qt::SolidPattern);
    }
    case 3:
    case 5:
    case 6:
        if (!b.Pattern.isNull()) return QBrush(b.Pattern);
        return QBrush(b.Color);
    default:
        return QBrush(b.Color);
    }
}

void TKpMetafileDc::draw(const QPainterPath& devicePath, bool fill, bool stroke) {
    if (st_.Rop2 == 11) return; // leaves the destination alone
    QPen pn = stroke ? pen() : QPen(Qt::NoPen);
    QBrush br = fill ? brush(st_.Brush) : QBrush(Qt::NoBrush);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (st_.Rop2) {
    case 1:
        pn.setColor(Qt::black);
        br.setColor(Qt::black);
        break;
    case 16:
        pn.setColor(Qt::white);
        br.setColor(Qt::white);
        break;
    case 6:
        mode = QPainter::RasterOp_NotDestination;
        break;
    case 7:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case 9:
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case 15:
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case 4:
        mode = QPainter::RasterOp_NotSource;
        break;
    default:
        break;
    }
    if (pn.style() != Qt::SolidLine && pn.style() != Qt::NoPen) {
        // Dashes along a line far longer than any page would be counted in the millions. The
        // dashes are laid out in device pixels, so a picture squeezed hard into its target
        // can also hold thousands of wide dashes, each filling much of the target.
        const QRectF device = devicePath.controlPointRect();
        const QRectF reach = toTarget_.mapRect(device);
        const double width = std::max(pn.widthF(), 1.0);
        const double scale = std::max(std::hypot(toTarget_.m11(), toTarget_.m12()),
                                      std::hypot(toTarget_.m21(), toTarget_.m22()));
        const double dashes = (device.width() + device.height()) / width;
        const double dashArea = width * scale * width * scale;
        if (reach.width() + reach.height() > 1e5 || !(dashes * dashArea <= 1e8))
            pn.setStyle(Qt::SolidLine);
    }
    p_.setCompositionMode(mode);
    p_.setBackgroundMode(st_.BkMode == 2 ? Qt::OpaqueMode : Qt::TransparentMode);
    p_.setBackground(st_.BkColor);
    p_.setPen(pn);
    p_.setBrush(br);
    p_.drawPath(devicePath);
    if (mode != QPainter::CompositionMode_SourceOver)
        p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TKpMetafileDc::addFigure(const QPainterPath& logical, bool fill, bool stroke) {
    QPainterPath device = LogicalToDevice().map(logical);
    if (pathOpen_) {
        path_.addPath(device);
        figureOpen_ = false;
        return;
    }
    device.setFillRule(st_.PolyFill == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    draw(device, fill, stroke);
}

// The platform leaves out a box's right and bottom edge: one device pixel less.
QRectF TKpMetafileDc::shrunkBox(QRectF box) {
    box = box.normalized();
    if (pathOpen_) return box;
    const QTransform& m = LogicalToDevice();
    if (m.isRotating()) return box;
    // The edge that lands on the device's right (bottom) side moves in by one pixel.
    const double sx = m.m11(), sy = m.m22();
    if (sx > 0) box.setRight(box.right() - 1 / sx);
    if (sx < 0) box.setLeft(box.left() - 1 / sx);
    if (sy > 0) box.setBottom(box.bottom() - 1 / sy);
    if (sy < 0) box.setTop(box.top() - 1 / sy);
    return box;
}

void TKpMetafileDc::MoveTo(QPointF p) {
    st_.Current = p;
    if (pathOpen_) figureOpen_ = false;
}

void TKpMetafileDc::LineTo(QPointF p) {
    Polyline(QPolygonF{p}, true);
}

void TKpMetafileDc::Polyline(const QPolygonF& points, bool fromCurrent) {
    if (points.isEmpty()) return;
    const QTransform& m = LogicalToDevice();
    if (pathOpen_) {
        int i = 0;
        if (!figureOpen_ || !fromCurrent) {
            path_.moveTo(m.map(fromCurrent ? st_.Current : points[0]));
            i = fromCurrent ? 0 : 1;
        }
        for (; i < points.size(); ++i)
            path_.lineTo(m.map(points[i]));
        figureOpen_ = true;
    } else {
        QPolygonF device;
        device.reserve(points.size() + 1);
        if (fromCurrent) device << m.map(st_.Current);
        for (const QPointF& pt : points)
            device << m.map(pt);
        if (device.size() >= 2 && st_.Rop2 != 11) {
            QPainterPath line;
            line.addPolygon(device);
            draw(line, false, true);
        }
    }
    if (fromCurrent) st_.Current = points.back();
}

void TKpMetafileDc::PolyBezier(const QPolygonF& points, bool fromCurrent) {
    QPainterPath logical;
    int i = 0;
    if (fromCurrent) {
        logical.moveTo(st_.Current);
    } else {
        if (points.isEmpty()) return;
        logical.moveTo(points[0]);
        i = 1;
    }
    for (; i + 2 < points.size(); i += 3)
        logical.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent && !points.isEmpty()) st_.Current = logical.currentPosition();
    if (pathOpen_) {
        QPainterPath device = LogicalToDevice().map(logical);
        if (figureOpen_ && fromCurrent) {
            for (int e = 1; e < device.elementCount(); e += 3)
                path_.cubicTo(device.elementAt(e), device.elementAt(e + 1),
                              device.elementAt(e + 2));
        } else {
            path_.addPath(device);
        }
        figureOpen_ = true;
        return;
    }
    addFigure(logical, false, true);
}

void TKpMetafileDc::Polygons(const std::vector<QPolygonF>& polygons) {
    QPainterPath logical;
    for (const QPolygonF& poly : polygons) {
        if (poly.isEmpty()) continue;
        logical.addPolygon(poly);
        logical.closeSubpath();
    }
    addFigure(logical, true, true);
}

void TKpMetafileDc::Rectangle(QRectF box) {
    QPainterPath logical;
    logical.addRect(shrunkBox(box));
    addFigure(logical, true, true);
}

void TKpMetafileDc::RoundRect(QRectF box, QSizeF corner) {
    QPainterPath logical;
    logical.addRoundedRect(shrunkBox(box), std::abs(corner.width()) / 2,
                           std::abs(corner.height()) / 2);
    addFigure(logical, true, true);
}

void TKpMetafileDc::Ellipse(QRectF box) {
    QPainterPath logical;
    logical.addEllipse(shrunkBox(box));
    addFigure(logical, true, true);
}

void TKpMetafileDc::Arc(QRectF box, QPointF start, QPointF end, ArcKind kind) {
    box = kind == ArcKind::Arc || kind == ArcKind::ArcTo ? box.normalized() : shrunkBox(box);
    const double a1 = rayAngle(box, start), a2 = rayAngle(box, end);
    double sweep = std::fmod(a2 - a1 + 720, 360);
    if (st_.Clockwise)
        sweep = sweep == 0 ? -360 : sweep - 360;
    else if (sweep == 0)
        sweep = 360;
    QPainterPath logical;
    if (kind == ArcKind::Pie) {
        logical.moveTo(box.center());
        logical.arcTo(box, a1, sweep);
        logical.closeSubpath();
    } else {
        if (kind == ArcKind::ArcTo) {
            logical.moveTo(st_.Current);
            QPainterPath probe;
            probe.arcMoveTo(box, a1);
            logical.lineTo(probe.currentPosition());
        } else {
            logical.arcMoveTo(box, a1);
        }
        logical.arcTo(box, a1, sweep);
        if (kind == ArcKind::Chord) logical.closeSubpath();
    }
    if (kind == ArcKind::ArcTo) st_.Current = logical.currentPosition();
    const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
    addFigure(logical, closed, true);
}

void TKpMetafileDc::AngleArc(QPointF center, double radius, double startDeg, double sweepDeg) {
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath logical;
    logical.moveTo(st_.Current);
    QPainterPath probe;
    probe.arcMoveTo(box, startDeg);
    logical.lineTo(probe.currentPosition());
    logical.arcTo(box, startDeg, std::clamp(sweepDeg, -3600.0, 3600.0));
    st_.Current = logical.currentPosition();
    addFigure(logical, false, true);
}

void TKpMetafileDc::SetPixel(QPointF p, QColor c) {
    const QPointF d = ToDevice(p);
    p_.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), c);
}

QFont TKpMetafileDc::realisedFont(double& cellRatio) {
    const TKpMfFont& f = st_.Font;
    const bool same = fontCached_ && f.Height == fontKey_.Height && f.Weight == fontKey_.Weight &&
                      f.Italic == fontKey_.Italic && f.Underline == fontKey_.Underline &&
                      f.StrikeOut == fontKey_.StrikeOut && f.Face == fontKey_.Face;
    if (!same) {
        fontKey_ = f;
        fontCached_ = true;
        sizedPx_ = -1;
        font_ = QFont(f.Face.isEmpty() ? QStringLiteral("Sans Serif") : f.Face);
        font_.setPixelSize(100);
        font_.setWeight(QFont::Weight(std::clamp(f.Weight ? f.Weight : 400, 1, 1000)));
        font_.setItalic(f.Italic);
        font_.setUnderline(f.Underline);
        font_.setStrikeOut(f.StrikeOut);
        font_.setKerning(false);
        // A positive height is the cell (ascent + descent), a negative one the em.
        const QFontMetricsF fm(font_);
        cellRatio_ = fm.height() > 0 ? 100 / fm.height() : 1;
    }
    cellRatio = cellRatio_;
    return font_;
}

void TKpMetafileDc::sizeFont(int px) {
    if (px == sizedPx_) return;
    sizedPx_ = px;
    sized_ = font_;
    sized_.setPixelSize(px);
    raw_ = QRawFont::fromFont(sized_);
    const QFontMetricsF fm(sized_);
    ascent_ = fm.ascent();
    descent_ = fm.descent();
}

void TKpMetafileDc::Text(QPointF ref, const QString& text, const std::vector<double>& dx,
                         const std::vector<double>& dy, uint32_t options, const QRectF& rect) {
    const QTransform& m = LogicalToDevice();
    const bool updateCp = st_.TextAlign & 1;
    if (updateCp) ref = st_.Current;
    // The text's own frame: device pixels along the baseline, turned by the escapement and by
    // the world transform's own turn, upright whatever the mapping's flips.
    const double sx = std::hypot(m.m11(), m.m12()), sy = std::hypot(m.m21(), m.m22());
    double cellRatio = 1;
    realisedFont(cellRatio);
    const int h = st_.Font.Height;
    const double emDevice = h < 0   ? -double(h) * sy
                            : h > 0 ? h * sy * cellRatio
                                    : 12.0 * std::max(sy, 1e-9) / sy;
    const double emPx = std::clamp(emDevice, 0.0, 16384.0);
    if (!pathOpen_ && (options & 2) && rect.isValid()) {
        // Opaque: the rectangle is filled with the background colour first.
        QPainterPath box;
        box.addRect(rect.normalized());
        p_.fillPath(m.map(box), st_.BkColor);
    }
    // Letters taller than any page on the target draw nothing a reader could see, and their
    // outlines would cost seconds.
    const QTransform& out = deviceToTarget_;
    const double onTarget =
        emPx * std::max(std::hypot(out.m11(), out.m12()), std::hypot(out.m21(), out.m22()));
    if (text.isEmpty() || emPx < 0.5 || pathOpen_ || !(onTarget < 16384)) {
        return;
    }
    sizeFont(std::max(1, int(std::lround(emPx))));
    const double fontScale = emPx / sizedPx_;
    // Advances in device pixels, kept only when the file gives them.
    const bool hasDx = dx.size() >= size_t(text.size());
    const bool perGlyph = hasDx || !dy.empty() || (options & 0x10);
    std::vector<double> xs, ys;
    double width = 0;
    if (perGlyph) {
        const QFontMetricsF fm(sized_);
        xs.assign(size_t(text.size()) + 1, 0);
        ys.assign(size_t(text.size()) + 1, 0);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const double adv =
                hasDx ? dx[size_t(i)] * sx : fm.horizontalAdvance(text.at(i)) * fontScale;
            xs[size_t(i) + 1] = xs[size_t(i)] + adv;
            ys[size_t(i) + 1] = ys[size_t(i)] + (dy.size() > size_t(i) ? -dy[size_t(i)] * sy : 0);
        }
        width = xs.back();
    } else {
        width = QFontMetricsF(sized_).horizontalAdvance(text) * fontScale;
    }
    const uint32_t hAlign = st_.TextAlign & 6, vAlign = st_.TextAlign & 24;
    const double x0 = hAlign == 2 ? -width : hAlign == 6 ? -width / 2 : 0;
    const double ascent = ascent_ * fontScale, descent = descent_ * fontScale;
    const double base = vAlign == 24 ? 0 : vAlign == 8 ? -descent : ascent;
    const double worldTurn = std::atan2(m.m12(), m.m11()) * 180 / M_PI;
    const double turn = (m.m11() < 0 || m.m22() < 0) ? 0 : worldTurn;
    QTransform frame;
    frame.rotate(-double(st_.Font.Escapement) / 10.0 + turn);
    frame *= QTransform::fromTranslate(m.map(ref).x(), m.map(ref).y());
    frame *= deviceToTarget_;
    p_.save();
    if (options & 4) {
        QPainterPath box;
        box.addRect(rect.normalized());
        p_.setClipPath(m.map(box), Qt::IntersectClip);
    }
    p_.setTransform(frame);
    if (st_.BkMode == 2 && !(options & 2))
        p_.fillRect(QRectF(x0, base - ascent, width, ascent + descent), st_.BkColor);
    p_.setPen(st_.TextColor);
    // The background is filled above; the painter's opaque mode would also misplace runs.
    p_.setBackgroundMode(Qt::TransparentMode);
    p_.scale(fontScale, fontScale);
    p_.setFont(sized_);
    QList<quint32> glyphs;
    if (options & 0x10) {
        // Glyph indices of the font itself.
        for (qsizetype i = 0; i < text.size(); ++i)
            glyphs << text.at(i).unicode();
    } else if (perGlyph) {
        glyphs = raw_.glyphIndexesForString(text);
    }
    if (perGlyph && glyphs.size() == text.size()) {
        // One run with the file's positions: letters sit where the advances put them.
        QList<QPointF> positions;
        positions.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i)
            positions << QPointF((x0 + xs[size_t(i)]) / fontScale,
                                 (base + ys[size_t(i)]) / fontScale);
        QGlyphRun run;
        run.setRawFont(raw_);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        run.setUnderline(sized_.underline());
        run.setStrikeOut(sized_.strikeOut());
        p_.drawGlyphRun(QPointF(0, 0), run);
    } else if (perGlyph) {
        for (qsizetype i = 0; i < text.size(); ++i)
            p_.drawText(
                QPointF((x0 + xs[size_t(i)]) / fontScale, (base + ys[size_t(i)]) / fontScale),
                QString(text.at(i)));
    } else {
        p_.drawText(QPointF(x0 / fontScale, base / fontScale), text);
    }
    p_.restore();
    if (updateCp) {
        // The position moves along the baseline by the text's width, back in logical units.
        const QPointF along = QTransform()
                                  .rotate(-double(st_.Font.Escapement) / 10.0 + turn)
                                  .map(QPointF(hAlign == 2 ? -width : width, 0));
        bool invertible = false;
        const QTransform back = m.inverted(&invertible);
        if (invertible) st_.Current = back.map(m.map(ref) + along);
    }
}

void TKpMetafileDc::OffsetClip(QPointF logical) {
    if (!st_.HasClip) return;
    const QTransform m = LogicalToDevice() * toTarget_;
    const QPointF d = m.map(logical) - m.map(QPointF(0, 0));
    if (!std::isfinite(d.x()) || !std::isfinite(d.y())) return;
    const QPoint by(int(std::clamp(d.x(), -1e7, 1e7)), int(std::clamp(d.y(), -1e7, 1e7)));
    st_.Clip = st_.Clip.translated(by) & QRegion(limit_);
    applyClip();
}

void TKpMetafileDc::Blit(const QRectF& dest, const QImage& image, const QRectF& source,
                         uint32_t rop, double opacity) {
    bool skip, usePattern;
    QColor fixed;
    const QPainter::CompositionMode mode = ropMode(rop, skip, fixed, usePattern);
    if (skip) return;
    QPainterPath box;
    box.addRect(dest.normalized());
    const QPainterPath device = LogicalToDevice().map(box);
    p_.setCompositionMode(mode);
    if (fixed.isValid()) {
        p_.fillPath(device, fixed);
    } else if (mode == QPainter::RasterOp_NotDestination && image.isNull()) {
        p_.fillPath(device, Qt::black);
    } else if (image.isNull() || usePattern) {
        p_.fillPath(device, brush(st_.Brush));
    } else {
        // Source rows run top to bottom; a negative destination size mirrors the picture.
        p_.save();
        QTransform t = QTransform::fromTranslate(-source.x(), -source.y());
        t *= QTransform::fromScale(source.width() ? dest.width() / source.width() : 1,
                                   source.height() ? dest.height() / source.height() : 1);
        t *= QTransform::fromTranslate(dest.x(), dest.y());
        p_.setTransform(t * LogicalToDevice() * deviceToTarget_);
        p_.setOpacity(opacity);
        p_.drawImage(source, image, source);
        p_.restore();
    }
    p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TKpMetafileDc::BlitParallelogram(const QPolygonF& corners, const QImage& image,
                                      const QRectF& source) {
    if (corners.size() < 3 || image.isNull() || !source.width() || !source.height()) return;
    const QPointF u = (corners[1] - corners[0]) / source.width();
    const QPointF v = (corners[2] - corners[0]) / source.height();
    QTransform t = QTransform::fromTranslate(-source.x(), -source.y());
    t *= QTransform(u.x(), u.y(), v.x(), v.y(), corners[0].x(), corners[0].y());
    const QTransform full = t * LogicalToDevice() * deviceToTarget_;
    if (!full.isInvertible() || !std::isfinite(full.m11() + full.m12() + full.m21() + full.m22()))
        return;
    p_.save();
    p_.setTransform(full);
    p_.drawImage(source, image, source);
    p_.restore();
}

QRegion TKpMetafileDc::targetRegion(const QVector<QRect>& logical) {
    const QTransform t = LogicalToDevice() * toTarget_;
    QVector<QRect> rects;
    rects.reserve(logical.size());
    for (const QRect& r : logical)
        rects << limited(t.mapRect(QRectF(r.left(), r.top(), r.width(), r.height())));
    return unionOf(rects);
}

void TKpMetafileDc::fillTargetRegion(const QRegion& region, const TKpMfBrush& brush) {
    if (region.isEmpty()) return;
    QPainterPath target;
    target.addRegion(region);
    // draw() takes device pixels; the brush stands in for the selected one while it fills.
    const TKpMfBrush selected = st_.Brush;
    st_.Brush = brush;
    draw(toTarget_.inverted().map(target), true, false);
    st_.Brush = selected;
}

void TKpMetafileDc::FillRegion(const QVector<QRect>& logical, const TKpMfBrush& brush) {
    fillTargetRegion(targetRegion(logical), brush);
}

void TKpMetafileDc::FrameRegion(const QVector<QRect>& logical, const TKpMfBrush& brush,
                                QSize frame) {
    // The frame is what the region loses when it is eroded by the frame's size on each side.
    const QRegion whole = targetRegion(logical);
    const QRectF size =
        (LogicalToDevice() * toTarget_)
            .mapRect(QRectF(0, 0, std::abs(frame.width()), std::abs(frame.height())));
    const int w = std::max(1, int(std::lround(std::min(size.width(), 1e4))));
    const int h = std::max(1, int(std::lround(std::min(size.height(), 1e4))));
    const QRegion inner = whole.translated(w, 0) & whole.translated(-w, 0) &
                          whole.translated(0, h) & whole.translated(0, -h) & whole;
    fillTargetRegion(whole - inner, brush);
}

void TKpMetafileDc::InvertRegion(const QVector<QRect>& logical) {
    const int rop = st_.Rop2;
    st_.Rop2 = 6; // not destination
    TKpMfBrush solid;
    solid.Color = Qt::black;
    fillTargetRegion(targetRegion(logical), solid);
    st_.Rop2 = rop;
}

TKpMfBrush TKpMetafileDc::BrushOf(uint32_t index) {
    TKpMfBrush hollow;
    hollow.Style = 1;
    if (index & 0x80000000) {
        const uint32_t stock = index & 0x7FFFFFFF;
        if (stock > 5) return hollow;
        const TKpMfBrush selected = st_.Brush;
        SelectStock(index);
        const TKpMfBrush b = st_.Brush;
        st_.Brush = selected;
        return b;
    }
    if (index >= objects_.size() || objects_[index].Type != TKpMfObject::Brush) return hollow;
    return objects_[index].BrushValue;
}

const QVector<QRect>* TKpMetafileDc::RegionAt(int index) const {
    if (index < 0 || size_t(index) >= objects_.size()) return nullptr;
    const TKpMfObject& o = objects_[size_t(index)];
    return o.Type == TKpMfObject::Region ? &o.RegionValue : nullptr;
}

} // namespace kp
