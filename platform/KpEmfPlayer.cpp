// The enhanced form: a header record, then records of a 32-bit type and a byte size each,
// up to an end record. Comments carrying the dual form's extra records are skipped; the
// plain records beside them draw the same picture.
#include <algorithm>

#include <QPainter>

#include "platform/KpMetafileDc.h"
#include "platform/KpMetafileDib.h"
#include "platform/KpMetafilePlayers.h"

namespace kp {

namespace {

constexpr uint32_t kEmfSignature = 0x464D4520; // " EMF"

struct EmfHeader {
    QRect bounds, frame; // device pixels (inclusive), 0.01 mm (inclusive)
    QSize device, millimeters;
    int64_t size = 0;
    bool ok = false;
};

// Rectangles whose sides are taken apart later: values beyond any page are cut down so that
// their differences stay in range.
QRect readRect(const TKpLeReader& r, int64_t o) {
    const auto v = [&](int64_t at) { return std::clamp(r.I32(at), -(1 << 28), 1 << 28); };
    return QRect(QPoint(v(o), v(o + 4)), QPoint(v(o + 8), v(o + 12)));
}

QRectF boxOf(const TKpLeReader& r, int64_t o) {
    return QRectF(QPointF(r.I32(o), r.I32(o + 4)), QPointF(r.I32(o + 8), r.I32(o + 12)));
}

EmfHeader readHeader(const TKpLeReader& f) {
    EmfHeader h;
    if (f.U32(0) != 1 || f.U32(40) != kEmfSignature) return h;
    h.size = f.U32(4);
    if (h.size < 88 || !f.Fits(0, h.size)) return h;
    h.bounds = readRect(f, 8);
    h.frame = readRect(f, 24);
    h.device = QSize(f.I32(72), f.I32(76));
    h.millimeters = QSize(f.I32(80), f.I32(84));
    h.ok = true;
    return h;
}

// A whole number near v, kept where the frame's arithmetic cannot overflow.
int bounded(double v) {
    return int(
        std::lround(std::clamp(std::isfinite(v) ? v : 0.0, -double(1 << 28), double(1 << 28))));
}

// Reference-device pixels per millimetre; a screen at 96 dpi when the header says nothing.
QPointF pxPerMm(const EmfHeader& h) {
    // Between 1 and 10,000 dots per inch; anything else is a damaged header.
    const auto per = [](int px, int mm) {
        const double v = px > 0 && mm > 0 ? double(px) / mm : 0;
        return v >= 1 / 25.4 && v <= 10000 / 25.4 ? v : 96 / 25.4;
    };
    return {per(h.device.width(), h.millimeters.width()),
            per(h.device.height(), h.millimeters.height())};
}

// The frame in reference-device pixels, or the bounds when the frame is empty.
QRectF deviceFrame(const EmfHeader& h) {
    const QPointF k = pxPerMm(h);
    const QRectF frame(h.frame.left() / 100.0 * k.x(), h.frame.top() / 100.0 * k.y(),
                       (h.frame.right() - h.frame.left()) / 100.0 * k.x(),
                       (h.frame.bottom() - h.frame.top()) / 100.0 * k.y());
    if (frame.width() > 0 && frame.height() > 0) return frame;
    return QRectF(h.bounds.left(), h.bounds.top(), h.bounds.right() - h.bounds.left() + 1,
                  h.bounds.bottom() - h.bounds.top() + 1);
}

QTransform readXform(const TKpLeReader& r, int64_t o) {
    return QTransform(r.F32(o), r.F32(o + 4), r.F32(o + 8), r.F32(o + 12), r.F32(o + 16),
                      r.F32(o + 20));
}

bool finite(const QTransform& t) {
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

QImage bitmapOf(const TKpLeReader& rec, int64_t offBmi, int64_t cbBmi, int64_t offBits,
                int64_t cbBits, bool keepAlpha = false) {
    if (!cbBmi || !rec.Fits(offBmi, cbBmi) || !rec.Fits(offBits, cbBits)) return {};
    return KpDibImage(rec.Sub(offBmi, cbBmi), rec.Sub(offBits, cbBits), keepAlpha);
}

TKpMfPen penFrom(uint32_t style, double width, uint32_t color) {
    TKpMfPen pen;
    pen.Style = style;
    pen.Width = width;
    pen.Color = KpMfColor(color);
    return pen;
}

class EmfPlayer {
public:
    EmfPlayer(TKpMetafileDc& dc, TKpMetafileResult& result) : dc_(dc), result_(result) {}

    // Plays one record; false when the record is damaged.
    bool Play(uint32_t type, const TKpLeReader& r);

private:
    bool points(const TKpLeReader& r, bool sixteen, int64_t countAt, QPolygonF& out);
    bool polyPolygons(const TKpLeReader& r, bool sixteen, std::vector<QPolygonF>& out);
    bool text(const TKpLeReader& r, bool wide);
    bool clipRegion(const TKpLeReader& r);
    bool polyDraw(const TKpLeReader& r, bool sixteen);
    bool maskedBlit(const TKpLeReader& r, bool parallelogram);

    TKpMetafileDc& dc_;
    TKpMetafileResult& result_;
};

bool EmfPlayer::points(const TKpLeReader& r, bool sixteen, int64_t countAt, QPolygonF& out) {
    const int64_t n = r.U32(countAt), each = sixteen ? 4 : 8, at = countAt + 4;
    if (!r.Fits(at, n * each)) return false;
    out.resize(n);
    for (int64_t i = 0; i < n; ++i)
        out[i] = sixteen ? QPointF(r.I16(at + 4 * i), r.I16(at + 4 * i + 2))
                         : QPointF(r.I32(at + 8 * i), r.I32(at + 8 * i + 4));
    return true;
}

bool EmfPlayer::polyPolygons(const TKpLeReader& r, bool sixteen, std::vector<QPolygonF>& out) {
    const int64_t polys = r.U32(24), total = r.U32(28), each = sixteen ? 4 : 8;
    const int64_t countsAt = 32, pointsAt = countsAt + 4 * polys;
    if (!r.Fits(countsAt, 4 * polys) || !r.Fits(pointsAt, total * each)) return false;
    int64_t used = 0;
    out.reserve(size_t(polys));
    for (int64_t p = 0; p < polys; ++p) {
        const int64_t n = r.U32(countsAt + 4 * p);
        if (n > total - used) return false;
        QPolygonF poly(n);
        for (int64_t i = 0; i < n; ++i) {
            const int64_t o = pointsAt + (used + i) * each;
            poly[i] = sixteen ? QPointF(r.I16(o), r.I16(o + 2)) : QPointF(r.I32(o), r.I32(o + 4));
        }
        used += n;
        out.push_back(std::move(poly));
    }
    return true;
}

bool EmfPlayer::text(const TKpLeReader& r, bool wide) {
    if (!r.Fits(0, 76)) return false;
    const QPointF ref(r.I32(36), r.I32(40));
    const int64_t n = r.U32(44), offString = r.U32(48), offDx = r.U32(72);
    const uint32_t options = r.U32(52);
    const QRectF rect = boxOf(r, 56);
    if (!r.Fits(offString, n * (wide ? 2 : 1))) return false;
    QString s;
    s.reserve(n);
    for (int64_t i = 0; i < n; ++i)
        s += wide ? QChar(r.U16(offString + 2 * i)) : QChar(r.U8(offString + i));
    std::vector<double> dx, dy;
    const bool pdy = options & 0x2000;
    if (offDx && r.Fits(offDx, n * 4 * (pdy ? 2 : 1))) {
        dx.reserve(size_t(n));
        for (int64_t i = 0; i < n; ++i) {
            dx.push_back(r.I32(offDx + (pdy ? 8 : 4) * i));
            if (pdy) dy.push_back(r.I32(offDx + 8 * i + 4));
        }
    }
    dc_.Text(ref, s, dx, dy, options, rect);
    return true;
}

// The rectangles of region data (a 32-byte header, then the rectangles) of cb bytes at at;
// false when they do not fit in the record.
bool regionRects(const TKpLeReader& r, int64_t at, int64_t cb, QVector<QRect>& out) {
    if (cb < 32 || !r.Fits(at, cb)) return false;
    const int64_t count = r.U32(at + 8);
    if (!r.Fits(at + 32, count * 16)) return false;
    out.reserve(count);
    for (int64_t i = 0; i < count; ++i) {
        const QRect q = readRect(r, at + 32 + 16 * i);
        // Region rectangles leave out their right and bottom edges.
        out << QRect(q.left(), q.top(), q.right() - q.left(), q.bottom() - q.top());
    }
    return true;
}

bool EmfPlayer::clipRegion(const TKpLeReader& r) {
    const int64_t cb = r.U32(8);
    const int mode = int(r.U32(12));
    if (cb == 0 || (mode == 5 && cb < 32)) {
        if (mode == 5) dc_.ResetClip();
        return true;
    }
    QVector<QRect> rects;
    if (!regionRects(r, 16, cb, rects)) return false;
    dc_.CombineClip(dc_.DeviceRegion(rects), mode);
    return true;
}

// Points, each with its kind: move to (6), line to (2) or one of three Bézier points (4),
// the kind's bit 1 closing the figure back to its start.
bool EmfPlayer::polyDraw(const TKpLeReader& r, bool sixteen) {
    QPolygonF pts;
    if (!points(r, sixteen, 24, pts)) return false;
    const int64_t n = pts.size(), typesAt = 28 + n * (sixteen ? 4 : 8);
    if (!r.Fits(typesAt, n)) return false;
    QPointF start = dc_.State().Current;
    for (int64_t i = 0; i < n; ++i) {
        uint8_t kind = r.U8(typesAt + i);
        switch (kind & ~1) {
        case 6:
            dc_.MoveTo(pts[i]);
            start = pts[i];
            break;
        case 2:
            dc_.LineTo(pts[i]);
            break;
        case 4:
            if (i + 2 >= n) return false;
            dc_.PolyBezier(QPolygonF{pts[i], pts[i + 1], pts[i + 2]}, true);
            i += 2;
            kind = r.U8(typesAt + i);
            break;
        default:
            return false;
        }
        if (kind & 1) {
            dc_.LineTo(start);
            dc_.CloseFigure();
        }
    }
    return true;
}

// A transfer through a monochrome mask (where the mask is 0 the background operation
// applies; only "leave the destination" is drawn as such), onto a rectangle or, for the
// parallelogram form, onto the three corners given.
bool EmfPlayer::maskedBlit(const TKpLeReader& r, bool parallelogram) {
    const int64_t b = parallelogram ? 12 : 0; // the parallelogram form's fields sit further on
    if (!r.Fits(0, parallelogram ? 140 : 128)) return false;
    QImage src = bitmapOf(r, r.U32(84 + b), r.U32(88 + b), r.U32(92 + b), r.U32(96 + b));
    if (src.isNull()) {
        ++result_.Skipped;
        return true;
    }
    const uint32_t rop4 = parallelogram ? 0xAACC0020 : r.U32(40);
    const QImage mask = bitmapOf(r, r.U32(112 + b), r.U32(116 + b), r.U32(120 + b), r.U32(124 + b));
    const QPoint maskAt(r.I32(100 + b), r.I32(104 + b));
    const QPoint srcAt =
        parallelogram ? QPoint(r.I32(48), r.I32(52)) : QPoint(r.I32(44), r.I32(48));
    if (!mask.isNull() && (rop4 >> 24) == 0xAA) {
        src = src.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < src.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x) {
                const QPoint m = maskAt + QPoint(x, y) - srcAt;
                const bool fore = mask.valid(m) && qGray(mask.pixel(m)) > 127;
                if (!fore) row[x] = 0;
            }
        }
    }
    if (parallelogram) {
        const QPolygonF corners{QPointF(r.I32(24), r.I32(28)), QPointF(r.I32(32), r.I32(36)),
                                QPointF(r.I32(40), r.I32(44))};
        dc_.BlitParallelogram(corners, src, QRectF(r.I32(48), r.I32(52), r.I32(56), r.I32(60)));
        return true;
    }
    const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
    dc_.Blit(dest, src, QRectF(srcAt, dest.size()), rop4 & 0xFFFFFF);
    return true;
}

bool EmfPlayer::Play(uint32_t type, const TKpLeReader& r) {
    TKpMfState& st = dc_.State();
    const int64_t size = r.Size();
    const auto need = [&](int64_t n) { return size >= n; };
    QPolygonF pts;
    switch (type) {
    case 2:
    case 4:
    case 5:
    case 6:
    case 85:
    case 87:
    case 88:
    case 89: { // poly lines, Béziers
        const bool sixteen = type >= 85;
        if (!points(r, sixteen, 24, pts)) return false;
        const int kind = sixteen ? int(type) - 83 : int(type);
        if (kind == 2)
            dc_.PolyBezier(pts, false);
        else if (kind == 4)
            dc_.Polyline(pts, false);
        else if (kind == 5)
            dc_.PolyBezier(pts, true);
        else
            dc_.Polyline(pts, true);
        return true;
    }
    case 3:
    case 86: // polygon
        if (!points(r, type == 86, 24, pts)) return false;
        dc_.Polygons({pts});
        return true;
    case 7:
    case 8:
    case 90:
    case 91: { // poly-polylines and poly-polygons
        std::vector<QPolygonF> polys;
        if (!polyPolygons(r, type >= 90, polys)) return false;
        if (type == 8 || type == 91)
            dc_.Polygons(polys);
        else
            for (const QPolygonF& p : polys)
                dc_.Polyline(p, false);
        return true;
    }
    case 9:
    case 10:
    case 11:
    case 12: { // window/viewport extents and origins
        if (!need(16)) return false;
        const QPointF v(r.I32(8), r.I32(12));
        if (type == 9 && v.x() && v.y()) st.WindowExt = QSizeF(v.x(), v.y());
        if (type == 10) st.WindowOrg = v;
        if (type == 11 && v.x() && v.y()) st.ViewportExt = QSizeF(v.x(), v.y());
        if (type == 12) st.ViewportOrg = v;
        dc_.MappingChanged();
        return true;
    }
    case 31:
    case 32: { // scale viewport/window extents
        if (!need(24)) return false;
        const double xn = r.I32(8), xd = r.I32(12), yn = r.I32(16), yd = r.I32(20);
        if (!xd || !yd || !xn || !yn) return true;
        QSizeF& ext = type == 31 ? st.ViewportExt : st.WindowExt;
        ext = QSizeF(ext.width() * xn / xd, ext.height() * yn / yd);
        dc_.MappingChanged();
        return true;
    }
    case 14:
        return true; // end (handled by the loop)
    case 15:         // set pixel
        if (!need(20)) return false;
        dc_.SetPixel(QPointF(r.I32(8), r.I32(12)), KpMfColor(r.U32(16)));
        return true;
    case 17:
    case 18:
    case 19:
    case 20:
    case 22:
    case 24:
    case 25:
    case 57: { // modes, colours
        if (!need(12)) return false;
        const uint32_t v = r.U32(8);
        switch (type) {
        case 17:
            st.MapMode = int(v);
            dc_.MappingChanged();
            break;
        case 18:
            st.BkMode = int(v);
            break;
        case 19:
            st.PolyFill = int(v);
            break;
        case 20:
            st.Rop2 = int(v);
            break;
        case 22:
            st.TextAlign = v;
            break;
        case 24:
            st.TextColor = KpMfColor(v);
            break;
        case 25:
            st.BkColor = KpMfColor(v);
            break;
        default:
            st.Clockwise = v == 2;
            break;
        }
        return true;
    }
    case 27:
    case 54: // move to, line to
        if (!need(16)) return false;
        if (type == 27)
            dc_.MoveTo(QPointF(r.I32(8), r.I32(12)));
        else
            dc_.LineTo(QPointF(r.I32(8), r.I32(12)));
        return true;
    case 29:
    case 30: // exclude, intersect clip rectangle
        if (!need(24)) return false;
        dc_.ClipRect(boxOf(r, 8), type == 29);
        return true;
    case 33:
        if (!dc_.SaveDc()) {
            result_.Error = QStringLiteral("too many saved states");
            return false;
        }
        return true;
    case 34:
        if (!need(12)) return false;
        dc_.RestoreDc(r.I32(8));
        return true;
    case 35:
    case 36: { // world transform
        if (!need(type == 35 ? 32 : 36)) return false;
        const QTransform x = readXform(r, 8);
        if (!finite(x)) return true;
        const uint32_t mode = type == 35 ? 4 : r.U32(32);
        // The platform's left multiplication applies the new transform first.
        if (mode == 1)
            st.World = QTransform();
        else if (mode == 2)
            st.World = x * st.World;
        else if (mode == 3)
            st.World = st.World * x;
        else if (mode == 4)
            st.World = x;
        dc_.MappingChanged();
        return true;
    }
    case 37:
    case 40: { // select, delete object
        if (!need(12)) return false;
        const uint32_t index = r.U32(8);
        if (type == 40)
            dc_.Delete(int(index & 0x7FFFFFFF));
        else if (index & 0x80000000)
            dc_.SelectStock(index);
        else
            dc_.Select(int(index));
        return true;
    }
    case 38: { // pen
        if (!need(28)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Pen;
        o.PenValue = penFrom(r.U32(12), r.I32(16), r.U32(24));
        dc_.Create(int(r.U32(8)), std::move(o));
        return true;
    }
    case 95: { // extended pen
        if (!need(52)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Pen;
        o.PenValue = penFrom(r.U32(28), r.U32(32), r.U32(40));
        if (r.U32(36) == 1) o.PenValue.Style = 5; // a pen with a hollow brush draws nothing
        dc_.Create(int(r.U32(8)), std::move(o));
        return true;
    }
    case 39: { // brush
        if (!need(24)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Brush;
        o.BrushValue.Style = r.U32(12);
        o.BrushValue.Color = KpMfColor(r.U32(16));
        o.BrushValue.Hatch = r.U32(20);
        dc_.Create(int(r.U32(8)), std::move(o));
        return true;
    }
    case 93:
    case 94: { // monochrome and pattern brushes
        if (!need(32)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Brush;
        o.BrushValue.Style = 3;
        o.BrushValue.Pattern = bitmapOf(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28));
        dc_.Create(int(r.U32(8)), std::move(o));
        return true;
    }
    case 82: { // font
        if (!need(104)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Font;
        TKpMfFont& f = o.FontValue;
        f.Height = r.I32(12);
        f.Width = r.I32(16);
        f.Escapement = r.I32(20);
        f.Weight = r.I32(28);
        f.Italic = r.U8(32);
        f.Underline = r.U8(33);
        f.StrikeOut = r.U8(34);
        f.CharSet = r.U8(35);
        for (int i = 0; i < 32; ++i) {
            const uint16_t c = r.U16(40 + 2 * i);
            if (!c) break;
            f.Face += QChar(c);
        }
        dc_.Create(int(r.U32(8)), std::move(o));
        return true;
    }
    case 41: // angle arc
        if (!need(28)) return false;
        dc_.AngleArc(QPointF(r.I32(8), r.I32(12)), r.U32(16), r.F32(20), r.F32(24));
        return true;
    case 42:
    case 43: // ellipse, rectangle
        if (!need(24)) return false;
        if (type == 42)
            dc_.Ellipse(boxOf(r, 8));
        else
            dc_.Rectangle(boxOf(r, 8));
        return true;
    case 44: // round rectangle
        if (!need(32)) return false;
        dc_.RoundRect(boxOf(r, 8), QSizeF(r.I32(24), r.I32(28)));
        return true;
    case 45:
    case 46:
    case 47:
    case 55: { // arc, chord, pie, arc to
        if (!need(40)) return false;
        using K = TKpMetafileDc::ArcKind;
        const K kind = type == 45 ? K::Arc : type == 46 ? K::Chord : type == 47 ? K::Pie : K::ArcTo;
        dc_.Arc(boxOf(r, 8), QPointF(r.I32(24), r.I32(28)), QPointF(r.I32(32), r.I32(36)), kind);
        return true;
    }
    case 59:
        dc_.BeginPath();
        return true;
    case 60:
        dc_.EndPath();
        return true;
    case 61:
        dc_.CloseFigure();
        return true;
    case 62:
        dc_.FillPath(true, false);
        return true;
    case 63:
        dc_.FillPath(true, true);
        return true;
    case 64:
        dc_.FillPath(false, true);
        return true;
    case 68:
        dc_.AbortPath();
        return true;
    case 67:
        if (!need(12)) return false;
        dc_.SelectClipPath(int(r.U32(8)));
        return true;
    case 70:
        return true; // comments, the dual form's extra records among them
    case 75:
        return need(16) && clipRegion(r);
    case 76:
    case 77: { // bit block transfers
        if (!need(type == 76 ? 100 : 108)) return false;
        const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
        const uint32_t rop = r.U32(40);
        const QImage image = bitmapOf(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96));
        const QSizeF srcSize = type == 77 ? QSizeF(r.I32(100), r.I32(104)) : dest.size();
        // A transfer without a bitmap paints with the brush.
        const QImage src = r.U32(88) ? image : QImage();
        if (r.U32(88) && src.isNull()) {
            ++result_.Skipped;
            return true;
        }
        dc_.Blit(dest, src, QRectF(QPointF(r.I32(44), r.I32(48)), srcSize), rop);
        return true;
    }
    case 81: { // stretch device-independent bits
        if (!need(80)) return false;
        const QImage image = bitmapOf(r, r.U32(48), r.U32(52), r.U32(56), r.U32(60));
        if (image.isNull()) {
            ++result_.Skipped;
            return true;
        }
        // Source y counts from the bitmap's bottom row.
        const double cySrc = r.I32(44), ySrc = r.I32(36);
        const QRectF source(r.I32(32), image.height() - ySrc - cySrc, r.I32(40), cySrc);
        dc_.Blit(QRectF(r.I32(24), r.I32(28), r.I32(72), r.I32(76)), image, source, r.U32(68));
        return true;
    }
    case 83:
    case 84:
        return text(r, type == 84);
    case 80: { // device-independent bits at their own size
        if (!need(76)) return false;
        const QImage image = bitmapOf(r, r.U32(48), r.U32(52), r.U32(56), r.U32(60));
        if (image.isNull()) {
            ++result_.Skipped;
            return true;
        }
        const double cx = r.I32(40), cy = r.I32(44), ySrc = r.I32(36);
        const QRectF source(r.I32(32), image.height() - ySrc - cy, cx, cy);
        dc_.Blit(QRectF(r.I32(24), r.I32(28), cx, cy), image, source, 0x00CC0020);
        return true;
    }
    case 114: { // alpha blend: a constant opacity, and per-pixel alpha when the bitmap has it
        if (!need(108)) return false;
        const uint32_t blend = r.U32(40);
        const bool perPixel = (blend >> 24) & 1;
        const QImage image = bitmapOf(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96), perPixel);
        if (image.isNull()) {
            ++result_.Skipped;
            return true;
        }
        const double cy = r.I32(104);
        const QRectF source(r.I32(44), image.height() - r.I32(48) - cy, r.I32(100), cy);
        dc_.Blit(QRectF(r.I32(24), r.I32(28), r.I32(32), r.I32(36)), image, source, 0x00CC0020,
                 ((blend >> 16) & 0xFF) / 255.0);
        return true;
    }
    case 56:
    case 92: // points with their kinds
        return polyDraw(r, type == 92);
    case 71:
    case 72:
    case 73:
    case 74: { // fill, frame, invert and paint a region
        const int64_t dataAt = type == 71 ? 32 : type == 72 ? 40 : 28;
        QVector<QRect> rects;
        if (!need(dataAt) || !regionRects(r, dataAt, r.U32(24), rects)) return false;
        if (type == 71)
            dc_.FillRegion(rects, dc_.BrushOf(r.U32(28)));
        else if (type == 72)
            dc_.FrameRegion(rects, dc_.BrushOf(r.U32(28)), QSize(r.I32(32), r.I32(36)));
        else if (type == 73)
            dc_.InvertRegion(rects);
        else
            dc_.FillRegion(rects, st.Brush);
        return true;
    }
    case 78:
    case 79: // transfers through a mask, onto a rectangle or a parallelogram
        return maskedBlit(r, type == 79);
    case 49: { // a palette takes its slot; colours are drawn as RGB, so it changes nothing
        if (!need(12)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Other;
        dc_.Create(int(r.U32(8)), std::move(o));
        return true;
    }
    case 48:
    case 50:
    case 51:
    case 52: // select, set entries, resize, realise palette
        return true;
    case 26: // offset clip
        if (!need(16)) return false;
        dc_.OffsetClip(QPointF(r.I32(8), r.I32(12)));
        return true;
    case 1:
    default:
        ++result_.Skipped;
        return true;
    }
}

} // namespace

TKpMetafileFrame KpEmfFrame(const TKpLeReader& file) {
    TKpMetafileFrame f;
    const EmfHeader h = readHeader(file);
    if (!h.ok) return f;
    f.Kind = TKpMetafileKind::Emf;
    const QRectF dev = deviceFrame(h);
    const QPointF k = pxPerMm(h);
    f.Frame = QRect(h.frame.left(), h.frame.top(), h.frame.right() - h.frame.left(),
                    h.frame.bottom() - h.frame.top());
    if (f.Frame.width() <= 0 || f.Frame.height() <= 0)
        f.Frame = QRect(bounded(dev.left() * 100 / k.x()), bounded(dev.top() * 100 / k.y()),
                        bounded(dev.width() * 100 / k.x()), bounded(dev.height() * 100 / k.y()));
    f.PixelSize = QSize(bounded(dev.width()), bounded(dev.height()));
    f.DpiX = k.x() * 25.4;
    f.DpiY = k.y() * 25.4;
    return f;
}

TKpMetafileResult KpPlayEmf(const TKpLeReader& file, QPainter& painter, const QRectF& target) {
    TKpMetafileResult result;
    const EmfHeader h = readHeader(file);
    if (!h.ok) {
        result.Ok = false;
        result.Error = QStringLiteral("the enhanced metafile header is damaged");
        result.Offset = 0;
        return result;
    }
    const QRectF frame = deviceFrame(h);
    QTransform toTarget = QTransform::fromTranslate(-frame.left(), -frame.top());
    if (frame.width() > 0 && frame.height() > 0)
        toTarget *=
            QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height());
    toTarget *= QTransform::fromTranslate(target.left(), target.top());
    const QPointF k = pxPerMm(h);
    TKpMetafileDc dc(painter, toTarget, target, k.x(), k.y());
    EmfPlayer player(dc, result);
    int64_t offset = h.size;
    result.Records = 1;
    const auto fail = [&](const QString& what, int64_t at) {
        result.Ok = false;
        if (result.Error.isEmpty()) result.Error = what;
        result.Offset = at;
    };
    while (true) {
        if (!file.Fits(offset, 8)) {
            fail(QStringLiteral("the file ends before its end record"), offset);
            break;
        }
        const uint32_t type = file.U32(offset), size = file.U32(offset + 4);
        if (size < 8 || size % 4 || !file.Fits(offset, size)) {
            fail(QStringLiteral("record of type %1 has a size of %2 bytes that does not fit")
                     .arg(type)
                     .arg(size),
                 offset);
            break;
        }
        ++result.Records;
        if (type == 14) break;
        if (!player.Play(type, file.Sub(offset, size))) {
            fail(QStringLiteral("record of type %1 is damaged").arg(type), offset);
            break;
        }
        offset += size;
    }
    return result;
}

} // namespace kp
